#!/usr/bin/env bash
# Installs what is missing, builds the game (and only what it needs: no tests
# or benchmarks) and runs it. Without a display it runs the game under Xvfb
# for a few seconds and saves a screenshot.
set -euo pipefail
QBN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QBN_ROOT/scripts/deps.sh"

qbn_install_missing
qbn_build Release quibbleton
RUN_DIR="$QBN_ROOT/build/run"
cd "$RUN_DIR"

if [ -n "${DISPLAY:-}" ]; then
    exec ./quibbleton "$@"
fi

SHOT="$QBN_ROOT/build/screenshot.png"
echo "No display: running the game under Xvfb for a few seconds."
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    ./quibbleton "$@" & game=$!
    sleep 5
    import -window root -crop 800x600+0+0 +repage "'"$SHOT"'"
    kill $game 2>/dev/null || true
' _ "$@"
echo "Screenshot saved to $SHOT"
echo "The game ran in $RUN_DIR (its log is $RUN_DIR/log.txt)."
