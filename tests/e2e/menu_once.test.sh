#!/usr/bin/env bash
# A character typed once opens the menu once: typed while a resumed puzzle's pieces fly in, or in
# play, one click on resume goes back to play.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/config_lib.sh"
trap 'status=$?; [ -n "${GAME_PID:-}" ] && kill -CONT "$GAME_PID" 2>/dev/null; finish "$status"' EXIT
s=$(mktemp --suffix=.png)
# Where no restored piece lies, the menu's glass table is brighter than the bare backdrop (44).
menu() { grab png >"$s" && test "$(convert "$s" -crop 150x150+950+650 -colorspace gray -format '%[fx:int(255*mean)]' info:)" -gt 52; }
play() { ! menu; }
# One click on resume; whatever it brings (play, or the menu again) is waited for until it rests.
resume() { settle xdotool mousemove --window "$GAME_WINDOW" 264 700 sleep 0.4 mousedown 1 sleep 0.2 mouseup 1 || true; }

# In picture $1: the share (per mille) of clearly green pixels (the flower's leaves), which
# neither the backdrop, the cutting's screen nor the intro's first seconds show; and whether all
# pieces are home: the first to fly, (0, 0), and the last, (1, 1), whose centre (600, 450)
# shows the picture, not the bluish backdrop.
green_share() { convert "$1" -scale 10% -fx '(g>r+0.03 && g>b+0.15)?1:0' -format '%[fx:int(1000*mean)]' info:; }
home() { local c=($(patch "$1" 600 450)); pieces_drawn "$1" && [ "${c[2]}" -lt $((c[0] > c[1] ? c[0] : c[1])) ]; }
# Pieces on their way: the flight then goes on for at least another frame.
flying() { [ "$(green_share "$1")" -ge 5 ] && ! home "$1"; }
# Starts the game on the saved puzzle and, each time holding it still (SIGSTOP), clicks (which
# cuts the intro short) until a frame of the flight shows; then types one key, so that the key
# reaches the game in flight however slow the machine. True once that key has opened the menu.
# A key that came too early, in the intro, is lost with it: the menu then never opens.
key_in_flight() {
    local typed= frame
    frame=$(mktemp --suffix=.miff)
    write_config "$home/.PlarnPuzzle.ini"
    KEEP_INTRO=1 start_game "$home"
    xdotool mousemove --window "$GAME_WINDOW" 1197 897
    for _ in $(seq 1 400); do
        kill -STOP "$GAME_PID"
        grab >"$frame" || true
        if flying "$frame"; then xdotool type m; typed=1; else xdotool click 1; fi
        kill -CONT "$GAME_PID"
        if [ -n "$typed" ] || home "$frame"; then break; fi
    done
    rm -f "$frame"
    [ -n "$typed" ] && wait_until 60 menu && return 0
    kill -9 "$GAME_PID"; wait_game "$GAME_PID" 10
    return 1
}

start_x 1280x1024
home=$(mktemp -d)
check "a key typed during the fly-in opens the menu" eval 'key_in_flight || key_in_flight || key_in_flight'
[ "$failures" = 0 ] || exit 0  # no game left to play on
resume; check "one click on resume goes back to play" play
xdotool type m; check "a key typed in play opens the menu" wait_until 30 menu
resume; check "and one click on resume goes back to play again" play
rm -f "$s"; rm -rf "$home"
