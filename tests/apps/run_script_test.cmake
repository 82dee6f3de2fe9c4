# Runs one plandra script test: the script and the expected output name the source
# folder as @SOURCE_DIR@; the output must equal the expected lines exactly and the
# exit status must be EXPECTED_STATUS (0 unless given).
if(NOT DEFINED EXPECTED_STATUS)
    set(EXPECTED_STATUS 0)
endif()
get_filename_component(script_name ${SCRIPT} NAME)
configure_file(${SCRIPT} ${CMAKE_CURRENT_BINARY_DIR}/${script_name} @ONLY)
execute_process(COMMAND ${PLANDRA} script --json ${script_name}
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)
string(CONFIGURE "${expected}" expected @ONLY)
if(NOT status EQUAL EXPECTED_STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${errors}")
endif()
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "output differs.\nGot:\n${output}\nExpected:\n${expected}\n${errors}")
endif()
if(DEFINED EXPECTED_ERROR AND NOT errors MATCHES "${EXPECTED_ERROR}")
    message(FATAL_ERROR "standard error does not match ${EXPECTED_ERROR}:\n${errors}")
endif()
