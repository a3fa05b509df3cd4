#!/usr/bin/env bash
# Starts the real program under a virtual X display and saves a picture of its window.
# Usage: tools/screenshot.sh EXECUTABLE OUTPUT.png
#        tools/screenshot.sh --driver DRIVER OUTPUT.png
# With --driver, DRIVER (first_steps_shot, say) drives the window itself and writes the picture.
set -euo pipefail
if [ "${1:-}" = --driver ]; then
    driver=$(realpath "$2")
    out=$(realpath -m "$3")
    mkdir -p "$(dirname "$out")"
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x900x24" "$driver" "$out"
    echo "saved $out"
    exit 0
fi
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
