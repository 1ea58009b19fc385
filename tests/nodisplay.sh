#!/bin/sh
# nodisplay.sh PROGRAM LINE [NAME=VALUE...]: PROGRAM, started with no window system but
# what the assignments name, must end with status 1 and LINE alone on standard error.
program=$1 line=$2
shift 2
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" "$program" 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] && [ "$said" = "$line" ] || { printf 'status %s: %s\n' "$status" "$said"; exit 1; }
