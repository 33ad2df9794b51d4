# Windows build (MinGW-w64): the real platform, zolm.exe, and tests that run the
# real API under Wine.

set(ZOLM_WARNINGS -Wall -Wextra)
# One self-contained file: the C++ runtime, libgcc and winpthread linked in.
set(ZOLM_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(ZOLM_RELEASE_CONFIGS "$<CONFIG:Release,MinSizeRel>")

# Programs of this build run under Wine, in a prefix of the build's own: tests
# through CTest, and add_test commands that name a target.
# The toolchain file names the architecture of that prefix; else the program's does.
if(ZOLM_WINE_ARCH)
    set(ZOLM_WINE_ARCH_OPTION --arch ${ZOLM_WINE_ARCH})
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_SOURCE_DIR}/tools/wine-run.sh --build-dir ${CMAKE_BINARY_DIR} ${ZOLM_WINE_ARCH_OPTION} --)

# Dead code of the static libraries is dropped at link time. On i686, code
# without exceptions needs no unwind tables: they were a sixth of the program.
# x86_64 keeps them: its system unwinds through every frame by its tables.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(ZOLM_NO_UNWIND_TABLES -fno-asynchronous-unwind-tables -fno-unwind-tables)
endif()
target_compile_options(zolm_core PRIVATE -ffunction-sections -fdata-sections ${ZOLM_NO_UNWIND_TABLES})

file(GLOB ZOLM_PLATFORM_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
add_library(zolm_platform_win32 STATIC ${ZOLM_PLATFORM_WIN32_SOURCES})
target_include_directories(zolm_platform_win32 PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(zolm_platform_win32 PRIVATE ${ZOLM_WARNINGS} -fno-exceptions
                       -ffunction-sections -fdata-sections ${ZOLM_NO_UNWIND_TABLES})
target_link_libraries(zolm_platform_win32 PUBLIC shell32 ole32 user32 gdi32 advapi32 kernel32)

# The resources: UTF-8 source with its ids beside it; the version record and the
# manifest take the project's version, and the icon is rendered from its drawing.
find_program(PYTHON3 python3 REQUIRED)
configure_file(${CMAKE_SOURCE_DIR}/res/zolm_version.h.in ${ZOLM_GENERATED}/zolm_version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/zolm.manifest.in ${ZOLM_GENERATED}/zolm.manifest @ONLY)
add_custom_command(
    OUTPUT ${ZOLM_GENERATED}/zolm.ico
    COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/make_icon.py ${CMAKE_SOURCE_DIR}/res/zolm.svg ${ZOLM_GENERATED}/zolm.ico
    DEPENDS ${CMAKE_SOURCE_DIR}/res/zolm.svg ${CMAKE_SOURCE_DIR}/tools/make_icon.py
    VERBATIM)
add_custom_target(zolm_icon DEPENDS ${ZOLM_GENERATED}/zolm.ico)
set(ZOLM_RESOURCES ${CMAKE_SOURCE_DIR}/res/zolm.rc)
set_source_files_properties(${ZOLM_RESOURCES} PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/res/resource.h;${ZOLM_GENERATED}/zolm_version.h;${ZOLM_GENERATED}/zolm.ico;${ZOLM_GENERATED}/zolm.manifest")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/res -I${ZOLM_GENERATED}")

# The core and the platform call each other: link them as one group.
set(ZOLM_CORE_AND_PLATFORM -Wl,--start-group zolm_core zolm_platform_win32 -Wl,--end-group)

add_executable(zolm WIN32 app/winmain_win32.cpp ${ZOLM_RESOURCES})
target_include_directories(zolm PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(zolm PRIVATE ${ZOLM_WARNINGS} -fno-exceptions ${ZOLM_NO_UNWIND_TABLES})
target_link_libraries(zolm PRIVATE ${ZOLM_CORE_AND_PLATFORM} comctl32)
target_link_options(zolm PRIVATE ${ZOLM_STATIC_RUNTIME} -Wl,--gc-sections $<${ZOLM_RELEASE_CONFIGS}:-s>)
add_dependencies(zolm zolm_icon)

# GoogleTest from the sources that Debian's package installs.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The real platform against the real API: the string table as LoadStringA gives
# it, the settings file as WritePrivateProfileStringA writes it, real file and
# shell operations.
file(GLOB ZOLM_WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp)
add_executable(zolm_win32_tests ${ZOLM_WIN32_TEST_SOURCES} ${ZOLM_RESOURCES})
target_include_directories(zolm_win32_tests PRIVATE ${CMAKE_SOURCE_DIR} ${ZOLM_GENERATED})
add_dependencies(zolm_win32_tests zolm_rc_tables zolm_icon)
# The version the resources must carry, from this file rather than from them.
target_compile_definitions(zolm_win32_tests PRIVATE $<$<COMPILE_LANGUAGE:CXX>:ZOLM_PROJECT_VERSION="${PROJECT_VERSION}">)
target_compile_options(zolm_win32_tests PRIVATE ${ZOLM_WARNINGS})
# version: the tests read the version record back.
target_link_libraries(zolm_win32_tests PRIVATE ${ZOLM_CORE_AND_PLATFORM} GTest::gtest_main version)
target_link_options(zolm_win32_tests PRIVATE ${ZOLM_STATIC_RUNTIME})

# One CTest test per test suite. GoogleTest's own discovery cannot read the CRLF
# lines that a Windows program prints.
foreach(source IN LISTS ZOLM_WIN32_TEST_SOURCES)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(STRINGS ${source} declarations REGEX "^TEST(_F)?\\(")
    foreach(declaration IN LISTS declarations)
        string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${declaration}")
        list(APPEND ZOLM_WIN32_TEST_SUITES ${suite})
    endforeach()
endforeach()
list(REMOVE_DUPLICATES ZOLM_WIN32_TEST_SUITES)
foreach(suite IN LISTS ZOLM_WIN32_TEST_SUITES)
    add_test(NAME win32.${suite} COMMAND zolm_win32_tests --gtest_filter=${suite}.*)
endforeach()

# End-to-end tests of the real program, when they are there. The glob makes the
# build configure again when their files appear or go.
file(GLOB ZOLM_E2E_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*)
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
    add_executable(zolm_e2e_driver ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
    target_include_directories(zolm_e2e_driver PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(zolm_e2e_driver PRIVATE ${ZOLM_WARNINGS})
    target_link_libraries(zolm_e2e_driver PRIVATE user32 shell32 ole32 advapi32 gdi32)
    target_link_options(zolm_e2e_driver PRIVATE ${ZOLM_STATIC_RUNTIME})
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
    include(${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
endif()

# The slot scan benchmark (tools/bench.sh builds and runs it).
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/bench/CMakeLists.txt)
    include(${CMAKE_SOURCE_DIR}/tools/bench/CMakeLists.txt)
endif()

# The release package: the program and the players' guide as a text file that
# Notepad shows (UTF-8 with BOM, CRLF), in a folder ZOLM of a zip.
#   cmake --build --preset mingw-i686 --target package
set(ZOLM_GUIDE_TEXT ${ZOLM_GENERATED}/README.txt)
add_custom_command(
    OUTPUT ${ZOLM_GUIDE_TEXT}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_SOURCE_DIR}/docs/ja/README.md -DOUTPUT=${ZOLM_GUIDE_TEXT}
            -P ${CMAKE_SOURCE_DIR}/cmake/GuideText.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/ja/README.md ${CMAKE_SOURCE_DIR}/cmake/GuideText.cmake
    VERBATIM)
add_custom_target(zolm_guide ALL DEPENDS ${ZOLM_GUIDE_TEXT})
install(TARGETS zolm RUNTIME DESTINATION ZOLM)
install(FILES ${ZOLM_GUIDE_TEXT} DESTINATION ZOLM)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(ZOLM_PACKAGE_SYSTEM win64)
else()
    set(ZOLM_PACKAGE_SYSTEM win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME zolm-${PROJECT_VERSION}-${ZOLM_PACKAGE_SYSTEM})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
