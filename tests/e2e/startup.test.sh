#!/usr/bin/env bash
# Starts the game as a player would on desktops of several sizes and ends it every way it can end.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/game-drive.sh"
trap finish EXIT

window_size() { xwininfo -id "$1" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'; }

# The first look at the new window already shows the backdrop, never an empty window.
start_x 1920x1080
home=$(mktemp -d)
look=$(HOME=$home "$(dirname "$PLARN_BINARY")/bench/first_picture" "$PLARN_BINARY")
check "the window shows a picture from the start ($(echo $look))" grep -q "first look one colour: no" <<<"$look"
rm -rf "$home"
stop_x

for case in 1920x1080:1349x1012 1280x1024:1200x900 800x600:750x562; do
    desktop=${case%%:*}; expected=${case##*:}
    start_x "$desktop"
    start_game
    check "window appears on $desktop" test -n "$GAME_WINDOW"
    check "title on $desktop" test "$(xdotool getwindowname "$GAME_WINDOW")" = "PlarnPuzzle"
    check "size $expected on $desktop" test "$(window_size "$GAME_WINDOW")" = "$expected"
    if [ "$desktop" = 1920x1080 ]; then
        # The backdrop fills the window: along the top, above the menu, its mean colour matches
        # the picture's there.
        shot=$(mktemp --suffix=.png)
        import -window "$GAME_WINDOW" "$shot"
        top='-crop 900x100+225+0 +repage -resize 1x1! -format %[fx:int(255*r)]_%[fx:int(255*g)]_%[fx:int(255*b)] info:'
        got=$(convert "$shot" $top | tr _ ' ')
        want=$(convert "$PLARN_SOURCE_DIR/medien/etc/Background.jpg" -resize 1349x1012! $top | tr _ ' ')
        close_enough() { set -- $1 $2; [ $(( ($1-$4)*($1-$4) + ($2-$5)*($2-$5) + ($3-$6)*($3-$6) )) -le 300 ]; }
        check "backdrop shown ($got vs $want)" close_enough "$got" "$want"
        rm -f "$shot"
    fi
    # The close button ends the game at once.
    "$SEND_CLOSE" "$GAME_WINDOW"
    wait_game "$GAME_PID" 10
    check "close button ends the game on $desktop (status $GAME_STATUS)" test "$GAME_STATUS" = 0
    stop_x
done

# A server without the resize extension (nor, as this one, the video-mode one): the window takes
# its size from the root window's.
start_x 1280x1024 -extension RANDR
start_game
check "without the resize extension the window is 1200x900" test "$(window_size "$GAME_WINDOW")" = 1200x900
"$SEND_CLOSE" "$GAME_WINDOW"
wait_game "$GAME_PID" 10
stop_x

start_x 1280x1024
# Escape asks first: "No" keeps playing, "Yes" ends the game.
hold_escape() { xdotool windowfocus --sync "$GAME_WINDOW" keydown Escape; sleep 0.3; xdotool keyup Escape; }
answer() {
    local dialog
    dialog=$(timeout 30 xdotool search --sync --onlyvisible --name "PlarnPuzzle - Question" | head -n 1)
    [ -n "$dialog" ] || return 1
    xdotool windowfocus --sync "$dialog" key "$1"
}
# Escape counts only once start-up is done and the game polls it, which under the sanitizers on
# a busy machine can be well after the window appears: press again until the question comes.
asked() { hold_escape; timeout 2 xdotool search --sync --onlyvisible --name "PlarnPuzzle - Question" >/dev/null; }
escape_until_question() { wait_until 60 asked; }
question() { xdotool search --onlyvisible --name "PlarnPuzzle - Question" 2>/dev/null | head -n 1; }
no_question() { [ -z "$(question)" ]; }
start_game
escape_until_question
check "Escape brings the question" answer n
check "No closes it" wait_until 30 no_question
check "and keeps the game running" kill -0 "$GAME_PID"
# A held Escape asks once: its key repeat neither answers the question (focused as a window
# manager focuses a new box) nor, after No, asks again; once let go, Escape counts again. The key
# repeats until another goes down, so No is clicked: the button drawn pressed shows that the box
# has taken the repeats before it, and two changes in the menu after it a whole pass of the game.
xdotool windowfocus --sync "$GAME_WINDOW" keydown Escape
held=$(timeout 30 xdotool search --sync --onlyvisible --name "PlarnPuzzle - Question" | head -n 1) || true
[ -n "$held" ] && xdotool windowfocus --sync "$held"
sleep 1; box=$(window_hash "$held") || true
size=$(xdotool getwindowgeometry "$held" | awk '/Geometry/ {print $2}') || size=0x0
xdotool mousemove --window "$held" $((${size%x*} - 145)) $((${size#*x} - 24)) mousedown 1 || true  # No
check "the box has taken the repeats (No shows pressed)" wait_until 30 changed_from "$box" "$held"
check "a held Escape leaves its question open" test -n "$held" -a "$(question)" = "$held"
xdotool mouseup 1
check "No closes it" wait_until 30 no_question
xdotool windowfocus --sync "$GAME_WINDOW"
check "the menu goes on" settle xdotool mousemove --window "$GAME_WINDOW" 264 700
check "and on" settle xdotool mousemove --window "$GAME_WINDOW" 600 700
check "and it does not ask again" no_question
xdotool keyup Escape
hold_escape
check "Escape asks again" answer y
wait_game "$GAME_PID" 10
check "Yes ends the game (status $GAME_STATUS)" test "$GAME_STATUS" = 0

# SIGTERM (logout) ends the game cleanly.
start_game
kill -TERM "$GAME_PID"
wait_game "$GAME_PID" 10
check "SIGTERM ends the game (status $GAME_STATUS)" test "$GAME_STATUS" = 0

# A logout while a box or a file chooser is open: the box closes as if cancelled and the game
# ends as from play, writing its configuration.
for box in question chooser; do
    start_game
    if [ $box = question ]; then
        escape_until_question
    else
        find_game_window
        main_bar 4
        check "the file chooser opens" eval 'timeout 30 xdotool search --sync --onlyvisible --name "Load image" >/dev/null'
    fi
    kill -TERM "$GAME_PID"
    wait_game "$GAME_PID" 10
    check "SIGTERM with a $box open ends the game (status $GAME_STATUS)" test "$GAME_STATUS" = 0
    check "and writes the configuration" test -s "$GAME_HOME/.PlarnPuzzle.ini"
    if kill -9 "$GAME_PID" 2>/dev/null; then wait_game "$GAME_PID" 5; fi
done
