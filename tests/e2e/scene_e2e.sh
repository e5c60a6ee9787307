#!/usr/bin/env bash
# The scene view: start runs the machine (things move), stop puts everything back and leaves the trace along
# the path ('t' hides it); an object found by clicking is moved up by dragging its Y handle. The level's
# content is not assumed.
# Usage: scene_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

e2e_start "$1"

START_X=27 STOP_X=62 BUTTON_Y=574  # the view's buttons
click 50 95  # PLAY on the information panel
sleep 1

# --- the machine ----------------------------------------------------------------

shot before
expect_pixel before "$STOP_X" "$BUTTON_Y" "77 77 77" "grey stop button while the machine is off"
click "$START_X" "$BUTTON_Y"
wait_for_log "Scene: the machine runs" || fail "the start button did not start the machine"
for i in 1 2 3 4 5 6; do sleep 0.2; shot "running$i"; done
expect_pixel running6 "$STOP_X" "$BUTTON_Y" "230 0 0" "red stop button while the machine runs"
expect_pixel_any running6 "20 $BUTTON_Y;21 $BUTTON_Y;19 $BUTTON_Y" "26 230 230" "pause sign on the start button"
moved=$(diff_pixels running1 running6 630x560+0+40)
[ "$moved" -ge 100 ] || fail "nothing moved while the machine ran ($moved pixels changed)"

click "$STOP_X" "$BUTTON_Y"
wait_for_log "Scene: the machine stops" || fail "the stop button did not stop the machine"
sleep 0.5
shot stopped
expect_pixel stopped "$STOP_X" "$BUTTON_Y" "77 77 77" "grey stop button once stopped"
# The trace: what differs from before the start lies where things moved (in the box around it), and 't' hides it.
mask() { "$CONVERT" "$RUN/$1.png" "$RUN/$2.png" -crop 630x560+0+40 +repage -compose difference -composite \
    -colorspace gray -threshold 12% "$RUN/$3.png"; }
mask before stopped traced
for i in 1 2 3 4 5 6; do mask before "running$i" "moved$i"; done
"$CONVERT" "$RUN"/moved?.png -background black -compose lighten -flatten -morphology Dilate Disk:20 "$RUN/path.png"
count() { "$CONVERT" "$RUN/traced.png" "$@" -format '%[fx:int(mean * w * h + 0.5)]' info:; }
traced=$(count)
astray=$((traced - $(count -crop "$("$CONVERT" "$RUN/path.png" -format '%@' info:)" +repage)))
[ "$traced" -ge 30 ] && [ $((astray * 5)) -le "$traced" ] ||
    fail "no trace along the path after stop ($traced pixels differ, $astray away from where things moved)"
key t
sleep 4.5 # until the message band is gone
shot hidden
left=$(diff_pixels before hidden 630x560+0+40)
[ "$left" -le 50 ] || fail "the scene did not come back after stop ($left pixels differ, $moved moved)"
echo "e2e: machine ran ($moved pixels moved), left a trace ($traced pixels, $astray astray) and came back ($left pixels differ)"

# --- moving an object up with its Y handle -----------------------------------

# Every selectable object gets its Y moves: quick save, the flag after "_pic.bmp", visible and X set, quick load.
rm -f "$RUN/levels/_current.lvl"
xdotool key F2
for _ in $(seq 30); do [ -s "$RUN/levels/_current.lvl" ] && break; sleep 0.1; done
[ -s "$RUN/levels/_current.lvl" ] || fail "F2 wrote no levels/_current.lvl"
sleep 0.3
opened=$(python3 - "$RUN/levels/_current.lvl" <<'EOF'
import re, sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
head = b"_pic.bmp\x00"
count = 0
for m in re.finditer(re.escape(head) + rb"[\x00\x01]{8}\x01", bytes(data)):
    data[m.start() + len(head) + 2] = 1  # after visible and X: Y
    count += 1
open(path, "wb").write(data)
print(count)
EOF
)
[ "$opened" -ge 1 ] || fail "no selectable object found in the quick save"
xdotool key F3
wait_for_log "loaded from \"_current\"" || true
sleep 4.5 # until the message band is gone
shot loaded

# Clicks from the view's middle outwards until the log tells of a selection.
selected=""
before_sel=$(log_lines "Scene: selected ")
while read -r x y; do
    click "$x" "$y"
    sleep 0.12
    if [ "$(log_lines "Scene: selected ")" -gt "$before_sel" ]; then
        selected=$(grep -F "Scene: selected " "$RUN/log.txt" | tail -n 1 | awk '{print $3}')
        sel_x=$x sel_y=$y
        break
    fi
done < <(for y in $(seq 80 30 520); do for x in $(seq 80 30 560); do
        echo "$(( (x - 315) * (x - 315) + (y - 300) * (y - 300) )) $x $y"; done; done | sort -n | cut -d' ' -f2-)
[ -n "$selected" ] || fail "no click on the view selected an object"
sleep 0.5
shot selected

# The Y arrow stands above the object: the middle of the stretch above the click where the pointer is over handle 2.
over_handle() { grep -F "Scene: pointer over handle" "$RUN/log.txt" | tail -n 1 | awk '{print $NF}' || true; }
handle_y=""
for dx in 0 -12 12 -24 24 -36 36; do
    hits=()
    for step in $(seq 0 4 280); do
        y=$((sel_y - step))
        [ "$y" -gt 60 ] || break
        xdotool mousemove --window "$WIN" $((sel_x + dx)) "$y"
        sleep 0.04
        if [ "$(over_handle)" = "2" ]; then hits+=("$y"); elif [ ${#hits[@]} -gt 0 ]; then break; fi
    done
    if [ ${#hits[@]} -gt 0 ]; then
        handle_x=$((sel_x + dx))
        handle_y=${hits[$(( ${#hits[@]} / 2 ))]}
        break
    fi
done
[ -n "$handle_y" ] || fail "no Y handle above object $selected (clicked at $sel_x, $sel_y)"

moved=$(drag_handle "$selected" Y "$handle_x" "$handle_y" 0 -60)
read -r from_y to_y <<<"$moved"
awk -v a="$from_y" -v b="$to_y" 'BEGIN { exit !(b > a + 1) }' ||
    fail "object $selected did not move up: y $from_y -> $to_y"
sleep 0.3
shot moved
shifted=$(diff_pixels selected moved 630x560+0+40)
[ "$shifted" -ge 100 ] || fail "the view did not change as the object moved ($shifted pixels)"
echo "e2e: object $selected moved up from y $from_y to $to_y ($shifted pixels changed)"

e2e_finish
