#!/usr/bin/env bash
# Takes the README's screenshots with the end-to-end tests (each level's
# information panel and room, the side menu on an object, the editor, the
# English panel and the German menu) and stores them small in
# docs/screenshots/.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(readlink -f "${1:-$ROOT/build}")
SHOTS=$(mktemp -d /tmp/qbn-shots.XXXXXX)
trap 'rm -rf "$SHOTS"' EXIT
export E2E_SHOTS="$SHOTS"
for test in levels menu editor language; do
    bash "$ROOT/tests/e2e/${test}_e2e.sh" "$BUILD/run/quibbleton" >/dev/null
done
OUT="$ROOT/docs/screenshots"
mkdir -p "$OUT"
for name in level1_info level1_room level2_room level4_room level6_room level7_room level8_room level9_room level10_room level11_room level12_room turned won en_info de_menu; do
    /usr/bin/convert "$SHOTS/$name.png" -resize 400x300 -strip -colors 128 "$OUT/$name.png"
done
echo "Screenshots in $OUT"
