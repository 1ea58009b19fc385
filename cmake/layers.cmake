# How the build keeps the layers apart.
#
# The platform is chosen here, once: PAGESIFT_PLATFORM names the folder of the window
# toolkit's code (qt or win32) and PAGESIFT_SYSTEM that of the file layer (posix or
# win32). Every layer adds just that folder of its own, and whatever else differs
# between the platforms (the top-level settings, the tests, the benchmarks, the
# Windows program's resources) asks these two rather than the system again.
#
# Each library exposes only its own headers, under an include root of its own in the
# build folder, where a forwarding header stands for each header the library lists
# ("scan/lineselector.h" includes the real one). A target sees the roots of what it
# links and nothing else: the portable core links no front end, so a core file that
# includes a Qt, Win32 or POSIX header of the project does not build.
#
# Warnings come from the INTERFACE target pagesift_warnings, which every target of the
# project links; code built from elsewhere (GoogleTest's sources) gets none of them.

if(WIN32)
    set(PAGESIFT_PLATFORM win32)
    set(PAGESIFT_SYSTEM win32)
else()
    set(PAGESIFT_PLATFORM qt)
    set(PAGESIFT_SYSTEM posix)
endif()

add_library(pagesift_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(pagesift_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        $<$<BOOL:${PAGESIFT_WARNINGS_AS_ERRORS}>:-Werror>)
endif()

# pagesift_layer(<library>): the library's listed headers reachable by their folder
# path through its own include root, for itself and for whatever links it; and the
# project's warnings.
function(pagesift_layer target)
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.h$")
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${folder} OUTPUT_VARIABLE header)
            cmake_path(RELATIVE_PATH header BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE name)
            # Written only when it changes, so a new configure rebuilds nothing.
            file(CONFIGURE OUTPUT ${root}/${name} CONTENT "#include \"${header}\"\n")
        endif()
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PRIVATE pagesift_warnings)
endfunction()

# pagesift_qt(<target>...): Qt's meta-object compiler for the Qt targets only.
function(pagesift_qt)
    set_target_properties(${ARGN} PROPERTIES AUTOMOC ON)
endfunction()

# pagesift_program(<target>...): a program of the project's (tests, benchmarks, fuzz
# targets): the project's warnings, and its own helpers by their folder path
# ("tests/form1harness.h"); what it tests comes through what it links.
function(pagesift_program)
    foreach(target IN LISTS ARGN)
        target_link_libraries(${target} PRIVATE pagesift_warnings)
        target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    endforeach()
endfunction()
