#!/usr/bin/env bash
# The window: its size and pixels, keys and clicks reaching it, the log; its class, process id and icon; one
# game per folder; -geometry, --fullscreen, F11 and --scale; a level file on the command line.
# Usage: window_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

e2e_start "$1"

# The window: title, size, dark blue background, the frame-rate box.
geometry=$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')
[ "$geometry" = "800x600" ] || fail "window is $geometry, want 800x600"

# The information panel: a grey veil, green text, a red "PLAY" that closes it.
for _ in $(seq 40); do # the level may load a while after the window shows
    shot info
    play=$(count_pixels info 64x24+20+83 '$3 > 150 && $4 < 80 && $5 < 80')
    [ "$play" -ge 40 ] && break
    sleep 0.25
done
expect_pixel_not info 600 150 "0 0 128" "information panel veil"
[ "$play" -ge 40 ] || fail "no PLAY button on the information panel ($play red pixels)"
text=$(count_pixels info 300x90+100+85 '$4 > 150 && $3 < 100 && $5 < 100')
[ "$text" -ge 50 ] || fail "no level text on the information panel ($text green pixels)"
click 50 95
for _ in $(seq 40); do # a slow frame may come between click and picture
    sleep 0.25
    shot start
    [ "$(pixel info 600 150)" != "$(pixel start 600 150)" ] && break
done
[ "$(pixel info 600 150)" != "$(pixel start 600 150)" ] || fail "the panel's veil stayed after PLAY"
expect_pixel_any start "9 20;10 20;11 20" "0 0 255" "frame-rate box outline"

# The log holds the help text; the console only the pointer to it.
grep -qxF 'click ...... an object: its page shows what you may change' "$RUN/log.txt" || fail "log.txt lacks the help text"
grep -qF 'SHIFT+F1 shows the keys' "$RUN/console.txt" || fail "the console does not point to the help"
if grep -q 'SHIFT F8' "$RUN/console.txt"; then fail "the help text reached the console"; fi

# Mouse and keys reach the window and are traced in the log only.
click 300 200
xdotool key --delay 50 a
wait_for_log "Mouse Click at:  300  200" || fail "click not traced in log.txt"
wait_for_log "Key: 97" || fail "key not traced in log.txt"
if grep -q "Mouse Click" "$RUN/console.txt"; then fail "mouse trace reached the console"; fi
sleep 2.5 && shot idle # idling, a frame now and then: the box reads "idle" in grey, not "2 fps" in red
count=$(count_pixels idle 56x16+12+12 '$3 > 150 && $4 > 150 && $5 > 150')
[ "$count" -ge 20 ] || fail "the idling game's frame-rate box does not read idle ($count grey text pixels)"

# SHIFT+F2 reaches the frame-rate item: it hides and a message band shows.
xdotool key shift+F2
sleep 1.5
shot hidden
[ "$(pixel hidden 10 20)" != "$(pixel start 10 20)" ] || fail "frame-rate box still shown"
[ "$(pixel hidden 480 300)" != "$(pixel start 480 300)" ] || fail "no message band in the middle"
[ "$(pixel hidden 480 250)" = "$(pixel start 480 250)" ] || fail "the message band reaches above its place"

# The desktop knows the window: the class of the desktop entry's StartupWMClass, the process id, an icon.
props=$(xprop -id "$WIN" WM_CLASS _NET_WM_PID WM_NORMAL_HINTS; xprop -id "$WIN" _NET_WM_ICON | grep "Icon (")
for want in 'WM_CLASS(STRING) = "quibbleton", "Quibbleton"' "_NET_WM_PID(CARDINAL) = $GAME_PID" "minimum size: 400 by 300" \
    "Icon (64 x 64):" "StartupWMClass=Quibbleton"; do
    grep -qF "$want" <(echo "$props"; cat "$E2E_ROOT/packaging/quibbleton.desktop") || fail "no '$want': $props"
done

# One game per folder: a second one there ends with 1 and writes nothing; the first tells and goes on.
OUT=$(mktemp -d /tmp/qbn-out.XXXXXX)
files() { (cd "$1" && find . -type f ! -name log.txt ! -name console.txt -printf '%p %s %T@\n' | sort); }
before=$(files "$RUN")
status=0
(cd "$RUN" && exec "$GAME_BIN") >"$OUT/second.txt" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "a second game on the folder ended with $status: $(cat "$OUT/second.txt")"
grep -qF "another Quibbleton (process $GAME_PID) is using the folder $RUN" "$OUT/second.txt" ||
    fail "the second game did not say why: $(cat "$OUT/second.txt")"
[ "$(files "$RUN")" = "$before" ] || fail "the second game changed the folder"
wait_for_log "Another Quibbleton was refused this folder" || fail "the first game was not told"
head -1 "$RUN/log.txt" | grep -q "^Language:" || fail "the first game's log was cut"
# A crashed game leaves no lock; -geometry holds; F11, --fullscreen fill the screen; --scale 2: 1600 x 1200 in it.
kill -KILL "$GAME_PID" && wait "$GAME_PID" 2>/dev/null || GAME_PID=""
size() { xdotool getwindowgeometry "$WIN" | awk '/Position/ {p = $2} /Geometry/ {print $2 "+" p}'; }
for step in "-geometry 1000x650+300+40|1000x650+300,40" "F11|1024x768+0,0" "F11|1000x650+300,40" \
    "--fullscreen|1024x768+0,0" "--scale 2|921x691+0,0"; do
    case "$step" in F11*) key F11 && sleep 1 ;; *) [ -z "${GAME_PID:-}" ] || stop_game; launch_game "$GAME_BIN" ${step%|*} ;; esac
    [ "$(size)" = "${step#*|}" ] || fail "${step%|*} gave $(size), not ${step#*|}"
done
click 100 190 # PLAY, twice the size
wait_for_pixel 20 scaled 583 300 "128 128 128" || fail "no menu border 340 pixels from the right at scale 2"

# A level file named on the command line opens in Custom Mode; a damaged one gives the usual start and says why.
cp "$E2E_DIR/data/level3_solved.lvl" "$OUT/mine.lvl"
printf '[QBN-LEVEL]\x00\x00\x01garbage' >"$OUT/damaged.lvl"
for file in "mine.lvl|opened in Custom Mode" "damaged.lvl|not opened"; do
    stop_game
    launch_game "$GAME_BIN" "$OUT/${file%|*}"
    wait_for_log "Level file \"$OUT/${file%|*}\" ${file#*|}" || fail "level file ${file%|*} not ${file#*|}"
done
sleep 1
shot damaged
[ "$(count_pixels damaged 64x24+20+83 '$3 > 150 && $4 < 80 && $5 < 80')" -ge 40 ] ||
    fail "no information panel with PLAY after a damaged level file"
rm -rf "$OUT"

e2e_finish
