# Plays the running game started by tests/e2e/lib.sh's start_game (GAME_PID, GAME_WINDOW) in
# design units: the window shows 1500 x 1125 of them at every size, so the same script works
# before and after a size change.

# The game's own window (dialogs of the game are other windows of the same program), and where
# it lies on the screen (looked up again after a size change).
find_game_window() {
    GAME_WINDOW=$(timeout 10 xdotool search --sync --onlyvisible --name '^PlarnPuzzle$' | head -n 1)
    [ -n "$GAME_WINDOW" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$GAME_WINDOW")"
}
# The screen point of design point (x, y), kept inside the window.
screen_xy() {
    local x=$(($1 < 0 ? 0 : $1 > 1499 ? 1499 : $1)) y=$(($2 < 0 ? 0 : $2 > 1124 ? 1124 : $2))
    echo "$((X + x * WIDTH / 1500)) $((Y + y * HEIGHT / 1125))"
}
point_at() { xdotool mousemove $(screen_xy "$1" "$2"); }
# A click as a player makes it: point, rest, press, release, rest.
press_at() { point_at "$1" "$2"; sleep 0.4; xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.4; }
# Entry N of the main bar (0 resume ... 8 exit) and of the left and right picture bars (0 to 15).
main_bar() { press_at $((330 + 105 * $1)) 875; }
left_bar() { press_at 37 $(((7900 + 4637 * $1 + 2318) / 80)); }
right_bar() { press_at 1462 $(((7900 + 4637 * $1 + 2318) / 80)); }
# Holds a key for the given seconds (the slider moves while an arrow key is held).
hold_key() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
# A file chooser of the game titled $1: types the name $2 and confirms; returns once the chooser
# is gone (within 30 s).
choose_file() {
    local chooser
    chooser=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1)
    [ -n "$chooser" ] || return 1
    xdotool type --delay 60 "$2"; sleep 0.3; xdotool key Return
    wait_until 30 window_gone "$chooser"
}

# The resident set of process $1 in KiB, and its user plus system CPU in clock ticks.
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
# The same split: the process's own memory (heap, stacks, the renderer's buffers) and the pages
# of mapped files (the program and its libraries, shared with other processes), in MiB.
rss_split() { awk '/^Rss(Anon|Shmem):/ {a += $2} /^RssFile:/ {f = $2} END {printf "own %d MiB, files %d MiB", a / 1024, f / 1024}' "/proc/$1/status"; }
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
# Drags with button $5 (1 left, 3 right) from design point ($1, $2) by ($3, $4) in ten steps.
drag_by() {
    local steps=() k
    for k in 1 2 3 4 5 6 7 8 9 10; do
        steps+=(mousemove $(screen_xy $(($1 + $3 * k / 10)) $(($2 + $4 * k / 10))) sleep 0.05)
    done
    xdotool mousemove $(screen_xy "$1" "$2") sleep 0.2 mousedown "$5" "${steps[@]}" mouseup "$5" sleep 0.3
}
