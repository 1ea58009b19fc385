#!/usr/bin/env bash
# README's two pictures, taken from the real programs: the Linux window and the Windows
# window (under Wine), each just after a scan of the same small page. The programs take
# no arguments, so this drives them from outside as a person would: it types the page's
# name, moves on with Tab, which proposes the report's name, and presses the scan button.
#
#   resources/screenshots.sh            both, from build/default and build/windows-x64,
#                                       into resources/screenshots/
#   resources/screenshots.sh linux   PROGRAM      OUTPUT.png
#   resources/screenshots.sh windows PAGESIFT.EXE OUTPUT.png
#
# Each picture is taken on an X server of its own with a window manager (openbox), so it
# does not depend on the desktop it is run from. Needs the Debian packages xvfb, xauth,
# openbox, xdotool, imagemagick and optipng, and wine for the Windows picture; the
# Windows one keeps a Wine prefix of its own beside PAGESIFT.EXE.
set -euo pipefail

if [ $# -eq 0 ]; then
    root=$(dirname "$0")/..
    "$0" linux "$root/build/default/window/qt/pagesift" "$root/resources/screenshots/linux.png"
    "$0" windows "$root/build/windows-x64/PAGESIFT.exe" "$root/resources/screenshots/windows.png"
    exit
fi
case "$#:$1" in
3:linux | 3:windows) ;;
*)
    echo "usage: $0 [linux|windows PROGRAM OUTPUT.png]" >&2
    exit 2
    ;;
esac
if [ -z "${PAGESIFT_SCREENSHOT_DISPLAY:-}" ]; then
    PAGESIFT_SCREENSHOT_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

mode=$1
program=$(realpath "$2")
output=$(realpath -m "$3")
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    if [ -n "${prefix:-}" ]; then
        "$wineserver" -k 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "$0: $*" >&2
    exit 1
}
# within SECONDS COMMAND...: runs COMMAND until it succeeds, for at most SECONDS.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
within 20 xdotool get_num_desktops >/dev/null 2>&1 || fail "openbox did not start"

# The page, with Windows' line ends as PAGESIFT reads them, converted as README says.
page() {
    sed 's/$/\r/' <<'EOF'
<html>
<head>
<title>Trattoria Da Zeva - Menu</title>
<link rel="stylesheet" type="text/css" href="stile/sito.css">
</head>
<body background="immagini/sfondo.jpg">
<table width="600">
<tr>
<td><img src="immagini/logo.gif" alt="Trattoria Da Zeva"></td>
<td><h1>Il menu della settimana</h1></td>
</tr>
</table>
<p>Primi piatti, secondi e dolci fatti in casa.</p>
<ul>
<li><a href="primi.htm">Primi piatti</a></li>
<li><a href="secondi.htm">Secondi</a></li>
<li><a href="dolci.html">Dolci</a></li>
<li><a href="C:\VB5\SITEDOCS\VINI.HTM">Carta dei vini</a></li>
</ul>
<p><img src="foto/sala.bmp" width="320" height="200"></p>
<embed src="animazioni/insegna.flh">
<p>Prenotazioni: <a href="mailto:info@example.com">info@example.com</a></p>
<p>Siamo anche su <a href="http://www.example.com/">www.example.com</a></p>
<address>Via Roma 1, Pavia</address>
</body>
</html>
EOF
}

if [ "$mode" = linux ]; then
    mkdir "$work/sito"
    page >"$work/sito/index.htm"
    name=sito/index.htm
    report=$work/sito/index.ht3
else
    prefix=$(dirname "$program")/screenshot-wineprefix
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    "$wine" wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(cat "$work/wineboot.log")"
    # Wine's own fonts (Tahoma, Marlett for the caption's buttons), which Debian's Wine
    # does not look for where fonts-wine puts them.
    cp -u /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
    # The window manager places and focuses the window; Wine draws its frame, as
    # Windows does.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    mkdir -p "$prefix/drive_c/sito"
    page >"$prefix/drive_c/sito/index.htm"
    name='C:\sito\index.htm'
    report=$prefix/drive_c/sito/index.ht3
fi

start() {
    rm -f "$report"
    if [ "$mode" = linux ]; then
        # On Qt's own look, whatever the desktop the script is started from prefers.
        (cd "$work" && exec env -u QT_QPA_PLATFORM -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE \
            -u QT_SCALE_FACTOR XDG_RUNTIME_DIR="$work" "$program" >"$work/program.log" 2>&1) &
    else
        "$wine" "$program" >"$work/program.log" 2>&1 &
    fi
    pids+=($!)
}
window_shown() {
    kill -0 "${pids[-1]}" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
    window=$(xdotool search --onlyvisible --name '^PAGESIFT' | head -n 1)
    [ -n "$window" ]
}
# The focus is in the input field: its text replaced, Tab to the output field and to
# the scan button, which the space bar presses.
scan() {
    within 60 window_shown || fail "the window did not open"
    timeout 20 xdotool windowactivate --sync "$window" || return 1
    sleep 0.5
    xdotool key Home shift+End
    xdotool type --delay 20 "$name"
    xdotool key Tab Tab space
    within 30 test -s "$report"
}
# Seldom (about once in 25 runs under Wine) the keys miss the window just after it
# opens; the program is then started afresh.
for attempt in 1 2 3; do
    start
    scan && break
    [ "$attempt" -lt 3 ] || fail "no report written to $report"
    echo "$0: the keys missed the window; starting it again" >&2
    kill "${pids[-1]}"
    wait "${pids[-1]}" || true
    if [ -n "${prefix:-}" ]; then
        "$wineserver" -k 2>/dev/null || true
        "$wineserver" -w
    fi
done

# The picture once the window has stopped changing (the list painted), without the
# pointer's hover.
xdotool mousemove 1023 767
capture() { import -frame -window "$window" "rgb:$1"; }
capture "$work/before"
for ((tries = 0; ; tries++)); do
    sleep 0.5
    capture "$work/after"
    cmp -s "$work/before" "$work/after" && break
    [ "$tries" -lt 20 ] || fail "the window kept changing"
    mv "$work/after" "$work/before"
done
mkdir -p "$(dirname "$output")"
import -frame -window "$window" "$output"
optipng -quiet -o5 -strip all "$output"
echo "$output"
