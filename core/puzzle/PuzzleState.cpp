#include "core/puzzle/PuzzleState.h"

#include <cmath>

#include "core/Globals.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"

namespace {

// No file the game writes comes near these; they keep a damaged or foreign file from making the
// reader allocate or loop without bound.
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
// How far a grid's border may lie from its picture's edges and still count as laid over that
// picture: truncated display sizes and a rescaled grid differ by a pixel or two.
const float kSpanSlack = 3.0f;

float At(const Grid2<float>& g, int i, int j) {
    return i >= 0 && j >= 0 && i < g.Cols() && j < g.Rows() ? g(i, j) : 0.0f;
}

// "nan", "inf" or "infinity" in any case, after spaces and a sign: text the number reader takes
// for 0, which no file of the game holds.
bool NamesNonFiniteNumber(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i != std::string::npos && (text[i] == '-' || text[i] == '+')) ++i;
    const std::string word = i == std::string::npos ? "" : ToLowerCase(text.substr(i, 3));
    return word == "nan" || word == "inf";
}

// Reads the lines in order; past the end every line is empty. Notes an absurdly long line, and
// stops reading there (the rest of such a file is not worth the time or the memory), and for a
// whole file (one the player opens on purpose) a line missing at the end or a float that is not a
// finite number.
class TLineReader {
public:
    TLineReader(const TStreamPtr& stream, TStateReading reading)
        : stream_(stream), whole_(reading == TStateReading::Whole) {}
    std::string Next() {
        if (tooLong_) return std::string();
        if (IsStreamAtEnd(stream_)) missing_ = true;
        std::string line = ReadTextLineUpTo(stream_, kMaxLineLength, false);
        if (line.size() > kMaxLineLength) tooLong_ = true;
        return line;
    }
    int Int() { return StringToInt(Next()); }
    float Float() {
        const std::string line = Next();
        if (NamesNonFiniteNumber(line)) nonFinite_ = true;
        return StringToFloat(line);
    }
    bool Sound() const { return !tooLong_ && !(whole_ && (missing_ || nonFinite_)); }

private:
    TStreamPtr stream_;
    bool whole_;
    bool tooLong_ = false, missing_ = false, nonFinite_ = false;
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

// Every column line lies right of the one before and every row line below: no cell is empty
// or folded over.
bool GridInOrder(const Grid2<float>& x, const Grid2<float>& y, int cols, int rows) {
    for (int i = 0; i <= cols; ++i)
        for (int j = 0; j <= rows; ++j)
            if ((i < cols && !(x(i + 1, j) > x(i, j))) || (j < rows && !(y(i, j + 1) > y(i, j)))) return false;
    return true;
}

void Scale(Grid2<float>& g, float s) {
    for (int i = 0; i < g.Cols(); ++i)
        for (int j = 0; j < g.Rows(); ++j) g(i, j) = s * g(i, j);
}

}  // namespace

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

bool GridFitsPicture(const Grid2<float>& x, const Grid2<float>& y, int cols, int rows, const TImagePtr& picture) {
    if (cols <= 0 || rows <= 0 || !picture) return false;
    if (x.Cols() != cols + 1 || x.Rows() != rows + 1 || y.Cols() != cols + 1 || y.Rows() != rows + 1) return false;
    const float w = static_cast<float>(GetImageWidth(picture)), h = static_cast<float>(GetImageHeight(picture));
    for (int i = 0; i <= cols; ++i)
        for (int j = 0; j <= rows; ++j)
            if (!(x(i, j) >= -kGridSlack && x(i, j) <= w + kGridSlack && y(i, j) >= -kGridSlack &&
                  y(i, j) <= h + kGridSlack))
                return false;
    return GridInOrder(x, y, cols, rows);
}

bool GridSpansPicture(const Grid2<float>& x, const Grid2<float>& y, int cols, int rows, const TImagePtr& picture) {
    if (cols <= 0 || rows <= 0 || !picture) return false;
    if (x.Cols() != cols + 1 || x.Rows() != rows + 1 || y.Cols() != cols + 1 || y.Rows() != rows + 1) return false;
    const float w = static_cast<float>(GetImageWidth(picture)), h = static_cast<float>(GetImageHeight(picture));
    auto near = [](float v, float edge) { return std::fabs(v - edge) <= kSpanSlack; };
    for (int j = 0; j <= rows; ++j)
        if (!near(x(0, j), 0) || !near(x(cols, j), w)) return false;
    for (int i = 0; i <= cols; ++i)
        if (!near(y(i, 0), 0) || !near(y(i, rows), h)) return false;
    return true;
}

bool ReadPuzzleState(const TStreamPtr& stream, TPuzzleState& d, TStateLayout layout, TStateReading reading) {
    if (!stream) return false;
    TLineReader in(stream, reading);
    d.SliderValue = in.Float();
    if (!std::isfinite(d.SliderValue) || d.SliderValue > kPieceSliderMaximum) return false;
    d.PuzzleSumme = in.Int();
    d.GridSumme = in.Int();
    d.PuzzleSpalten = in.Int();
    d.GridSpalten = in.Int();
    d.PuzzleReihen = in.Int();
    d.GridReihen = in.Int();
    const int C = d.PuzzleSpalten, R = d.PuzzleReihen, c = d.GridSpalten, r = d.GridReihen;
    if (!ValidSides(C, R, d.PuzzleSumme) || !ValidSides(c, r, d.GridSumme)) return false;
    if (!ReadPermutation(in, C * R, d.PuzzleReihenfolge)) return false;
    if (!ReadPermutation(in, c * r, d.GridReihenfolge)) return false;
    if (C > 0 && (!ReadCorners(in, C, R, d.PuzzleX, d.PuzzleY) || !GridInOrder(d.PuzzleX, d.PuzzleY, C, R)))
        return false;
    if (layout == TStateLayout::WithPictures) {
        d.PuzzlePicture = in.Next();
        d.PreviewPicture = in.Next();
    }
    d.PieceX = Grid2<float>(C, R);
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
    // A grid preview cut off or off its picture is not refused here: it is replaced by a fresh one
    // when it is put in use.
    if (!ReadCorners(in, c, r, d.GridX, d.GridY)) return false;
    const int n = in.Int();
    if (n < 0 || n > kMaxGroups) return false;
    std::vector<bool> seen(static_cast<size_t>(C) * static_cast<size_t>(R), false);
    d.Verbund.clear();
    for (int g = 0; g < n; ++g) {
        d.Verbund.push_back(in.Next());
        if (!IsValidGroupString(d.Verbund.back(), C, R, seen)) return false;
    }
    const int fertig = in.Int();
    if (fertig < 0 || fertig > 2) return false;
    d.fertig = static_cast<uint8_t>(fertig);
    return in.Sound();
}

void ScaleGrid(Grid2<float>& g, float s) { Scale(g, s); }

float WindowScaleFactor(int oldW, int oldH) {
    if (ScreenHeight == oldH) return 1;
    return SmallerFloat(static_cast<float>(ScreenWidth) / static_cast<float>(oldW),
                        static_cast<float>(ScreenHeight) / static_cast<float>(oldH));
}

float GridScaleFactor(int oldW, int oldH, int gridW, int gridH, const TImagePtr& picture) {
    float f = WindowScaleFactor(oldW, oldH);
    if (ScreenHeight == oldH || gridW <= 0 || gridH <= 0 || !picture) return f;
    const float iw = static_cast<float>(GetImageWidth(picture));
    const float ih = static_cast<float>(GetImageHeight(picture));
    const float pw = static_cast<float>(gridW), ph = static_cast<float>(gridH);
    if (f * pw - 1 > iw) f = iw / pw;
    if (f * ph - 1 > ih) f = ih / ph;
    if (f * pw + 1 < iw) f = iw / pw;
    if (f * ph + 1 < ih) f = ih / ph;
    return f;
}

void ScalePuzzleState(TPuzzleState& d, float s) {
    for (Grid2<float>* g : {&d.PuzzleX, &d.PuzzleY, &d.GridX, &d.GridY}) Scale(*g, s);
}

std::vector<std::string> PuzzleStateLines(TStateLayout layout) {
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
    integer(TruncateToInt(PieceSliderValue()));
    integer(P.Summe);
    integer(G.Summe);
    integer(C);
    integer(G.Spalten);
    integer(R);
    integer(G.Reihen);
    order(P.Reihenfolge, C * R);
    order(G.Reihenfolge, G.Spalten * G.Reihen);
    if (C > 0) corners(P.x, P.y, C, R);
    if (layout == TStateLayout::WithPictures) {
        lines.push_back(ImagePaths[1]);
        lines.push_back(ImagePaths[0]);
    }
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

void ApplyStateCounts(const TPuzzleState& d) {
    TPuzzle& P = *CurrentPuzzle;
    TGitterPreview& G = *GridPreview;
    SetHorizontalBarValue(0, LargerFloat(0.00001f, d.SliderValue));
    P.Summe = d.PuzzleSumme;
    G.Summe = d.GridSumme;
    P.Spalten = d.PuzzleSpalten;
    G.Spalten = d.GridSpalten;
    P.Reihen = d.PuzzleReihen;
    G.Reihen = d.GridReihen;
    // Two arrays of their own: the file keeps the two orders apart.
    P.Reihenfolge = std::make_shared<std::vector<int>>(d.PuzzleReihenfolge);
    G.Reihenfolge = std::make_shared<std::vector<int>>(d.GridReihenfolge);
    if (P.Spalten > 0) {
        P.x = d.PuzzleX;
        P.y = d.PuzzleY;
    } else {
        P.x = Grid2<float>(P.Spalten + 1, P.Reihen + 1);
        P.y = Grid2<float>(P.Spalten + 1, P.Reihen + 1);
    }
}

void ComputeFreshGrid() {
    GridPreview->Gitter_berechnen(TruncateToInt(Sliders[0]->Value), GetImageWidth(ImagePreview->Image),
                                  GetImageHeight(ImagePreview->Image));
}

void ApplyStateGridPreview(const TPuzzleState& d) {
    TGitterPreview& G = *GridPreview;
    G.x = d.GridX;
    G.y = d.GridY;
    if (!GridFitsPicture(G.x, G.y, G.Spalten, G.Reihen, ImagePreview->Image) ||
        !GridSpansPicture(G.x, G.y, G.Spalten, G.Reihen, ImagePreview->Image))
        ComputeFreshGrid();
}

void ApplyStatePlay(const TPuzzleState& d, float ratio, float gridFactor) {
    TPuzzle& P = *CurrentPuzzle;
    P.PlaceInNewWindow(d.PieceX, d.PieceY, d.PieceAngle, d.Verbund, ratio, gridFactor);
    P.fertig = d.fertig;
}

bool WriteLinesToDisk(const TStreamPtr& out, const std::vector<std::string>& lines) {
    bool ok = out != nullptr;
    for (size_t k = 0; ok && k < lines.size(); ++k) ok = WriteTextLine(out, lines[k]) == 1;
    ok = ok && FlushStreamToDisk(out) == 1;
    CloseStreamObject(out);
    return ok && !out->error;
}

bool WriteLinesAndReplace(const TStreamPtr& out, const std::vector<std::string>& lines,
                          const std::string& written, const std::string& path) {
    // The old file stays whole until the new one is wholly on the disk: a crash, a kill or a
    // full disk in between leaves the previous state rather than a cut-off one.
    return FinishReplacingFile(path, written, WriteLinesToDisk(out, lines)) == 1;
}

std::string WhySaveFailed(TSaveProblem problem) {
    switch (problem) {
        case TSaveProblem::NoFolder: return "Its folder doesn't exist.";
        case TSaveProblem::FolderReadOnly: return "You may not write to its folder.";
        case TSaveProblem::FileReadOnly: return "You may not write to it.";
        case TSaveProblem::NotAFile: return "It is not a regular file.";
        case TSaveProblem::NoRoom: return "There is no room for it on the disk.";
        case TSaveProblem::ReadOnlyDisk: return "Its disk may only be read.";
        case TSaveProblem::LinkIntoNowhere: return "It is a link into a folder that doesn't exist.";
        case TSaveProblem::NoFreeName: return "Every name for it is taken.";
        default: break;
    }
    const std::string system = LastSaveProblemSystemText();
    return system.empty() ? "It couldn't be written whole." : "The system says: " + system + ".";
}
