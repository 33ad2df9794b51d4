# Native build: the logic over the fake platform, with GoogleTest.
find_package(GTest REQUIRED)

file(GLOB ZOLM_FAKE_SOURCES CONFIGURE_DEPENDS tests/fake/*.cpp)
add_library(zolm_fake STATIC ${ZOLM_FAKE_SOURCES})
target_include_directories(zolm_fake PUBLIC ${CMAKE_SOURCE_DIR} ${ZOLM_GENERATED})
add_dependencies(zolm_fake zolm_rc_tables)
target_compile_options(zolm_fake PRIVATE -Wall -Wextra -O2)

file(GLOB ZOLM_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(zolm_unit_tests ${ZOLM_UNIT_SOURCES})
target_include_directories(zolm_unit_tests PRIVATE ${CMAKE_SOURCE_DIR} ${ZOLM_GENERATED})
add_dependencies(zolm_unit_tests zolm_rc_tables)
target_compile_options(zolm_unit_tests PRIVATE -Wall -Wextra)
# The core and the fake call each other: link them as one group.
target_link_libraries(zolm_unit_tests PRIVATE -Wl,--start-group zolm_core zolm_fake -Wl,--end-group
                      GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(zolm_unit_tests DISCOVERY_MODE PRE_TEST)

# Whole runs of the program over the fake, with the checks that every run must
# pass: shared by the fault sweep, the corpus replay and the fuzzer.
file(GLOB ZOLM_SCENARIO_SOURCES CONFIGURE_DEPENDS tests/scenario/*.cpp)
add_library(zolm_scenario STATIC ${ZOLM_SCENARIO_SOURCES})
target_include_directories(zolm_scenario PUBLIC ${CMAKE_SOURCE_DIR} ${ZOLM_GENERATED})
target_compile_options(zolm_scenario PRIVATE -Wall -Wextra -O2)
target_link_libraries(zolm_scenario PUBLIC -Wl,--start-group zolm_core zolm_fake -Wl,--end-group)
target_link_libraries(zolm_unit_tests PRIVATE zolm_scenario)
target_compile_definitions(zolm_unit_tests PRIVATE ZOLM_FUZZ_CORPUS="${CMAKE_SOURCE_DIR}/tests/fuzz/corpus")

# The fuzzer over the settings file: clang's libFuzzer, built by tools/fuzz.sh
# in a folder of its own with the sanitizers on every file.
option(ZOLM_FUZZ "Build the settings fuzzer (clang)" OFF)
if(ZOLM_FUZZ)
    # Coverage guidance from the program's logic only, not from the fake or the checks.
    target_compile_options(zolm_core PRIVATE -fsanitize=fuzzer-no-link)
    add_executable(zolm_settings_fuzzer tests/fuzz/settings_fuzzer.cpp)
    target_link_libraries(zolm_settings_fuzzer PRIVATE zolm_scenario)
    target_link_options(zolm_settings_fuzzer PRIVATE -fsanitize=fuzzer)
endif()
