#!/usr/bin/env bash
# One entry point for a fresh clone: installs the Debian packages that are missing,
# builds, then opens the window (run), runs the whole test suite (test), or runs it
# again under the address and undefined-behaviour sanitizers and fuzzes the scan for
# a minute (check).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 icoutils binutils-mingw-w64-i686 cpp binutils
    desktop-file-utils appstream dpkg-dev file lintian
    clang-14 libclang-rt-14-dev
)

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

build() {
    [ -f build/default/CMakeCache.txt ] || cmake --preset default >/dev/null
    cmake --build --preset default
}

case "${1:-}" in
run)
    install_missing
    build
    exec build/default/window/pagesift
    ;;
test)
    install_missing
    cmake --workflow --preset default
    ;;
check)
    install_missing
    cmake --workflow --preset asan
    cmake --workflow --preset fuzz
    ;;
*)
    echo "usage: $0 run|test|check" >&2
    exit 2
    ;;
esac
