# Unpacks the Windows download and checks what a Windows user gets: the very program
# the build checked, its licence and the Italian guide, both text files with CR LF
# line ends throughout, the guide marked as UTF-8.
#   cmake -DZIP=... -DEXE=PAGESIFT.exe -DWORK=<scratch folder> -DPYTHON=... -DPACKZIP=packzip.py
#         -DEPOCH=<seconds> -DSTAGE=<folder of LICENSE and LEGGIMI.txt> -P checkdownload.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${WORK} COMMAND_ERROR_IS_FATAL ANY)

set(problems "")
file(GLOB files RELATIVE ${WORK} ${WORK}/*)
list(SORT files)
if(NOT files STREQUAL "LEGGIMI.txt;LICENSE;PAGESIFT.exe")
    string(APPEND problems "it holds ${files}, expected LEGGIMI.txt, LICENSE and PAGESIFT.exe\n")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXE} ${WORK}/PAGESIFT.exe RESULT_VARIABLE differ)
if(differ)
    string(APPEND problems "its PAGESIFT.exe is not ${EXE}\n")
endif()

# Packed again from copies in another folder, at another time: the same bytes.
file(MAKE_DIRECTORY ${WORK}/again)
file(COPY_FILE ${EXE} ${WORK}/again/PAGESIFT.exe)
file(COPY ${STAGE}/LICENSE ${STAGE}/LEGGIMI.txt DESTINATION ${WORK}/again NO_SOURCE_PERMISSIONS)
execute_process(COMMAND ${PYTHON} ${PACKZIP} ${WORK}/again.zip ${EPOCH} ${WORK}/again/PAGESIFT.exe
                        ${WORK}/again/LICENSE ${WORK}/again/LEGGIMI.txt COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${ZIP} ${WORK}/again.zip RESULT_VARIABLE differ)
if(differ)
    string(APPEND problems "packed again elsewhere, it is not the same bytes\n")
endif()

# Read as bytes, "4d 49 0d 0a ...": file(READ) as text drops the CRs.
foreach(text LEGGIMI.txt LICENSE)
    file(READ ${WORK}/${text} hex HEX)
    string(REGEX MATCHALL ".." bytes "${hex}")
    list(JOIN bytes " " bytes)
    string(REPLACE "0d 0a" "" bare "${bytes}")
    if(NOT bytes MATCHES "0d 0a$" OR bare MATCHES "(^| )0[ad]( |$)")
        string(APPEND problems "${text} does not end every line with CR LF\n")
    endif()
    if(text STREQUAL "LEGGIMI.txt" AND NOT bytes MATCHES "^ef bb bf ")
        string(APPEND problems "LEGGIMI.txt does not start with UTF-8's byte order mark\n")
    endif()
endforeach()

if(problems)
    message(FATAL_ERROR "${ZIP}:\n${problems}")
endif()
message(STATUS "${ZIP}: ${files}")
