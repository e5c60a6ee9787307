#!/usr/bin/env bash
# The level simulator: data/level3_solved.lvl (QBN_KEEP_SOLVED_LEVEL=path of the BuiltInLevels simulator test) wins
# by level 3's own rule at every frame rate and jitter with the same bodies; bad input exits 2, one line on stderr.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
BIN=$(readlink -f "$1")
LEVEL="$E2E_DIR/data/level3_solved.lvl"
RUN=$(mktemp -d /tmp/qbn-e2e.XXXXXX)
trap cleanup EXIT
cp -r "$(dirname "$BIN")/md2_objects" "$(dirname "$BIN")/particletextures" "$RUN/"
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$RUN/xvfb.txt" 2>&1 &
XVFB_PID=$!
read -r -t 10 display <&3 || fail "Xvfb gave no display number"
export DISPLAY=":$display"
cd "$RUN"

for jitter in "" "--jitter 42"; do
    # shellcheck disable=SC2086
    "$BIN" --simulate "$LEVEL" --fps 5,20,60,144 --seconds 12 $jitter >out.txt 2>err.txt || fail "exit $? $(cat err.txt)"
    [ ! -s err.txt ] || fail "messages on standard error: $(cat err.txt)"
    python3 - out.txt <<'PY' || fail "results: $(cut -c1-300 out.txt)"
import json, sys
runs = [json.loads(line) for line in open(sys.argv[1])]
assert [r["fps"] for r in runs] == [5, 20, 60, 144], runs
for r in runs:
    assert r["won"] and r["won_at"] == runs[0]["won_at"] and r["seconds"] == 12.0, r
    assert r["bodies"] == runs[0]["bodies"] and len(r["bodies"]) > 5, r["fps"]
PY
done
[ ! -e log.txt ] && [ ! -e levels ] || fail "the simulator wrote into its working directory"

printf '[QBN-LEVEL]\x00\x00\x01garbage' >damaged.lvl
while IFS= read -r args; do
    set +e
    # shellcheck disable=SC2086
    "$BIN" $args >out.txt 2>err.txt
    code=$?
    set -e
    [ "$code" = 2 ] || fail "$args: exit $code"
    [ ! -s out.txt ] || fail "$args: wrote to standard output"
    # One line saying what is wrong (the command line's own errors add a hint at --help).
    [ "$(grep -vc "^Try 'quibbleton --help'" err.txt)" = 1 ] || fail "$args: stderr was: $(cat err.txt)"
done <<EOF2
--simulate missing.lvl
--simulate damaged.lvl
--simulate /dev/zero
--simulate
EOF2
echo "PASS: simulate"
