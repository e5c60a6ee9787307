#!/usr/bin/env bash
# The first level's board model cut to 10 bytes: the log gives the error, a pop-up names the file once, the
# level still plays.
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
e2e_finish
