#!/usr/bin/env bash
# The side menu: a clicked object's page with its picture, its "Rotation Y" slider dragged turns it on screen;
# its number typed in degrees, out of range refused, a SHIFT-drag a tenth as far; in the editor only the left
# button acts, the wheel scrolls, a typed number replaces a field's value.
# Usage: menu_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

e2e_start "$1"
click 50 95  # PLAY
sleep 1
shot level

selected=$(select_object "Brett mittel" 333 320)
xdotool mousemove --window "$WIN" 300 590
sleep 0.5
shot selected

# Its page: the menu picture at the top of the column.
pictured=$(diff_pixels level selected 128x128+650+29)
[ "$pictured" -ge 2000 ] || fail "no picture on the object's page ($pictured pixels changed)"

# Picture, gap, "Rotation X", "Rotation Y", "Rotation Z"; a track spans x 655..743, its middle no turn.
TRACK_Y=232
xdotool mousemove --window "$WIN" 699 $TRACK_Y mousedown 1
for x in $(seq 703 4 723); do
    xdotool mousemove --window "$WIN" "$x" $TRACK_Y
    sleep 0.05
done
xdotool mouseup 1
xdotool mousemove --window "$WIN" 300 590
sleep 0.5
shot turned
turned=$(diff_pixels selected turned 630x560+0+40)
[ "$turned" -ge 100 ] || fail "the board did not turn on screen ($turned pixels changed)"
echo "e2e: board $selected turned a quarter ($turned pixels changed)"
# Its number (x 745..785) typed: -18 and Enter turn it; 400 is refused with the range shown. Then a SHIFT-drag of
# 40 pixels moves the knob (from x 694) by 4 to 698; a plain drag would take it to 734.
click 765 233 && xdotool type --window "$WIN" -- -18 && key Return
wait_for_log 'Menu: "Rotation Y" typed "-18": taken' || fail "typing -18 and Enter did not turn the board"
click 765 233 && xdotool type --window "$WIN" 400 && key Return
wait_for_log 'typed "400": Rotation Y: only from -180' || fail "400 was not refused with the range"
shot refused
xdotool mousemove --window "$WIN" 695 $TRACK_Y keydown shift mousedown 1 mousemove --window "$WIN" 735 $TRACK_Y
xdotool mouseup 1 keyup shift
shot fine
expect_pixel fine 699 $TRACK_Y "255 255 0" "a SHIFT-drag did not move the knob a tenth of the pointer's way"

button_at() { xdotool mousemove --window "$WIN" "$1" "$2" click "$3"; sleep 0.3; }
xdotool key --window "$WIN" Escape
sleep 0.3
click 706 46 # "Custom Mode"
sleep 1
click 706 276 # "Basketball"
wait_for_log 'Menu: created "Basketball"' || fail "no basketball was created"
xdotool mousemove --window "$WIN" 706 291 # "Delete Object"
# Until the menu column holds still: the message refusing 400 (four seconds in all) is gone.
for _ in $(seq 12); do
    shot page && sleep 0.5 && shot still
    [ "$(diff_pixels page still 150x600+635+0)" -lt 50 ] && break
done
for b in 3 2 4; do button_at 706 291 $b; done # right, middle, wheel up
sleep 0.3
shot kept
kept=$(diff_pixels page kept 150x600+635+0)
[ "$kept" -lt 50 ] || fail "another button over Delete Object changed the menu ($kept pixels)"
button_at 706 291 5 # wheel down
shot scrolled
scrolled=$(diff_pixels kept scrolled 150x600+635+0)
[ "$scrolled" -ge 500 ] || fail "a wheel notch did not scroll the menu ($scrolled pixels changed)"
# Eleven notches more bring "Mass" (its field at y 448) into view.
for _ in $(seq 11); do button_at 706 291 5; done
click 700 448
xdotool type --window "$WIN" --delay 50 25
xdotool key --window "$WIN" Return
wait_for_log 'Menu: "Mass" takes 25.000' || fail "typing 25 and Enter into Mass did not set it"
shot mass
echo "e2e: buttons 2-4 left the editor's page alone, the wheel scrolled it ($scrolled pixels), Mass took 25"
e2e_finish
