#!/usr/bin/env bash
# Prints the lines of test code against the lines of product code and their
# ratio. Test code: tests/ (unit tests and end-to-end scripts). Product code:
# src/, tools/, bench/ and fuzz/ (their source and scripts, not seeds or data).
# Exits 1 when the tests outgrow a third of the product, with --check.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
count() {
    git ls-files -co --exclude-standard -- "$@" |
        grep -E '\.(cpp|h|hpp|c|sh|py|cmake)$|/CMakeLists\.txt$|/run$' |
        while read -r f; do [ -f "$f" ] && cat "$f"; done | wc -l
}
tests=$(count tests)
product=$(count src tools bench fuzz)
ratio=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.3f", (p ? t / p : 0) }')
echo "Code size: ${tests} test lines, ${product} product lines, ratio ${ratio} (limit 0.333)"
if [ "${1:-}" = "--check" ]; then
    [ $((tests * 3)) -le "$product" ]
fi
