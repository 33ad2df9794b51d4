# Reads the string table and the menus of res/zolm.rc (UTF-8) and writes them as
# C tables of code page 932 bytes, converted by iconv independently of the
# resource compiler, for the fake platform and the tests. Ids stay symbolic, so
# the tables compile against res/resource.h. Any line of a STRINGTABLE or MENU
# that this script does not understand stops the build, so the tables can never
# quietly differ from the resources.
#   cmake -DICONV=iconv -DINPUT=zolm.rc -DOUTPUT=rc_tables.h -P RcTables.cmake

# The text of an rc string literal's inside, with the escapes the resource
# compiler applies to it undone.
function(unescape_rc_text text out)
    string(ASCII 1 backslash)
    string(REPLACE "\\\\" "${backslash}" text "${text}")
    string(REPLACE "\\n" "\n" text "${text}")
    if(text MATCHES "\\\\")
        message(FATAL_ERROR "${INPUT}: an escape other than \\\\ or \\n in \"${text}\"")
    endif()
    string(REPLACE "${backslash}" "\\" text "${text}")
    string(REPLACE "\"\"" "\"" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A C string literal of the text's code page 932 bytes, every byte escaped.
function(cp932_literal text out)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${text}"
                    COMMAND ${ICONV} -f UTF-8 -t CP932
                    COMMAND od -An -v -tx1
                    OUTPUT_VARIABLE hex RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${INPUT}: iconv cannot put \"${text}\" into code page 932")
    endif()
    string(REGEX REPLACE "[ \n]+" " " hex "${hex}")
    string(STRIP "${hex}" hex)
    set(literal "")
    if(NOT hex STREQUAL "")
        string(REPLACE " " ";" bytes "${hex}")
        foreach(byte IN LISTS bytes)
            string(APPEND literal "\\x${byte}")
        endforeach()
    endif()
    set(${out} "\"${literal}\"" PARENT_SCOPE)
endfunction()

file(STRINGS ${INPUT} lines ENCODING UTF-8)
set(strings "")
set(menus "")
set(block "")  # STRINGTABLE or MENU while inside one
set(depth 0)
foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(block STREQUAL "")
        if(line STREQUAL "STRINGTABLE")
            set(block STRINGTABLE)
        elseif(line MATCHES "^([A-Za-z0-9_]+)[ \t]+MENU$")
            set(block MENU)
            set(menu ${CMAKE_MATCH_1})
        endif()
        continue()
    endif()
    if(line STREQUAL "" OR line MATCHES "^//")
        continue()
    elseif(line STREQUAL "BEGIN")
        math(EXPR depth "${depth} + 1")
    elseif(line STREQUAL "END")
        math(EXPR depth "${depth} - 1")
        if(block STREQUAL "MENU")
            string(APPEND menus "    {${menu}, kRcEnd, 0, \"\"},\n")
        endif()
        if(depth EQUAL 0)
            set(block "")
        endif()
    elseif(block STREQUAL "STRINGTABLE" AND line MATCHES "^([A-Za-z0-9_]+)[ \t]+\"(.*)\"$")
        set(id ${CMAKE_MATCH_1})
        unescape_rc_text("${CMAKE_MATCH_2}" text)
        cp932_literal("${text}" literal)
        string(APPEND strings "    {${id}, ${literal}},\n")
    elseif(block STREQUAL "MENU" AND line MATCHES "^POPUP[ \t]+\"(.*)\"$")
        unescape_rc_text("${CMAKE_MATCH_1}" text)
        cp932_literal("${text}" literal)
        string(APPEND menus "    {${menu}, kRcPopup, 0, ${literal}},\n")
    elseif(block STREQUAL "MENU" AND line STREQUAL "MENUITEM SEPARATOR")
        string(APPEND menus "    {${menu}, kRcSeparator, 0, \"\"},\n")
    elseif(block STREQUAL "MENU" AND line MATCHES "^MENUITEM[ \t]+\"(.*)\",[ \t]*([A-Za-z0-9_]+)$")
        set(id ${CMAKE_MATCH_2})
        unescape_rc_text("${CMAKE_MATCH_1}" text)
        cp932_literal("${text}" literal)
        string(APPEND menus "    {${menu}, kRcItem, ${id}, ${literal}},\n")
    else()
        message(FATAL_ERROR "${INPUT}: cannot read this line of a ${block}: ${line}")
    endif()
endforeach()
if(NOT block STREQUAL "")
    message(FATAL_ERROR "${INPUT}: a ${block} has no END")
endif()

file(WRITE ${OUTPUT} "// Generated from res/zolm.rc by cmake/RcTables.cmake. Do not edit.
#pragma once
#include <cstdint>

#include \"res/resource.h\"

struct Cp932String {
    uint32_t id;
    const char* bytes;
};
static const Cp932String kCp932Strings[] = {
${strings}};

// The lines of each MENU in order. Every level, the menu's own and each popup's,
// ends with a kRcEnd.
enum RcMenuLine : uint8_t { kRcPopup, kRcItem, kRcSeparator, kRcEnd };
struct RcMenuItem {
    uint32_t menu;
    RcMenuLine line;
    uint32_t id;
    const char* bytes;
};
static const RcMenuItem kRcMenus[] = {
${menus}};
")
