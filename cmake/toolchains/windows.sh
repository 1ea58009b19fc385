#!/usr/bin/env bash
# The Windows builds, from Debian: installs the mingw-w64 cross compilers, Wine and the
# tools that check the executables when they are missing, cross-builds PAGESIFT for
# 32-bit and 64-bit Windows from the same sources and flags, checks both executables
# and runs the 64-bit tests under Wine (this machine runs no 32-bit code). Written to
# be merged into dev.sh as its "windows" command; until then:
#     bash cmake/toolchains/windows.sh [install|build|test]     (no argument: all three)
set -euo pipefail

windows_packages=(
    cmake ninja-build googletest
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    icoutils
    # Wine without its recommendations, which would pull wine32 (not installable
    # here) and a hundred packages; its X11 driver loads the X libraries listed.
    wine wine64 fonts-wine
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1
    xvfb xauth
)
windows_targets=(i686 x86_64)

windows_install() {
    local absent=() package
    for package in "${windows_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            absent+=("$package")
    done
    if [ ${#absent[@]} -gt 0 ]; then
        local sudo=()
        [ "$(id -u)" -ne 0 ] && sudo=(sudo)
        echo "Installing for the Windows builds: ${absent[*]}"
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
            "${absent[@]}" >/dev/null
    fi
}

windows_build() {
    local target
    for target in "${windows_targets[@]}"; do
        [ -f "build/mingw-$target/CMakeCache.txt" ] ||
            cmake -S . -B "build/mingw-$target" -G Ninja \
                --toolchain "cmake/toolchains/mingw-$target.cmake" \
                -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGESIFT_WARNINGS_AS_ERRORS=ON >/dev/null
        cmake --build "build/mingw-$target"
    done
}

# i686 runs only the executable's check; x86_64 also runs the Win32 tests in Wine. Under
# Xvfb when it is there (Wine's real X11 driver, screenshots possible); without a
# display the test fixture switches Wine to its null graphics driver.
windows_test() {
    ctest --test-dir build/mingw-i686 --output-on-failure
    local display=()
    if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
        display=(xvfb-run -a -s "-screen 0 1280x1024x24")
    fi
    "${display[@]}" ctest --test-dir build/mingw-x86_64 --output-on-failure
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    cd "$(dirname "$0")/../.."
    case "${1:-all}" in
    install) windows_install ;;
    build) windows_build ;;
    test) windows_test ;;
    all)
        windows_install
        windows_build
        windows_test
        ;;
    *)
        echo "usage: $0 [install|build|test]" >&2
        exit 2
        ;;
    esac
fi
