// The menu screen: the picture bars, the main bar, the preview with its grid and the piece-count
// slider over the menu table. It runs frames of its own until play goes on.
#pragma once

// The main bar's entries, left to right.
enum TMainEntry {
    kEntryResume = 0,
    kEntryCreate = 1,
    kEntryOpen = 2,
    kEntrySave = 3,
    kEntryLoadImage = 4,
    kEntryChangeSize = 5,
    kEntryHelp = 6,
    kEntryCredits = 7,
    kEntryExit = 8,
};

// Runs the menu until the player resumes, creates or opens a puzzle (or changes the window size
// with a puzzle in play); always 0. The exit entry ends the program.
int RunMainMenu();
// Carries out a main-bar entry as the menu does: 1 when the menu should return to play.
int MainMenuAction(int entry);
// Takes over the preview picture and its grid, cuts it and lets the pieces fly in; the help
// opens afterwards for a player who has not seen it yet. An unfinished puzzle on the board is
// replaced only when the player agrees; false (and nothing changed) when they keep it.
bool CreatePuzzleFromPreview(bool closeCredits);
