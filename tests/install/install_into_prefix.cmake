# cmake --install into WORK/prefix, then the installed programs from there.
#   cmake -DBUILD=... -DWORK=... (layout of the build) -P install_into_prefix.cmake
include("${CMAKE_CURRENT_LIST_DIR}/installed_tree.cmake")
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${WORK}/prefix"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install ended with ${rc}:\n${out}\n${err}")
endif()
check_installed_tree("${WORK}/prefix" "${WORK}")
