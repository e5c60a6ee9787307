# Shared steps of the end-to-end tests: their own X server, the game in a scratch folder, screenshots, pixels.

CONVERT=/usr/bin/convert
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_ROOT=$(cd "$E2E_DIR/../.." && pwd)

fail() {
    echo "FAIL: $*" >&2
    [ -n "${RUN:-}" ] && [ -f "$RUN/log.txt" ] && { echo "--- log.txt" >&2; tail -n 20 "$RUN/log.txt" >&2; }
    exit 1
}

cleanup() {
    if [ -n "${GAME_PID:-}" ] && kill "$GAME_PID" 2>/dev/null; then
        for _ in $(seq 50); do
            kill -0 "$GAME_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$GAME_PID" 2>/dev/null || true
    fi
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "${RUN:-}" ] && [ -z "${KEEP_E2E:-}" ] && rm -rf "$RUN"
    return 0
}

# e2e_start BINARY [ARGUMENT...]: starts Xvfb and the game, sets DISPLAY, RUN and WIN.
e2e_start() {
    local bin
    bin=$(readlink -f "$1")
    [ -x "$bin" ] || fail "no game binary at $1"
    RUN=$(mktemp -d /tmp/qbn-e2e.XXXXXX)
    trap cleanup EXIT
    for dir in levels md2_objects particletextures sounds; do
        if [ -d "$(dirname "$bin")/$dir" ]; then cp -r "$(dirname "$bin")/$dir" "$RUN/"; fi
    done
    rm -f "$RUN"/levels/_layout*.lvl  # a new player
    for file in ${E2E_FILES:-}; do cp "$file" "$RUN/"; done  # E2E_FILES="a b": files in the player's folder
    if declare -F e2e_prepare >/dev/null; then e2e_prepare; fi

    # Sanitizer reports go beside the log; e2e_finish sorts the game's leaks from the system's.
    export ASAN_OPTIONS="log_path=$RUN/sanitizer:detect_leaks=1"
    export UBSAN_OPTIONS="log_path=$RUN/sanitizer:print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="exitcode=0"

    start_xvfb
    GAME_BIN=$bin
    launch_game "$bin" "${@:2}"
}

# start_xvfb: an X server of our own; sets DISPLAY and XVFB_PID. The server picks a free display; when it names
# none in time (displays taken at once by other tests), it is started again on a free-looking display of ours.
start_xvfb() {
    local try display at=""
    for try in 1 2 3 4; do
        rm -f "$RUN/displayfd" && mkfifo "$RUN/displayfd" && exec 3<>"$RUN/displayfd"
        Xvfb $at -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$RUN/xvfb.txt" 2>&1 &
        XVFB_PID=$! display=""
        for _ in $(seq 100); do read -r -t 0.2 display <&3 && break; kill -0 "$XVFB_PID" 2>/dev/null || break; done
        exec 3<&-
        [ -n "$display" ] && kill -0 "$XVFB_PID" 2>/dev/null && { export DISPLAY=":$display"; return 0; }
        echo "e2e: Xvfb gave no display number (try $try $at): $(tail -n 2 "$RUN/xvfb.txt")" >&2
        kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
        at=":$((200 + RANDOM % 800))"
        while [ -e "/tmp/.X${at#:}-lock" ] || [ -e "/tmp/.X11-unix/X${at#:}" ]; do at=":$((200 + RANDOM % 800))"; done
    done
    XVFB_PID=""
    fail "Xvfb gave no display number in four tries"
}

# launch_game [COMMAND...]: starts the game (again, or COMMAND instead) in RUN; sets WIN once the window shows
# and the game has drawn its first whole picture (its log, E2E_LOG or RUN's, says "First frame").
launch_game() {
    [ $# -gt 0 ] || set -- "$GAME_BIN"
    local log=${E2E_LOG:-$RUN/log.txt} by_log=1
    # A planted link or pipe stays for the game to refuse; then the window alone tells.
    if [ -L "$log" ] || [ -p "$log" ]; then by_log=0; else rm -f "$log"; fi
    (cd "$RUN" && exec "$@" >"$RUN/console.txt" 2>&1) &
    GAME_PID=$!
    WIN=""
    for _ in $(seq 300); do
        [ -n "$WIN" ] || WIN=$(xdotool search --onlyvisible --name '^Quibbleton$' 2>/dev/null | head -n 1 || true)
        [ -n "$WIN" ] && { [ "$by_log" = 0 ] || grep -q "^First frame after" "$log" 2>/dev/null; } && break
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended early: $(cat "$RUN/console.txt")"
        sleep 0.1
    done
    [ -n "$WIN" ] || fail "no window titled Quibbleton within 30 s"
    if [ "$by_log" = 1 ]; then
        grep -q "^First frame after" "$log" 2>/dev/null || fail "the game drew no first picture within 30 s"
    else
        sleep 1
    fi
    xdotool windowfocus --sync "$WIN" 2>/dev/null || true
}

# stop_game: SIGTERM, as the desktop ends it, and a clean exit within a minute.
stop_game() {
    kill -TERM "$GAME_PID" 2>/dev/null || fail "the game was gone before it was asked to end"
    for _ in $(seq 600); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end within a minute of SIGTERM"
    local status=0
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    [ "$status" -eq 0 ] || fail "the game ended with status $status: $(tail -n 20 "$RUN/console.txt")"
}

# own_leaks REPORT: the leaks allocated through the game's own sources (driver and X leaks carry no source path).
own_leaks() {
    awk -v src="$E2E_ROOT/src/" -v tools="$E2E_ROOT/tools/" '
        /^(Direct|Indirect) leak/ { block = $0; inleak = 1; next }
        inleak && NF == 0 { if (own) print block "\n"; block = ""; inleak = 0; own = 0; next }
        inleak { block = block "\n" $0; if (index($0, src) || index($0, tools)) own = 1 }
        END { if (inleak && own) print block }' "$1"
}

e2e_finish() {
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game died during the test"
    stop_game
    local report
    for report in "$RUN"/sanitizer*; do
        [ -s "$report" ] || continue
        grep -q "ERROR: AddressSanitizer\|runtime error\|ERROR: UndefinedBehaviorSanitizer" "$report" &&
            fail "sanitizer report $(basename "$report"):
$(head -n 60 "$report")"
        own_leaks "$report" >"$report.own"
        [ -s "$report.own" ] && fail "the game leaks ($(basename "$report")):
$(head -n 60 "$report.own")"
        echo "e2e: $(grep -c '^\(Direct\|Indirect\) leak' "$report") leaks at exit, none allocated by the game's code"
    done
    echo "e2e: all checks passed"
}

# shot NAME: a screenshot of the window into $RUN/NAME.png.
shot() {
    import -window "$WIN" "$RUN/$1.png" || fail "screenshot failed"
    [ -n "${E2E_SHOTS:-}" ] && cp "$RUN/$1.png" "$E2E_SHOTS/" || true
}

# pixel NAME X Y: prints "r g b" (0-255) of a screenshot pixel.
pixel() {
    "$CONVERT" "$RUN/$1.png" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:
}

# near "r g b" "r g b": true when every channel differs by at most 2.
near() {
    local a=($1) b=($2)
    for i in 0 1 2; do
        local d=$((a[i] - b[i]))
        [ ${d#-} -le 2 ] || return 1
    done
}

expect_pixel() {
    local got
    got=$(pixel "$1" "$2" "$3")
    near "$got" "$4" || fail "$5: pixel ($2, $3) of $1 is ($got), want ($4)"
}
expect_pixel_not() {
    local got
    got=$(pixel "$1" "$2" "$3")
    near "$got" "$4" && fail "$5: pixel ($2, $3) of $1 is still ($got)"
    return 0
}

# expect_pixel_any NAME "x y;x y;..." "r g b" WHAT: at least one of the points matches.
expect_pixel_any() {
    local seen="" point
    IFS=';' read -ra points <<<"$2"
    for point in "${points[@]}"; do
        local got
        got=$(pixel "$1" $point)
        near "$got" "$3" && return 0
        seen="$seen ($point: $got)"
    done
    fail "$4: none of$seen is ($3)"
}

# wait_for_log_for SECONDS TEXT (wait_for_log TEXT: three seconds): waits for TEXT in log.txt.
wait_for_log() { wait_for_log_for 3 "$1"; }
wait_for_log_for() {
    for _ in $(seq $(($1 * 10))); do
        grep -qF "$2" "$RUN/log.txt" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# log_lines TEXT: how many lines of log.txt hold TEXT so far.
log_lines() { grep -cF "$1" "$RUN/log.txt" 2>/dev/null || true; }

# wait_more SECONDS TEXT COUNT: waits up to SECONDS until more than COUNT lines of log.txt hold TEXT.
wait_more() {
    for _ in $(seq $(($1 * 10))); do [ "$(log_lines "$2")" -gt "$3" ] && return 0; sleep 0.1; done
    return 1
}

# wait_for_pixel SECONDS NAME X Y "r g b": screenshot NAME until its pixel (X, Y) is near that colour.
wait_for_pixel() {
    local end=$((SECONDS + $1))
    while :; do
        shot "$2"
        near "$(pixel "$2" "$3" "$4")" "$5" && return 0
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}

# diff_pixels A B GEOMETRY: how many pixels in that part of two screenshots differ clearly.
diff_pixels() {
    "$CONVERT" "$RUN/$1.png" "$RUN/$2.png" -crop "$3" +repage -compose difference -composite \
        -colorspace gray -threshold 12% -format '%[fx:int(mean * w * h + 0.5)]' info:
}

# click X Y: a left click at that window position.
click() { xdotool mousemove --window "$WIN" "$1" "$2" click 1; }

# count_pixels NAME GEOMETRY AWK-CONDITION: how many pixels there meet the condition (r, g, b in $3, $4, $5).
count_pixels() {
    "$CONVERT" "$RUN/$1.png" -crop "$2" +repage -depth 8 txt:- |
        awk -F'[(),: ]+' "NR > 1 && ($3) { n++ } END { print n + 0 }"
}

# drag_handle ID AXIS X Y DX DY: drags the AXIS arrow of ID at (X, Y) by (DX, DY); prints "before after" coordinate.
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
    wait_more 5 "Scene: $id now at" "$ends" || true
    [ "$(log_lines "Scene: moving $id along $axis")" -gt "$moves" ] || fail "no $axis arrow of $id at ($x, $y)"
    [ "$(log_lines "Scene: $id now at")" -gt "$ends" ] || fail "the move of $id did not end with the release"
    echo "$(grep -F "Scene: moving $id along $axis" "$RUN/log.txt" | tail -n 1 | sed 's/.* from (\([^)]*\)).*/\1/' |
        cut -d, -f"$field" | tr -d ' ') $(grep -F "Scene: $id now at" "$RUN/log.txt" | tail -n 1 |
        sed 's/.* at (\([^)]*\)).*/\1/' | cut -d, -f"$field" | tr -d ' ')"
}

# park: the pointer onto the menu's empty lower part. key KEY: a key to the window.
park() { xdotool mousemove --window "$WIN" 700 585; }
key() { xdotool key --window "$WIN" "$1"; }

# last_selected: "id name" of the latest selection.
last_selected() {
    grep -F "Scene: selected " "$RUN/log.txt" | tail -n 1 | sed 's/^Scene: selected \([0-9]*\) "\(.*\)"$/\1 \2/'
}

# select_object NAME X Y [NOT_ID]: clicks at and around (X, Y) until the log names NAME (not NOT_ID); prints its id.
select_object() {
    local name=$1 x0=$2 y0=$3 other=${4:-} before x y
    while read -r x y; do
        before=$(log_lines "Scene: selected ")
        click "$x" "$y"
        if wait_more 2 "Scene: selected " "$before"; then
            if [ "$(last_selected | cut -d' ' -f2-)" = "$name" ] && [ "$(last_selected | cut -d' ' -f1)" != "$other" ]; then
                last_selected | cut -d' ' -f1
                park
                return 0
            fi
            key Escape
            sleep 0.2
        fi
    done < <(for dy in 0 -10 10 -20 20 -30 30; do for dx in 0 -10 10 -20 20 -30 30; do
            echo "$((dx * dx + dy * dy)) $((x0 + dx)) $((y0 + dy))"; done; done | sort -n | cut -d' ' -f2-)
    fail "no click around ($x0, $y0) selected \"$name\""
}
