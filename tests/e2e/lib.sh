# Helpers for the tests that drive the real game binary in a virtual X server of their own.
set -euo pipefail
: "${PLARN_BINARY:?}"
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SEND_CLOSE=$(dirname "$PLARN_BINARY")/send_close
failures=0

# A script ended by a signal stops early too (its EXIT trap would see the status 0).
trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }

# Starts a virtual X server of the given size (and further options) and exports DISPLAY. The
# server picks a free display itself and writes its number once it takes connections.
start_x() {
    local answer number
    answer=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp "${@:2}" 3>"$answer" >/dev/null 2>&1 &
    XVFB_PID=$!
    wait_until 60 x_answered "$answer" || true
    number=$(head -n 1 "$answer")
    rm -f "$answer"
    if [ -z "$number" ]; then
        echo "cannot start Xvfb" >&2
        return 1
    fi
    export DISPLAY=":$number"
}
x_answered() { [ -s "$1" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; }
stop_x() { [ -n "${XVFB_PID:-}" ] || return 0; kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; XVFB_PID=; }

# Starts the game with a fresh HOME; sets GAME_PID, GAME_HOME and GAME_WINDOW. The window of a
# game that just ended can outlive it a moment: it must be gone first, or it would be taken for
# the new one's. Ctrl+C counts, as in a terminal (a script's background job ignores it). GAME_AS
# may name a command that runs it as another user.
start_game() {
    GAME_HOME=${1:-$(mktemp -d)}
    wait_until 30 no_game_window || fail "a game window is left over"
    HOME=$GAME_HOME ${GAME_AS:-} env --default-signal=INT "$PLARN_BINARY" >"$GAME_HOME/stdout.log" 2>"$GAME_HOME/stderr.log" &
    GAME_PID=$!
    GAME_WINDOW=$(timeout 60 xdotool search --sync --onlyvisible --classname plarnpuzzle | head -n 1)
    [ "${KEEP_INTRO:-}" ] || skip_intro
}

no_game_window() { ! xdotool search --onlyvisible --classname plarnpuzzle >/dev/null 2>&1; }

# Cuts the intro short as a player may: the left button held down (from before the intro starts)
# in the window's bottom-right corner, where no piece lies, and let go once the intro is over.
skip_intro() {
    [ -n "$GAME_WINDOW" ] || return 0
    eval "$(xdotool getwindowgeometry --shell "$GAME_WINDOW")"
    xdotool mousemove --window "$GAME_WINDOW" $((WIDTH - 3)) $((HEIGHT - 3)) mousedown 1
    check "the intro gives way to the menu or the board" wait_until 120 past_intro
    xdotool mouseup 1
}

# Waiting for what the game shows, never for a fixed time: under the sanitizers on a busy machine
# the game runs many times slower than on an idle one. Each wait has a generous limit.

# Runs "$@" until it holds, every 0.2 s for at most $1 seconds; false if it never held.
wait_until() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}

# The game window's picture (or window $2's): quick to take as raw pixels (no PNG to compress).
# A window that closes meanwhile gives none (its capture may otherwise never end).
grab() { timeout 30 import -window "${2:-$GAME_WINDOW}" -depth 8 "${1:-miff}:-" 2>/dev/null; }
window_hash() { grab rgb "${1:-}" | md5sum; }
changed_from() { [ "$(window_hash "${2:-}")" != "$1" ]; }
# The same picture twice, half a second apart: whatever moved (a cut, a fly-in, a zoom) rests.
at_rest() { local a; a=$(window_hash) || return 1; sleep 0.5; [ "$a" = "$(window_hash)" ]; }
# Runs the player's action "$@", then waits until the window shows its effect and rests.
settle() {
    local before
    before=$(window_hash)
    "$@"
    wait_until 60 changed_from "$before" && wait_until 60 at_rest
}
# Whether window $1 is gone (a box answered, a chooser closed).
window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }
# Answers the game's box titled "PlarnPuzzle - $1" with the key $2, focused as a window manager
# would focus it, once the player has read it a moment (a key still down from before it opened
# does not count); true once the box has gone.
answer_box() {
    local id
    id=$(timeout 30 xdotool search --sync --onlyvisible --name "PlarnPuzzle - $1" | head -n 1)
    [ -n "$id" ] || return 1
    sleep 1; xdotool windowfocus --sync "$id" key "$2"
    wait_until 30 window_gone "$id"
}
# The window's mean brightness (0..255), and the share (0..1000) of its pixels lighter than half.
window_brightness() { grab | convert - -colorspace gray -format '%[fx:int(255*mean)]' info:; }
bright_share() { grab | convert - -colorspace gray -threshold 50% -format '%[fx:int(1000*mean)]' info:; }
# The mean colour, as "r g b", of the 5 x 5 patch centred on (x, y) of picture $1 (- for the window
# as it is now); whether such a colour is clearly green or clearly red.
patch() {
    if [ "$1" = - ]; then grab; else cat "$1"; fi |
        convert - -crop "5x5+$(($2 - 2))+$(($3 - 2))" -scale 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
}
greenish() { local c=($1); [ $((c[1] - c[0])) -gt 60 ]; }
reddish() { local c=($1); [ $((c[0] - c[1])) -gt 60 ]; }
# The help screen's veil darkens the window well below the bare backdrop's mean brightness of 53,
# which the menu, a cut and a fly-in only add to.
help_shown() { [ "$(window_brightness)" -lt 40 ]; }
# On the 1200 x 900 window of a 1280 x 1024 desktop the piece-count slider's track runs from x 440
# to 760 on y 520: its red button at the left end means the fewest pieces.
slider_at_left_end() { reddish "$(patch - 440 520)"; }
# The intro is over once the window rests on more than the backdrop, whose every pixel is darker
# than half: the menu's icons and pictures or a puzzle's pieces.
past_intro() { at_rest && [ "$(bright_share)" -ge 10 ]; }

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

# Every test ends here (trap finish EXIT): the game and the X server stop, and "all checks passed"
# only when the script ran to its end (exit status 0, or $1 from a trap of its own) and no check
# failed. A script that stopped early, e.g. on "Can't open display", fails with its status.
finish() {
    local status=${1:-$?}
    set +e
    [ -n "${GAME_PID:-}" ] && kill -9 "$GAME_PID" 2>/dev/null
    stop_x
    [ "$status" = 0 ] || echo "stopped early (status $status): not every check ran"
    [ "$failures" = 0 ] || echo "$failures check(s) failed"
    if [ "$status" = 0 ] && [ "$failures" = 0 ]; then echo "all checks passed"; exit 0; fi
    exit $((status ? status : 1))
}
