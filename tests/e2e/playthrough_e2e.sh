#!/usr/bin/env bash
# A new player's first session by mouse and keys: levels 1, 2 and 7 solved by mouse, won, the progress and an
# edit kept over a restart, F5/F6 and "Reset Level"; F6 to the last level, where CTRL+click, F2 and F3 work.
# Waits follow the log and the screen. Screenshots stay with KEEP_E2E=1 or go to E2E_SHOTS=dir.
# Usage: playthrough_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

VIEW=630x560+0+40          # the scene view below the frame-rate box
MENU_SPOT="700 400"        # an empty spot of the menu column: black, grey under a level screen
NO_VEIL="0 0 0" INFO_VEIL="22 22 22" WIN_VEIL="31 31 31"
BUTTON_FILL="76 0 0"       # the dark red inside PLAY, BACK and NEXT
PLAY_X=50 PLAY_Y=95 NEXT_X=52 NEXT_Y=127
START_X=27 STOP_X=62 BUTTON_Y=574
KNOB_Y=103                 # the menu's "Level" slider, level mode page
# An object's level-mode page: a line every 40 pixels from y = 172; slider tracks span x 655..743 for -0.5..0.5
# (level 2's springboard tilts for -0.125..0.125, 1/352 turn a pixel).
ROTATION_X_Y=198 ROTATION_Y_Y=238 POSITION_X_Y=198
KNOB_GREY="204 204 204" KNOB_FOCUS="255 255 0" TRACK_GREY="153 153 153" KNOB_VEILED="52 52 52"
POPUP_EDGE="400 285" POPUP_BLUE="0 0 255"

step() { echo "e2e: $* ($SECONDS s)"; }

LAST=13 # the built-in levels, the sandbox last
level_knob_x() { echo $((630 + (25 * (LAST - 1) + 88 * ($1 - 1)) / (LAST - 1))); }

# shot_stable NAME: a screenshot once two shots in a row of the view are alike.
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

# red_centre PLAIN SELECTED: "x y", the middle of the red pixels (the X arrow) the selection added.
red_centre() {
    "$CONVERT" "$RUN/$1.png" "$RUN/$2.png" -crop "$VIEW" +repage -compose difference -composite \
        -colorspace gray -threshold 12% "$RUN/mask.png"
    "$CONVERT" "$RUN/$2.png" -crop "$VIEW" +repage "$RUN/mask.png" -compose multiply -composite -depth 8 txt:- |
        awk -F'[(),: ]+' 'NR > 1 && $3 >= 60 && 3 * $4 < $3 && 3 * $5 < $3 { n++; sx += $1; sy += $2 }
            END { if (n >= 50) printf "%d %d\n", sx / n + 0.5, sy / n + 40.5 }'
}

# drag_to ID AXIS X Y DX DY UNITS LO HI: drags the arrow by (DX, DY), then by what that showed is left to move
# UNITS along AXIS; fails unless it moved LO to HI; prints "from to".
drag_to() {
    local id=$1 axis=$2 x=$3 y=$4 dx=$5 dy=$6 len=$(( ${5#-} + ${6#-} )) a b c m px
    m=$(drag_handle "$id" "$axis" "$x" "$y" "$dx" "$dy") || exit 1
    read -r a b <<<"$m"
    echo "e2e: $id dragged ($dx, $dy) pixels: $axis $a -> $b" >&2
    px=$(awk -v a="$a" -v b="$b" -v u="$7" -v l="$len" 'BEGIN { d = b - a; if (d < 1) exit 1; printf "%d", (a + u - b) * l / d }') ||
        fail "$id did not move along $axis: $a -> $b"
    c=$b
    if [ "$px" -ne 0 ]; then
        m=$(drag_handle "$id" "$axis" $((x + dx)) $((y + dy)) $((dx * px / len)) $((dy * px / len))) || exit 1
        read -r _ c <<<"$m"
        echo "e2e: $id dragged $px pixels more: $axis $c" >&2
    fi
    awk -v a="$a" -v c="$c" -v lo="$8" -v hi="$9" 'BEGIN { exit !(c - a >= lo && c - a <= hi) }' ||
        fail "$id ended at $axis $c, not about $7 from $a"
    echo "$a $c"
}

# next_level KEY: presses KEY (or clicks NEXT) and waits for a level to register its goal.
next_level() {
    local goals
    goals=$(log_lines "registerWinConditonHit")
    if [ "$1" = NEXT ]; then click $NEXT_X $NEXT_Y; else key "$1"; fi
    wait_more 10 "registerWinConditonHit" "$goals"
}

# release [wall]: Escape (after a click on the back wall, which takes the focus from a slider) lets go of the selection.
release() {
    local released
    released=$(log_lines "Scene: nothing selected")
    [ "${1:-}" = wall ] && click 450 120
    key Escape
    wait_more 5 "Scene: nothing selected" "$released"
}

e2e_start "$1"

# --- 1. the start screen ----------------------------------------------------------

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

# Board 4's "Rotation X" clicked at -0.068 (x 693; wins from -0.08 to -0.057) and "Rotation Y" at 0.25 (x 721).
shot_stable level1_plain
board=$(select_object "Brett mittel" 333 320)
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

# Board 5 dragged 30 units right by its X arrow (wins from about 13 to 36): a first drag measures, a second ends.
small=$(select_object "Brett klein" 146 383)
shot_stable small_selected
arrow=$(red_centre level1_turned small_selected)
[ -n "$arrow" ] || fail "no X arrow appeared with board $small"
read -r ax ay <<<"$arrow"
moved=$(drag_to "$small" X "$ax" "$ay" 30 0 30 27 34)
read -r x0 x2 <<<"$moved"
key Escape
park
shot_stable level1_solved
slid=$(diff_pixels level1_turned level1_solved "$VIEW")
[ "$slid" -ge 300 ] || fail "board $small did not move on screen ($slid pixels changed)"
step "board $small moved from x $x0 to $x2"

# --- 3. the machine runs, the level is won ---------------------------------------

click $START_X $BUTTON_Y
wait_for_log_for 10 "Scene: the machine runs" || fail "the start button did not start the machine"
park
step "machine started"
wait_for_log_for 150 "Level \"Die Bombe und der Swimminpool (Teil 1)\" won" || fail "the first level was not won"
wait_for_pixel 20 won $MENU_SPOT "$WIN_VEIL" || fail "no win screen"
expect_pixel won 75 87 "$BUTTON_FILL" "BACK button on the win screen"
expect_pixel won 75 119 "$BUTTON_FILL" "NEXT button on the win screen"
[ "$(count_pixels won 300x45+110+28 '$3 > 200 && $4 > 200 && $5 < 80')" -ge 40 ] || fail "the win screen says nothing of the win"
step "level 1 won"
# E2E_UNTIL_WIN=FILE (the sound test) ends the session here and keeps its log in FILE.
if [ -n "${E2E_UNTIL_WIN:-}" ]; then e2e_finish; cp "$RUN/log.txt" "$E2E_UNTIL_WIN"; exit 0; fi

# --- 4. NEXT opens the second level ---------------------------------------------

next_level NEXT || fail "NEXT loaded no level with a goal"
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

# Started again, the game opens level 2 (played last) and lists level 1 as won.
stop_game
grep -qx "level 1 1 1 [0-9.]* 1" "$RUN/progress.txt" ||
    fail "progress.txt does not hold level 1 won in one run: $(cat "$RUN/progress.txt")"
launch_game
wait_for_pixel 30 again $MENU_SPOT "$INFO_VEIL" || fail "no information panel after the restart"
wait_for_pixel 20 again "$(level_knob_x 2)" $KNOB_Y "$KNOB_VEILED" || fail "menu: the restart did not open level 2"
grep -qF 'levels won: 1' "$RUN/log.txt" || fail "the restarted game did not read level 1 as won"
click $PLAY_X $PLAY_Y
wait_for_pixel 20 level2_again $MENU_SPOT "$NO_VEIL" || fail "PLAY did not close the panel after the restart"
WON_LINE=130x14+640+232   # the line under "WON LEVELS": "none yet", then "1"
[ "$(diff_pixels level1 level2_again $WON_LINE)" -ge 10 ] || fail "the level page does not show level 1 won"
park
shot_stable level2_plain

# The middle springboard turned by "Rotation Z" stays turned over F5 and F6; "Reset Level" undoes it.
spring=$(select_object "Sprungbrett" 324 375)
wait_for_pixel 10 spring_selected 699 $ROTATION_Y_Y "$KNOB_GREY" || fail "no Rotation Z slider for springboard $spring"
click 743 $ROTATION_Y_Y # 45 degrees, the end of its range
park
release wall || fail "Escape did not let go of springboard $spring"
park
shot_stable level2_edited
[ "$(diff_pixels level2_plain level2_edited "$VIEW")" -ge 300 ] || fail "springboard $spring did not turn"
key F5
wait_for_pixel 20 left_level2 "$(level_knob_x 1)" $KNOB_Y "$KNOB_VEILED" || fail "F5 did not open level 1"
key F6
wait_for_pixel 20 back_in_level2 "$(level_knob_x 2)" $KNOB_Y "$KNOB_VEILED" || fail "F6 did not open level 2"
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

# The middle springboard's "Rotation Z" at -10/352 (x 689); the left one's "Rotation X" at -16/352 (x 683) and
# "Rotation Z" at -14/352 (x 685), raised about 27 units by its Y arrow. Each angle wins over six pixels or more.
middle=$(select_object "Sprungbrett" 324 375)
wait_for_pixel 10 middle_selected 699 $ROTATION_Y_Y "$KNOB_GREY" || fail "no Rotation Z slider for springboard $middle"
click 689 $ROTATION_Y_Y
park
wait_for_pixel 10 middle_turned 689 $ROTATION_Y_Y "$KNOB_FOCUS" || fail "Rotation Z of springboard $middle did not take -10/352"
left=$(select_object "Sprungbrett" 238 378 "$middle")
ROTATION_Z_Y=318
wait_for_pixel 10 left_selected 699 $ROTATION_Z_Y "$KNOB_GREY" || fail "no Rotation Z slider for springboard $left"
click 683 $ROTATION_Y_Y
sleep 0.2
click 685 $ROTATION_Z_Y
park
wait_for_pixel 10 left_turned 685 $ROTATION_Z_Y "$KNOB_FOCUS" || fail "Rotation Z of springboard $left did not take -14/352"
expect_pixel left_turned 683 $ROTATION_Y_Y "$KNOB_GREY" "Rotation X knob of springboard $left at -16/352"
# The Y arrow stands above the springboard: a press that misses it may select another object, so reselect.
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
moved=$(drag_to "$left" Y "$ax" "$ay" 0 -40 27 22 32)
read -r y0 y2 <<<"$moved"
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
next_level NEXT || true
wait_for_pixel 20 level3_info "$(level_knob_x 3)" $KNOB_Y "$KNOB_VEILED" || fail "NEXT did not open level 3"
step "level 2 won, level 3 open"

# --- 5. F6 to the last level ----------------------------------------------------------

for level in $(seq 4 $LAST); do
    next_level F6 || [ "$level" -eq $LAST ] || fail "F6 did not open level $level"
    wait_for_pixel 20 "level${level}_info" "$(level_knob_x "$level")" $KNOB_Y "$KNOB_VEILED" ||
        fail "F6 did not open level $level"
    [ "$level" -eq 7 ] || continue
    # The first level after the six, by mouse: the fan turned a quarter by one click of "Rotation Y" (22/88).
    key F1
    wait_for_pixel 20 level7 $MENU_SPOT "$NO_VEIL" || fail "F1 did not close level 7's panel"
    fan=$(select_object "Ventilator" 220 500)
    click 721 $ROTATION_X_Y
    park
    click $START_X $BUTTON_Y
    wait_for_log_for 90 "Level \"Frischer Wind\" won" || fail "level 7 was not won with fan $fan turned"
    wait_for_pixel 20 won7 $MENU_SPOT "$WIN_VEIL" || fail "no win screen in level 7"
    step "level 7 won by mouse"
done
key F1
wait_for_pixel 20 sandbox $MENU_SPOT "$NO_VEIL" || fail "F1 did not close the last level's panel"
expect_pixel sandbox "$(level_knob_x $LAST)" $KNOB_Y "$KNOB_GREY" "menu: the last level is current"
step "last level open"

# The springboard CTRL+clicked onto the floor at the front left, clear of its own handles.
shot_stable sandbox_plain
board=$(select_object "Sprungbrett" 235 385)
shot_stable sandbox_selected
FLOOR_X=140 FLOOR_Y=530
xdotool mousemove --window "$WIN" $FLOOR_X $FLOOR_Y
sleep 0.2
xdotool keydown ctrl click 1 keyup ctrl
park
release || true
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

# Moved right by holding the "Position X" line's right end until the view shows it.
board=$(select_object "Sprungbrett" $((FLOOR_X - 3)) $((FLOOR_Y - 12)))
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
