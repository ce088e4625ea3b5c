# Fails when PROGRAM needs, directly or through another library, the browser
# engine or a graphical Qt module.
#   cmake -DPROGRAM=build/bin/gainbook-cli -P check_linked_libraries.cmake
execute_process(COMMAND ldd "${PROGRAM}" OUTPUT_VARIABLE libraries RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT libraries MATCHES "libQt6Core")
    message(FATAL_ERROR "ldd could not list the libraries of ${PROGRAM}:\n${libraries}")
endif()
string(REGEX MATCHALL "libQt6(WebEngine|Quick|Qml|Gui|Widgets|OpenGL)[A-Za-z]*" found "${libraries}")
if(found)
    list(REMOVE_DUPLICATES found)
    string(REPLACE ";" " " found "${found}")
    message(FATAL_ERROR "${PROGRAM} links ${found}")
endif()
string(REGEX MATCHALL "libQt6[A-Za-z]*" qt "${libraries}")
list(REMOVE_DUPLICATES qt)
string(REPLACE ";" " " qt "${qt}")
message("${PROGRAM} links ${qt}")
