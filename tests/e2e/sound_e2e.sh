#!/usr/bin/env bash
# The machine heard: the first level solved and won (the playthrough test up
# to its win) with OpenAL Soft writing what it plays into a wave file, once
# with sound on and once muted by the player's settings file. With sound:
# silence until the machine starts, every impact the game logs is heard when
# it logs it, and the win sound rings on after the win. Muted: nothing at all.
# Usage: sound_e2e.sh path/to/quibbleton
set -euo pipefail
DIR=$(mktemp -d /tmp/qbn-sound.XXXXXX)
[ -n "${KEEP_E2E:-}" ] || trap 'rm -rf "$DIR"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
RATE=22050

play_level1() { # MODE [settings file]
    printf '[general]\nchannels = stereo\nsample-type = int16\nfrequency = %d\n[wave]\nfile = %s\n' \
        "$RATE" "$DIR/$1.wav" >"$DIR/$1.conf"
    ALSOFT_DRIVERS=wave ALSOFT_CONF="$DIR/$1.conf" E2E_FILES="${2:-}" E2E_UNTIL_WIN="$DIR/$1.log" \
        bash "$(dirname "$0")/playthrough_e2e.sh" "$BIN" >"$DIR/$1.out" 2>&1 ||
        fail "level 1 ($1) was not played through: $(tail -n 30 "$DIR/$1.out")"
    grep -q "^Sound: playing on" "$DIR/$1.log" || fail "($1) no sound device: $(grep '^Sound' "$DIR/$1.log")"
}

# samples MODE: "left right" per line of the wave file. OpenAL Soft's output
# runs up to a few hundredths of a second ahead of the times the game logs.
samples() {
    local off
    off=$(grep -obUa data "$DIR/$1.wav" | head -n 1 | cut -d: -f1)
    od -An -v -t d2 -w4 -j $((off + 8)) "$DIR/$1.wav"
}
# peak MODE FROM TO: the loudest sample, either channel, between FROM and TO seconds.
peak() {
    samples "$1" | awk -v a="$2" -v b="$3" -v r="$RATE" 'NR > a * r && NR <= b * r {
        for (i = 1; i <= 2; ++i) { v = $i < 0 ? -$i : $i; if (v > m) m = v } } END { print m + 0 }'
}
# c6 MODE FROM TO: how far the win chime's top note (1046.5 Hz) stands out
# over the semitone above it between FROM and TO seconds (Goertzel power ratio).
c6() {
    samples "$1" | awk -v a="$2" -v b="$3" -v r="$RATE" 'NR > a * r && NR <= b * r {
        for (k = 1; k <= 2; ++k) { s0 = ($1 + $2) / 2 + c[k] * s1[k] - s2[k]; s2[k] = s1[k]; s1[k] = s0 } }
        BEGIN { c[1] = 2 * cos(2 * 3.14159265 * 1046.5 / r); c[2] = 2 * cos(2 * 3.14159265 * 1108.7 / r) }
        END { for (k = 1; k <= 2; ++k) p[k] = s1[k] ^ 2 + s2[k] ^ 2 - c[k] * s1[k] * s2[k]
              printf "%d\n", p[1] / (p[2] + 1) }'
}
# at MODE WHAT: the time the game logged for a sound ("machine start", "win").
at() { sed -n "s/^Sound: $2 at \([0-9.]*\) s.*/\1/p" "$DIR/$1.log" | head -n 1; }

BIN=$(readlink -f "$1")
play_level1 on
start=$(at on "machine start") win=$(at on win)
[ -n "$start" ] && [ -n "$win" ] || fail "the log names no machine start or win: $(grep '^Sound' "$DIR/on.log")"
quiet=$(peak on 0 "$(awk -v s="$start" 'BEGIN { print s - 0.2 }')")
[ "$quiet" -le 2 ] || fail "sound before the machine started (peak $quiet)"
impacts=$(sed -n 's/^Sound: impact .* at \([0-9.]*\) s.*/\1/p' "$DIR/on.log")
[ -n "$impacts" ] || fail "no impact while the ball ran down the boards"
for t in $impacts; do
    p=$(peak on "$(awk -v t="$t" 'BEGIN { print t - 0.2 }')" "$(awk -v t="$t" 'BEGIN { print t + 0.3 }')")
    [ "$p" -ge 500 ] || fail "the impact at $t s is not heard (peak $p)"
done
before=$(c6 on "$(awk -v t="$win" 'BEGIN { print t - 1.0 }')" "$(awk -v t="$win" 'BEGIN { print t - 0.3 }')")
after=$(c6 on "$(awk -v t="$win" 'BEGIN { print t - 0.2 }')" "$(awk -v t="$win" 'BEGIN { print t + 0.8 }')")
[ "$after" -ge 100 ] && [ "$before" -lt 10 ] ||
    fail "no win chime at the win ($win s): its note stands out $before times before, $after times after"
echo "sound: machine start at $start s, $(echo "$impacts" | wc -l) impacts heard, win chime at $win s ($after)"

printf 'muted 1\nvolume 10\n' >"$DIR/sound.cfg"
play_level1 muted "$DIR/sound.cfg"
grep -q '^Level ".*" won' "$DIR/muted.log" || fail "the muted run was not won"
grep -q "^Sound: impact" "$DIR/muted.log" && fail "the muted run played impacts"
loud=$(peak muted 0 100000)
[ "$loud" -le 2 ] || fail "the muted run is not silent (peak $loud)"
echo "sound: the muted run is silent; all checks passed"
