#!/bin/sh
# nodisplay.sh PROGRAM LINE [NAME=VALUE...]: starts PROGRAM with no window system but
# what the assignments name; passes when it ends with status 1 and LINE is all it wrote
# on standard error (no abort, none of the toolkit's text).
program=$1
line=$2
shift 2
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE "$@" "$program" 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] && [ "$said" = "$line" ] && exit 0
printf 'status %s, standard error:\n%s\n' "$status" "$said"
exit 1
