#!/usr/bin/env bash
# F6 through the built-in levels: each opens with its panel (F1 closes it) and a room of its own.
# Usage: levels_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

e2e_start "$1"
LAST=13 # the built-in levels, the sandbox last

# scene_pixels NAME: the pixels of the scene view that are neither background blue nor black.
scene_pixels() {
    "$CONVERT" "$RUN/$1.png" -crop 630x540+0+60 +repage -depth 8 txt:- |
        awk -F'[(),: ]+' 'NR > 1 {
            r = $3; g = $4; b = $5
            if ((r <= 2 && g <= 2 && b >= 126 && b <= 130) || (r <= 2 && g <= 2 && b <= 2)) next
            n++
        } END { print n + 0 }'
}

# changed A B: how many pixels of the scene view differ between two shots.
changed() {
    "$CONVERT" "$RUN/$1.png" "$RUN/$2.png" -crop 630x540+0+60 +repage -compose difference -composite \
        -threshold 3% -format '%[fx:int(w*h*mean+0.5)]' info:
}

for level in $(seq 1 $LAST); do
    sleep 1
    shot "level${level}_info"
    expect_pixel_not "level${level}_info" 600 150 "0 0 128" "level $level: information panel veil"
    xdotool key F1
    sleep 1
    shot "level${level}_room"
    objects=$(scene_pixels "level${level}_room")
    [ "$objects" -ge 20000 ] || fail "level $level shows no room ($objects object pixels)"
    [ "$(changed "level${level}_info" "level${level}_room")" -ge 5000 ] ||
        fail "level $level: F1 did not close the information panel"
    if [ "$level" -gt 1 ]; then
        [ "$(changed "level$((level - 1))_room" "level${level}_room")" -ge 5000 ] ||
            fail "level $level looks like level $((level - 1))"
    fi
    xdotool key F6
done

# After the last level F6 goes nowhere: no panel opens, the room stays.
sleep 1
shot after_last
[ "$(changed "level${LAST}_room" after_last)" -lt 5000 ] || fail "F6 left the last level"

e2e_finish
