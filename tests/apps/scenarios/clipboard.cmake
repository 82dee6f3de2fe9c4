# Runs the clipboard scenario with the clipboard file in the working folder, beside a
# user's own "1.emf", and checks what the clipboard holds afterwards.
set(ENV{PLANDRA_CLIPBOARD} ${CMAKE_CURRENT_BINARY_DIR}/clipboard.emf)
file(REMOVE clipboard.emf)
file(WRITE 1.emf "a user's file")
include(${CMAKE_CURRENT_LIST_DIR}/../run_script_test.cmake)
file(READ 1.emf users_file)
if(NOT users_file STREQUAL "a user's file")
    message(FATAL_ERROR "1.emf in the current folder was changed")
endif()
# An EMR_HEADER record (type 1) with the signature " EMF" at offset 40.
file(READ clipboard.emf header LIMIT 44 HEX)
string(SUBSTRING "${header}" 0 8 record_type)
string(SUBSTRING "${header}" 80 8 signature)
if(NOT record_type STREQUAL "01000000" OR NOT signature STREQUAL "20454d46")
    message(FATAL_ERROR "the clipboard holds no enhanced metafile: ${header}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files clipboard-before.png
                        clipboard-after.png RESULT_VARIABLE changed)
if(NOT changed EQUAL 0)
    message(FATAL_ERROR "the screen changed with the export")
endif()
