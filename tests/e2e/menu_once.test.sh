#!/usr/bin/env bash
# A character typed once opens the menu once: typed while a resumed puzzle's pieces fly in, or in
# play, one click on resume goes back to play.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/config_lib.sh"
trap 'status=$?; kill "${typist:-}" 2>/dev/null || true; finish "$status"' EXIT
s=$(mktemp --suffix=.png)
# Where no restored piece lies, the menu's glass table is brighter than the bare backdrop (44).
menu() { import -window "$GAME_WINDOW" "$s" 2>/dev/null && test "$(convert "$s" -crop 150x150+950+650 -colorspace gray -format '%[fx:int(255*mean)]' info:)" -gt 52; }
play() { ! menu; }
# One click on resume; whatever it brings (play, or the menu again) is waited for until it rests.
resume() { settle xdotool mousemove --window "$GAME_WINDOW" 264 700 sleep 0.4 mousedown 1 sleep 0.2 mouseup 1 || true; }

start_x 1280x1024
home=$(mktemp -d); write_config "$home/.PlarnPuzzle.ini"
KEEP_INTRO=1 start_game "$home"
# A key every 0.2 s from the start: one ends the intro, a later one lands in the 1.5 s fly-in.
(while :; do xdotool type m; sleep 0.2; done) & typist=$!
wait_until 60 menu || true
kill "$typist"
check "a key typed during the fly-in opens the menu" menu
resume; check "one click on resume goes back to play" play
xdotool type m; check "a key typed in play opens the menu" wait_until 30 menu
resume; check "and one click on resume goes back to play again" play
rm -f "$s"; rm -rf "$home"
