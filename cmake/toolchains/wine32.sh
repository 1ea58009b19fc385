#!/usr/bin/env bash
# Runs one command where Wine's 32-bit side is there, so that ctest can run the i686
# tests, without installing anything 32-bit on the machine:
#
#     cmake/toolchains/wine32.sh COMMAND [ARG...]
#
# The first time, it downloads Debian's wine32:i386 and the i386 libraries it needs with
# an apt configuration of its own (own lists, own status, own cache; nothing installed),
# and unpacks them into a cache folder. COMMAND then runs in a private mount namespace
# where that folder is laid over /usr: it sees wine32 installed, nothing else does, and
# /usr/bin/wine stays as it was. Later runs find the folder and download nothing.
#
# 32-bit code runs natively where the kernel has IA32 emulation. Where it has not, QEMU's
# user mode (10.x, from bookworm-backports; bookworm's 7.2 is too slow and crashes in
# Wine) runs it, registered in the binfmt_misc of a private user namespace (Linux 6.7
# and later). PAGESIFT_WINE32=native or =qemu chooses instead of finding out. Where
# neither way is possible, it says why and runs COMMAND as it is: the i686 build is
# still built and checked, and ctest lists its tests as not run.
#
# The cache folder is $PAGESIFT_CACHE, by default ~/.cache/pagesift (about 700 MB).
set -euo pipefail

say() { echo "wine32: $*" >&2; }

command=("$@")
[ ${#command[@]} -gt 0 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }
skip() {
    say "the 32-bit tests are NOT run: $*"
    exec 9>&- # the lock, if taken
    exec "${command[@]}"
}

version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) || skip "Debian's wine64 is not installed"
cache=${PAGESIFT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pagesift}/wine32-$version
root=$cache/root32
qemu=$cache/qemu-i386

# A mount namespace of our own: as root directly, otherwise inside a user namespace.
if [ "$(id -u)" -eq 0 ]; then
    namespace=(unshare --mount --propagation private)
else
    namespace=(unshare --user --map-root-user --mount --propagation private)
fi
"${namespace[@]}" true 2>/dev/null || skip "no private mount namespace can be made here (${namespace[*]})"

# private_apt FOLDER [apt.conf line...]: an apt of its own in FOLDER; prints its APT_CONFIG.
private_apt() {
    local folder=$1
    shift
    mkdir -p "$folder/lists/partial" "$folder/cache/archives/partial"
    cp /var/lib/dpkg/status "$folder/status"
    {
        echo "Dir::State \"$folder\"; Dir::State::Lists \"$folder/lists\";"
        echo "Dir::State::status \"$folder/status\"; Dir::Cache \"$folder/cache\";"
        [ "$(id -u)" -eq 0 ] && echo 'APT::Sandbox::User "root";'
        printf '%s\n' "$@"
    } >"$folder/apt.conf"
    APT_CONFIG=$folder/apt.conf apt-get update -qq >&2
    echo "$folder/apt.conf"
}

# download_and_unpack APT_CONFIG FOLDER PACKAGE=VERSION...: says what it downloads.
download_and_unpack() {
    local config=$1 folder=$2
    shift 2
    local debs=$folder.debs
    rm -rf "$debs" "$folder"
    mkdir -p "$debs" "$folder"
    local bytes
    bytes=$(cd "$debs" && APT_CONFIG=$config apt-get download --print-uris "$@" | awk '{ sum += $3 } END { print sum }')
    say "downloading $# Debian packages ($((bytes / 1000000)) MB) to unpack into ${folder%.new}:"
    printf '%s\n' "$@" | sed 's/=.*//' | tr '\n' ' ' | fold -s -w 96 | sed 's/^/    /' >&2
    echo >&2
    (cd "$debs" && APT_CONFIG=$config apt-get download -qq "$@")
    local deb
    for deb in "$debs"/*.deb; do
        dpkg -x "$deb" "$folder"
    done
    rm -rf "$debs"
}

prepare_root() {
    [ -f "$root/.complete" ] && return 0
    local started=$SECONDS
    say "preparing Wine's 32-bit side (wine32:i386 $version), once for this machine"
    local config
    config=$(private_apt "$cache/apt" 'APT::Architectures { "amd64"; "i386"; };')
    # What installing wine32 would bring, as apt resolves it against this machine; only
    # the i386 packages are taken. The X extension libraries are Recommends of Wine's X11
    # driver (without them the clipboard lags). Same version as wine64: they share the
    # wineserver.
    local wanted=(wine32:i386="$version" libwine:i386="$version")
    local library
    for library in libxfixes3 libxrender1 libxrandr2 libxi6 libxinerama1 libxcursor1 libxcomposite1 libxxf86vm1; do
        wanted+=("$library:i386")
    done
    local packages
    mapfile -t packages < <(APT_CONFIG=$config apt-get -s install --no-install-recommends "${wanted[@]}" |
        awk '$1 == "Inst" && $2 ~ /:i386$/ { version = $3; gsub(/[()]/, "", version); print $2 "=" version }')
    [ ${#packages[@]} -gt 0 ] || { say "apt found nothing to download for ${wanted[*]}"; exit 1; }
    download_and_unpack "$config" "$root.new" "${packages[@]}"
    # /lib is /usr/lib on Debian 12, and only /usr is laid over.
    cp -a "$root.new/lib/." "$root.new/usr/lib/"
    rm -rf "$root.new/lib"
    # What libwine's post-installation step does: Wine's zlib1.dll made from MinGW's
    # (libz-mingw-w64, which the installed libwine depends on).
    local zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
    { head -c 64 "$zlib"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$zlib"; } \
        >"$root.new/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
    printf '%s\n' "${packages[@]}" >"$root.new/.complete"
    rm -rf "$root" "$cache/apt"
    mv "$root.new" "$root"
    # What an earlier version of Wine needed is no use now.
    find "${cache%/*}" -maxdepth 1 -name 'wine32-*' ! -path "$cache" -exec rm -rf {} +
    say "ready in $((SECONDS - started)) s: $(du -sh "$root" | cut -f1) in $root"
}

prepare_qemu() {
    [ -x "$qemu" ] && return 0
    local started=$SECONDS
    say "preparing QEMU's user mode from bookworm-backports, once for this machine"
    mkdir -p "$cache/apt-qemu"
    echo 'deb http://deb.debian.org/debian bookworm-backports main' >"$cache/apt-qemu/sources.list"
    local config
    config=$(private_apt "$cache/apt-qemu" "Dir::Etc::SourceList \"$cache/apt-qemu/sources.list\";" \
        "Dir::Etc::SourceParts \"$cache/apt-qemu/none\";")
    local candidate
    candidate=$(APT_CONFIG=$config apt-cache policy qemu-user | awk '$1 == "Candidate:" { print $2 }')
    case "$candidate" in
    1:1[0-9].*) ;;
    *) skip "this kernel runs no 32-bit code, and bookworm-backports offers qemu-user '$candidate', not 10 or later" ;;
    esac
    download_and_unpack "$config" "$cache/qemu" "qemu-user=$candidate"
    mv "$cache/qemu/usr/bin/qemu-i386" "$qemu"
    rm -rf "$cache/qemu" "$cache/apt-qemu"
    say "ready in $((SECONDS - started)) s: $qemu"
}

# Everything below runs as: sh -c "$inside" sh ROOT QEMU COMMAND...
# The overlay lays the i386 files over /usr; with a QEMU, the private binfmt_misc hands
# every i386 ELF program to it (the F flag opens it now, so it need not be visible later).
inside='root=$1 qemu=$2
shift 2
mount -t overlay pagesift-wine32 -o "ro,lowerdir=$root/usr:/usr" /usr || exit 125
if [ -n "$qemu" ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || exit 125
    printf "%s" ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" \
        >/proc/sys/fs/binfmt_misc/register || exit 125
fi
exec "$@"'

# in_namespace QEMU COMMAND...: QEMU empty for native.
in_namespace() {
    local emulator=$1
    shift
    if [ -n "$emulator" ]; then
        unshare --user --map-root-user --mount --propagation private sh -c "$inside" sh "$root" "$emulator" "$@"
    else
        "${namespace[@]}" sh -c "$inside" sh "$root" "" "$@"
    fi
}

# The loader of the i386 C library, run on its own: the smallest 32-bit program at hand.
probe() { in_namespace "$1" /usr/lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1; }

mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9 # another build on this machine may be preparing the same folder
prepare_root
in_namespace "" true || skip "the 32-bit files cannot be laid over /usr in a private mount namespace here"

way=${PAGESIFT_WINE32:-}
if [ -z "$way" ]; then
    if probe ""; then way=native; else way=qemu; fi
fi
case "$way" in
native)
    probe "" || skip "this kernel runs no 32-bit code (and PAGESIFT_WINE32=native)"
    say "the kernel runs 32-bit code: Wine's 32-bit side runs natively"
    emulator=
    ;;
qemu)
    unshare --user --map-root-user --mount sh -c 'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>/dev/null ||
        skip "this kernel runs no 32-bit code, nor gives a user namespace a binfmt_misc of its own for QEMU (Linux $(uname -r); 6.7 and later do)"
    prepare_qemu
    probe "$qemu" || skip "QEMU's user mode does not run the i386 C library's loader here"
    say "Wine's 32-bit side runs under QEMU's user mode ($("$qemu" --version | head -1))"
    emulator=$qemu
    ;;
*)
    echo "wine32: PAGESIFT_WINE32 is '$way': native or qemu" >&2
    exit 2
    ;;
esac
exec 9>&-

in_namespace "$emulator" "${command[@]}"
