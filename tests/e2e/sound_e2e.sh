#!/usr/bin/env bash
# The machine heard, with OpenAL Soft writing what it plays into a wave file.
# The first level solved and won (the playthrough test up to its win), once
# with sound on and once muted by the player's settings file. With sound:
# silence until the machine starts, every impact the game logs is heard when
# it logs it, and the win sound rings on after the win. Muted: nothing at all.
# Then the mix: a menu click, the machine's start and stop within 6 LU (EBU
# R128) of the hardest impact of level 1 solved; level 5 silent once it has
# come to rest; in the sandbox (the last level) a fan's loop fading out, not cut, when the machine
# is paused and when the sound is muted.
# Usage: sound_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
DIR=$(mktemp -d /tmp/qbn-sound.XXXXXX)
[ -n "${KEEP_E2E:-}" ] || trap 'rm -rf "$DIR"' EXIT
RATE=22050

recorder() { # MODE: an OpenAL configuration writing into $DIR/MODE.wav
    printf '[general]\nchannels = stereo\nsample-type = int16\nfrequency = %d\n[wave]\nfile = %s\n' \
        "$RATE" "$DIR/$1.wav" >"$DIR/$1.conf"
}
play_level1() { # MODE [settings file]
    recorder "$1"
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
# at MODE WHAT [N]: the time the game logged for the Nth sound WHAT ("machine start", "win"), in LOG.
at() { sed -n "s/^Sound: $2 at \([0-9.]*\) s.*/\1/p" "$DIR/$1.log" | sed -n "${3:-1}p"; }
# lead MODE WHAT: how far the file runs ahead of the log, from the first sound in it, which is WHAT.
declare -A LEAD
lead() {
    local first
    first=$(samples "$1" | awk -v r="$RATE" '$1 > 200 || $1 < -200 { printf "%.3f\n", (NR - 1) / r; exit }' || true)
    LEAD[$1]=$(awk -v t="$(at "$1" "$2")" -v f="$first" 'BEGIN { print t - f }')
}
# measure MODE T... : "LUFS fall" of the sound the game logged at each T, in the file LEAD earlier.
measure() {
    local mode=$1 t spans=()
    shift
    for t in "$@"; do
        spans+=($(awk -v t="$t" -v l="${LEAD[$mode]}" 'BEGIN { print t - l - 0.05, t - l + 0.3 }'))
    done
    "$LOUDNESS" "$DIR/$mode.wav" "${spans[@]}"
}
LOUDNESS=$(dirname "$(readlink -f "$1")")/../tools/qbn_loudness
[ -x "$LOUDNESS" ] || fail "no loudness measure at $LOUDNESS"

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

# The mix, level 5 at rest, and the fades: one session played by hand.
recorder mix
export ALSOFT_DRIVERS=wave ALSOFT_CONF="$DIR/mix.conf"
e2e_start "$BIN"
trap 'cleanup; [ -n "${KEEP_E2E:-}" ] || rm -rf "$DIR"' EXIT
start_machine() { local n; n=$(log_lines "machine start"); click 27 574; wait_more 5 "machine start" "$n" || fail "no start"; }
play() { click 50 95; sleep 0.7; } # PLAY closes the level's panel
play
click 706 176 # "Reset Level", a menu button: its click, and the level's panel again
wait_for_log "Sound: menu click" || fail "no click from the menu"
sleep 0.5 && play
start_machine && sleep 1 && click 62 574
wait_for_log "machine stop" || fail "the machine did not stop"
for _ in 1 2 3 4; do key F6 && sleep 0.7; done
play && start_machine && sleep 8 && click 62 574
for _ in $(seq 8); do key F6 && sleep 0.7; done
play && start_machine
wait_for_log_for 10 "Sound: loop fan_loop" || fail "the sandbox's fan is not heard"
sleep 0.1 && click 27 574 # pause
wait_for_log "machine paused" || fail "the machine did not pause"
sleep 0.5 && click 27 574 && sleep 0.2 && key m
wait_for_log "Sound: fading out" || fail "m did not mute"
sleep 0.5 && key m && click 62 574 && sleep 0.5
cp "$RUN/log.txt" "$DIR/mix.log"
stop_game

# The hardest impact of level 1 solved, clear of the start sound and the win chime, against the others.
lead on "machine start" && lead mix "menu click"
echo "sound: the files run ${LEAD[on]} s and ${LEAD[mix]} s ahead of the log"
hits=$(sed -n 's/^Sound: impact .* at \([0-9.]*\) s.*/\1/p' "$DIR/on.log" | awk -v a="$start" -v b="$win" '$1 > a + 0.7 && $1 < b - 0.3')
[ -n "$hits" ] || fail "no impact in level 1 between the start sound and the win"
# shellcheck disable=SC2086
hard=$(measure on $hits | sort -n | tail -n 1 | cut -d' ' -f1)
read -r started _ <<<"$(measure on "$start")"
read -r click _ <<<"$(measure mix "$(at mix "menu click")")"
read -r stop _ <<<"$(measure mix "$(at mix "machine stop")")"
echo "sound: level 1's hardest impact $hard LUFS, its start $started, a menu click $click, a stop $stop"
for x in "start $started" "click $click" "stop $stop"; do
    awk -v l="${x#* }" -v h="$hard" 'BEGIN { exit !(l - h <= 6 && h - l <= 6) }' ||
        fail "the ${x% *} is not within 6 LU of level 1's hardest impact ($x against $hard LUFS)"
done
rest=$(at mix "machine start" 2) end=$(at mix "machine stop" 2)
read -r quiet _ <<<"$("$LOUDNESS" "$DIR/mix.wav" $(awk -v a="$rest" -v b="$end" -v l="${LEAD[mix]}" 'BEGIN { print a - l + 3, b - l - 0.6 }'))"
echo "sound: level 5 at rest: $quiet LUFS"
awk -v q="$quiet" 'BEGIN { exit !(q < -70) }' || fail "level 5 is heard while nothing moves ($quiet LUFS)"
for what in "machine paused" "fading out"; do
    t=$(at mix "$what")
    read -r before _ <<<"$("$LOUDNESS" "$DIR/mix.wav" $(awk -v t="$t" -v l="${LEAD[mix]}" 'BEGIN { print t - l - 0.4, t - l }'))"
    read -r _ fall <<<"$(measure mix "$t")"
    echo "sound: $what at $t s: $before LUFS before, steepest fall $fall of the level in 5 ms"
    awk -v b="$before" 'BEGIN { exit !(b > -50) }' || fail "nothing heard before the $what ($before LUFS)"
    awk -v f="$fall" 'BEGIN { exit !(f <= 0.5) }' || fail "the sound is cut, not faded, at the $what (fall $fall)"
done
echo "sound: the mix, the rest and the fades pass"
