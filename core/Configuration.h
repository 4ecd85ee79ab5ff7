// The configuration file ".PlarnPuzzle.ini" in the home directory: the whole state of one run
// carried over to the next (window size, piece-count slider, grid preview, both picture paths
// and the complete current puzzle), one value per line in a fixed order, CR LF line ends.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/layer/Streams.h"
#include "core/puzzle/Grid.h"

// What a configuration file holds from line 3 on, read and checked but not yet in use.
struct TConfigurationData {
    float SliderValue = 0;
    int PuzzleSumme = 0, GridSumme = 0;
    int PuzzleSpalten = 0, GridSpalten = 0;
    int PuzzleReihen = 0, GridReihen = 0;
    std::vector<int> PuzzleReihenfolge, GridReihenfolge;
    Grid2<float> PuzzleX, PuzzleY;                // [C + 1, R + 1]; present when C > 0
    std::string PuzzlePicture;                    // line 13: what the puzzle was cut from
    std::string PreviewPicture;                   // line 14: what the preview shows
    Grid2<float> PieceX, PieceY, PieceAngle;      // [C, R]
    Grid2<float> GridX, GridY;                    // [c + 1, r + 1]
    std::vector<std::string> Verbund;
    uint8_t fertig = 0;
};

// The file's lines (without line ends) for the game's current state.
std::vector<std::string> ConfigurationLines();
// Reads lines 3 to 18 and checks every count, order, float, group and flag. False for a file that
// is damaged, edited out of range or ends early; data is then not to be used.
bool ReadConfigurationData(const TStreamPtr& stream, TConfigurationData& data);
// Whether a group string is well formed for a cols x rows puzzle and names no piece already in
// seen (a cols x rows table of flags), which it then marks.
bool IsValidGroupString(const std::string& group, int cols, int rows, std::vector<bool>& seen);
// Writes the lines to path through a temporary file in the same folder that replaces the old
// file only once it is wholly on the disk: 1 when written, 0 (old file untouched) otherwise.
int WriteConfigurationFile(const std::string& path, const std::vector<std::string>& lines);

// The exit handler: writes the file, or tells the player it could not. Returns 0.
int SaveConfiguration();
// Whether the file is small enough to be a configuration at all (a huge one is never read).
bool ConfigurationSizeSane();
// Reads the rest of the file that start-up opened as ConfigReadStream and closes it: 0 no usable
// file (defaults), 1 puzzle restored, 2 the saved picture cannot be used, 3 no puzzle was saved.
uint8_t LoadConfiguration();
// Whether LoadConfiguration has run: until then there is nothing of this run worth saving, and
// saving would overwrite the player's file with a half-built state.
bool ConfigurationLoaded();
