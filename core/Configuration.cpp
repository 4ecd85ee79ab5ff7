#include "core/Configuration.h"

#include <cmath>

#include "core/Globals.h"
#include "core/PictureCatalogue.h"
#include "core/StartUp.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"

namespace {

const char kSaveFailedNotice[] = "The ini-file with your personal\nconfiguration couldn't be saved.";

// No file the game writes comes near these; they keep a damaged or foreign file from making the
// reader allocate or loop without bound.
const long long kMaxFileBytes = 1 << 20;
const size_t kMaxLineLength = 4096;
const int kMaxSide = 10;
const int kMaxGroups = 100;
// Piece centres and grid corners stay within a few windows' width in play; far beyond that a
// value can only be damage (and would overflow the pixel arithmetic of the hit test). Angles are
// bounded loosely: the wheel turns a piece without limit, and play only needs a turn to fit an int.
const float kMaxCoordinate = 1e6f;
const float kMaxAngle = 1e9f;
// How far a grid corner may lie outside its picture: a grid rescaled with a new window size
// spans the reloaded picture only to within a few pixels.
const float kGridSlack = 32.0f;

bool loaded = false;

float At(const Grid2<float>& g, int i, int j) {
    return i >= 0 && j >= 0 && i < g.Cols() && j < g.Rows() ? g(i, j) : 0.0f;
}

// Reads the lines in order and notes when the file ended before a line was due.
class TLineReader {
public:
    explicit TLineReader(const TStreamPtr& stream) : stream_(stream) {}
    std::string Next() {
        if (IsStreamAtEnd(stream_)) ended_ = true;
        std::string line = ReadTextLine(stream_);
        if (line.size() > kMaxLineLength) tooLong_ = true;
        return line;
    }
    int Int() { return StringToInt(Next()); }
    float Float() { return StringToFloat(Next()); }
    bool Sound() const { return !ended_ && !tooLong_; }

private:
    TStreamPtr stream_;
    bool ended_ = false;
    bool tooLong_ = false;
};

bool ValidSides(int cols, int rows, int summe) {
    if (cols < 0 || cols > kMaxSide || rows < 0 || rows > kMaxSide) return false;
    if ((cols == 0) != (rows == 0)) return false;
    // A puzzle never cut keeps the count it was made with; a cut one has one piece per cell.
    if (cols == 0) return summe >= 0 && summe <= 100;
    return summe == cols * rows;
}

bool ReadPermutation(TLineReader& in, int n, std::vector<int>& out) {
    out.assign(static_cast<size_t>(n), 0);
    std::vector<bool> used(static_cast<size_t>(n), false);
    for (int k = 0; k < n; ++k) {
        int v = in.Int();
        if (v < 0 || v >= n || used[static_cast<size_t>(v)]) return false;
        used[static_cast<size_t>(v)] = true;
        out[static_cast<size_t>(k)] = v;
    }
    return true;
}

bool Finite(float v, float limit) { return std::isfinite(v) && std::fabs(v) <= limit; }

// Corners, outer loop i = 0..cols, inner j = 0..rows, x before y.
bool ReadCorners(TLineReader& in, int cols, int rows, Grid2<float>& x, Grid2<float>& y) {
    x = Grid2<float>(cols + 1, rows + 1);
    y = Grid2<float>(cols + 1, rows + 1);
    for (int i = 0; i <= cols; ++i)
        for (int j = 0; j <= rows; ++j) {
            x(i, j) = in.Float();
            y(i, j) = in.Float();
            if (!Finite(x(i, j), kMaxCoordinate) || !Finite(y(i, j), kMaxCoordinate)) return false;
        }
    return true;
}

// Whether every corner of a grid with cells lies on a picture of that size (give or take the
// slack), so that cutting along it stays within the picture.
bool GridFitsPicture(const Grid2<float>& x, const Grid2<float>& y, int cols, int rows, const TImagePtr& picture) {
    if (cols <= 0 || rows <= 0 || !picture) return false;
    if (x.Cols() != cols + 1 || x.Rows() != rows + 1 || y.Cols() != cols + 1 || y.Rows() != rows + 1) return false;
    const float w = static_cast<float>(GetImageWidth(picture)), h = static_cast<float>(GetImageHeight(picture));
    for (int i = 0; i <= cols; ++i)
        for (int j = 0; j <= rows; ++j)
            if (!(x(i, j) >= -kGridSlack && x(i, j) <= w + kGridSlack && y(i, j) >= -kGridSlack &&
                  y(i, j) <= h + kGridSlack))
                return false;
    return true;
}

// A picture path the game can use: a picture linked into it, or an existing file.
bool UsablePicturePath(const std::string& path) {
    return TakeLeftChars(path, 14) == "incbin::medien" || GetPathKind(path) == 1;
}

int LoadIntoPreview(const std::string& path) {
    return ImagePreview->Loading(path, 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                                 TruncateToInt(0.8 * ScreenHeight), {});
}

void ComputeFreshGrid() {
    GridPreview->Gitter_berechnen(TruncateToInt(Sliders[0]->Value), GetImageWidth(ImagePreview->Image),
                                  GetImageHeight(ImagePreview->Image));
}

// As when there is no file: the default picture and a grid for the slider's piece count.
void StartFromDefaults() {
    ImagePaths[0] = kDefaultPicture;
    LoadIntoPreview(ImagePaths[0]);
    ComputeFreshGrid();
}

}  // namespace

bool ConfigurationSizeSane() {
    long long size = GetFileByteSize(ConfigurationPath());
    return size >= 0 && size <= kMaxFileBytes;
}

bool IsValidGroupString(const std::string& group, int cols, int rows, std::vector<bool>& seen) {
    // A group emptied by a merge stays in the list as the empty string until the next cut.
    if (group.empty()) return true;
    if (group[0] != ',' || group.size() < 5 || (group.size() - 1) % 4 != 0) return false;
    if (seen.size() != static_cast<size_t>(cols) * static_cast<size_t>(rows)) return false;
    for (size_t p = 1; p < group.size(); p += 4) {
        char ci = group[p], slash = group[p + 1], cj = group[p + 2], comma = group[p + 3];
        if (ci < '0' || ci > '9' || slash != '/' || cj < '0' || cj > '9' || comma != ',') return false;
        int i = ci - '0', j = cj - '0';
        if (i >= cols || j >= rows) return false;
        size_t k = static_cast<size_t>(i) * static_cast<size_t>(rows) + static_cast<size_t>(j);
        if (seen[k]) return false;
        seen[k] = true;
    }
    return true;
}

bool ReadConfigurationData(const TStreamPtr& stream, TConfigurationData& d) {
    if (!stream) return false;
    TLineReader in(stream);
    d.SliderValue = in.Float();                                  // line 3
    if (!std::isfinite(d.SliderValue)) return false;
    d.PuzzleSumme = in.Int();                                    // 4
    d.GridSumme = in.Int();                                      // 5
    d.PuzzleSpalten = in.Int();                                  // 6
    d.GridSpalten = in.Int();                                    // 7
    d.PuzzleReihen = in.Int();                                   // 8
    d.GridReihen = in.Int();                                     // 9
    const int C = d.PuzzleSpalten, R = d.PuzzleReihen, c = d.GridSpalten, r = d.GridReihen;
    if (!ValidSides(C, R, d.PuzzleSumme) || !ValidSides(c, r, d.GridSumme)) return false;
    if (!ReadPermutation(in, C * R, d.PuzzleReihenfolge)) return false;  // 10
    if (!ReadPermutation(in, c * r, d.GridReihenfolge)) return false;    // 11
    if (C > 0 && !ReadCorners(in, C, R, d.PuzzleX, d.PuzzleY)) return false;  // 12
    d.PuzzlePicture = in.Next();                                 // 13
    d.PreviewPicture = in.Next();                                // 14
    d.PieceX = Grid2<float>(C, R);                               // 15
    d.PieceY = Grid2<float>(C, R);
    d.PieceAngle = Grid2<float>(C, R);
    for (int i = 0; i < C; ++i)
        for (int j = 0; j < R; ++j) {
            d.PieceX(i, j) = in.Float();
            d.PieceY(i, j) = in.Float();
            d.PieceAngle(i, j) = in.Float();
            if (!Finite(d.PieceX(i, j), kMaxCoordinate) || !Finite(d.PieceY(i, j), kMaxCoordinate) ||
                !Finite(d.PieceAngle(i, j), kMaxAngle))
                return false;
        }
    if (!ReadCorners(in, c, r, d.GridX, d.GridY)) return false;  // 16
    const int n = in.Int();                                      // 17
    if (n < 0 || n > kMaxGroups) return false;
    std::vector<bool> seen(static_cast<size_t>(C) * static_cast<size_t>(R), false);
    d.Verbund.clear();
    for (int g = 0; g < n; ++g) {
        d.Verbund.push_back(in.Next());
        if (!IsValidGroupString(d.Verbund.back(), C, R, seen)) return false;
    }
    const int fertig = in.Int();                                 // 18
    if (fertig < 0 || fertig > 2) return false;
    d.fertig = static_cast<uint8_t>(fertig);
    // Every line was there (the last may lack its line end) and none was absurdly long.
    return in.Sound();
}

std::vector<std::string> ConfigurationLines() {
    const TPuzzle& P = *CurrentPuzzle;
    const TGitterPreview& G = *GridPreview;
    std::vector<std::string> lines;
    auto integer = [&](int v) { lines.push_back(IntToString(v)); };
    auto real = [&](float v) { lines.push_back(FloatToString(v)); };
    auto order = [&](const std::shared_ptr<std::vector<int>>& v, int n) {
        for (int k = 0; k < n; ++k)
            integer(v && k < static_cast<int>(v->size()) ? (*v)[static_cast<size_t>(k)] : 0);
    };
    auto corners = [&](const Grid2<float>& x, const Grid2<float>& y, int cols, int rows) {
        for (int i = 0; i <= cols; ++i)
            for (int j = 0; j <= rows; ++j) {
                real(At(x, i, j));
                real(At(y, i, j));
            }
    };
    const int C = P.Spalten, R = P.Reihen;
    integer(ScreenWidth);
    integer(ScreenHeight);
    integer(TruncateToInt(Sliders[0]->Value));
    integer(P.Summe);
    integer(G.Summe);
    integer(C);
    integer(G.Spalten);
    integer(R);
    integer(G.Reihen);
    order(P.Reihenfolge, C * R);
    order(G.Reihenfolge, G.Spalten * G.Reihen);
    if (C > 0) corners(P.x, P.y, C, R);
    lines.push_back(ImagePaths[1]);
    lines.push_back(ImagePaths[0]);
    for (int i = 0; i < C; ++i)
        for (int j = 0; j < R; ++j) {
            real(At(P.Puzzleteil_X, i, j));
            real(At(P.Puzzleteil_Y, i, j));
            real(At(P.Puzzleteil_Drehwinkel, i, j));
        }
    corners(G.x, G.y, G.Spalten, G.Reihen);
    integer(static_cast<int>(P.Verbund.size()));
    for (const std::string& group : P.Verbund) lines.push_back(group);
    integer(P.fertig);
    return lines;
}

int WriteConfigurationFile(const std::string& path, const std::vector<std::string>& lines) {
    // A folder in the file's place cannot be replaced (and must not be).
    if (path.empty() || GetPathKind(path) == 2) return 0;
    // The old file stays whole until the new one is wholly on the disk: a crash, a kill or a
    // full disk in between leaves the previous state rather than a cut-off one.
    const std::string temporary = path + ".tmp";
    TStreamPtr out = OpenFileForWriting(temporary);
    if (!out) return 0;
    bool ok = true;
    for (const std::string& line : lines)
        if (!WriteTextLine(out, line)) {
            ok = false;
            break;
        }
    ok = ok && FlushStreamToDisk(out) == 1;
    CloseStreamObject(out);
    ok = ok && !out->error;
    if (!ok || !RenamePath(temporary, path)) {
        RemoveFile(temporary);
        return 0;
    }
    return 1;
}

int SaveConfiguration() {
    // Ended before the saved state was read back (or before the objects exist): the file on the
    // disk is still the better state, so it stays.
    if (!loaded || !CurrentPuzzle || !GridPreview || Sliders.empty() || !Sliders[0] || ImagePaths.size() < 2)
        return 0;
    if (!WriteConfigurationFile(ConfigurationPath(), ConfigurationLines()))
        ShowNoticeBox(kSaveFailedNotice, 0);
    return 0;
}

bool ConfigurationLoaded() { return loaded; }

uint8_t LoadConfiguration() {
    TStreamPtr stream = ConfigReadStream;
    ConfigReadStream = nullptr;
    TConfigurationData d;
    // Everything is read and checked before anything is used: a file that fails a check counts
    // as no file at all, and the end of this run writes a sound one in its place.
    bool sound = stream && ConfigurationSizeSane() && ReadConfigurationData(stream, d) &&
                 d.SliderValue <= Sliders[0]->MaxiValue;
    CloseStreamObject(stream);
    if (!sound) {
        StartFromDefaults();
        loaded = true;
        return 0;
    }
    TPuzzle& P = *CurrentPuzzle;
    TGitterPreview& G = *GridPreview;

    // Lines 3 to 12.
    SetHorizontalBarValue(0, LargerFloat(0.00001f, d.SliderValue));
    P.Summe = d.PuzzleSumme;
    G.Summe = d.GridSumme;
    P.Spalten = d.PuzzleSpalten;
    G.Spalten = d.GridSpalten;
    P.Reihen = d.PuzzleReihen;
    G.Reihen = d.GridReihen;
    P.Reihenfolge = std::make_shared<std::vector<int>>(d.PuzzleReihenfolge);
    G.Reihenfolge = std::make_shared<std::vector<int>>(d.GridReihenfolge);
    if (P.Spalten > 0) {
        P.x = d.PuzzleX;
        P.y = d.PuzzleY;
    } else {
        P.x = Grid2<float>(P.Spalten + 1, P.Reihen + 1);
        P.y = Grid2<float>(P.Spalten + 1, P.Reihen + 1);
    }

    // Line 13: the puzzle's picture. It is used only when it loads and the saved grid lies on
    // it; a picture replaced by another of a different size counts as unusable.
    uint8_t result;
    const std::string& s = d.PuzzlePicture;
    bool usable = P.Spalten > 0 && UsablePicturePath(s) && LoadIntoPreview(s) == 0 &&
                  GridFitsPicture(P.x, P.y, P.Spalten, P.Reihen, ImagePreview->Image);
    if (usable) {
        ImagePaths[1] = s;
        P.importieren();
        result = 1;
    } else {
        result = s.empty() ? 3 : 2;
    }

    // Line 14: the preview's picture, or the default one when it cannot be used.
    const std::string& preview = d.PreviewPicture;
    if (UsablePicturePath(preview)) {
        ImagePaths[0] = preview;
        if (ImagePaths[0] != ImagePaths[1] && LoadIntoPreview(ImagePaths[0]) != 0) {
            ImagePaths[0] = kDefaultPicture;
            LoadIntoPreview(ImagePaths[0]);
        }
    } else {
        ImagePaths[0] = kDefaultPicture;
        LoadIntoPreview(ImagePaths[0]);
    }

    // The grid preview is the saved one, as long as it has cells and lies on the preview's
    // picture; otherwise a fresh grid, as without a file, so no puzzle of 0 pieces or of a
    // grid off the picture can be created from it.
    G.x = d.GridX;
    G.y = d.GridY;
    if (!GridFitsPicture(G.x, G.y, G.Spalten, G.Reihen, ImagePreview->Image)) ComputeFreshGrid();

    // Lines 15 to 18 replace what cutting chose.
    P.Puzzleteil_X = d.PieceX;
    P.Puzzleteil_Y = d.PieceY;
    P.Puzzleteil_Drehwinkel = d.PieceAngle;
    P.Verbund = d.Verbund;
    P.fertig = d.fertig;
    // Only now is the state whole enough to be saved in place of the file.
    loaded = true;
    return result;
}
