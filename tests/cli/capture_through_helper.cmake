# Creates a database in WORK and captures PAGE into it with the built tool,
# which loads the page through the helper program beside it.
#   cmake -DCLI=... -DPAGE=... -DWORK=... -P capture_through_helper.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(db "${WORK}/helper.db")
execute_process(COMMAND "${CLI}" --db "${db}" init RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "init ended with ${rc}")
endif()
execute_process(COMMAND "${CLI}" --db "${db}" capture --broker FBR "${PAGE}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "capture ended with ${rc}:\n${out}\n${err}")
endif()
execute_process(COMMAND "${CLI}" --db "${db}" accounts RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "Level,Text\n1,FBR-Account1\n2,All\n")
    message(FATAL_ERROR "the captured page left no account and month:\n${out}")
endif()
