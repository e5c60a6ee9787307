#!/usr/bin/env bash
# Drives the real game in its own X server: finds the window, checks its size,
# sends keys and clicks, takes screenshots and checks pixels and the log.
# Usage: window_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

e2e_start "$1"

# The window: title, size, dark blue background, the frame-rate box.
geometry=$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')
[ "$geometry" = "800x600" ] || fail "window is $geometry, want 800x600"

# region_pixels NAME W H X Y AWK-CONDITION: counts the pixels of a region
# (r, g, b in $3, $4, $5) that meet the condition.
region_pixels() {
    "$CONVERT" "$RUN/$1.png" -crop "$2x$3+$4+$5" -depth 8 txt:- |
        awk -F'[(),: ]+' "NR > 1 && ($6) { n++ } END { print n + 0 }"
}

# The level opens with its information panel: a grey veil over the room, the
# level's text in green and a red "PLAY" button that closes the panel.
shot info
expect_pixel_not info 600 150 "0 0 128" "information panel veil"
play=$(region_pixels info 64 24 20 83 '$3 > 150 && $4 < 80 && $5 < 80')
[ "$play" -ge 40 ] || fail "no PLAY button on the information panel ($play red pixels)"
text=$(region_pixels info 300 90 100 85 '$4 > 150 && $3 < 100 && $5 < 100')
[ "$text" -ge 50 ] || fail "no level text on the information panel ($text green pixels)"
xdotool mousemove --window "$WIN" 50 95 click 1
sleep 0.5

shot start
expect_pixel start 600 150 "0 0 128" "dark blue clear colour once PLAY closed the panel"
expect_pixel_any start "9 20;10 20;11 20" "0 0 255" "frame-rate box outline"

# text_pixels NAME W H X Y: counts the pixels of a screenshot region that are
# red or green enough to be the frame-rate text (not background, not outline).
text_pixels() {
    "$CONVERT" "$RUN/$1.png" -crop "$2x$3+$4+$5" -depth 8 txt:- |
        awk -F'[(),]' 'NR > 1 && ($3 > 100 || $4 > 100) { n++ } END { print n + 0 }'
}
count=$(text_pixels start 56 16 12 12)
[ "$count" -ge 20 ] || fail "no fps text inside the frame-rate box ($count text pixels)"

# The scene view (all but the 170-pixel menu strip at the right) shows its
# objects. scene_pixels NAME: "count x y" of the pixels below the frame-rate
# box that are neither background blue nor black, with the object pixel
# nearest to their centre (window coordinates).
scene_pixels() {
    "$CONVERT" "$RUN/$1.png" -crop 630x560+0+40 +repage -depth 8 txt:- |
        awk -F'[(),: ]+' 'NR > 1 {
            r = $3; g = $4; b = $5
            if ((r <= 2 && g <= 2 && b >= 126 && b <= 130) || (r <= 2 && g <= 2 && b <= 2)) next
            n++; px[n] = $1; py[n] = $2; sx += $1; sy += $2
        } END {
            if (n == 0) { print "0 0 0"; exit }
            cx = sx / n; cy = sy / n; best = -1
            for (i = 1; i <= n; i++) {
                d = (px[i] - cx) ^ 2 + (py[i] - cy) ^ 2
                if (best < 0 || d < best) { best = d; bx = px[i]; by = py[i] }
            }
            print n, bx, by + 40
        }'
}
read -r objects click_x click_y <<<"$(scene_pixels start)"
[ "$objects" -ge 5000 ] || fail "the scene shows no objects ($objects object pixels)"

# new_outline BEFORE AFTER: "count x y" of the pixels that became outline
# green or white between two screenshots, with their mean position.
new_outline() {
    paste -d' ' <("$CONVERT" "$RUN/$1.png" -crop 630x560+0+40 +repage -depth 8 txt:- | tail -n +2) \
                <("$CONVERT" "$RUN/$2.png" -crop 630x560+0+40 +repage -depth 8 txt:- | tail -n +2) |
        awk -F'[(),: ]+' '
            function outline(r, g, b) { return (r <= 40 && g >= 200 && b <= 40) || (r >= 245 && g >= 245 && b >= 245) }
            outline($10, $11, $12) && !outline($3, $4, $5) { n++; sx += $8; sy += $9 }
            END { if (n == 0) print "0 0 0"; else printf "%d %d %d\n", n, sx / n, sy / n + 40 }'
}

# Clicking an object selects it: its outline brackets appear around it.
xdotool mousemove --window "$WIN" "$click_x" "$click_y" click 1
sleep 0.5
shot selected
read -r outline out_x out_y <<<"$(new_outline start selected)"
[ "$outline" -ge 10 ] || fail "no selection outline after clicking the object at ($click_x, $click_y)"
dx=$((out_x - click_x)); dy=$((out_y - click_y))
[ $((dx * dx + dy * dy)) -le 40000 ] || fail "the outline ($out_x, $out_y) is far from the click ($click_x, $click_y)"

# The log starts with the readme notice and the technical help text.
expected=$'Bitte Readme.doc lesen!!!\n\n\nTECHNICAL HELP\n\n\n\n\nSHIFT F1 ... shows/hides this screen\nSHIFT F2 ... shows/hides fps\nSHIFT F3 ... wireframe on/off\nSHIFT F4 ... change texture quality\nSHIFT F5 ... change mipmapping settings\nSHIFT F6 ... immediate mode vs vertex array\nSHIFT F7 ... use display lists on/off\nSHIFT F8 ... culling on/off\nSHIFT F9 ... transparency on/off\n'
head -c ${#expected} "$RUN/log.txt" > "$RUN/head.txt"
printf '%s' "$expected" | cmp -s - "$RUN/head.txt" || fail "log.txt does not begin with the readme notice and the help text"

# Mouse and keys reach the window and are traced in the log only.
xdotool mousemove --window "$WIN" 300 200 click 1
xdotool key --delay 50 a
wait_for_log "Mouse Click at:  300  200" || fail "click not traced in log.txt"
wait_for_log "Key: 97" || fail "key not traced in log.txt"
if grep -q "Mouse Click" "$RUN/console.txt"; then fail "mouse trace reached the console"; fi

# SHIFT+F2 reaches the frame-rate item: it hides and a message band shows.
xdotool key shift+F2
sleep 1.5
shot hidden
expect_pixel_any hidden "9 20;10 20;11 20" "0 0 128" "frame-rate box hidden"
[ "$(text_pixels hidden 56 16 12 12)" -eq 0 ] || fail "fps text still shows with the box hidden"
expect_pixel start 480 300 "0 0 128" "background where the band will show"
expect_pixel_not hidden 480 300 "0 0 128" "message band in the middle"
expect_pixel hidden 480 250 "0 0 128" "background above the band"

e2e_finish
