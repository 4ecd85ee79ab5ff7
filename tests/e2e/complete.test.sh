#!/usr/bin/env bash
# A puzzle played to its end, saved before and opened again: three of four pieces lie joined, the
# player saves through the file chooser, drops the last piece in place and meets the
# congratulations; at the next start the saved file, opened from the menu, brings back the
# unfinished puzzle as it was saved.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/config_lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/game-drive.sh"
trap finish EXIT

ini() { echo "$GAME_HOME/.PlarnPuzzle.ini"; }
line() { tr -d '\r' <"$(ini)" | sed -n "$1p"; }
close_game() { "$SEND_CLOSE" "$GAME_WINDOW"; wait_game "$GAME_PID" 20; }
# The last lines of the file: the group count, the groups, the finished flag.
ending() { tail -n 3 "$(ini)" | tr -d '\r' | tr '\n' ' '; }

start_x 1280x1024
home=$(mktemp -d)
# Piece (0,1) joined below (0,0) too; (1,1) lies 78, 108 pixels away from its solved place.
write_config "$home/.PlarnPuzzle.ini"
sed -i -e '61s/.*/205/' -e '62s/.*/553/' -e 's#^,0/0,1/0,$#,0/0,1/0,0/1,#' "$home/.PlarnPuzzle.ini"

start_game "$home"
check "the restored pieces are drawn" wait_for_pieces
find_game_window
check "a typed key opens the menu" settle xdotool type m
main_bar 3                                                # save
check "the save chooser opens" choose_file "Save puzzle" "unfinished"
check "the puzzle was saved" wait_until 30 grep -qsa "Added PlarnPuzzle-Datas:" "$home/unfinished.png"
check "back to the puzzle" settle main_bar 0
xdotool mousemove --window "$GAME_WINDOW" 600 450 sleep 0.3 mousedown 1 sleep 0.3 \
    mousemove --window "$GAME_WINDOW" 640 500 sleep 0.3 mousemove --window "$GAME_WINDOW" 678 558
check "the carried piece rests over its place" wait_until 60 at_rest
held=$(window_hash)
xdotool mouseup 1
check "letting go joins it and the congratulations show" wait_until 60 changed_from "$held"
close_game
check "the game ends (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "the last piece joined the group, the puzzle finished and congratulated" \
    test "$(ending)" = "1 ,0/0,1/0,0/1,1/1, 2 "

# Next start: no puzzle to resume; the saved file, opened from the menu, is the puzzle again.
start_game "$home"
find_game_window
main_bar 2                                                # open
check "the open chooser opens" choose_file "Open puzzle" "unfinished.png"
check "the opened puzzle's pieces are drawn" wait_for_pieces
check "and its fly-in ends" wait_until 60 at_rest
close_game
check "the opened puzzle ends the game unfinished" test "$(ending)" = "1 ,0/0,1/0,0/1, 0 "
check "its last piece lies where it was saved" test "$(line 67) $(line 68)" = "600.000000 450.000000"
