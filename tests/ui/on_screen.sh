#!/bin/sh
# Runs a command on a virtual X screen of its own, with a panel:
#   on_screen.sh WIDTHxHEIGHT PANEL COMMAND...
# PANEL is the height in pixels of a panel along the screen's foot (0: none),
# told to programs as the desktop's work area (_NET_WORKAREA on the root
# window, which Qt reads when no window manager tells it otherwise). The
# screen keeps its properties between clients (-noreset). Exit 77: no Xvfb.
set -e
size=$1
panel=$2
shift 2
command -v Xvfb >/dev/null && command -v xprop >/dev/null || exit 77
display_file=$(mktemp)
Xvfb -displayfd 3 -noreset -screen 0 "${size}x24" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$display_file")"
export DISPLAY
width=${size%x*}
height=${size#*x}
if [ "$panel" -gt 0 ]; then
    xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA "0,0,$width,$((height - panel))"
fi
QT_QPA_PLATFORM=xcb "$@"
