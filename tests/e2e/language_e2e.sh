#!/usr/bin/env bash
# Three languages: the C locale, --lang en (level 1's panel), --lang de and LANGUAGE=de (the editor's page);
# French, which has no catalogue, shows the English panel.
# Usage: language_e2e.sh path/to/quibbleton
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
BIN=$(readlink -f "$1")
unset LANGUAGE LANG LC_MESSAGES
export LC_ALL=C

# launch COMMAND...: starts the game again in the same folder and display.
launch() { launch_game "$@"; }
# editor NAME: the editor's first page, where the menu holds many labels.
editor() {
    xdotool mousemove --window "$WIN" 50 95 click 1 # PLAY
    sleep 0.5
    xdotool mousemove --window "$WIN" 706 46 click 1 # Custom Mode
    sleep 1
    # Until the menu holds still: a slow (sanitized) game may still be building the page.
    for _ in $(seq 12); do
        shot "$1" && sleep 0.5 && shot still
        [ "$(diff_pixels "$1" still "$MENU")" -lt 50 ] && break
    done
}
PANEL=525x300+100+90
MENU=165x600+635+0

e2e_start "$BIN"
shot c_info
editor c_menu
grep -qF "Language: the game's own texts" "$RUN/log.txt" || fail "the C locale chose a language"
stop_game

launch "$BIN" --lang en
wait_for_log "Language: en" || fail "--lang en was not taken"
shot en_info
[ "$(diff_pixels c_info en_info "$PANEL")" -ge 2000 ] || fail "--lang en shows the German panel"
stop_game

launch env -u LC_ALL LANG=fr_FR.UTF-8 "$BIN"
wait_for_log "shown in en" || fail "French is not shown in English"
shot fr_info
[ "$(diff_pixels en_info fr_info "$PANEL")" -lt 50 ] || fail "LANG=fr_FR.UTF-8 does not show the English panel"
stop_game

launch "$BIN" --lang de
wait_for_log "Language: de" || fail "--lang de was not taken"
editor de_menu
[ "$(diff_pixels c_menu de_menu "$MENU")" -ge 500 ] || fail "--lang de shows the English menu"
stop_game

# The environment alone chooses the same German menu.
launch env LC_ALL=C.UTF-8 LANGUAGE=de "$BIN"
editor env_menu
[ "$(diff_pixels de_menu env_menu "$MENU")" -lt 50 ] || fail "LANGUAGE=de does not show the German menu"

# A missing code is refused with a message.
if "$BIN" --lang 2>"$RUN/refused.txt"; then fail "--lang without a code was taken"; fi
grep -q -- "--lang' needs a value" "$RUN/refused.txt" || fail "no message for --lang without a code"
e2e_finish
