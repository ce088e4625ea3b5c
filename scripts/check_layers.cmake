# Checks that every #include "folder/header.h" under a source tree points to
# a folder its layer may use, by the table in layers.txt.
#
#   cmake -DSOURCE_DIR=src [-DLAYERS=scripts/layers.txt]
#         [-DARCHITECTURE=docs/architecture.md] -P scripts/check_layers.cmake
#
# Fails (and lists every offending line) when a file includes a header of a
# layer above its own or beside it, or when a folder holding sources or
# headers is missing from the table. With ARCHITECTURE, the page's folder
# table (rows "| `src/FOLDER` | LAYER | ...") must hold each folder of the
# table with its layer, and no other folder, so the page stays true.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=DIR [-DLAYERS=FILE] -P check_layers.cmake")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT LAYERS)
    set(LAYERS "${CMAKE_CURRENT_LIST_DIR}/layers.txt")
endif()

# The table: folder -> its layer, and the layers it may include.
file(STRINGS "${LAYERS}" rows REGEX "^[^#]")
set(folders "")
foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t]+" ";" fields "${row}")
    list(FILTER fields EXCLUDE REGEX "^$")
    list(LENGTH fields count)
    if(count LESS 2)
        message(FATAL_ERROR "${LAYERS}: a row needs a folder and a layer: ${row}")
    endif()
    list(POP_FRONT fields folder layer)
    list(APPEND folders "${folder}")
    set("layer_of_${folder}" "${layer}")
    set("uses_of_${folder}" "${layer};${fields}")
endforeach()

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(SORT files)
set(failures 0)
foreach(file IN LISTS files)
    get_filename_component(folder "${file}" DIRECTORY)
    if(NOT folder IN_LIST folders)
        message("${file}: the folder ${folder} is not in ${LAYERS}")
        math(EXPR failures "${failures} + 1")
        continue()
    endif()
    set(allowed "${uses_of_${folder}}")
    string(REPLACE ";" " " allowedText "${allowed}")
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
        get_filename_component(target "${header}" DIRECTORY)
        if(NOT target IN_LIST folders)
            message("${file}: includes \"${header}\" from ${target}, a folder not in ${LAYERS}")
            math(EXPR failures "${failures} + 1")
        elseif(NOT "${layer_of_${target}}" IN_LIST allowed)
            message("${file}: includes \"${header}\" of the ${layer_of_${target}} layer; "
                    "${folder} (${layer_of_${folder}}) may include only: ${allowedText}")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
endforeach()

if(ARCHITECTURE)
    file(STRINGS "${ARCHITECTURE}" rows REGEX "^\\| `src/")
    set(described "")
    foreach(row IN LISTS rows)
        if(NOT row MATCHES "^\\| `src/([^`]+)` \\| ([a-z]+) \\|")
            message("${ARCHITECTURE}: a folder row without its layer: ${row}")
            math(EXPR failures "${failures} + 1")
            continue()
        endif()
        set(folder "${CMAKE_MATCH_1}")
        set(layer "${CMAKE_MATCH_2}")
        list(APPEND described "${folder}")
        if(NOT folder IN_LIST folders)
            message("${ARCHITECTURE}: src/${folder} is not in ${LAYERS}")
            math(EXPR failures "${failures} + 1")
        elseif(NOT layer STREQUAL "${layer_of_${folder}}")
            message("${ARCHITECTURE}: src/${folder} is in the ${layer} layer there, "
                    "in ${layer_of_${folder}} in ${LAYERS}")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
    foreach(folder IN LISTS folders)
        if(NOT folder IN_LIST described)
            message("${ARCHITECTURE}: src/${folder} (${layer_of_${folder}}) is not described")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
endif()

list(LENGTH files checked)
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} problem(s): an include must point down, and a page "
                        "describing the folders must follow the table (see ${LAYERS})")
endif()
message("${checked} files checked: every include points down")
