# Runs TOOL with ARGS (a ;-list) and checks its exit code (CODE), that stdout equals the file
# EXPECTED_OUT when given, and that stderr contains EXPECTED_ERR when given.
execute_process(COMMAND ${TOOL} ${ARGS}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT code STREQUAL CODE)
    message(FATAL_ERROR "exit code ${code}, expected ${CODE}; stderr: ${err}")
endif()
if(EXPECTED_OUT)
    file(READ ${EXPECTED_OUT} expected)
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "stdout differs from ${EXPECTED_OUT}:\n${out}")
    endif()
endif()
if(EXPECTED_ERR)
    string(FIND "${err}" "${EXPECTED_ERR}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "stderr lacks \"${EXPECTED_ERR}\":\n${err}")
    endif()
endif()
