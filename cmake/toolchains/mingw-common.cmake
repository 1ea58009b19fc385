# What both mingw-w64 toolchain files share; they differ only in PAGESIFT_MINGW_ARCH.
# CMake reads this file again for every try_compile, so it only sets variables.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1) # Windows 7, the oldest Windows the program supports
set(CMAKE_SYSTEM_PROCESSOR ${PAGESIFT_MINGW_ARCH})
set(triplet ${PAGESIFT_MINGW_ARCH}-w64-mingw32)

# The POSIX thread model, named explicitly rather than through update-alternatives.
# Neither the Windows program nor its tests start a thread or take a lock (it scans on
# its one thread); the model is chosen for a whole standard library: in the win32
# model Debian's GCC 12 has no std::thread, std::mutex or std::condition_variable.
# Its one cost, winpthreads, is linked statically like the rest of the run-time.
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the test programs through Wine when a Wine that runs this target is
# installed: wine64 for x86_64; the 32-bit loader (Debian's wine32) for i686, which
# wine32.sh beside this file lends to one command. Each build has its own Wine prefix
# (32-bit for i686, as on 32-bit Windows), and Wine neither prints its debug channels
# nor offers to install Mono or Gecko, whose dialogs would wait for a click that never
# comes.
if(PAGESIFT_MINGW_ARCH STREQUAL "x86_64")
    set(wine_names wine64)
    set(wine_arch win64)
else()
    set(wine_names wine)
    set(wine_arch win32)
endif()
# Found inside wine32.sh's namespace, the 32-bit loader is gone outside it.
if(PAGESIFT_WINE AND NOT EXISTS "${PAGESIFT_WINE}")
    unset(PAGESIFT_WINE CACHE)
endif()
find_program(PAGESIFT_WINE NAMES ${wine_names} PATHS /usr/lib/wine /opt/wine-stable/bin NO_DEFAULT_PATH)
find_program(PAGESIFT_WINESERVER NAMES wineserver PATHS /usr/lib/wine /opt/wine-stable/bin NO_DEFAULT_PATH)
find_program(PAGESIFT_ENV env)
if(PAGESIFT_WINE AND PAGESIFT_WINESERVER AND PAGESIFT_ENV)
    set(PAGESIFT_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix for the tests")
    set(PAGESIFT_WINE_ENVIRONMENT
        WINEPREFIX=${PAGESIFT_WINEPREFIX} WINEARCH=${wine_arch} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PAGESIFT_ENV} ${PAGESIFT_WINE_ENVIRONMENT} ${PAGESIFT_WINE})
else()
    set(PAGESIFT_NO_EMULATOR "no Wine here runs ${PAGESIFT_MINGW_ARCH} programs (${wine_names} in /usr/lib/wine)")
endif()
