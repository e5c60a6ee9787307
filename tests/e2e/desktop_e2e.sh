#!/usr/bin/env bash
# --help and --version answer without a display, a bad option exits 2, the manual page renders cleanly, and
# the AppStream metadata and the desktop entry pass their validators.
# Usage: desktop_e2e.sh GAME_BINARY
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
GAME=$(readlink -f "$1")
P="$E2E_ROOT/packaging"
RUN=$(mktemp -d /tmp/qbn-desktop.XXXXXX)
trap 'rm -rf "$RUN"' EXIT
cd "$RUN"

# args | expected status | text expected on stdout (0) or stderr (2)
while IFS='|' read -r args status says; do
    set +e
    # shellcheck disable=SC2086
    env -u DISPLAY "$GAME" $args >out.txt 2>err.txt
    got=$?
    set -e
    [ "$got" -eq "$status" ] || fail "'$args' ended with $got, not $status: $(cat err.txt)"
    [ "$status" -eq 0 ] && where=out.txt || where=err.txt
    grep -qF -- "$says" "$where" || fail "'$args' did not say '$says': $(cat out.txt err.txt)"
    [ ! -e log.txt ] || fail "'$args' wrote log.txt"
done <<'CASES'
--help|0|--simulate FILE
--version|0|Quibbleton 0.
--no-such-option|2|Try 'quibbleton --help'
--fps-cap 3|2|from 10 to 1000
--fps-cap 60fps|2|not '60fps'
--lang|2|option '--lang' needs a value
-display|2|option '-display' needs a value
level.lvl|2|unexpected argument 'level.lvl'
--seconds 3|2|works only with --simulate
--uncapped=1|2|option '--uncapped' takes no value
CASES

warnings=$(groff -ww -z -man "$P/quibbleton.6" 2>&1)
[ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
warnings=$(MANWIDTH=80 man --warnings -l "$P/quibbleton.6" 2>&1 >man.txt)
[ -z "$warnings" ] || fail "man -l warns: $warnings"
for section in OPTIONS KEYS FILES ENVIRONMENT "EXIT STATUS"; do
    grep -q "^$section" man.txt || fail "the manual page has no $section section"
done
# Every option --help names is in the manual page.
for opt in $("$GAME" --help | grep -o -- '--[a-z-]*' | sort -u); do
    grep -q -- "$opt" man.txt || fail "the manual page does not describe $opt"
done

appstreamcli validate --no-net --pedantic "$P"/*.metainfo.xml >appstream.txt 2>&1 ||
    fail "appstreamcli: $(cat appstream.txt)"
desktop-file-validate "$P/quibbleton.desktop" || fail "desktop-file-validate found faults"
echo "e2e: options, manual page, metadata and desktop entry pass"
