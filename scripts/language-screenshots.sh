#!/usr/bin/env bash
# Pictures of every level's panel, the win and text entry screens, a message
# and every page of the side menu (each level's page and object pages, the
# editor's pages) in German and in English, drawn by the game itself
# (build/tools/qbn_pages), into docs/screenshots/pages/<lang>/: the screens
# whole, the menu pages as the menu column alone. For translators: a text
# that does not fit shows here first.
# Usage: scripts/language-screenshots.sh [BUILD_DIR]   (default: build; needs an X display or xvfb-run)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(readlink -f "${1:-$ROOT/build}")
WORK=$(mktemp -d /tmp/qbn-pages.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cmake --build "$BUILD" --target quibbleton qbn_pages >/dev/null
for lang in de en; do
    rm -rf "$WORK/run" "$WORK/$lang" && mkdir -p "$WORK/$lang" && cp -r "$BUILD/run" "$WORK/run"
    rm -f "$WORK/run"/levels/_*.lvl "$WORK/run/progress.txt" "$WORK/run/sound.cfg"
    run=("$BUILD/tools/qbn_pages" "$WORK/$lang" "$lang" "$WORK/run/locale")
    [ -n "${DISPLAY:-}" ] || run=(xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}")
    (cd "$WORK/run" && "${run[@]}" >/dev/null)
    OUT="$ROOT/docs/screenshots/pages/$lang"
    rm -rf "$OUT" && mkdir -p "$OUT"
    for ppm in "$WORK/$lang"/*.ppm; do
        name=$(basename "$ppm" .ppm)
        case "$name" in
        *_panel | win_screen | text_entry | message) /usr/bin/convert "$ppm" -strip +dither -colors 32 "$OUT/$name.png" ;;
        *) /usr/bin/convert "$ppm" -crop 170x600+630+0 +repage -strip +dither -colors 32 "$OUT/$name.png" ;;
        esac
    done
done
echo "Pictures in $ROOT/docs/screenshots/pages"
