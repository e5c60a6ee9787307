#!/usr/bin/env bash
# Regenerates the template po/quibbleton.pot from the texts the game shows and
# merges it into the catalogues. The catalogue test collects the texts by
# walking every menu page, level and message; po/manual.pot adds the few it
# cannot reach. New strings then appear untranslated in de.po and en.po.
# Usage: po/update.sh [BUILD_DIR]   (default: build; needs an X display or xvfb-run)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(readlink -f "${1:-$ROOT/build}")
DUMP=$(mktemp /tmp/qbn-pot.XXXXXX)
trap 'rm -f "$DUMP" "$DUMP.head"' EXIT
cmake --build "$BUILD" --target quibbleton_tests >/dev/null
run=(env QBN_POT_OUT="$DUMP" ./quibbleton_tests --gtest_filter='Language.EveryShownText*')
[ -n "${DISPLAY:-}" ] || run=(xvfb-run -a "${run[@]}")
(cd "$BUILD/tests" && "${run[@]}" >/dev/null) || true
[ -s "$DUMP" ] || { echo "the catalogue test wrote no texts" >&2; exit 1; }
cat >"$DUMP.head" <<'HEAD'
# The texts Quibbleton shows, as the game writes them.
msgid ""
msgstr ""
"Project-Id-Version: quibbleton 0.1.0\n"
"MIME-Version: 1.0\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Content-Transfer-Encoding: 8bit\n"

HEAD
cat "$DUMP" >>"$DUMP.head"
msgcat --use-first --sort-output --no-wrap "$DUMP.head" "$ROOT/po/manual.pot" -o "$ROOT/po/quibbleton.pot"
for lang in de en; do
    msgmerge --quiet --update --backup=none --no-fuzzy-matching --no-wrap --sort-output \
        "$ROOT/po/$lang.po" "$ROOT/po/quibbleton.pot"
done
for lang in de en; do
    printf '%s: ' "$lang"
    msgfmt --check --statistics -o /dev/null "$ROOT/po/$lang.po"
done
