#!/usr/bin/env bash
# The road of a new player, through the real game: skip the intro, pick a picture in the left
# bar, lower the piece count with the arrow keys, create the puzzle from the main bar, meet the
# help screen and close it with F1, open the menu with a typed key, save the puzzle through the
# file chooser typed key by key, leave through the exit entry; then start again and find the
# puzzle resumed after its fly-in.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap finish EXIT

ini() { echo "$GAME_HOME/.PlarnPuzzle.ini"; }
line() { tr -d '\r' <"$(ini)" | sed -n "$1p"; }
click() { xdotool mousemove --window "$GAME_WINDOW" "$1" "$2"; sleep 0.4; xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.4; }
# On a 1280 x 1024 desktop the window is 1200 x 900 (scale 0.8). The main bar's base line lies at
# y 720 and its nine slots of 84 pixels start at x 222; the left bar's 16 slots of 46.375 pixels
# start at y 79 and reach 61 pixels in from its edge at x 4.
main_entry() { click $((264 + 84 * $1)) 700; }
left_entry() { click 30 $((79 + (4637 * $1 + 2318) / 100)); }

start_x 1280x1024
home=$(mktemp -d)
start_game "$home"
check "window appears" test -n "$GAME_WINDOW"   # and the intro is cut short with a press

left_entry 1                                  # the bee
# The slider down to 4 pieces: held until its button reaches the left end (50 frames at 60 Hz).
xdotool keydown Left
check "the held arrow key takes the slider to its left end" wait_until 60 slider_at_left_end
xdotool keyup Left
main_entry 1                                  # create: cut, fly in; then the help opens
check "the help screen darkens the board after creating" wait_until 60 help_shown
dark=$(window_brightness)
check "F1 closes it" settle xdotool key F1
light=$(window_brightness)
check "and the board is brighter again ($dark, then $light)" test "$dark" -lt "$light"

check "a typed key opens the menu" settle xdotool type m
main_entry 3                                  # save
chooser=$(timeout 30 xdotool search --sync --onlyvisible --name "Save" | head -n 1)
check "the file chooser opens" test -n "$chooser"
xdotool type --delay 80 board; sleep 0.3; xdotool key Return
check "the puzzle was saved under the typed name" wait_until 30 test -f "$home/board.png"
check "the saved file holds the puzzle's state" grep -qa "Added PlarnPuzzle-Datas:" "$home/board.png"

main_entry 8                                  # exit, without a question
wait_game "$GAME_PID" 20
check "the exit entry ends the game at once (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "window size, slider and piece count kept" test "$(line 1) $(line 2) $(line 4)" = "1200 900 4"
check "the bee is the puzzle's picture" test "$(grep -ac 'Reihe1/Biene.jpg' "$(ini)")" = 2

# Second start: the puzzle resumes after the intro and the fly-in, and play goes on.
cp "$(ini)" "$home/first.ini"
start_game "$home"                            # returns once the fly-in rests
"$SEND_CLOSE" "$GAME_WINDOW"; wait_game "$GAME_PID" 20
check "second run ends (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "resuming alone changes nothing" cmp -s "$home/first.ini" "$(ini)"
rm -rf "$home"
