#!/usr/bin/env bash
# Saving over a file through the real game: it asks first, Escape keeps the file byte for byte and
# Yes replaces it; the picture the puzzle is cut from is refused with a notice, whatever is typed.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
trap finish EXIT

click() { xdotool mousemove --window "$GAME_WINDOW" "$1" "$2"; sleep 0.4; xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.4; }
main_entry() { click $((264 + 84 * $1)) 700; }  # the main bar of a 1200 x 900 window
# A box of that kind appears and is answered with a key (focused as a window manager would).
answer() {
    local id; id=$(timeout 5 xdotool search --sync --onlyvisible --name "PlarnPuzzle - $1" | head -n 1) || return 1
    xdotool windowfocus --sync "$id" key "$2"; sleep 1.5
}
# The chooser of a main bar entry, answered with a name typed key by key.
choose() {
    main_entry "$1"; timeout 10 xdotool search --sync --onlyvisible --name "$2" >/dev/null
    xdotool type --delay 80 "$3"; sleep 0.3; xdotool key Return; sleep 2
}

start_x 1280x1024
home=$(mktemp -d) kept=$(mktemp)
convert -size 640x480 gradient:red-blue "$home/pic.png"; cp "$home/pic.png" "$kept"; echo mine >"$home/mine.png"
start_game "$home"
xdotool type m; sleep 1
choose 4 "Load image" pic.png
main_entry 1; sleep 6; xdotool key F1; sleep 1   # create from it, close the help
xdotool type m; sleep 1
choose 3 Save mine
check "saving over a file asks first" answer Question Escape
check "Escape keeps the file" test "$(cat "$home/mine.png")" = mine
choose 3 Save mine; answer Question y
check "Yes replaces it with the puzzle" grep -qa "Added PlarnPuzzle-Datas:" "$home/mine.png"
choose 3 Save pic
check "the puzzle's picture is refused with a notice" answer Notice Return
check "and kept byte for byte" cmp -s "$home/pic.png" "$kept"
main_entry 8; wait_game "$GAME_PID" 20
check "the game goes on to its exit entry (status $GAME_STATUS)" test "$GAME_STATUS" = 0
rm -rf "$home" "$kept"
