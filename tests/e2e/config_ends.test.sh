#!/usr/bin/env bash
# The configuration file is written however the game ends (SIGTERM, the X server going away), and
# a kill -9 at any moment of the writing leaves either the old file or the new one, never a mix.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/config_lib.sh"
trap finish EXIT

start_x 1280x1024
home=$(mktemp -d)
ini=$home/.PlarnPuzzle.ini
tmp=$home/.PlarnPuzzle-00.tmp   # the file written beside it first
old=$(mktemp)
new=$(mktemp)
write_config "$old"

# SIGTERM (a logout): the frame loop ends the game in good order and the file is rewritten,
# in the game's own form (CR LF, nine-digit floats). It comes while the size dialog (main bar
# entry 5 of the menu a typed key opens) has borrowed the piece-count slider to show the size:
# the file keeps the count, and is the same as after an end in play (Ctrl+C below).
cp "$old" "$ini"
start_game "$home"
wait_for_pieces
settle xdotool type m
settle xdotool mousemove --window "$GAME_WINDOW" 684 700 sleep 0.4 mousedown 1 sleep 0.3 mouseup 1
kill -TERM "$GAME_PID"
wait_game "$GAME_PID" 20
check "SIGTERM ends the game (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "SIGTERM writes the file" grep -q $'^200.000000\r$' "$ini"
check "with the piece count the player left" test "$(sed -n 3p "$ini")" = $'7\r'
cp "$ini" "$new"

# A second game with one home (a double click on the launcher) ends at once with a notice and
# leaves the file alone; Ctrl+C then ends the first as SIGTERM does.
cp "$old" "$ini"
start_game "$home"
wait_for_pieces
HOME=$home "$PLARN_BINARY" >/dev/null 2>&1 &
second=$!
check "a second game says the first one runs" answer_box Notice Return
wait_game "$second" 20
check "and ends (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "without writing the file" cmp -s "$ini" "$old"
kill -9 "$second" 2>/dev/null || true
kill -INT "$GAME_PID"
wait_game "$GAME_PID" 20
check "Ctrl+C ends the first (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "and writes the file" cmp -s "$ini" "$new"

# The X server goes away under the game: the file is still written.
cp "$old" "$ini"
start_game "$home"
wait_for_pieces
stop_x
wait_game "$GAME_PID" 20
check "the game ends when X goes away (status $GAME_STATUS)" test "$GAME_STATUS" != running
check "and the file was written" cmp -s "$ini" "$new"

# kill -9 while the ending game writes the file: right when its temporary file appears, and at
# delays spread over the few milliseconds the writing takes. Each start after a kill -9 shows
# that a killed game leaves no lock behind.
start_x 1280x1024
olds=0 news=0
for delay in tmp tmp tmp tmp 0 3 999; do
    cp "$old" "$ini"
    rm -f "$tmp"
    start_game "$home"
    check "a start after kill -9 is not blocked" wait_for_pieces
    kill -TERM "$GAME_PID"
    if [ "$delay" = tmp ]; then
        spins=0
        while [ ! -e "$tmp" ] && [ "$spins" -lt 200000 ]; do spins=$((spins + 1)); done
    else
        sleep "$(printf "0.%03d" "$delay")"
    fi
    kill -9 "$GAME_PID" 2>/dev/null || true
    wait_game "$GAME_PID" 20
    if cmp -s "$ini" "$old"; then
        olds=$((olds + 1))
    elif cmp -s "$ini" "$new"; then
        news=$((news + 1))
    else
        fail "after kill -9 ($delay) the file is neither the old nor the new one"
        cp "$ini" "$home/broken-$delay.ini"
    fi
done 2>/dev/null
echo "kill -9 left the old file $olds times and the new one $news times"
check "some kills came after the write" test "$news" -gt 0
rm -f "$old" "$new"
