#!/usr/bin/env bash
# Every catalogue translates every text of the template, none fuzzy, and
# holds nothing the template does not.
set -euo pipefail
PO=$(cd "$(dirname "$0")" && pwd)
status=0
for lang in de en; do
    stats=$(msgfmt --check --statistics -o /dev/null "$PO/$lang.po" 2>&1)
    echo "$lang: $stats"
    case "$stats" in *untranslated* | *fuzzy*) status=1 ;; esac
    msgcmp "$PO/$lang.po" "$PO/quibbleton.pot" || status=1
    msgcmp "$PO/quibbleton.pot" "$PO/$lang.po" --use-untranslated || status=1
done
exit $status
