#!/usr/bin/env bash
# --help and --version answer without a display, a bad option exits 2, the manual page renders cleanly, and
# the AppStream metadata, the desktop entry and the level files' MIME type pass their validators.
# Usage: desktop_e2e.sh GAME_BINARY
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
GAME=$(readlink -f "$1")
P="$E2E_ROOT/packaging"
RUN=$(mktemp -d /tmp/qbn-desktop.XXXXXX)
trap 'rm -rf "$RUN"' EXIT
cd "$RUN"

# Without a display, and writing nothing into the folder (the options' bounds are the unit tests' table).
env -u DISPLAY "$GAME" --help | grep -q -- "--simulate FILE" || fail "--help does not list --simulate"
env -u DISPLAY "$GAME" --version | grep -q "^Quibbleton 0\." || fail "--version does not say the version"
status=0
env -u DISPLAY "$GAME" --scale 5 2>err.txt || status=$?
[ "$status" -eq 2 ] && grep -q "Try 'quibbleton --help'" err.txt || fail "--scale 5 ended with $status: $(cat err.txt)"
[ ! -e log.txt ] && [ ! -e quibbleton.lock ] || fail "the command line wrote into the folder"

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
mkdir -p mime/packages && cp "$P/quibbleton-mime.xml" mime/packages/
warnings=$(XDG_DATA_HOME="$RUN" update-mime-database "$RUN/mime" 2>&1)
[ -z "$warnings" ] || fail "update-mime-database: $warnings"
grep -q "application/x-quibbleton-level:\*\.lvl" mime/globs2 || fail "no *.lvl in the MIME database: $(cat mime/globs2)"
grep -q "^MimeType=application/x-quibbleton-level;" "$P/quibbleton.desktop" || fail "the desktop entry opens no level files"
echo "e2e: options, manual page, metadata and desktop entry pass"
