#!/usr/bin/env bash
# Starts the real program under a virtual X display and saves a picture of its window.
# Usage: tools/screenshot.sh EXECUTABLE OUTPUT.png
set -euo pipefail
exe=$(realpath "$1")
out=$2
mkdir -p "$(dirname "$out")"
shot=$(mktemp --suffix=.png)
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    "$0" & pid=$!
    sleep "${SCREENSHOT_DELAY:-3}"
    import -window root "$1"
    kill "$pid"' "$exe" "$shot"
# No window manager runs: the window stands alone on a black screen, so trimming cuts it out.
convert "$shot" -trim +repage "$out"
rm -f "$shot"
echo "saved $out"
