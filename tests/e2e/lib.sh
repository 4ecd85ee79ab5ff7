# Helpers for the tests that drive the real game binary in a virtual X server of their own.
set -euo pipefail
: "${PLARN_BINARY:?}"
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SEND_CLOSE=$(dirname "$PLARN_BINARY")/send_close
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }

# Starts a virtual X server of the given size on a free display and exports DISPLAY.
start_x() {
    local size=$1
    XVFB_PID=
    for n in $(seq 50 120); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 1 50); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then export DISPLAY=":$n"; return 0; fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    done
    echo "cannot start Xvfb" >&2
    return 1
}
stop_x() { [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null || true; }

# Starts the game with a fresh HOME; sets GAME_PID, GAME_HOME and GAME_WINDOW.
start_game() {
    GAME_HOME=${1:-$(mktemp -d)}
    HOME=$GAME_HOME "$PLARN_BINARY" >"$GAME_HOME/stdout.log" 2>"$GAME_HOME/stderr.log" &
    GAME_PID=$!
    GAME_WINDOW=$(timeout 30 xdotool search --sync --onlyvisible --classname plarnpuzzle | head -n 1)
    [ "${KEEP_INTRO:-}" ] || skip_intro
}

# Cuts the intro short as a player may: the left button held down (from before the intro starts)
# in the window's bottom-right corner, where no piece lies, then let go.
skip_intro() {
    [ -n "$GAME_WINDOW" ] || return 0
    eval "$(xdotool getwindowgeometry --shell "$GAME_WINDOW")"
    xdotool mousemove --window "$GAME_WINDOW" $((WIDTH - 3)) $((HEIGHT - 3)) mousedown 1
    sleep 1.5
    xdotool mouseup 1
}

# Waits up to $2 seconds for the game to end; sets GAME_STATUS to its exit status (or
# "running"). Not for use in $(...): only this shell can wait for its own child.
wait_game() {
    local limit=$((${2:-10} * 10))
    GAME_STATUS=running
    for _ in $(seq 1 "$limit"); do
        if ! kill -0 "$1" 2>/dev/null; then
            GAME_STATUS=0
            wait "$1" || GAME_STATUS=$?
            return 0
        fi
        sleep 0.1
    done
}

finish() {
    [ -n "${GAME_PID:-}" ] && kill -9 "$GAME_PID" 2>/dev/null || true
    stop_x
    if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
    echo "all checks passed"
}
