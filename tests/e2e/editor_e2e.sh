#!/usr/bin/env bash
# The editor by mouse and keys: custom mode, a ball (undone and redone) above a board and a hit zone, the goal
# "ball touches hit zone", saved, the game restarted, the level loaded and won.
# Usage: editor_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

click() { xdotool mousemove --window "$WIN" "$1" "$2" click 1; sleep 0.3; }
menu() { click 700 "$1"; }
# type_into Y TEXT: clicks the input field at Y and replaces its text.
type_into() {
    click 730 "$1"
    for _ in $(seq 16); do xdotool key --window "$WIN" BackSpace; done
    xdotool type --window "$WIN" --delay 20 "$2"
    sleep 0.2
}
# created NAME: the id of the object made by the button whose label starts with NAME.
created() {
    wait_for_log "Menu: created \"$1" || fail "the button \"$1\" made nothing"
    sed -n "s/^Menu: created \"$1[^\"]*\", id \([0-9]*\)$/\1/p" "$RUN/log.txt" | tail -n 1
}

# Pages of the menu (y of each button's middle).
CUSTOM_MODE=47 MANAGEMENT=87 FIRST_OBJECT=277  # custom main page
BACK=47 LEVELNAME=122 LOAD_LEVEL=237 SAVE_LEVEL=277 GOALS=457  # management page
ID1=122 ID2=162 ADD_GOAL=197  # goals page
POSITION_Y=508  # the object page's "Position Y" accelerator

BIN=$(readlink -f "$1")
e2e_start "$BIN"
click 50 95  # PLAY closes the first level's information panel
menu $CUSTOM_MODE
wait_for_log "registerWinConditonHit" || true
shot custom
expect_pixel_not custom 700 47 "0 0 0" "custom mode page"

menu $((FIRST_OBJECT + 0 * 40))
ball=$(created "Basketball")

# CTRL+Z takes the new ball away; CTRL+Y brings it back, same id, same place.
wait_for_log "(object $ball at (" || fail "making the ball recorded no step to undo"
place=$(sed -n "s/^Undo: step [0-9]* recorded (object $ball at \(.*\))$/\1/p" "$RUN/log.txt" | tail -n 1)
shot made
xdotool key --window "$WIN" ctrl+z
wait_for_log "object $ball is not in the scene" || fail "CTRL+Z left the new ball in the scene"
sleep 0.3
shot undone
xdotool key --window "$WIN" ctrl+y
wait_for_log "Redo: 1 steps to undo, 0 to redo; object $ball at $place" || fail "CTRL+Y did not bring the ball back"
sleep 0.3
shot redone
[ "$(diff_pixels made undone 630x560+0+40)" -ge 50 ] || fail "the undone ball still shows"
[ "$(diff_pixels made redone 630x560+0+40)" -lt 50 ] || fail "the ball came back elsewhere"
echo "e2e: ball $ball undone and redone at $place"
# The ball raised by holding the right end of its "Position Y" bar.
xdotool mousemove --window "$WIN" 757 $POSITION_Y mousedown 1
sleep 1
xdotool mouseup 1
sleep 0.3
key space && sleep 0.3

# A big board (the sixth object) and a hit zone box (the fourteenth, at the column's scrolled end).
menu $((FIRST_OBJECT + 5 * 40))
created "Brett gro" >/dev/null
key space && sleep 0.3
click 792 590  # the scroll bar's lowest point
click 700 182
zone=$(created "Hitzone-Box")
key space && sleep 0.3
shot built
echo "e2e: ball $ball, hit zone $zone"

# The goal: ball touches the hit zone.
menu $MANAGEMENT
menu $GOALS
type_into $ID1 "$ball"
type_into $ID2 "$zone"
menu $ADD_GOAL
wait_for_log "registerWinConditonHit $(printf '%2d' "$ball") <-> $(printf '%2d' "$zone")" \
    || fail "the goal was not added"
menu $BACK
menu $BACK

# Saved under a name the player typed.
type_into $LEVELNAME "myfirst"
menu $SAVE_LEVEL
for _ in $(seq 30); do [ -s "$RUN/levels/myfirst.lvl" ] && break; sleep 0.1; done
[ -s "$RUN/levels/myfirst.lvl" ] || fail "Save Level wrote no levels/myfirst.lvl"
shot saved

# Quit and start again; the level file stays.
stop_game
launch_game
click 50 95
menu $CUSTOM_MODE
menu $MANAGEMENT
type_into $LEVELNAME "myfirst"
menu $LOAD_LEVEL
wait_for_log "with 1 goals" || fail "the level did not load with its goal"
menu $BACK
shot loaded

# The start button runs the machine; the ball falls onto the zone.
click 27 574
wait_for_log "Scene: the machine runs" || fail "the machine did not start"
wait_for_log_for 5 "won" || fail "the level was not won"
sleep 0.5
shot won
e2e_finish
