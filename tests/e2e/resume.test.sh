#!/usr/bin/env bash
# A puzzle left unfinished resumes at the next start: the game restores it from the configuration
# file, the player moves a piece, closes the window, starts again and finds it where it was.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/config_lib.sh"
trap finish EXIT

ini() { echo "$GAME_HOME/.PlarnPuzzle.ini"; }
# Line n of the configuration file, without its line end.
line() { tr -d '\r' <"$(ini)" | sed -n "$1p"; }
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
close_game() {
    "$SEND_CLOSE" "$GAME_WINDOW"
    wait_game "$GAME_PID" 20
}
# The pieces have flown in and rest: piece (0, 0) shows before the others have landed.
restored() { check "the restored pieces are drawn" wait_for_pieces && check "and rest" wait_until 60 at_rest; }
# A file the game does not use is kept aside as $(ini)$2, beside those kept before, and the
# player is told so once at start.
kept_aside() {
    check "$1: the player is told at start" answer_box Notice Return
    close_game
    check "$1: kept aside byte for byte" cmp -s "$home/refused$2.ini" "$(ini)$2"
}

start_x 1280x1024
home=$(mktemp -d)
write_config "$home/.PlarnPuzzle.ini"

# First start: the puzzle is back; piece (1,1) lies at the window's centre, unturned.
start_game "$home"
check "window appears" test -n "$GAME_WINDOW"
restored
shot1=$(mktemp --suffix=.png)
import -window "$GAME_WINDOW" "$shot1"
# Drag piece (1,1) by its centre from (600, 450) to (300, 300), one step per few frames, and let
# it rest a moment before closing, as a player does (the drop shows nothing to wait for).
W=$GAME_WINDOW
xdotool mousemove --window "$W" 600 450; sleep 0.3
xdotool mousedown 1; sleep 0.3
xdotool mousemove --window "$W" 450 375; sleep 0.3
xdotool mousemove --window "$W" 300 300; sleep 0.3
xdotool mouseup 1; sleep 0.5
close_game
check "close button ends the game (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "file written with CR LF line ends" test "$(head -c 6 "$(ini)" | od -An -c | tr -d ' ')" = '1200\r\n'
check "window size kept" test "$(line 1) $(line 2)" = "1200 900"
check "slider and counts kept" test "$(line 3) $(line 4) $(line 5) $(line 6) $(line 7) $(line 8) $(line 9)" = "7 4 24 2 6 2 4"
# The release re-sorts the draw order: the group's pieces (indices 0 and 2) first.
check "draw order after the drop is 0 2 1 3" test "$(line 10) $(line 11) $(line 12) $(line 13)" = "0 2 1 3"
# Lines 14-37 the preview's order, 38-55 the puzzle's grid, 56 and 57 the pictures, then the pieces.
check "puzzle grid kept" test "$(line 46) $(line 47)" = "480.000000 360.000000"
check "both picture paths kept" test "$(line 56)|$(line 57)" = "incbin::medien/Reihe1/Rose.jpg|incbin::medien/Reihe1/Rose.jpg"
check "unmoved pieces stay" test "$(sed -n '58,66p' <(tr -d '\r' <"$(ini)") | tr '\n' ' ')" = \
    "200.000000 200.000000 0.00000000 200.000000 700.000000 0.00000000 673.000000 205.000000 0.00000000 "
check "dragged piece lies where it was dropped" test "$(line 67) $(line 68) $(line 69)" = "300.000000 300.000000 0.00000000"
check "group and finished flag kept" test "$(tail -n 3 "$(ini)" | tr -d '\r' | tr '\n' ' ')" = "1 ,0/0,1/0, 0 "
saved=$(mktemp)
cp "$(ini)" "$saved"

# Second start: the piece is drawn at its new place, and nothing changes by resuming alone.
start_game "$home"
restored
shot2=$(mktemp --suffix=.png)
import -window "$GAME_WINDOW" "$shot2"
check "the dragged piece's centre shows at (300, 300)" test "$(pixel "$shot2" 300 300)" = "$(pixel "$shot1" 600 450)"
check "and no longer at (600, 450)" test "$(pixel "$shot2" 600 450)" != "$(pixel "$shot1" 600 450)"
close_game
check "second run ends (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "the file written after resuming is the same" cmp -s "$saved" "$(ini)"

# A saved window larger than the desktop allows: the whole file is ignored, kept aside and rewritten.
printf '%s\r\n' 5000 4000 23 >"$(ini)"
cat "$saved" | tail -n +4 >>"$(ini)"
cp "$(ini)" "$home/refused.unused.ini"
KEEP_INTRO=1 start_game "$home"
kept_aside "a window too large" .unused
check "a refused file is overwritten at the end (status $GAME_STATUS)" test "$(line 1) $(line 2) $(line 3) $(line 6)" = "1200 900 7 0"
# No puzzle: the preview's 24 draw-order lines follow line 9, then no puzzle picture and the
# default preview picture.
check "no puzzle picture, the default preview" test "$(line 34)|$(line 35)" = "|incbin::medien/Reihe1/Rose.jpg"

# A file far too big to be a configuration, one endless first line: ignored, then rewritten.
head -c 3000000 /dev/zero | tr '\0' '7' >"$(ini)"
cp "$(ini)" "$home/refused.unused-2.ini"
KEEP_INTRO=1 start_game "$home"
kept_aside "a huge file" .unused-2
check "a huge file is ignored and overwritten (status $GAME_STATUS)" test "$(line 1) $(line 2) $(line 3)" = "1200 900 7"

# A puzzle whose own picture was replaced by one of another size: not cut from part of the new
# picture, but kept aside too, and the files kept before stay as they were.
write_config "$(ini)"
sed -i "s|^incbin::medien/Reihe1/Rose.jpg$|$home/pic.png|" "$(ini)"
convert -size 800x600 xc:orange "$home/pic.png"
cp "$(ini)" "$home/refused.unused-3.ini"
KEEP_INTRO=1 start_game "$home"
kept_aside "a picture of another size" .unused-3
check "no puzzle is resumed from it" test -z "$(line 56)"
check "the files kept before stay" cmp -s "$home/refused.unused.ini" "$(ini).unused"
rm -f "$shot1" "$shot2" "$saved"
rm -rf "$home"
