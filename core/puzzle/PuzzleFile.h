// The puzzle file: a PNG picture of the board with the puzzle's state appended as text lines
// behind a marker line, saved and opened from the menu's main bar.
#pragma once

// Asks for a path and saves the current puzzle there (".png" added as needed); tells the player
// of every failure itself. Returns 0.
int SavePuzzleFile();
// Asks for a puzzle file and restores the puzzle, the grid preview, the slider and both picture
// paths from it, cut again from its picture and rescaled to this window: 1 when restored, 0 when
// cancelled or refused (then nothing of the game's state has changed).
int OpenPuzzleFile();
