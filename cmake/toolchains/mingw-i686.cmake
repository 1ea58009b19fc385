# Cross-compiles PAGESIFT for 32-bit Windows with Debian's mingw-w64.
set(PAGESIFT_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
