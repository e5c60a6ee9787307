#!/usr/bin/env bash
# The game's CPU use (percent of one core, from /proc/PID/stat) in four
# states: idle on level 1's information panel, idle in level 1 with the
# machine stopped, and while level 6's machine runs; each with the frame cap
# and with --uncapped. Needs an X display (bench/run provides one).
# Usage: bench/cpu_use.sh GAME_BINARY [SECONDS]
set -euo pipefail
GAME=$(readlink -f "$1")
SECS=${2:-4}
RUN=$(mktemp -d /tmp/qbn-cpu.XXXXXX)
game=""
trap '[ -n "$game" ] && kill "$game" 2>/dev/null; rm -rf "$RUN"' EXIT
cp -r "$(dirname "$GAME")/md2_objects" "$(dirname "$GAME")/particletextures" "$RUN/"
mkdir -p "$RUN/levels"
TICKS=$(getconf CLK_TCK)

# cpu_percent: user plus system time of the game over SECS seconds.
cpu_percent() {
    local a b
    a=$(awk '{ print $14 + $15 }' "/proc/$game/stat")
    sleep "$SECS"
    b=$(awk '{ print $14 + $15 }' "/proc/$game/stat")
    awk -v a="$a" -v b="$b" -v t="$TICKS" -v s="$SECS" 'BEGIN { printf "%7.1f", (b - a) * 100 / t / s }'
}

# The pointer rests on the menu's empty lower part; keys go to the window.
key() { xdotool key --window "$win" "$1" 2>/dev/null; sleep 0.3; }

measure() { # options...
    rm -f "$RUN/log.txt"
    (cd "$RUN" && exec "$GAME" "$@" >/dev/null 2>&1) & game=$!
    win=""
    for _ in $(seq 100); do
        win=$(xdotool search --onlyvisible --name '^Quibbleton$' 2>/dev/null | head -n 1 || true)
        [ -n "$win" ] && grep -q "First frame after" "$RUN/log.txt" 2>/dev/null && break
        sleep 0.1
    done
    xdotool mousemove --window "$win" 700 585
    sleep 1.5
    local info stopped running
    info=$(cpu_percent)
    key F1 # the panel closes; the machine stands
    sleep 1
    stopped=$(cpu_percent)
    for _ in 2 3 4 5 6; do key F6; done
    sleep 1.5
    key F1
    xdotool mousemove --window "$win" 27 574 click 1 mousemove --window "$win" 700 585 2>/dev/null
    sleep 1
    grep -q "the machine runs" "$RUN/log.txt" || { echo "the machine did not start in level 6" >&2; exit 1; }
    running=$(cpu_percent)
    kill "$game"
    wait "$game" 2>/dev/null || true
    game=""
    echo "$info $stopped $running"
}

echo "CPU use of the game (% of one core over $SECS s; rasterising in Mesa's threads included)"
printf '%-22s %18s %18s %18s\n' "" "level 1 info panel" "level 1, stopped" "level 6 running"
read -r i s r < <(measure)
printf '%-22s %18s %18s %18s\n' "capped (120 fps)" "$i" "$s" "$r"
read -r i s r < <(measure --uncapped)
printf '%-22s %18s %18s %18s\n' "--uncapped" "$i" "$s" "$r"
