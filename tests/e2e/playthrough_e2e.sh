#!/usr/bin/env bash
# A new player's first session, with mouse and keys only: PLAY on the first
# level's information panel, the first level solved through the view and the
# side menu, the machine started and the level won, NEXT to the second level;
# the game ended and started again (the second level opens, the first shows
# as won), a springboard turned there, kept over F5 and F6 and undone by
# "Reset Level"; F6 to the last level (the free play room), and there an object put
# elsewhere with CTRL+click, saved with F2, moved, and brought back with F3.
# Waits follow the game's log and its screen, so a slow machine only takes
# longer. Screenshots of every stage stay in the scratch folder (KEEP_E2E=1)
# or go to E2E_SHOTS=dir.
# Usage: playthrough_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

VIEW=630x560+0+40          # the scene view below the frame-rate box
MENU_SPOT="700 400"        # an empty spot of the menu column: black, grey under a level screen
NO_VEIL="0 0 0" INFO_VEIL="71 71 71" WIN_VEIL="64 64 64"
BUTTON_FILL="76 0 0"       # the dark red inside PLAY, BACK and NEXT
PLAY_X=50 PLAY_Y=95 NEXT_X=52 NEXT_Y=127
START_X=27 STOP_X=62 BUTTON_Y=574
KNOB_Y=103                 # the menu's "Level" slider, level mode page
# An object's level-mode page: picture, gap, then a line every 40 pixels from
# y = 172; a slider's track spans x 655..743 for -0.5..0.5, its knob is drawn
# 12 pixels high around the track.
ROTATION_X_Y=198 ROTATION_Y_Y=238 POSITION_X_Y=198
KNOB_GREY="204 204 204" KNOB_FOCUS="255 255 0" TRACK_GREY="153 153 153"
POPUP_EDGE="400 285" POPUP_BLUE="0 0 255"

# Pointer onto the menu's empty lower part, where it hovers nothing in the view.
park() { xdotool mousemove --window "$WIN" 700 585; }
key() { xdotool key --window "$WIN" "$1"; }
step() { echo "e2e: $* ($SECONDS s)"; }

# level_knob_x L: the x of the "Level" slider's knob when level L of 7 is current.
level_knob_x() { echo $((630 + (25 * 6 + 88 * ($1 - 1)) / 6)); }

# shot_stable NAME: a screenshot once the view stands still (two shots in a
# row alike), so it shows the effect of what was done last.
shot_stable() {
    local end=$((SECONDS + 20))
    shot "$1"
    while :; do
        sleep 0.3
        cp "$RUN/$1.png" "$RUN/$1.before.png"
        shot "$1"
        [ "$(diff_pixels "$1.before" "$1" "$VIEW")" -lt 20 ] && return 0
        [ "$SECONDS" -lt "$end" ] || fail "the view of $1 does not come to rest"
    done
}

# last_selected: the id and name of the latest selection, as "id name".
last_selected() {
    grep -F "Scene: selected " "$RUN/log.txt" | tail -n 1 | sed 's/^Scene: selected \([0-9]*\) "\(.*\)"$/\1 \2/'
}

# select_object NAME X Y [NOT_ID]: clicks the object NAME (other than the
# object NOT_ID) where it shows at (X, Y), or if that click selects something
# else or nothing, around it, until the log names it; prints its id.
select_object() {
    local name=$1 x0=$2 y0=$3 other=${4:-} before x y
    while read -r x y; do
        before=$(log_lines "Scene: selected ")
        click "$x" "$y"
        for _ in $(seq 20); do
            [ "$(log_lines "Scene: selected ")" -gt "$before" ] && break
            sleep 0.1
        done
        if [ "$(log_lines "Scene: selected ")" -gt "$before" ]; then
            if [ "$(last_selected | cut -d' ' -f2-)" = "$name" ] && [ "$(last_selected | cut -d' ' -f1)" != "$other" ]; then
                last_selected | cut -d' ' -f1
                return 0
            fi
            key Escape
            sleep 0.2
        fi
    done < <(for dy in 0 -10 10 -20 20 -30 30; do for dx in 0 -10 10 -20 20 -30 30; do
            echo "$((dx * dx + dy * dy)) $((x0 + dx)) $((y0 + dy))"; done; done | sort -n | cut -d' ' -f2-)
    fail "no click around ($x0, $y0) selected \"$name\""
}

# red_centre PLAIN SELECTED: the middle of the clearly red pixels that the
# selection added to the view (the X arrow), as "x y" in the window.
red_centre() {
    "$CONVERT" "$RUN/$1.png" "$RUN/$2.png" -crop "$VIEW" +repage -compose difference -composite \
        -colorspace gray -threshold 12% "$RUN/mask.png"
    "$CONVERT" "$RUN/$2.png" -crop "$VIEW" +repage "$RUN/mask.png" -compose multiply -composite -depth 8 txt:- |
        awk -F'[(),: ]+' 'NR > 1 && $3 >= 60 && 3 * $4 < $3 && 3 * $5 < $3 { n++; sx += $1; sy += $2 }
            END { if (n >= 50) printf "%d %d\n", sx / n + 0.5, sy / n + 40.5 }'
}

# drag_handle ID AXIS X Y DX DY: presses the AXIS arrow of object ID at
# (X, Y) and drags it by (DX, DY) pixels; prints the object's AXIS coordinate
# before and after, as the log tells.
drag_handle() {
    local id=$1 axis=$2 x=$3 y=$4 dx=$5 dy=$6 field moves ends i
    field=$(expr index XYZ "$axis")
    moves=$(log_lines "Scene: moving $id along $axis")
    ends=$(log_lines "Scene: $id now at")
    xdotool mousemove --window "$WIN" "$x" "$y"
    sleep 0.3
    xdotool mousedown 1
    for i in $(seq 1 10); do
        xdotool mousemove --window "$WIN" $((x + dx * i / 10)) $((y + dy * i / 10))
        sleep 0.05
    done
    sleep 0.2
    xdotool mouseup 1
    for _ in $(seq 50); do
        [ "$(log_lines "Scene: $id now at")" -gt "$ends" ] && break
        sleep 0.1
    done
    [ "$(log_lines "Scene: moving $id along $axis")" -gt "$moves" ] || fail "no $axis arrow of $id at ($x, $y)"
    [ "$(log_lines "Scene: $id now at")" -gt "$ends" ] || fail "the move of $id did not end with the release"
    local from to
    from=$(grep -F "Scene: moving $id along $axis" "$RUN/log.txt" | tail -n 1 | sed 's/.* from (\([^)]*\)).*/\1/')
    to=$(grep -F "Scene: $id now at" "$RUN/log.txt" | tail -n 1 | sed 's/.* at (\([^)]*\)).*/\1/')
    from=$(echo "$from" | cut -d, -f"$field" | tr -d ' ')
    to=$(echo "$to" | cut -d, -f"$field" | tr -d ' ')
    echo "$from $to"
}

e2e_start "$1"

# --- 1. the start screen ----------------------------------------------------------

# The first level is built behind its information panel; its goal (ball in
# the box) is the first thing it writes.
wait_for_log_for 30 "registerWinConditonHit" || fail "the first level registered no goal"
wait_for_pixel 20 start $MENU_SPOT "$INFO_VEIL" || fail "no information panel over the first level"
expect_pixel start 75 87 "$BUTTON_FILL" "PLAY button on the start screen"
expect_pixel_not start 75 119 "$BUTTON_FILL" "start screen: a second button"
step "start screen shown"
click $PLAY_X $PLAY_Y
wait_for_pixel 20 level1 $MENU_SPOT "$NO_VEIL" || fail "PLAY did not close the information panel"
expect_pixel level1 "$(level_knob_x 1)" $KNOB_Y "$KNOB_GREY" "menu: level 1 is current"
expect_pixel level1 $STOP_X $BUTTON_Y "77 77 77" "machine off at the start"
step "level 1 open"

# --- 2. solving the first level ------------------------------------------------------

# Board 4 turned across the ball's way and tilted down to the left: the
# "Rotation X" and "Rotation Y" sliders clicked at -0.068 (x 693) and 0.25
# (x 721). The level is won with X from -0.08 to -0.057 at this Y.
shot_stable level1_plain
board=$(select_object "Brett mittel" 333 320)
park
wait_for_pixel 10 board_selected 699 $ROTATION_X_Y "$KNOB_GREY" || fail "no Rotation X slider for board $board"
click 693 $ROTATION_X_Y
sleep 0.2
click 721 $ROTATION_Y_Y
park
wait_for_pixel 10 board_turned 721 $ROTATION_Y_Y "$KNOB_FOCUS" || fail "Rotation Y did not take 0.25"
expect_pixel board_turned 693 $ROTATION_X_Y "$KNOB_GREY" "Rotation X knob at -0.07"
expect_pixel board_turned 699 $ROTATION_X_Y "$TRACK_GREY" "Rotation X knob left the middle"
expect_pixel board_turned 699 $ROTATION_Y_Y "$TRACK_GREY" "Rotation Y knob left the middle"
key Escape
park
shot_stable level1_turned
turned=$(diff_pixels level1_plain level1_turned "$VIEW")
[ "$turned" -ge 500 ] || fail "board $board did not turn on screen ($turned pixels changed)"
step "board $board turned ($turned pixels changed)"

# Board 5 moved 30 units to the right (won from about 26 to 38 at any frame
# rate) by its X arrow: a first drag shows how far a pixel goes, a second
# one makes up the rest.
small=$(select_object "Brett klein" 146 383)
park
shot_stable small_selected
arrow=$(red_centre level1_turned small_selected)
[ -n "$arrow" ] || fail "no X arrow appeared with board $small"
read -r ax ay <<<"$arrow"
moved=$(drag_handle "$small" X "$ax" "$ay" 30 0)
read -r x0 x1 <<<"$moved"
echo "e2e: board $small dragged 30 pixels: x $x0 -> $x1"
target=$(awk -v a="$x0" 'BEGIN { printf "%.2f", a + 30 }')
px=$(awk -v a="$x0" -v b="$x1" -v t="$target" 'BEGIN { d = b - a; if (d < 1) exit 1; printf "%d", (t - b) * 30 / d }') ||
    fail "board $small did not move right: x $x0 -> $x1"
x2=$x1
if [ "$px" -ne 0 ]; then
    # The arrow went along with the pointer.
    moved=$(drag_handle "$small" X $((ax + 30)) "$ay" "$px" 0)
    read -r _ x2 <<<"$moved"
    echo "e2e: board $small dragged $px pixels more: x $x2"
fi
awk -v a="$x0" -v b="$x2" 'BEGIN { exit !(b - a >= 27 && b - a <= 34) }' ||
    fail "board $small ended at x $x2, not about 30 right of $x0"
key Escape
park
shot_stable level1_solved
slid=$(diff_pixels level1_turned level1_solved "$VIEW")
[ "$slid" -ge 300 ] || fail "board $small did not move on screen ($slid pixels changed)"
step "board $small moved from x $x0 to $x2"

# --- 3. the machine runs, the level is won ---------------------------------------

# The machine runs in real time, with at most a fifth of a second per frame:
# the 7.5 seconds of this solution take longer when frames come slowly.
click $START_X $BUTTON_Y
wait_for_log_for 10 "Scene: the machine runs" || fail "the start button did not start the machine"
park
step "machine started"
wait_for_log_for 150 "Level \"Die Bombe und der Swimminpool (Teil 1)\" won" || fail "the first level was not won"
wait_for_pixel 20 won $MENU_SPOT "$WIN_VEIL" || fail "no win screen"
expect_pixel won 75 87 "$BUTTON_FILL" "BACK button on the win screen"
expect_pixel won 75 119 "$BUTTON_FILL" "NEXT button on the win screen"
step "level 1 won"
# E2E_UNTIL_WIN=FILE (the sound test) ends the session here and keeps its log in FILE.
if [ -n "${E2E_UNTIL_WIN:-}" ]; then e2e_finish; cp "$RUN/log.txt" "$E2E_UNTIL_WIN"; exit 0; fi

# --- 4. NEXT opens the second level ---------------------------------------------

goals=$(log_lines "registerWinConditonHit")
click $NEXT_X $NEXT_Y
for _ in $(seq 100); do [ "$(log_lines "registerWinConditonHit")" -gt "$goals" ] && break; sleep 0.1; done
[ "$(log_lines "registerWinConditonHit")" -gt "$goals" ] || fail "NEXT loaded no level with a goal"
wait_for_pixel 20 level2_info $MENU_SPOT "$INFO_VEIL" || fail "no information panel over the second level"
expect_pixel level2_info 75 87 "$BUTTON_FILL" "PLAY button over the second level"
expect_pixel_not level2_info 75 119 "$BUTTON_FILL" "the win screen's NEXT still shows"
click $PLAY_X $PLAY_Y
wait_for_pixel 20 level2 $MENU_SPOT "$NO_VEIL" || fail "PLAY did not close the second level's panel"
expect_pixel level2 $STOP_X $BUTTON_Y "77 77 77" "the machine still runs in the level NEXT opened (stop button)"
expect_pixel level2 "$(level_knob_x 2)" $KNOB_Y "$KNOB_GREY" "menu: level 2 is current"
[ "$(diff_pixels level1_solved level2 "$VIEW")" -ge 5000 ] || fail "the second level looks like the first"
step "level 2 open"

# --- 4b. the progress outlasts the game ---------------------------------------------

# Ended and started again, the game opens the second level (the one played
# last) and lists the first as won.
stop_game
grep -qx "level 1 1 1 [0-9.]* 1" "$RUN/progress.txt" ||
    fail "progress.txt does not hold level 1 won in one run: $(cat "$RUN/progress.txt")"
launch_game
wait_for_pixel 30 again $MENU_SPOT "$INFO_VEIL" || fail "no information panel after the restart"
# The menu column may be drawn a frame after the veil.
wait_for_pixel 20 again "$(level_knob_x 2)" $KNOB_Y "133 133 133" || fail "menu: the restart did not open level 2"
grep -qF 'levels won: 1' "$RUN/log.txt" || fail "the restarted game did not read level 1 as won"
WON_LINE=130x14+640+232   # the line under "WON LEVELS": "none yet", then "1"
[ "$(diff_pixels start again $WON_LINE)" -ge 10 ] || fail "the level page does not show level 1 won"
click $PLAY_X $PLAY_Y
wait_for_pixel 20 level2_again $MENU_SPOT "$NO_VEIL" || fail "PLAY did not close the panel after the restart"
park
shot_stable level2_plain

# The middle springboard turned by its "Rotation Z" slider stays turned when
# F5 and F6 leave the level and come back; "Reset Level" brings the level's
# own layout back.
spring=$(select_object "Sprungbrett" 324 375)
park
wait_for_pixel 10 spring_selected 699 $ROTATION_Y_Y "$KNOB_GREY" || fail "no Rotation Z slider for springboard $spring"
click 730 $ROTATION_Y_Y
park
released=$(log_lines "Scene: nothing selected")
# The slider keeps the keys while it has the focus: a click on the back wall
# gives it to the view, where Escape lets go.
click 450 120
key Escape
for _ in $(seq 50); do [ "$(log_lines "Scene: nothing selected")" -gt "$released" ] && break; sleep 0.1; done
[ "$(log_lines "Scene: nothing selected")" -gt "$released" ] || fail "Escape did not let go of springboard $spring"
park
shot_stable level2_edited
[ "$(diff_pixels level2_plain level2_edited "$VIEW")" -ge 300 ] || fail "springboard $spring did not turn"
key F5
wait_for_pixel 20 left_level2 "$(level_knob_x 1)" $KNOB_Y "133 133 133" || fail "F5 did not open level 1"
key F6
wait_for_pixel 20 back_in_level2 "$(level_knob_x 2)" $KNOB_Y "133 133 133" || fail "F6 did not open level 2"
key F1
wait_for_pixel 20 level2_returned $MENU_SPOT "$NO_VEIL" || fail "F1 did not close the panel"
park
shot_stable level2_returned
kept=$(diff_pixels level2_edited level2_returned "$VIEW")
[ "$kept" -le 50 ] || fail "the turned springboard did not come back with level 2 ($kept pixels differ)"
click 706 176 # "Reset Level"
wait_for_log_for 10 "layout of level 2 is forgotten" || fail "Reset Level did nothing"
wait_for_pixel 20 reset_info $MENU_SPOT "$INFO_VEIL" || fail "Reset Level did not open the level again"
click $PLAY_X $PLAY_Y
wait_for_pixel 20 level2_reset $MENU_SPOT "$NO_VEIL" || fail "PLAY did not close the panel after Reset Level"
park
shot_stable level2_reset
reset=$(diff_pixels level2_plain level2_reset "$VIEW")
[ "$reset" -le 50 ] || fail "Reset Level did not bring back the level's own layout ($reset pixels differ)"
step "progress kept: level 1 won, level 2's edit kept over F5 and F6 and reset"

# --- 4c. solving the second level -------------------------------------------------

# The middle springboard tilted back by its "Rotation Z" slider clicked at
# -3/88 of a turn (x 696); the left one turned toward the bomb, "Rotation X"
# at -4/88 (x 695) and "Rotation Z" at -3/88, and raised about 27 units by
# its Y arrow. Each angle wins over several neighbouring pixels of its track.
middle=$(select_object "Sprungbrett" 324 375)
park
wait_for_pixel 10 middle_selected 699 $ROTATION_Y_Y "$KNOB_GREY" || fail "no Rotation Z slider for springboard $middle"
click 696 $ROTATION_Y_Y
park
wait_for_pixel 10 middle_turned 696 $ROTATION_Y_Y "$KNOB_FOCUS" || fail "Rotation Z of springboard $middle did not take -3/88"
left=$(select_object "Sprungbrett" 238 378 "$middle")
park
ROTATION_Z_Y=318
wait_for_pixel 10 left_selected 699 $ROTATION_Z_Y "$KNOB_GREY" || fail "no Rotation Z slider for springboard $left"
click 695 $ROTATION_Y_Y
sleep 0.2
click 696 $ROTATION_Z_Y
park
wait_for_pixel 10 left_turned 696 $ROTATION_Z_Y "$KNOB_FOCUS" || fail "Rotation Z of springboard $left did not take -3/88"
expect_pixel left_turned 695 $ROTATION_Y_Y "$KNOB_GREY" "Rotation X knob of springboard $left at -4/88"
# The Y arrow stands above the springboard, inside the green ring: a press
# that finds no arrow turns nothing (no drag) or selects another object,
# which a click on the springboard undoes.
arrow=""
for spot in "233 297" "233 291" "233 303" "229 297" "237 297" "233 285" "233 309"; do
    read -r x y <<<"$spot"
    moves=$(log_lines "Scene: moving $left along Y")
    xdotool mousemove --window "$WIN" "$x" "$y" mousedown 1
    sleep 0.2
    xdotool mouseup 1
    sleep 0.3
    if [ "$(log_lines "Scene: moving $left along Y")" -gt "$moves" ]; then arrow=$spot; break; fi
    case "$(grep -E "^Scene: (selected [0-9]+|nothing selected)" "$RUN/log.txt" | tail -n 1)" in
    "Scene: selected $left "*) ;;
    *) left=$(select_object "Sprungbrett" 238 378 "$middle") ;;
    esac
done
[ -n "$arrow" ] || fail "no Y arrow above springboard $left"
read -r ax ay <<<"$arrow"
moved=$(drag_handle "$left" Y "$ax" "$ay" 0 -40)
read -r y0 y1 <<<"$moved"
echo "e2e: springboard $left dragged 40 pixels up: y $y0 -> $y1"
px=$(awk -v a="$y0" -v b="$y1" 'BEGIN { d = b - a; if (d < 1) exit 1; printf "%d", (a + 27 - b) * 40 / d }') ||
    fail "springboard $left did not rise: y $y0 -> $y1"
y2=$y1
if [ "$px" -ne 0 ]; then
    moved=$(drag_handle "$left" Y "$ax" $((ay - 40)) 0 $((-px)))
    read -r _ y2 <<<"$moved"
    echo "e2e: springboard $left dragged $px pixels more: y $y2"
fi
awk -v a="$y0" -v b="$y2" 'BEGIN { exit !(b - a >= 22 && b - a <= 32) }' ||
    fail "springboard $left ended at y $y2, not about 27 above $y0"
key Escape
park
shot_stable level2_solved
[ "$(diff_pixels level2_reset level2_solved "$VIEW")" -ge 300 ] || fail "the springboards did not change on screen"
step "level 2 set up: springboard $middle turned, springboard $left turned and raised from y $y0 to $y2"

click $START_X $BUTTON_Y
wait_for_log_for 10 "Scene: the machine runs" || fail "the start button did not start the machine in level 2"
park
wait_for_log_for 150 "Level \"Die Bombe und der Swimminpool (Teil 2)\" won" || fail "the second level was not won"
wait_for_pixel 20 won2 $MENU_SPOT "$WIN_VEIL" || fail "no win screen in level 2"
goals=$(log_lines "registerWinConditonHit")
click $NEXT_X $NEXT_Y
for _ in $(seq 100); do [ "$(log_lines "registerWinConditonHit")" -gt "$goals" ] && break; sleep 0.1; done
wait_for_pixel 20 level3_info "$(level_knob_x 3)" $KNOB_Y "133 133 133" || fail "NEXT did not open level 3"
step "level 2 won, level 3 open"

# --- 5. F6 to the last level ----------------------------------------------------------

for level in 4 5 6 7; do
    goals=$(log_lines "registerWinConditonHit")
    key F6
    if [ "$level" -lt 7 ]; then
        for _ in $(seq 100); do [ "$(log_lines "registerWinConditonHit")" -gt "$goals" ] && break; sleep 0.1; done
        [ "$(log_lines "registerWinConditonHit")" -gt "$goals" ] || fail "F6 did not open level $level"
    fi
    # Each level opens with its panel; the menu's level slider tells which.
    wait_for_pixel 20 "level${level}_info" "$(level_knob_x "$level")" $KNOB_Y "133 133 133" ||
        fail "F6 did not open level $level"
done
# The last level's panel has no title (its blue title line stays empty).
key F1
wait_for_pixel 20 sandbox $MENU_SPOT "$NO_VEIL" || fail "F1 did not close the last level's panel"
expect_pixel sandbox "$(level_knob_x 7)" $KNOB_Y "$KNOB_GREY" "menu: level 7 is current"
step "last level open"

# The springboard, CTRL+clicked onto the floor at the front left, clear of
# its own handles (a CTRL+click on them puts nothing anywhere).
shot_stable sandbox_plain
board=$(select_object "Sprungbrett" 235 385)
park
shot_stable sandbox_selected
FLOOR_X=140 FLOOR_Y=530
xdotool mousemove --window "$WIN" $FLOOR_X $FLOOR_Y
sleep 0.2
xdotool keydown ctrl
xdotool click 1
xdotool keyup ctrl
park
released=$(log_lines "Scene: nothing selected")
key Escape
for _ in $(seq 50); do [ "$(log_lines "Scene: nothing selected")" -gt "$released" ] && break; sleep 0.1; done
shot_stable placed
left=$(diff_pixels sandbox_plain placed 100x80+185+345)
arrived=$(diff_pixels sandbox_plain placed 120x90+80+470)
[ "$left" -ge 300 ] && [ "$arrived" -ge 300 ] ||
    fail "CTRL+click did not put the springboard onto the floor ($left pixels left, $arrived arrived)"
step "springboard $board placed on the floor"

# F2 saves the layout.
rm -f "$RUN/levels/_current.lvl"
key F2
for _ in $(seq 100); do [ -s "$RUN/levels/_current.lvl" ] && break; sleep 0.1; done
[ -s "$RUN/levels/_current.lvl" ] || fail "F2 wrote no levels/_current.lvl"
wait_for_pixel 10 saved $POPUP_EDGE "$POPUP_BLUE" || fail "no message band after F2"
step "layout saved"

# Moved to the right with the "Position X" line's right end, held until the
# view shows it.
board=$(select_object "Sprungbrett" $((FLOOR_X - 3)) $((FLOOR_Y - 12)))
park
wait_for_pixel 15 reselected $POPUP_EDGE "$(pixel placed $POPUP_EDGE)" || fail "the message band stays"
shot_stable reselected
xdotool mousemove --window "$WIN" 755 $POSITION_X_Y mousedown 1
end=$((SECONDS + 20))
while :; do
    sleep 0.2
    shot moving
    [ "$(diff_pixels reselected moving 260x150+60+430)" -ge 300 ] && break
    [ "$SECONDS" -lt "$end" ] || { xdotool mouseup 1; fail "Position X did not move the springboard"; }
done
xdotool mouseup 1
park
key Escape
shot_stable moved
[ "$(diff_pixels placed moved "$VIEW")" -ge 300 ] || fail "the springboard did not move"
step "springboard moved"

# F3 brings the saved layout back.
key F3
wait_for_log_for 10 "Level \"\" loaded from \"_current\"" || fail "F3 loaded nothing"
wait_for_pixel 10 loaded $POPUP_EDGE "$POPUP_BLUE" || fail "no message band after F3"
wait_for_pixel 15 restored $POPUP_EDGE "$(pixel placed $POPUP_EDGE)" || fail "the message band stays"
shot_stable restored
back=$(diff_pixels placed restored "$VIEW")
away=$(diff_pixels moved restored "$VIEW")
[ "$back" -le 50 ] && [ "$away" -ge 300 ] ||
    fail "F3 did not bring the springboard back ($back pixels differ from the saved view, $away from the moved one)"
step "layout loaded: the springboard is back ($back pixels differ)"

e2e_finish
