# The metafiles in written/ are what this build's plandra export writes now: the Windows
# build plays them, so a change to our writer must bring them up to date
# (plandra export DRAWING -o written/NAME.emf --size 800x600).
foreach(drawing ${DRAWINGS})
    get_filename_component(name ${drawing} NAME_WE)
    execute_process(COMMAND ${PLANDRA} export ${drawing} -o ${name}.emf --size 800x600
                    RESULT_VARIABLE status)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${name}.emf
                            ${WRITTEN}/${name}.emf RESULT_VARIABLE differs)
    if(NOT status EQUAL 0 OR NOT differs EQUAL 0)
        message(FATAL_ERROR "${WRITTEN}/${name}.emf is not what plandra export writes now")
    endif()
endforeach()
