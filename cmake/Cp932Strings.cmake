# Turns tests/data/strings.txt (lines "id<TAB>text", UTF-8, \n for a line feed)
# into a header of C string literals holding the code page 932 bytes.
file(STRINGS ${INPUT} lines ENCODING UTF-8)
set(body "")
foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9]+)\t(.*)$")
        set(id ${CMAKE_MATCH_1})
        set(text "${CMAKE_MATCH_2}")
        # "\n" in the text file stands for one line feed.
        string(REPLACE "\\n" "\n" text "${text}")
        execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${text}"
                        COMMAND ${ICONV} -f UTF-8 -t CP932
                        COMMAND od -An -v -tx1
                        OUTPUT_VARIABLE hex RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "iconv failed for string ${id}")
        endif()
        string(REGEX REPLACE "[ \n]+" " " hex "${hex}")
        string(STRIP "${hex}" hex)
        string(REPLACE " " ";" bytes "${hex}")
        set(literal "")
        foreach(byte IN LISTS bytes)
            string(APPEND literal "\\x${byte}")
        endforeach()
        string(APPEND body "    {${id}, \"${literal}\"},\n")
    endif()
endforeach()
file(WRITE ${OUTPUT} "// Generated from tests/data/strings.txt by iconv. Do not edit.\n#pragma once\n#include <cstdint>\nstruct Cp932String { uint32_t id; const char* bytes; };\nstatic const Cp932String kCp932Strings[] = {\n${body}};\n")
