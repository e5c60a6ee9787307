#!/usr/bin/env bash
# Installs what is missing, builds the game and runs the whole test suite
# headless under Xvfb.
set -euo pipefail
QBN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QBN_ROOT/scripts/deps.sh"

qbn_install_missing
qbn_build RelWithDebInfo
bash "$QBN_ROOT/scripts/count-lines.sh"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$QBN_ROOT/build" --output-on-failure -j"$(nproc)"
