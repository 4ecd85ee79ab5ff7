// The puzzle's state as the configuration file and the puzzle file both store it: the slider,
// the counts, both draw orders and grids, every piece and the groups, one value per line. One
// writer and one checked reader serve both files, which differ only in what stands around it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/layer/Images.h"
#include "core/layer/Streams.h"
#include "core/puzzle/Grid.h"

// The state read and checked but not yet in use.
struct TPuzzleState {
    float SliderValue = 0;
    int PuzzleSumme = 0, GridSumme = 0;
    int PuzzleSpalten = 0, GridSpalten = 0;
    int PuzzleReihen = 0, GridReihen = 0;
    std::vector<int> PuzzleReihenfolge, GridReihenfolge;
    Grid2<float> PuzzleX, PuzzleY;                // [C + 1, R + 1]; present when C > 0
    std::string PuzzlePicture;                    // the configuration's only: what the puzzle was cut from
    std::string PreviewPicture;                   // the configuration's only: what the preview shows
    Grid2<float> PieceX, PieceY, PieceAngle;      // [C, R]
    Grid2<float> GridX, GridY;                    // [c + 1, r + 1]
    std::vector<std::string> Verbund;
    uint8_t fertig = 0;
};

// The configuration file names both pictures between the puzzle's grid and its pieces; the
// puzzle file names its one picture ahead of the state instead.
enum class TStateLayout { WithPictures, WithoutPictures };

// The state's lines (without line ends) for the game's current objects.
std::vector<std::string> PuzzleStateLines(TStateLayout layout);
// The configuration file is read as far as it goes; a file the player opens must be whole.
enum class TStateReading { AsFarAsItGoes, Whole };

// Reads the state and checks every count, order, float, group and flag. Lines missing at the end
// read as empty, so as 0, and are refused only where that makes the state unsound; reading a
// whole file also refuses a missing line and "nan" or "inf" where a float belongs. False for a
// state that is not to be used.
bool ReadPuzzleState(const TStreamPtr& stream, TPuzzleState& state, TStateLayout layout,
                     TStateReading reading = TStateReading::AsFarAsItGoes);
// How much a place in a window of oldW x oldH moves in this window, measured from its top-left
// corner: the smaller of the two sides' ratios (1 for a window of the same height).
float WindowScaleFactor(int oldW, int oldH);
// How much a grid of gridW x gridH picture pixels, laid out in a window of oldW x oldH, grows in
// this window: the windows' ratio, corrected so that the grid spans the picture as it is shown
// now to within a pixel (where width and height disagree, the later test wins).
float GridScaleFactor(int oldW, int oldH, int gridW, int gridH, const TImagePtr& picture);
// Multiplies every corner of a grid by s.
void ScaleGrid(Grid2<float>& g, float s);
// Multiplies every corner of both grids by s (a window of another size).
void ScalePuzzleState(TPuzzleState& state, float s);
// Whether a group string is well formed for a cols x rows puzzle and names no piece already in
// seen (a cols x rows table of flags), which it then marks.
bool IsValidGroupString(const std::string& group, int cols, int rows, std::vector<bool>& seen);
// Whether a grid with cells lies on a picture of that size (give or take a little), its lines in
// order, so that cutting along it stays within the picture and gives no empty piece.
bool GridFitsPicture(const Grid2<float>& x, const Grid2<float>& y, int cols, int rows, const TImagePtr& picture);

// Whether the grid's border lies on the picture's edges (to within a pixel or two): a grid laid
// over a picture of another size would cut only part of this one.
bool GridSpansPicture(const Grid2<float>& x, const Grid2<float>& y, int cols, int rows, const TImagePtr& picture);

// Into the live objects: the slider, the counts, both orders and the puzzle's grid.
void ApplyStateCounts(const TPuzzleState& state);
// A fresh grid preview for the slider's piece count over the preview's picture.
void ComputeFreshGrid();
// The grid preview's corners, or a fresh grid for the slider's count when the saved one does not
// lie on the preview's picture or does not span it (so no puzzle of 0 pieces, or of a grid off
// its picture or over part of it, is made).
void ApplyStateGridPreview(const TPuzzleState& state);
// What play changed after the cut: piece positions and angles, the groups, the finished flag.
// Saved in a window of another size, the pieces' places follow the windows' ratio and their
// groups are joined again where the grid grew by gridFactor instead.
void ApplyStatePlay(const TPuzzleState& state, float ratio = 1, float gridFactor = 1);

// Writes the lines at the end of out (a file opened on written, from BeginReplacingFile), pushes it
// to the disk and puts it in path's place: true when path now holds the whole new file.
// Otherwise a file written beside it is removed and whatever was at path stays untouched.
bool WriteLinesAndReplace(const TStreamPtr& out, const std::vector<std::string>& lines,
                          const std::string& written, const std::string& path);
// Writes the lines at the end of out, pushes them to the disk and closes it: true when all are there.
bool WriteLinesToDisk(const TStreamPtr& out, const std::vector<std::string>& lines);
// Why a save failed, as one line of a notice: by default the cause of the last failed save.
std::string WhySaveFailed(TSaveProblem problem = LastSaveProblem());
