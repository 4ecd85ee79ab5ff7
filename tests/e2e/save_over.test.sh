#!/usr/bin/env bash
# Saving over a file through the real game: it asks first, Enter and Escape keep the file byte for
# byte and Yes replaces it; the picture the puzzle is cut from is refused with a notice, whatever
# is typed.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/game-drive.sh"
trap finish EXIT

# The chooser of main bar entry $1, titled $2, answered with the name $3 typed key by key. A click
# made while the game still finishes the last save is the dialogs' and dropped: it is made again.
choose() { local _; for _ in 1 2 3; do main_bar "$1"; choose_file "$2" "$3" && return 0; done; return 1; }

start_x 1280x1024
home=$(mktemp -d) kept=$(mktemp)
convert -size 640x480 gradient:red-blue "$home/pic.png"; cp "$home/pic.png" "$kept"; echo mine >"$home/mine.png"
start_game "$home"                              # no puzzle yet: the menu
find_game_window
choose 4 "Load image" pic.png
main_bar 1                                      # create from it: cut, fly in, the help opens
check "the puzzle is made" wait_until 60 help_shown
settle xdotool key F1
settle xdotool type m
choose 3 Save mine
check "saving over a file asks first" answer_box Question Return
choose 3 Save mine                              # the next chooser opens once the answer is done with
check "Enter keeps the file" test "$(cat "$home/mine.png")" = mine
answer_box Question Escape
choose 3 Save mine
check "Escape keeps the file" test "$(cat "$home/mine.png")" = mine
answer_box Question y
check "Yes replaces it with the puzzle" wait_until 30 grep -qa "Added PlarnPuzzle-Datas:" "$home/mine.png"
choose 3 Save pic
check "the puzzle's picture is refused with a notice" answer_box Notice Return
check "and kept byte for byte" cmp -s "$home/pic.png" "$kept"
for _ in 1 2 3; do main_bar 8; wait_game "$GAME_PID" 10; [ "$GAME_STATUS" = running ] || break; done
check "the game goes on to its exit entry (status $GAME_STATUS)" test "$GAME_STATUS" = 0
rm -rf "$home" "$kept"
