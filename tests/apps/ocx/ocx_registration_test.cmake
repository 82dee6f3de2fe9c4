# Registers Plandra.ocx with "regsvr32 /s", compares the keys under HKEY_CLASSES_ROOT
# with the expected ones, unregisters it with "regsvr32 /u /s" and checks that
# HKEY_CLASSES_ROOT is exactly as it was before. With CLIENT, a VBScript client run by
# cscript while the control is registered prints what CLIENT_EXPECTED holds.
# -DEMULATOR="wine-run win64" -DOCX=path -DEXPECTED=file -DARCH=win32|win64 -DWORK=dir
# [-DCLIENT=script.vbs -DCLIENT_ARGUMENT=path -DCLIENT_EXPECTED=file]
# [-DPER_USER=ON: "regsvr32 /n /i:user", the keys under HKEY_CURRENT_USER\Software\Classes]
cmake_minimum_required(VERSION 3.25)
separate_arguments(run UNIX_COMMAND "${EMULATOR}")
get_filename_component(folder "${OCX}" DIRECTORY)
string(REPLACE "/" "\\" folder "Z:${folder}")
set(server "${folder}\\Plandra.ocx")
if(PER_USER)
    set(root "HKCU\\Software\\Classes")
    set(exported HKCU)
    set(root_name "HKEY_CURRENT_USER\\Software\\Classes")
    set(scope /n /i:user)
else()
    set(root HKCR)
    set(exported HKCR)
    set(root_name HKEY_CLASSES_ROOT)
    set(scope "")
endif()

# Output goes through files: the wine server a run starts inherits the handles and
# would hold a pipe open until it exits, seconds later.
function(wine result_var output_var)
    execute_process(COMMAND ${run} ${ARGN} RESULT_VARIABLE result
                    OUTPUT_FILE "${WORK}/output.txt" ERROR_FILE "${WORK}/errors.txt")
    file(READ "${WORK}/output.txt" output)
    set(${result_var} ${result} PARENT_SCOPE)
    set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

function(export_classes file)
    wine(result output reg export ${exported} "${file}" /y)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "reg export ${exported} failed (${result})")
    endif()
endfunction()

file(MAKE_DIRECTORY "${WORK}")
if(CLIENT)
    # The scripting host registers its own type library the first time it runs in a
    # prefix: that happens before the registry is taken as it was.
    file(WRITE "${WORK}/first.vbs" "' Runs nothing.\n")
    string(REPLACE "/" "\\" first "Z:${WORK}/first.vbs")
    wine(result output cscript //nologo "${first}")
endif()
export_classes("${WORK}/before.reg")

wine(result output regsvr32 /s ${scope} "${server}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "regsvr32 /s failed (${result})")
endif()
set(keys "CLSID\\{270DD446-56DE-4D0F-B2A0-F29FD4BA9435}"
         "CLSID\\{0CC090A8-F0DA-4288-92EA-E76BA3CCD3DB}" "PlandraOCX.DXF"
         "TypeLib\\{92469143-EF61-44DC-9829-C2CC23122823}"
         "Interface\\{D01C3E80-1848-4751-BB78-8480CEFF79A1}"
         "Interface\\{CD8E1B03-89FD-423A-A971-780E6E076E5F}"
         "Interface\\{E06DA8D9-B540-46BC-AC39-C5105C882706}"
         "Interface\\{11C09269-B30B-4A3D-97F2-4E3382A13D42}")
set(registered "")
foreach(key IN LISTS keys)
    wine(result output reg query "${root}\\${key}" /s)
    string(APPEND registered "${output}")
endforeach()
string(REPLACE "\r" "" registered "${registered}")
file(READ "${EXPECTED}" expected)
string(REPLACE "@FOLDER@" "${folder}" expected "${expected}")
string(REPLACE "@ARCH@" "${ARCH}" expected "${expected}")
string(REPLACE "HKEY_CLASSES_ROOT" "${root_name}" expected "${expected}")
if(NOT registered STREQUAL expected)
    file(WRITE "${WORK}/registered.txt" "${registered}")
    message(FATAL_ERROR "the registered keys differ from ${EXPECTED}; "
                        "they are in ${WORK}/registered.txt")
endif()

if(CLIENT)
    string(REPLACE "/" "\\" script "Z:${CLIENT}")
    string(REPLACE "/" "\\" argument "Z:${CLIENT_ARGUMENT}")
    wine(result output cscript //nologo "${script}" "${argument}")
    string(REPLACE "\r" "" output "${output}")
    file(READ "${CLIENT_EXPECTED}" expected)
    if(NOT result EQUAL 0 OR NOT output STREQUAL expected)
        file(WRITE "${WORK}/client.txt" "${output}")
        message(FATAL_ERROR "the client printed (${result}) what ${WORK}/client.txt holds, "
                            "not what ${CLIENT_EXPECTED} holds")
    endif()
endif()

wine(result output regsvr32 /u /s ${scope} "${server}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "regsvr32 /u /s failed (${result})")
endif()
export_classes("${WORK}/after.reg")
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/before.reg" "${WORK}/after.reg"
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    message(FATAL_ERROR "unregistering left ${exported} changed: compare "
                        "${WORK}/before.reg with ${WORK}/after.reg")
endif()
