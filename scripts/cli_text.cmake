# Makes the text of gainbook-cli from its one source, src/cli/cli_text.txt:
#
#   cmake -DSOURCE=src/cli/cli_text.txt -DFORMAT=cpp|man|md -DOUTPUT=FILE
#         [-DVERSION=2.0] [-DCOMPARE=FILE] -P scripts/cli_text.cmake
#
# cpp: the header compiled into --help (usage lines, options, commands and
#      their one-line help);
# man: the manual page gainbook-cli(1);
# md:  the reference docs/cli.md.
# With COMPARE, the made text must equal that file (the test that keeps the
# committed docs/cli.md in step); the file is left as it is.
#
# The source is read line by line without CMake lists: its text holds ";"
# and unbalanced "[", which a list would split or join.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE OR NOT FORMAT OR NOT OUTPUT)
    message(FATAL_ERROR "usage: cmake -DSOURCE=FILE -DFORMAT=cpp|man|md -DOUTPUT=FILE "
                        "[-DVERSION=V] [-DCOMPARE=FILE] -P cli_text.cmake")
endif()
if(NOT FORMAT MATCHES "^(cpp|man|md)$")
    message(FATAL_ERROR "cli_text.cmake: unknown FORMAT ${FORMAT}")
endif()

file(READ "${SOURCE}" text)
string(REPLACE "\r" "" text "${text}")
if(NOT text MATCHES "\n$")
    string(APPEND text "\n")
endif()

# ---- Inline text ----------------------------------------------------------

# roff: a backslash and a minus are escaped; `code` is bold, *WORD* italic.
function(man_inline line out)
    string(REPLACE "\\" "\\e" line "${line}")
    string(REPLACE "-" "\\-" line "${line}")
    string(REGEX REPLACE "`([^`]+)`" "\\\\fB\\1\\\\fR" line "${line}")
    string(REGEX REPLACE "(^|[^A-Za-z0-9])\\*([^* ][^*]*)\\*" "\\1\\\\fI\\2\\\\fR" line "${line}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" line "${line}")
    set(${out} "${line}" PARENT_SCOPE)
endfunction()

# A usage text in roff: words that start in upper case are the caller's
# (italic), other words are typed as they stand (bold), the rest is roman.
function(man_synopsis line out)
    set(result "")
    while(NOT line STREQUAL "")
        if(line MATCHES "^([A-Za-z0-9_.*-]+)")
            set(word "${CMAKE_MATCH_1}")
            string(LENGTH "${word}" n)
            string(REPLACE "-" "\\-" shown "${word}")
            if(word MATCHES "^[A-Z]")
                string(APPEND result "\\fI${shown}\\fR")
            else()
                string(APPEND result "\\fB${shown}\\fR")
            endif()
        else()
            set(n 1)
            string(SUBSTRING "${line}" 0 1 char)
            string(APPEND result "${char}")
        endif()
        string(SUBSTRING "${line}" ${n} -1 line)
    endwhile()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(cpp_string value out)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# "THE DATABASE FILE" -> "The database file"
function(sentence_case title out)
    string(TOLOWER "${title}" lower)
    string(SUBSTRING "${lower}" 0 1 first)
    string(SUBSTRING "${lower}" 1 -1 rest)
    string(TOUPPER "${first}" first)
    set(${out} "${first}${rest}" PARENT_SCOPE)
endfunction()

# ---- Reading --------------------------------------------------------------

set(program "")
set(about "")
set(global "")
set(tagline "")
set(usages "") # man and md text, made as the lines come
set(cpp_usages "")
set(cpp_options "")
set(cpp_commands "")
set(command_names "")
set(body "")

# The state of the text being read: where a paragraph goes (top: a
# section's own text, entry: under an option or command), whether a
# paragraph or list item is open, whether a ``` block is.
set(place "top")
set(in_paragraph FALSE)
set(in_code FALSE)
set(kind "") # option or command: the entry whose @help comes next
set(entry_name "")
set(entry_args "")
set(entry_help "")
set(entry_has_text FALSE)
set(section "")

# roff takes a paragraph whole, so that `typed text` may run over a line
# end: its lines wait here until it ends.
set(pending "")
macro(flush_pending)
    if(NOT pending STREQUAL "")
        man_inline("${pending}" shown)
        string(APPEND body "${shown}\n")
        set(pending "")
    endif()
endmacro()

# Ends the entry read so far: its --help line for the C++ table, and in the
# pages its @help when it has no text of its own.
macro(close_entry)
    flush_pending()
    if(kind STREQUAL "option" OR kind STREQUAL "command")
        if(entry_help STREQUAL "")
            message(FATAL_ERROR "${SOURCE}: the ${kind} ${entry_name} has no @help line")
        endif()
        cpp_string("${entry_name}" c_name)
        cpp_string("${entry_args}" c_args)
        cpp_string("${entry_help}" c_help)
        if(kind STREQUAL "command")
            string(APPEND cpp_commands "    {${c_name}, ${c_args}, ${c_help}},\n")
        else()
            string(APPEND cpp_options "    {${c_name}, ${c_args}, ${c_help}},\n")
        endif()
        if(NOT entry_has_text)
            if(FORMAT STREQUAL "man")
                man_inline("${entry_help}" shown)
                string(APPEND body "${shown}\n")
            else()
                string(APPEND body "\n${entry_help}\n")
            endif()
        endif()
    endif()
    set(kind "")
    set(in_paragraph FALSE)
endmacro()

# Starts a paragraph (or a list item) of text in the page being made.
macro(open_paragraph list_item)
    flush_pending()
    if(FORMAT STREQUAL "man")
        if(${list_item})
            string(APPEND body ".IP \\(bu 2\n")
        elseif(place STREQUAL "entry" AND entry_has_text)
            string(APPEND body ".IP\n")
        elseif(place STREQUAL "top")
            string(APPEND body ".PP\n")
        endif()
    elseif(FORMAT STREQUAL "md")
        if(${list_item})
            string(APPEND body "- ")
        endif()
    endif()
    set(in_paragraph TRUE)
    if(place STREQUAL "entry")
        set(entry_has_text TRUE)
    endif()
endmacro()

set(line_number 0)
while(NOT text STREQUAL "")
    string(FIND "${text}" "\n" end)
    string(SUBSTRING "${text}" 0 ${end} line)
    math(EXPR next "${end} + 1")
    string(SUBSTRING "${text}" ${next} -1 text)
    math(EXPR line_number "${line_number} + 1")

    if(in_code)
        if(line STREQUAL "```")
            set(in_code FALSE)
            if(FORMAT STREQUAL "man")
                string(APPEND body ".fi\n")
            elseif(FORMAT STREQUAL "md")
                string(APPEND body "```\n")
            endif()
        elseif(FORMAT STREQUAL "man")
            string(REPLACE "\\" "\\e" shown "${line}")
            string(REPLACE "-" "\\-" shown "${shown}")
            if(shown MATCHES "^[.']")
                set(shown "\\&${shown}")
            endif()
            string(APPEND body "${shown}\n")
        elseif(FORMAT STREQUAL "md")
            string(APPEND body "${line}\n")
        endif()
        continue()
    endif()

    if(line MATCHES "^#")
        continue()
    endif()

    if(line MATCHES "^@([a-z]+) *(.*)$")
        set(key "${CMAKE_MATCH_1}")
        set(value "${CMAKE_MATCH_2}")
        if(key STREQUAL "help")
            if(kind STREQUAL "")
                message(FATAL_ERROR "${SOURCE}:${line_number}: @help without an option or command")
            endif()
            set(entry_help "${value}")
            continue()
        endif()
        close_entry()
        if(key STREQUAL "program")
            set(program "${value}")
        elseif(key STREQUAL "about")
            set(about "${value}")
        elseif(key STREQUAL "global")
            set(global "${value}")
        elseif(key STREQUAL "tagline")
            set(tagline "${value}")
        elseif(key STREQUAL "usage")
            cpp_string("${value}" c_usage)
            string(APPEND cpp_usages "    ${c_usage},\n")
            if(FORMAT STREQUAL "man")
                man_synopsis("${value}" shown)
                if(NOT usages STREQUAL "")
                    string(APPEND usages ".br\n")
                endif()
                string(APPEND usages ".B ${program}\n${shown}\n")
            else()
                string(APPEND usages "${program} ${value}\n")
            endif()
        elseif(key STREQUAL "section")
            if(usages STREQUAL "")
                message(FATAL_ERROR "${SOURCE}:${line_number}: a section before any @usage")
            endif()
            set(section "${value}")
            set(place "top")
            if(FORMAT STREQUAL "man")
                string(APPEND body ".SH ${value}\n")
            elseif(FORMAT STREQUAL "md")
                sentence_case("${value}" title)
                string(APPEND body "\n## ${title}\n")
            endif()
        elseif(key STREQUAL "option" OR key STREQUAL "command" OR key STREQUAL "item")
            set(kind "${key}")
            set(place "entry")
            set(entry_has_text FALSE)
            set(entry_help "")
            if(key STREQUAL "command")
                string(REGEX MATCH "^[^ ]+" entry_name "${value}")
                string(LENGTH "${entry_name}" n)
                string(SUBSTRING "${value}" ${n} -1 entry_args)
                string(STRIP "${entry_args}" entry_args)
                if(entry_name IN_LIST command_names)
                    message(FATAL_ERROR "${SOURCE}:${line_number}: the command ${entry_name} "
                                        "is described twice")
                endif()
                list(APPEND command_names "${entry_name}")
            else()
                set(entry_name "${value}")
                set(entry_args "")
            endif()
            if(FORMAT STREQUAL "man")
                if(key STREQUAL "command")
                    man_synopsis("${entry_args}" shown)
                    # The name as typed, unescaped: the installed-tree test
                    # finds each command's entry by ".B NAME".
                    string(STRIP "${entry_name} ${shown}" shown)
                    string(APPEND body ".TP\n.B ${shown}\n")
                elseif(key STREQUAL "option")
                    man_synopsis("${value}" shown)
                    string(APPEND body ".TP\n${shown}\n")
                else()
                    man_inline("`${value}`" shown)
                    string(APPEND body ".TP\n${shown}\n")
                endif()
            elseif(FORMAT STREQUAL "md")
                string(APPEND body "\n### `${value}`\n")
            endif()
        else()
            message(FATAL_ERROR "${SOURCE}:${line_number}: unknown @${key}")
        endif()
        continue()
    endif()

    if(line STREQUAL "")
        flush_pending()
        set(in_paragraph FALSE)
        continue()
    endif()

    if(line STREQUAL "```")
        open_paragraph(FALSE)
        set(in_code TRUE)
        set(in_paragraph FALSE)
        if(FORMAT STREQUAL "man")
            string(APPEND body ".nf\n")
        elseif(FORMAT STREQUAL "md")
            string(APPEND body "\n```\n")
        endif()
        continue()
    endif()

    set(item FALSE)
    if(line MATCHES "^- (.*)$")
        set(item TRUE)
        set(line "${CMAKE_MATCH_1}")
    endif()
    if(item OR NOT in_paragraph)
        if(FORMAT STREQUAL "md" AND NOT (item AND in_paragraph))
            string(APPEND body "\n")
        endif()
        open_paragraph(item)
    elseif(FORMAT STREQUAL "md" AND line MATCHES "^  ")
        # The continued line of a list item stays indented.
        string(REGEX REPLACE "^ +" "  " line "${line}")
    endif()
    if(FORMAT STREQUAL "man")
        string(STRIP "${line}" line)
        if(pending STREQUAL "")
            set(pending "${line}")
        else()
            string(APPEND pending "\n${line}")
        endif()
    elseif(FORMAT STREQUAL "md")
        string(APPEND body "${line}\n")
    endif()
endwhile()
close_entry()
if(in_code)
    message(FATAL_ERROR "${SOURCE}: a ``` block is not closed")
endif()

# ---- Writing --------------------------------------------------------------

if(FORMAT STREQUAL "cpp")
    cpp_string("${program}" c_program)
    cpp_string("${global}" c_global)
    cpp_string("${tagline}" c_tagline)
    set(result "// Made by scripts/cli_text.cmake from src/cli/cli_text.txt: edit that file.
#pragma once

namespace gainbook::cli_text {

struct Entry {
    const char* name;
    const char* arguments;
    const char* help;
};

inline constexpr const char* kProgram = ${c_program};
inline constexpr const char* kGlobalOptions = ${c_global};
inline constexpr const char* kTagline = ${c_tagline};
inline constexpr const char* kUsages[] = {
${cpp_usages}};
inline constexpr Entry kOptions[] = {
${cpp_options}};
inline constexpr Entry kCommands[] = {
${cpp_commands}};

} // namespace gainbook::cli_text
")
elseif(FORMAT STREQUAL "man")
    string(TOUPPER "${program}" title)
    string(REPLACE "-" "\\-" man_about "${about}")
    set(result ".\\\" Made by scripts/cli_text.cmake from src/cli/cli_text.txt: edit that file.
.TH ${title} 1 \"\" \"Gainbook ${VERSION}\" \"User Commands\"
.SH NAME
${program} \\- ${man_about}
.SH SYNOPSIS
${usages}${body}")
else()
    set(result "<!-- Made by scripts/cli_text.cmake from src/cli/cli_text.txt: edit that file,
then run `cmake --build build --target update_cli_md`. -->
# ${program}

${program}: ${about}

## Synopsis

```
${usages}```
${body}")
endif()

if(COMPARE)
    file(READ "${COMPARE}" committed)
    if(NOT committed STREQUAL result)
        file(WRITE "${OUTPUT}" "${result}")
        message(FATAL_ERROR "${COMPARE} is not the text made from ${SOURCE} (made: ${OUTPUT}); "
                            "run cmake --build build --target update_cli_md")
    endif()
    message("${COMPARE} is in step with ${SOURCE}")
else()
    file(WRITE "${OUTPUT}.tmp" "${result}")
    file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
    file(REMOVE "${OUTPUT}.tmp")
endif()
