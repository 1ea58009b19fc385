# Build step: refuses a broken window icon, then extracts the desktop theme's PNGs
# from it, so the window, the Windows executable and the desktop show one picture.
#   cmake -DICOTOOL=... -DICON=pagesift.ico -DPNG_16=... -DPNG_32=... -P checkicon.cmake
# icotool exits 0 even on a broken file, so its output is what gets judged.
# A PNG that cannot be written is the build folder's fault, not the icon's, and is
# reported as such.

function(fail why)
    message(FATAL_ERROR "${ICON}: ${why}\n"
        "Expected exactly two images, 32x32 and 16x16, 4 bits per pixel with a 16-colour palette; "
        "regenerate it with: python3 makeicon.py pagesift.ico")
endfunction()

if(NOT EXISTS "${ICON}")
    fail("missing")
endif()

execute_process(COMMAND "${ICOTOOL}" --list "${ICON}"
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
    fail("icotool cannot read it: ${errors}")
endif()

string(REGEX MATCHALL "[^\n]+" entries "${listing}")
list(TRANSFORM entries REPLACE "--index=[0-9]+ " "")
list(SORT entries)
set(expected
    "--icon --width=16 --height=16 --bit-depth=4 --palette-size=16"
    "--icon --width=32 --height=32 --bit-depth=4 --palette-size=16")
if(NOT entries STREQUAL expected)
    string(REPLACE ";" "\n  " found "${entries}")
    fail("icotool lists:\n  ${found}")
endif()

# Creates the folder of a PNG and makes sure the PNG can be written there.
function(require_writable png)
    get_filename_component(folder "${png}" DIRECTORY)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E make_directory "${folder}"
        ERROR_VARIABLE errors RESULT_VARIABLE status)
    if(status EQUAL 0)
        execute_process(COMMAND "${CMAKE_COMMAND}" -E touch "${png}"
            ERROR_VARIABLE errors RESULT_VARIABLE status)
    endif()
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "cannot write ${png}: ${errors}")
    endif()
    file(REMOVE "${png}")
endfunction()

foreach(size 16 32)
    require_writable("${PNG_${size}}")
    execute_process(COMMAND "${ICOTOOL}" --extract --width=${size} --height=${size} --bit-depth=4
            --output=${PNG_${size}} "${ICON}"
        ERROR_VARIABLE errors RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT errors STREQUAL "" OR NOT EXISTS "${PNG_${size}}")
        fail("the ${size}x${size} image cannot be extracted: ${errors}")
    endif()
endforeach()
