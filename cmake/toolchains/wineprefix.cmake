# Readies the Wine prefix before the Windows tests run, and ends its processes after
# them (ctest's fixture "wine"); or runs one test program at another DPI:
#   cmake -DENV=/usr/bin/env "-DENVIRONMENT=WINEPREFIX=...|VAR=value..." -DWINE=... -DWINESERVER=...
#         [-DSTOP=ON | -DDPI=144 -DRUN=program.exe] -P wineprefix.cmake
#
# Wine's own background processes (services.exe, explorer.exe, winedevice.exe...) start
# with the first program and inherit its output; started by a test, they keep ctest
# waiting 2-3 s after each test, until Wine ends them. So they are started here with
# their output in a log file, and a persistent server keeps them while the tests run; it
# ends them 60 s after the last Wine program, or at once in the cleanup.

cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" ENVIRONMENT "${ENVIRONMENT}")
set(ENVIRONMENT ${ENV} ${ENVIRONMENT})
string(REGEX MATCH "WINEPREFIX=[^;]+" prefix "${ENVIRONMENT}")
string(REPLACE "WINEPREFIX=" "" prefix "${prefix}")
set(log ${prefix}.log)

function(wineserver)
    execute_process(COMMAND ${ENVIRONMENT} ${WINESERVER} ${ARGN}
                    INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null RESULT_VARIABLE ignored)
endfunction()

function(wine)
    execute_process(COMMAND ${ENVIRONMENT} ${WINE} ${ARGN} TIMEOUT 600
                    INPUT_FILE /dev/null OUTPUT_FILE ${log} ERROR_FILE ${log} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        file(READ ${log} output)
        message(FATAL_ERROR "wine ${ARGN} failed (${status}):\n${output}")
    endif()
endfunction()

if(STOP)
    wineserver(-k) # also whatever a failed test left behind
    return()
endif()

# Wine reads the DPI from the prefix's registry when a program starts, as Windows does at
# sign-in: set just before the program, put back to 96 after it. The program is told
# the DPI in PAGESIFT_DPI; its output is the test's. Without an X display, Wine's null
# driver has a screen of 1024 x 768, where the window at 144 DPI and more does not fit.
set(desktop "HKCU\\Control Panel\\Desktop")
if(DPI AND "$ENV{DISPLAY}" STREQUAL "")
    message("Not run: no X display to hold the window at ${DPI} DPI")
    return()
elseif(DPI)
    wine(reg add "${desktop}" /v LogPixels /t REG_DWORD /d ${DPI} /f)
    execute_process(COMMAND ${ENVIRONMENT} PAGESIFT_DPI=${DPI} ${WINE} ${RUN} INPUT_FILE /dev/null RESULT_VARIABLE ignored)
    wine(reg add "${desktop}" /v LogPixels /t REG_DWORD /d 96 /f)
    return()
endif()

# A server from an earlier run may know another X display: start afresh.
wineserver(-k)
wineserver(-w)

# The first run creates the prefix, which takes most of this step's time; later runs
# find it up to date.
string(TIMESTAMP started "%s")
wine(wineboot --init)
string(TIMESTAMP booted "%s")

# Without a window manager (Xvfb has none) Wine waits 2 s for one at each window it
# closes, unless its windows are unmanaged. Without any X display it draws on nothing.
set(key "HKCU\\Software\\Wine")
wine(reg add "${key}\\X11 Driver" /v Managed /d N /f)
wine(reg add "${desktop}" /v LogPixels /t REG_DWORD /d 96 /f) # even after a DPI run was cut short
if("$ENV{DISPLAY}" STREQUAL "")
    wine(reg add "${key}\\Drivers" /v Graphics /d null /f)
    set(display "no X display: the null graphics driver")
else()
    wine(reg add "${key}\\Drivers" /v Graphics /d x11 /f)
    set(display "X display $ENV{DISPLAY}")
endif()

# Wine's background processes again, now with these settings, under a server that stays.
wineserver(-k)
wineserver(-w)
file(MAKE_DIRECTORY ${prefix})
wineserver(-p60)
wine(wineboot)

math(EXPR seconds "${booted} - ${started}")
message(STATUS "Wine prefix ${prefix} ready; wineboot --init took ${seconds} s; ${display}")
