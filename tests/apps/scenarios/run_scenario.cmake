# Runs one zoom scenario as a plandra script test (run_script_test.cmake). A script
# that renders band-before.png, band.png and band-after.png must show the band
# drawn (a picture unlike the one before it) and erased (the one after it equals
# the one before it, pixel for pixel). One that renders redline-drawn.png,
# redline-deleted.png and redline-restored.png must show the deleted entity gone and
# restored. Only such scripts touch those files: the scenarios share a working
# folder and may run at the same time.
file(READ ${SCRIPT} script_text)
string(FIND "${script_text}" "!render band.png" band_rendered)
if(NOT band_rendered EQUAL -1)
    file(REMOVE band-before.png band.png band-after.png)
endif()
string(FIND "${script_text}" "!render redline-deleted.png" redline_rendered)
if(NOT redline_rendered EQUAL -1)
    file(REMOVE redline-drawn.png redline-deleted.png redline-restored.png)
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
if(NOT redline_rendered EQUAL -1)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files redline-drawn.png
                            redline-deleted.png RESULT_VARIABLE deleted)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files redline-drawn.png
                            redline-restored.png RESULT_VARIABLE restored)
    if(deleted EQUAL 0 OR NOT restored EQUAL 0)
        message(FATAL_ERROR "the entity was not deleted and restored (redline-deleted.png "
                            "${deleted}, redline-restored.png ${restored})")
    endif()
endif()
