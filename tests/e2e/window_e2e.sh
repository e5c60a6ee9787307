#!/usr/bin/env bash
# The window: its size and pixels, keys and clicks reaching it, the log.
# Usage: window_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

e2e_start "$1"

# The window: title, size, dark blue background, the frame-rate box.
geometry=$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')
[ "$geometry" = "800x600" ] || fail "window is $geometry, want 800x600"

# The information panel: a grey veil, green text, a red "PLAY" that closes it.
shot info
expect_pixel_not info 600 150 "0 0 128" "information panel veil"
play=$(count_pixels info 64x24+20+83 '$3 > 150 && $4 < 80 && $5 < 80')
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

count=$(count_pixels start 56x16+12+12 '$3 > 100 || $4 > 100') # red or green fps text
[ "$count" -ge 20 ] || fail "no fps text inside the frame-rate box ($count text pixels)"


# The log starts with the readme notice and the technical help text.
expected=$'Bitte Readme.doc lesen!!!\n\n\nTECHNICAL HELP\n\n\n\n\nSHIFT F1 ... shows/hides this screen\nSHIFT F2 ... shows/hides fps\nSHIFT F3 ... wireframe on/off\nSHIFT F4 ... change texture quality\nSHIFT F5 ... change mipmapping settings\nSHIFT F6 ... immediate mode vs vertex array\nSHIFT F7 ... use display lists on/off\nSHIFT F8 ... culling on/off\nSHIFT F9 ... transparency on/off\nSHIFT F11 .. frame cap 120/60/30/off\n\n4 / 6 ...... the slider clicked last a quarter step left/right\nwheel ...... zoom the view / scroll the menu\n'
head -c ${#expected} "$RUN/log.txt" > "$RUN/head.txt"
printf '%s' "$expected" | cmp -s - "$RUN/head.txt" || fail "log.txt does not begin with the readme notice and the help text"

# Mouse and keys reach the window and are traced in the log only.
click 300 200
xdotool key --delay 50 a
wait_for_log "Mouse Click at:  300  200" || fail "click not traced in log.txt"
wait_for_log "Key: 97" || fail "key not traced in log.txt"
if grep -q "Mouse Click" "$RUN/console.txt"; then fail "mouse trace reached the console"; fi

# SHIFT+F2 reaches the frame-rate item: it hides and a message band shows.
xdotool key shift+F2
sleep 1.5
shot hidden
[ "$(pixel hidden 10 20)" != "$(pixel start 10 20)" ] || fail "frame-rate box still shown"
[ "$(pixel hidden 480 300)" != "$(pixel start 480 300)" ] || fail "no message band in the middle"
[ "$(pixel hidden 480 250)" = "$(pixel start 480 250)" ] || fail "the message band reaches above its place"

e2e_finish
