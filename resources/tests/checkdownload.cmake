# Unpacks the Windows download and checks what a Windows user gets: the very program
# the build checked, its licence and the Italian guide, both text files with CR LF
# line ends throughout, the guide marked as UTF-8.
#   cmake -DZIP=... -DEXE=PAGESIFT.exe -DLICENSE=<the project's LICENSE> -DWORK=<scratch folder>
#         -P checkdownload.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ZIP} cannot be unpacked")
endif()

set(problems "")
file(GLOB_RECURSE files RELATIVE ${WORK} LIST_DIRECTORIES true ${WORK}/*)
list(SORT files)
if(NOT files STREQUAL "LEGGIMI.txt;LICENSE;PAGESIFT.exe")
    string(APPEND problems "it holds ${files}, expected LEGGIMI.txt, LICENSE and PAGESIFT.exe\n")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXE} ${WORK}/PAGESIFT.exe RESULT_VARIABLE differ)
if(differ)
    string(APPEND problems "its PAGESIFT.exe is not ${EXE}\n")
endif()

# A file's bytes as "4d 49 0d 0a ...": file(READ) as text would drop the CRs.
function(read_bytes file into)
    file(READ ${file} hex HEX)
    string(REGEX MATCHALL ".." bytes "${hex}")
    list(JOIN bytes " " spaced)
    set(${into} "${spaced}" PARENT_SCOPE)
endfunction()

foreach(text LEGGIMI.txt LICENSE)
    if(EXISTS ${WORK}/${text})
        read_bytes(${WORK}/${text} content)
        string(REPLACE "0d 0a" "" bare "${content}")
        if(NOT content MATCHES "0d 0a$" OR bare MATCHES "(^| )0[ad]( |$)")
            string(APPEND problems "${text} does not end every line with CR LF\n")
        endif()
        set(content_${text} "${content}")
    endif()
endforeach()
read_bytes(${LICENSE} licence)
string(REPLACE "0d 0a" "0a" unpacked "${content_LICENSE}")
if(NOT "${unpacked}" STREQUAL "${licence}")
    string(APPEND problems "its LICENSE is not ${LICENSE}\n")
endif()
if(NOT "${content_LEGGIMI.txt}" MATCHES "^ef bb bf ")
    string(APPEND problems "LEGGIMI.txt does not start with UTF-8's byte order mark\n")
endif()

if(problems)
    message(FATAL_ERROR "${ZIP}:\n${problems}")
endif()
message(STATUS "${ZIP}: ${files}")
