#!/usr/bin/env bash
# The first level's board model cut to 10 bytes: the log gives the error, a pop-up names the file once, the
# level still plays. Then links and pipes where the game's files should be: the window comes, nothing is written
# through a link, SIGTERM ends the game; what a crash left is cleared; a game killed in the editor comes back
# with its last edit.
# Usage: files_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

e2e_prepare() { truncate -s 10 "$RUN/md2_objects/brett1.md2"; }
e2e_start "$1"

wait_for_log "LoaderGeneric: brett1.md2, error" || fail "no error line for the damaged model"
grep -q "ModelObject_MD2: md2_objects/brett1.md2: too short" "$RUN/log.txt" || fail "no reason for the damaged model"
grep -q "LoaderGeneric: brett1.md2, [0-9]" "$RUN/log.txt" && fail "the damaged model was logged as loaded"
[ "$(log_lines "Could not load md2_objects/brett1.md2")" -eq 1 ] || fail "the pop-up was not shown exactly once"

# The pop-up: yellow text on a dark band across the middle of the window.
yellow='$3 > 180 && $4 > 150 && $5 < 120'
for _ in $(seq 20); do # it fades in
    shot popup
    [ "$(count_pixels popup 800x40+0+280 "$yellow")" -ge 30 ] && break
    sleep 0.2
done
[ "$(count_pixels popup 800x40+0+280 "$yellow")" -ge 30 ] || fail "no pop-up text in the middle of the window"
for _ in $(seq 30); do # it fades after a few seconds
    sleep 0.5
    shot later
    [ "$(count_pixels later 800x40+0+280 "$yellow")" -lt 30 ] && break
done
[ "$(count_pixels later 800x40+0+280 "$yellow")" -lt 30 ] || fail "the pop-up did not go away"

# The boards (without their model) save and load with the level.
xdotool key --window "$WIN" F2
for _ in $(seq 50); do [ -s "$RUN/levels/_current.lvl" ] && break; sleep 0.1; done
grep -qa "brett1.md2" "$RUN/levels/_current.lvl" || fail "the boards were saved without their model"

# plant LOG SOUND: log.txt and sound.cfg as a link to a file of the player's ("link") or a pipe ("pipe").
plant() {
    stop_game
    for file in log.txt sound.cfg; do
        rm -f "$RUN/$file" && echo mine >"$RUN/$file.victim"
        if [ "$1" = link ]; then ln -s "$RUN/$file.victim" "$RUN/$file"; else mkfifo "$RUN/$file"; fi
        shift
    done
}
plant link pipe
rm -f "$RUN/progress.txt" "$RUN/levels/_layout1.lvl" && mkfifo "$RUN/progress.txt" "$RUN/levels/_layout1.lvl"
touch "$RUN/progress.txt.tmp123_0" "$RUN/levels/mine.lvl.tmp-Ab3xYz" # what a killed game left
launch_game
grep -q "log.txt cannot be written (is a link)" "$RUN/console.txt" || fail "no word of the link as log.txt"
[ -p "$RUN/progress.txt.bad" ] || fail "the pipe as progress.txt was not set aside"
[ -e "$RUN/progress.txt.tmp123_0" ] || [ -e "$RUN/levels/mine.lvl.tmp-Ab3xYz" ] && fail "temporary files were left"
key F6 # leaves level 1, whose layout file is a pipe
plant pipe link
launch_game
key m # the mute switch writes sound.cfg
for _ in $(seq 30); do [ -f "$RUN/sound.cfg" ] && [ ! -L "$RUN/sound.cfg" ] && break; sleep 0.1; done
[ -L "$RUN/sound.cfg" ] && fail "sound.cfg was not written in the link's place"
for f in log.txt sound.cfg; do [ "$(cat "$RUN/$f.victim")" = mine ] || fail "$f was written through its link"; done

# Killed in the editor a moment after its first edit, the game comes back with it.
stop_game
rm -f "$RUN/log.txt"
launch_game
click 50 95 && sleep 0.3 && click 700 47 && sleep 0.5 # PLAY, Custom Mode
click 700 277                                         # the first object of the list, a basketball
wait_for_log "The editor's level is kept in" || fail "the new ball was not kept"
kill -KILL "$GAME_PID" && wait "$GAME_PID" || true
launch_game
click 50 95 && sleep 0.3
click 700 47
wait_for_log 'loaded from "_autosave"' || fail "the editor did not bring back its level"
grep -qa "basketball.md2" "$RUN/levels/_autosave.lvl" || fail "the kept level has no ball"
e2e_finish
