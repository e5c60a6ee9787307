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

shot start
expect_pixel start 400 300 "0 0 128" "dark blue clear colour"
expect_pixel_any start "9 20;10 20;11 20" "0 0 255" "frame-rate box outline"

# text_pixels NAME W H X Y: counts the pixels of a screenshot region that are
# red or green enough to be the frame-rate text (not background, not outline).
text_pixels() {
    "$CONVERT" "$RUN/$1.png" -crop "$2x$3+$4+$5" -depth 8 txt:- |
        awk -F'[(),]' 'NR > 1 && ($3 > 100 || $4 > 100) { n++ } END { print n + 0 }'
}
count=$(text_pixels start 56 16 12 12)
[ "$count" -ge 20 ] || fail "no fps text inside the frame-rate box ($count text pixels)"

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
expect_pixel_not hidden 400 300 "0 0 128" "message band in the middle"
expect_pixel hidden 400 250 "0 0 128" "background above the band"

e2e_finish
