# A saved game for the tests that resume one: a 2 x 2 puzzle of the rose on a 1280 x 1024 desktop,
# whose window is 1200 x 900 and whose preview picture is the rose fitted into 960 x 720.
# Written by hand, with LF line ends and whole numbers, as a player editing the file might.
write_config() {
    {
        printf '%s\n' 1200 900 7 4 24 2 6 2 4   # window, slider, sums, columns, rows
        printf '%s\n' 0 1 2 3                   # the puzzle's draw order
        seq 0 23                                # the grid preview's draw order
        # The puzzle's grid corners (column outer, row inner; x then y).
        printf '%s\n' 0 0 0 350 0 720 470 0 480 360 490 720 960 0 960 370 960 720
        echo incbin::medien/Reihe1/Rose.jpg
        echo incbin::medien/Reihe1/Rose.jpg
        # Pieces (0,0), (0,1), (1,0), (1,1): centre and angle. (0,0) and (1,0) lie joined:
        # their solved centres are 473, 5 apart.
        printf '%s\n' 200 200 0 200 700 0 673 205 0 600 450 0
        # The grid preview: a regular 6 x 4 grid of 160 x 180 cells.
        for i in 0 1 2 3 4 5 6; do for j in 0 1 2 3 4; do echo $((i * 160)); echo $((j * 180)); done; done
        echo 1
        echo ",0/0,1/0,"
        echo 0
    } >"$1"
}

# Waits (up to 60 s) until the restored pieces are drawn: piece (0, 0) of write_config covers the
# window's pixel (100, 100), where the backdrop alone (and the menu) is a dark blue and the rose is
# bright: red plus green well above the backdrop's (about 26 + 49). Cutting draws no pieces, so
# this is the frame loop. (In picture $1, when given.)
pieces_drawn() { local c=($(patch "${1:--}" 100 100)); [ $((c[0] + c[1])) -gt 200 ]; }
wait_for_pieces() { wait_until 60 pieces_drawn; }
