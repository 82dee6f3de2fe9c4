# Runs Rescind32.exe under Wine, silently, on an installation written into WORK, and
# checks that the installation is gone and the user's file stays.
# Arguments: PROGRAM, EMULATOR (its words separated by "|"), WORK.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/APP/DATA")
file(WRITE "${WORK}/APP/A.EXE" "program")
file(WRITE "${WORK}/APP/NOTES.TXT" "the user's")
string(REPLACE "/" "\\" app "Z:${WORK}/APP")
file(WRITE "${WORK}/APP/INSTALL.LOG"
    "***  Installation Started 01/02/03 4:05  ***\r\nTitle: Test\r\nSource: S\r\n"
    "Made Dir: ${app}\r\nMade Dir: ${app}\\DATA\r\nFile Copy: ${app}\\A.EXE\r\n")
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(COMMAND ${emulator} "${PROGRAM}" /S "${app}\\INSTALL.LOG" RESULT_VARIABLE result)
foreach(gone A.EXE DATA INSTALL.LOG)
    if(EXISTS "${WORK}/APP/${gone}")
        message(FATAL_ERROR "Rescind32.exe left ${gone} (exit ${result})")
    endif()
endforeach()
if(NOT EXISTS "${WORK}/APP/NOTES.TXT")
    message(FATAL_ERROR "Rescind32.exe deleted a file the log does not name")
endif()
file(REMOVE_RECURSE "${WORK}")
