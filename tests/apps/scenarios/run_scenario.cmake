# Runs one zoom scenario as a plandra script test (run_script_test.cmake). A script
# that renders band-before.png, band.png and band-after.png must show the band
# drawn (a picture unlike the one before it) and erased (the one after it equals
# the one before it, pixel for pixel). Only such a script touches those files: the
# scenarios share a working folder and may run at the same time.
file(READ ${SCRIPT} script_text)
string(FIND "${script_text}" "!render band.png" band_rendered)
if(NOT band_rendered EQUAL -1)
    file(REMOVE band-before.png band.png band-after.png)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/../run_script_test.cmake)
if(NOT band_rendered EQUAL -1)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files band-before.png band.png
                    RESULT_VARIABLE drawn)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files band-before.png band-after.png
                    RESULT_VARIABLE erased)
    if(drawn EQUAL 0 OR NOT erased EQUAL 0)
        message(FATAL_ERROR "the band was not drawn and erased (band.png ${drawn}, "
                            "band-after.png ${erased})")
    endif()
endif()
