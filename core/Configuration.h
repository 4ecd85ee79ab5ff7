// The configuration file ".PlarnPuzzle.ini" in the home directory: the whole state of one run
// carried over to the next (window size, piece-count slider, grid preview, both picture paths
// and the complete current puzzle), one value per line in a fixed order, CR LF line ends.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/layer/Streams.h"
#include "core/puzzle/PuzzleState.h"

// The file's path: the home directory followed by ".PlarnPuzzle.ini".
std::string ConfigurationPath();
// The file's lines (without line ends) for the game's current state.
std::vector<std::string> ConfigurationLines();
// Writes the lines to path through a temporary file in the same folder that replaces the old
// file only once it is wholly on the disk: 1 when written, 0 (old file untouched) otherwise.
int WriteConfigurationFile(const std::string& path, const std::vector<std::string>& lines);

// Removes what saves killed mid-way left beside the file: for a start that holds the lock on it.
void RemoveLeftoversOfSaves();
// Opens the file for start-up to read (null when there is none, or it is far too large), and notes
// it as this run found it.
TStreamPtr OpenConfigurationForReading();
// The exit handler: writes the file, or tells the player it could not (and why). A file someone
// else put there or changed since this run read or wrote it stays as it is: this run's state is
// then written beside it as ".PlarnPuzzle.ini.unused" (or "-2", "-3" ...), and the player told.
// Returns 0.
int SaveConfiguration();
// Whether the file is small enough to be a configuration at all (a huge one is never read).
bool ConfigurationSizeSane();
// Start-up ignores the file: its window of savedW x savedH pixels is larger than this desktop
// allows (maxW x maxH), or no size at all. LoadConfiguration tells the player so.
void NoteRefusedWindowSize(int savedW, int savedH, int maxW, int maxH);
// Reads the rest of the file that start-up opened as ConfigReadStream and closes it: 0 no usable
// file (defaults), 1 puzzle restored, 2 the saved picture cannot be used, 3 no puzzle was saved.
// A file that holds something but is not used is first renamed to ".PlarnPuzzle.ini.unused" (or
// "-2", "-3" ... beside those kept before), with a notice that says why and how it can come
// back (once this game has ended); when it cannot be, the end of this run leaves it as it is, and
// the notice says so.
uint8_t LoadConfiguration();
// Whether LoadConfiguration has run: until then there is nothing of this run worth saving, and
// saving would overwrite the player's file with a half-built state.
bool ConfigurationLoaded();
