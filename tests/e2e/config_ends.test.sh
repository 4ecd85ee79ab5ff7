#!/usr/bin/env bash
# The configuration file is written however the game ends (SIGTERM, the X server going away), and
# a kill -9 at any moment of the writing leaves either the old file or the new one, never a mix;
# one put back by the player while the game runs is never written over.
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

# A home the player may not write (read-only, or another's): no lock file can be made, yet the
# game is no second one. It resumes the puzzle and, at its end, says that it could not save.
home_ro=$(mktemp -d)
write_config "$home_ro/.PlarnPuzzle.ini"
touch "$home_ro/stdout.log" "$home_ro/stderr.log"
chmod 644 "$home_ro/.PlarnPuzzle.ini"
game=$PLARN_BINARY as_nobody=
if [ "$(id -u)" = 0 ]; then
    # Another user's home, and a copy of the game that user may run (whatever the umask built).
    chmod 755 "$home_ro"; as_nobody="setpriv --reuid=65534 --regid=65534 --clear-groups"
    game=$(mktemp -d)/plarnpuzzle; cp "$PLARN_BINARY" "$game"; chmod 755 "$(dirname "$game")" "$game"
else
    chmod 555 "$home_ro"
fi
PLARN_BINARY=$game GAME_AS=$as_nobody start_game "$home_ro"
check "a read-only home resumes the puzzle" wait_for_pieces
"$SEND_CLOSE" "$GAME_WINDOW"
check "and at the end tells that it could not save" answer_box Notice Return
wait_game "$GAME_PID" 20
check "then the game ends (status $GAME_STATUS)" test "$GAME_STATUS" = 0
check "leaving the file as it was" cmp -s "$home_ro/.PlarnPuzzle.ini" "$old"
chmod 755 "$home_ro"; rm -rf "$home_ro"
[ "$game" = "$PLARN_BINARY" ] || rm -rf "$(dirname "$game")"

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

# A start that holds the lock clears what saves killed mid-way left, of the game's own names only.
# A file kept aside at start (its picture gone) that the player puts back while the game runs
# stays at the end, and this game's state is kept beside it, with a notice.
rm -f "$home"/.PlarnPuzzle*
for n in $(seq -w 0 99); do : >"$home/.PlarnPuzzle-$n.tmp"; done
: >"$home/.PlarnPuzzle-1.tmp"
sed "s#^incbin::medien/Reihe1/Rose.jpg\$#$home/pic.jpg#" "$old" >"$home/player.ini"
cp "$home/player.ini" "$ini"
KEEP_INTRO=1 start_game "$home"
check "a puzzle whose picture is gone is kept aside with a notice" answer_box Notice Return
check "the start removed the game's leftovers and nothing else" test "$(ls -A "$home" | grep -c '^\.PlarnPuzzle-')" = 1
convert -size 1200x900 gradient:red-blue "$home/pic.jpg"
mv "$ini.unused" "$ini"
"$SEND_CLOSE" "$GAME_WINDOW"
check "the end says the file was changed" answer_box Notice Return
wait_game "$GAME_PID" 20
check "the file put back stays" cmp -s "$ini" "$home/player.ini"
check "and the game's state is kept beside it" grep -q $'^1200\r$' "$ini.unused"
rm -f "$old" "$new"
