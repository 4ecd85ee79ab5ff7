#!/usr/bin/env bash
# A player makes the window smaller in the middle of a puzzle: create a 4-piece puzzle, drag one
# piece, open the size dialog from the menu, first Cancel (nothing changes), then slide to the
# middle and OK. The window, the board with every piece at its scaled place and the
# configuration file follow the new size.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap finish EXIT

ini() { echo "$GAME_HOME/.PlarnPuzzle.ini"; }
line() { tr -d '\r' <"$(ini)" | sed -n "$1p"; }
shot() { import -window "$GAME_WINDOW" "$1" 2>/dev/null; }
size() { xwininfo -id "$GAME_WINDOW" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
# Whether two "r g b" colours differ by at most $3 in each channel.
near() { local a=($1) b=($2) k; for k in 0 1 2; do [ $(( (a[k] - b[k]) ** 2 )) -le $(($3 * $3)) ] || return 1; done; }
# The backdrop is a dark blue; the rose has no blue to speak of.
picture() { local c=($1); [ "${c[2]}" -lt "${c[0]}" ] || [ "${c[2]}" -lt "${c[1]}" ]; }
# The mean colour of the 31 x 31 square centred on (x, y) of picture $1: where a piece's centre
# lies in the picture depends on the random cut, and a smaller patch on a sharp edge of it
# changes with how the picture was scaled.
square() { convert "$1" -crop "31x31+$(($2 - 15))+$(($3 - 15))" -scale 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:; }
# The RMSE (0..1) between two pictures of the same size.
rmse() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }
press() { xdotool mousemove --window "$GAME_WINDOW" "$1" "$2"; sleep 0.4; xdotool mousedown 1; sleep 0.3; }
click() { press "$1" "$2"; xdotool mouseup 1; sleep 0.5; }
glide() { xdotool mousemove --window "$GAME_WINDOW" "$1" "$2"; sleep 0.3; }
# On a 1280 x 1024 desktop the window is 1200 x 900 (scale 0.8): the main bar's slots of 84
# pixels start at x 222 around y 700; the dialog's OK and Cancel are ellipses centred on design
# (630, 810) and (870, 810); the slider's track (in the menu and in the dialog) runs from x 440
# to 760 on y 520, and a press anywhere on it takes its button to the pointer.
main_entry() { click $((264 + 84 * $1)) 700; }

start_x 1280x1024
home=$(mktemp -d)
start_game "$home"
check "window appears" test -n "$GAME_WINDOW"
# The menu is up: the piece-count slider dragged off its left end, 4 pieces.
press 600 520; glide 500 520; glide 380 520; xdotool mouseup 1
check "the slider rests at its left end" wait_until 60 slider_at_left_end
main_entry 1                                        # create: cut, fly in, then the help
check "the help opens after the cut" wait_until 60 help_shown
check "F1 closes it" settle xdotool key F1

# The 2 x 2 pieces lie centred in the four quarters of the window. Grab the one in the top-left
# quarter by its centre and drop it at (450, 420), where it joins no neighbour.
press 300 225; glide 380 320; glide 450 420; xdotool mouseup 1
xdotool mousemove --window "$GAME_WINDOW" 1190 890
check "the dropped piece rests" wait_until 60 at_rest
s=$(mktemp -d)
shot "$s/before.png"

# Cancel leaves the window, the board and the slider as they were.
check "a typed key opens the menu" settle xdotool type m
check "the size dialog opens" settle main_entry 5
shot "$s/dialog.png"
check "the dialog shows a green OK and a red Cancel" \
    eval 'greenish "$(patch "$s/dialog.png" 480 665)" && reddish "$(patch "$s/dialog.png" 670 665)"'
click 696 648
check "Cancel keeps the window at 1200 x 900" test "$(size)" = 1200x900
check "resume brings the board back" settle main_entry 0
xdotool mousemove --window "$GAME_WINDOW" 1190 890
check "and it rests" wait_until 60 at_rest
shot "$s/cancelled.png"
check "after Cancel the board is as it was" test "$(rmse "$s/before.png" "$s/cancelled.png")" = 0

# Slide to the middle of the track (800 x 600), OK; the puzzle is re-cut and play goes on.
check "a typed key opens the menu again" settle xdotool type m
check "and the size dialog" settle main_entry 5
press 760 520; glide 680 520; glide 600 520; xdotool mouseup 1
check "the dialog rests at the slider's middle" wait_until 60 at_rest
click 504 648
# The window opens anew at the chosen size.
reopened_at() {
    GAME_WINDOW=$(xdotool search --onlyvisible --classname plarnpuzzle | head -n 1)
    [ -n "$GAME_WINDOW" ] && [ "$(size)" = "$1" ]
}
check "the window is now 800 x 600" wait_until 60 reopened_at 800x600
xdotool mousemove --window "$GAME_WINDOW" 790 590
# Cutting shows the same frame while it cuts a piece, which on a busy machine may look like rest:
# the board is back once the dragged piece shows where it now belongs.
board_back() { picture "$(patch - 300 280)" && at_rest; }
check "the re-cut board rests" wait_until 60 board_back
shot "$s/after.png"
convert "$s/before.png" -resize 800x600\! "$s/before-small.png"
moved=$(square "$s/before-small.png" 300 280)
check "the dragged piece ($moved) shows at two thirds of its place" \
    eval 'picture "$moved" && near "$moved" "$(square "$s/after.png" 300 280)" 12'
check "the whole board is the old one made smaller" \
    awk -v d="$(rmse "$s/before-small.png" "$s/after.png")" 'BEGIN { exit !(d < 0.05) }'

"$SEND_CLOSE" "$GAME_WINDOW"; wait_game "$GAME_PID" 20
check "the game ends (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "the file keeps the new size, the slider and the piece count" test "$(line 1) $(line 2) $(line 3) $(line 4)" = "800 600 0 4"
# The four pieces' centres (the three lines after the second picture path, four times): the
# dragged one and the three untouched quarters, all at two thirds.
centres=$(tr -d '\r' <"$(ini)" | awk '/^incbin::/ { n++; next } n == 2 && k < 12 { v[k++] = $1 }
    END { for (p = 0; p < 4; p++) printf "%.1f %.1f\n", v[3 * p], v[3 * p + 1] }' | sort -n | tr '\n' ' ')
check "the pieces' saved centres are scaled ($centres)" \
    test "$centres" = "200.0 450.0 300.0 280.0 600.0 150.0 600.0 450.0 "
rm -rf "$s" "$home"
