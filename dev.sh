#!/usr/bin/env bash
# One entry point for a fresh clone: installs the Debian packages that are missing,
# builds, then opens the window (run), runs the whole test suite (test), runs it again
# under the address and undefined-behaviour sanitizers and fuzzes the scan for a minute
# (check), cross-builds PAGESIFT.exe for Windows and runs its tests under Wine
# (windows), or measures the tests by the faults they catch (mutate).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 icoutils binutils-mingw-w64-i686 cpp binutils
    desktop-file-utils appstream dpkg-dev file lintian
    clang-14 libclang-rt-14-dev
    # the desktop icons, rendered from their drawing
    librsvg2-bin
    # README's pictures (resources/screenshots.sh), which the suite takes once too
    xvfb xauth openbox xdotool imagemagick optipng
)

# The Windows builds: mingw-w64's cross compilers (posix thread model), GoogleTest's
# sources to build for the target, Wine and an X server without a screen for its
# windows. Wine comes without its recommendations, which would install the 32-bit wine32
# and a hundred i386 packages on the machine: cmake/toolchains/wine32.sh lends them to
# the 32-bit tests alone. Wine's X11 driver loads the X libraries listed.
windows_packages=(
    cmake ninja-build googletest icoutils xvfb xauth
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 fonts-wine
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1
    # the Windows window's picture for README, taken once by the tests too
    openbox xdotool imagemagick optipng
)

# install_missing [apt-get option...] -- package...
install_missing() {
    local options=()
    while [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    shift
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${options[@]}" "${missing[@]}" >/dev/null
}

build() {
    [ -f build/default/CMakeCache.txt ] || cmake --preset default >/dev/null
    cmake --build --preset default
}

case "${1:-}" in
run)
    install_missing -- "${packages[@]}"
    build
    exec build/default/window/qt/pagesift
    ;;
test)
    install_missing -- "${packages[@]}"
    cmake --workflow --preset default
    ;;
check)
    install_missing -- "${packages[@]}"
    cmake --workflow --preset asan
    cmake --workflow --preset fuzz
    ;;
windows)
    install_missing --no-install-recommends -- "${windows_packages[@]}"
    # On a screen of their own, large enough for the window at 200 %:
    screen="-screen 0 2560x1600x24"
    # build/windows-x86/PAGESIFT.exe, tested under Wine's 32-bit side (natively, or under
    # QEMU where the kernel runs no 32-bit code; the script says which, or why neither).
    xvfb-run -a -s "$screen" cmake/toolchains/wine32.sh cmake --workflow --preset windows-x86
    # Its 64-bit twin from the same sources, tested under Wine's 64-bit side.
    xvfb-run -a -s "$screen" cmake --workflow --preset windows-x64
    ;;
mutate)
    # Developer's tool, too slow for CI: plants faults in a private copy of the sources.
    install_missing -- "${packages[@]}"
    shift
    exec python3 tools/mutate.py "$@"
    ;;
*)
    echo "usage: $0 run|test|check|windows|mutate [--every N] [FILE...]" >&2
    exit 2
    ;;
esac
