# Checks PAGESIFT.exe as Windows' loader will see it: the PE format of its target, the
# GUI subsystem, large-address-aware (so the 32-bit one gets 4 GB on 64-bit Windows),
# no DLL that Windows does not bring itself (the C++ run-time is inside), the icon group
# with its two 16-colour images, the version record and the manifest.
#   cmake -DOBJDUMP=... -DWRESTOOL=... -DICOTOOL=... -DFORMAT=pei-i386|pei-x86-64 -DEXE=...
#         -DWORK=<scratch folder> -P checkexecutable.cmake

cmake_minimum_required(VERSION 3.25)

set(problems "")

function(run into)
    execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE output RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed: ${status}")
    endif()
    set(${into} "${output}" PARENT_SCOPE)
endfunction()

function(expect text pattern problem)
    if(NOT text MATCHES "${pattern}")
        set(problems "${problems}${problem}\n" PARENT_SCOPE)
    endif()
endfunction()

run(headers ${OBJDUMP} -p ${EXE})
expect("${headers}" "file format ${FORMAT}\n" "not ${FORMAT}")
expect("${headers}" "\nSubsystem[ \t]+00000002" "not the Windows GUI subsystem (2)")
expect("${headers}" "\n[ \t]*large address aware\n" "not large-address-aware")
expect("${headers}" "\nTime/Date[ \t]+[^\n]*19(69|70)\n" "dated by its link (the header's time stamp is not 0)")

# Windows' own DLLs, and the API sets through which Windows 10 and later export the CRT.
set(system_dlls kernel32 user32 gdi32 comctl32 comdlg32 shell32 advapi32 ole32 oleaut32 oleacc
    shlwapi uxtheme msvcrt)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
    string(APPEND problems "no imported DLL found in the headers\n")
endif()
foreach(import IN LISTS imports)
    string(REGEX REPLACE "DLL Name: *" "" dll "${import}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" name)
    string(REGEX REPLACE "\\.dll$" "" name "${name}")
    if(NOT name IN_LIST system_dlls AND NOT name MATCHES "^api-ms-win-")
        string(APPEND problems "needs ${dll}, which Windows does not have\n")
    endif()
endforeach()

if(NOT WRESTOOL)
    string(APPEND problems "wrestool (Debian package icoutils) not found: resources not checked\n")
else()
    run(resources ${WRESTOOL} -l ${EXE})
    expect("${resources}" "--type=14 " "no icon group resource")
    expect("${resources}" "--type=16 " "no version resource")
    expect("${resources}" "--type=24 " "no manifest")
    # The icon group read back as an .ico: the window's two images, 16 colours each.
    file(MAKE_DIRECTORY ${WORK})
    run(ignored ${WRESTOOL} -x --type=14 -o ${WORK} ${EXE})
    file(GLOB groups ${WORK}/*.ico)
    if(NOT groups OR NOT ICOTOOL)
        string(APPEND problems "the icon group could not be read back\n")
    else()
        list(GET groups 0 group)
        run(images ${ICOTOOL} -l ${group})
        foreach(size 32 16)
            expect("${images}" "--width=${size} --height=${size} --bit-depth=4 --palette-size=16"
                   "no ${size}x${size} 16-colour image in the icon group")
        endforeach()
    endif()
endif()

if(problems)
    message(FATAL_ERROR "${EXE}:\n${problems}")
endif()
string(REPLACE "DLL Name: " "" imports "${imports}")
message(STATUS "${EXE}: ${FORMAT}, GUI subsystem, DLLs: ${imports}")
