#!/usr/bin/env bash
# Saving over a file through the real game: it asks first, Escape keeps the file byte for byte and
# Yes replaces it; the picture the puzzle is cut from is refused with a notice, whatever is typed.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap finish EXIT

click() { xdotool mousemove --window "$GAME_WINDOW" "$1" "$2"; sleep 0.4; xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.4; }
main_entry() { click $((264 + 84 * $1)) 700; }  # the main bar of a 1200 x 900 window
gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1; }
# A box of that kind appears and is answered with a key (focused as a window manager would).
answer() {
    local id; id=$(timeout 30 xdotool search --sync --onlyvisible --name "PlarnPuzzle - $1" | head -n 1) || return 1
    # A player reads it first: a key still down from the chooser when it opened does not count.
    sleep 1; xdotool windowfocus --sync "$id" key "$2"
    wait_until 30 gone "$id"
}
# The chooser of a main bar entry, answered with a name typed key by key. A click made while the
# game still finishes the last save is the dialogs' and dropped, so it is made again until the
# chooser opens.
choose() {
    local id= _
    for _ in 1 2 3 4 5 6; do
        main_entry "$1"
        id=$(timeout 10 xdotool search --sync --onlyvisible --name "$2" | head -n 1) && [ -n "$id" ] && break
    done
    xdotool type --delay 80 "$3"; sleep 0.3; xdotool key Return
    wait_until 30 gone "$id"
}

start_x 1280x1024
home=$(mktemp -d) kept=$(mktemp)
convert -size 640x480 gradient:red-blue "$home/pic.png"; cp "$home/pic.png" "$kept"; echo mine >"$home/mine.png"
start_game "$home"                              # no puzzle yet: the menu
choose 4 "Load image" pic.png
main_entry 1                                    # create from it: cut, fly in, the help opens
check "the puzzle is made" wait_until 60 help_shown
settle xdotool key F1
settle xdotool type m
choose 3 Save mine
check "saving over a file asks first" answer Question Escape
check "Escape keeps the file" test "$(cat "$home/mine.png")" = mine
choose 3 Save mine; answer Question y
check "Yes replaces it with the puzzle" wait_until 30 grep -qa "Added PlarnPuzzle-Datas:" "$home/mine.png"
choose 3 Save pic
check "the puzzle's picture is refused with a notice" answer Notice Return
check "and kept byte for byte" cmp -s "$home/pic.png" "$kept"
for _ in 1 2 3; do main_entry 8; wait_game "$GAME_PID" 10; [ "$GAME_STATUS" = running ] || break; done
check "the game goes on to its exit entry (status $GAME_STATUS)" test "$GAME_STATUS" = 0
rm -rf "$home" "$kept"
