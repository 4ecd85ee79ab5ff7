#include "core/puzzle/PuzzleFile.h"

#include "core/Globals.h"
#include "core/Backdrop.h"
#include "core/Utilities.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Window.h"
#include "core/puzzle/PuzzleState.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/MenuScreen.h"
#include "ui/TImagePreview.h"

namespace {

const char kFilter[] = "PNG's + puzzle-datas:png";
const char kMarker[] = "Added PlarnPuzzle-Datas:";
const char kDamagedNotice[] = "The PLARNPUZZLE-datas of this file are damaged!\nSo you can't open the puzzle file.";
const int kPngCompression = 5;
// Windows, pictures and grids of a puzzle file are at most this many pixels a side, and a path
// at most this long; anything beyond is damage.
const int kMaxPixels = kMaxPictureSide;
const size_t kMaxPathLength = 4096;

bool EndsInPng(const std::string& path) { return ToLowerCase(TakeRightChars(path, 4)) == ".png"; }

// Every way out but a saved puzzle: what was typed or clicked meanwhile belongs to the dialogs.
int Finish(int result) {
    LastTypedChar = 0;
    ClearMouseState();
    ClearKeyboardState();
    return result;
}

int Refuse(const TDialogText& notice) {
    ShowNoticeBox(notice, 0);
    return Finish(0);
}

// The board as play shows it, on the back buffer: backdrop and pieces, nothing else.
void DrawBoard() {
    const TPuzzle& P = *CurrentPuzzle;
    ResetDrawState();
    DrawBackdrop();
    SetDrawScale(1, 1);
    SetDrawColor(255, 255, 255);
    const int n = SmallerInt(static_cast<int>(P.Reihenfolge->size()), P.Spalten * P.Reihen);
    for (int k = 0; k < n; ++k) {
        const int p = (*P.Reihenfolge)[static_cast<size_t>(k)], i = p / P.Reihen, j = p % P.Reihen;
        SetDrawRotation(P.Puzzleteil_Drehwinkel(i, j));
        DrawImageTransformed(P.Puzzleteil(i, j), P.Puzzleteil_X(i, j), P.Puzzleteil_Y(i, j), 0);
    }
    SetDrawRotation(0);
    SetDrawColor(255, 255, 255);
    SetDrawScale(ScaleX, ScaleY);
}

// The menu again on the back buffer, so that the menu loop presents it and not the board.
void RedrawMenu() {
    ResetDrawState();
    DrawBackdrop();
    DrawMenuScreen();
}

// Everything after the marker: the picture path and the saving window's, picture's and grid's
// sizes, then the state.
std::vector<std::string> PuzzleFileLines() {
    const TPuzzle& P = *CurrentPuzzle;
    std::vector<std::string> lines = {"", kMarker, ImagePaths[1], IntToString(ScreenWidth), IntToString(ScreenHeight),
                                      IntToString(P.OriginalImageWidth), IntToString(P.OriginalImageHeight),
                                      FloatToString(P.x(P.Spalten, 0)), FloatToString(P.y(0, P.Reihen))};
    for (std::string& line : PuzzleStateLines(TStateLayout::WithoutPictures)) lines.push_back(std::move(line));
    return lines;
}

// The PNG, then the lines appended to it, written beside path and put in its place only when
// whole: a failed save leaves no half-written file and whatever was at path untouched.
bool WritePuzzleFile(const std::string& path, const TPixmapPtr& board) {
    const std::string written = BeginReplacingFile(path);
    if (written.empty()) return false;
    TStreamPtr out;
    if (EncodePixmapToPngFile(board, written, kPngCompression) == 1) {
        const long long end = GetFileByteSize(written);
        if (end >= 0 && end <= 0x7fffffff) out = OpenStreamFromUrl(written, 1, 1);
        SetStreamPosition(out, static_cast<int>(end));
    }
    return WriteLinesAndReplace(out, PuzzleFileLines(), written, path);
}

// Why the puzzle must not be saved as path, or nothing: a name the line-based files cannot hold,
// or a picture that would be lost with the puzzle cut from it or the menu showing it.
std::string ReasonNotToSaveAs(const std::string& path) {
    if (HoldsLineBreak(path)) return "A file name must not contain a line break.";
    if (IsSameFile(path, ImagePaths[1])) return "It is the image the puzzle is made of!";
    if (IsSameFile(path, ImagePaths[0])) return "It is the image shown in the menu!";
    switch (CheckSaveTarget(path)) {
        case TSaveTarget::NotAFile: return WhySaveFailed(TSaveProblem::NotAFile);
        case TSaveTarget::ReadOnlyFile: return WhySaveFailed(TSaveProblem::FileReadOnly);
        default: return "";
    }
}

// What the file says beside the state.
struct TFileHeader {
    std::string picture;
    int savedW = 0, savedH = 0;      // the window the puzzle was saved in
    int pictureW = 0, pictureH = 0;  // the picture file's own size
    int gridW = 0, gridH = 0;        // the right and bottom edges of the puzzle's grid
};

bool InRange(int v) { return v >= 1 && v <= kMaxPixels; }

// Reads everything after the marker and checks it whole: a file that ends before its counts
// say is damaged, not a puzzle with its pieces at 0. Reading stops at the first line longer than
// any the game writes.
bool ReadPuzzleFile(const TStreamPtr& in, TFileHeader& h, TPuzzleState& d) {
    bool whole = true;
    const auto next = [&] {
        whole = whole && !IsStreamAtEnd(in);
        const std::string line = whole ? ReadTextLineUpTo(in, kMaxPathLength, false) : "";
        whole = whole && line.size() <= kMaxPathLength;
        return line;
    };
    h.picture = next();
    int* numbers[] = {&h.savedW, &h.savedH, &h.pictureW, &h.pictureH, &h.gridW, &h.gridH};
    for (int* n : numbers) *n = StringToInt(next());
    return whole && ReadPuzzleState(in, d, TStateLayout::WithoutPictures, TStateReading::Whole) &&
           d.PuzzleSpalten > 0 && InRange(h.savedW) && InRange(h.savedH) && InRange(h.gridW) && InRange(h.gridH);
}

// The picture named in the file, or one the player finds in its place; empty (the player told
// or having said no) when there is none.
std::string LocatePicture(const std::string& saved) {
    if (IsBuiltInPicture(saved) || GetPathKind(saved) == 1) return saved;
    if (AskYesNo("The original image, you selected to create the puzzle\n" + QuotedPicture(saved) +
                     "\nwas not found! Do you want to find the original image?\nOtherwise the puzzle-file "
                     "can't be opened.",
                 0) == 0)
        return "";
    const std::string found = AskForFilePath("Find the original image", "images:jpg,png,bmp;", 0, "");
    std::string notice;
    const std::string ending = ToLowerCase(TakeRightChars(found, 4));
    if (found.empty())
        notice = "You cancelled the search to the original image.\nSo you can't open the puzzle file.";
    else if (HoldsLineBreak(found))
        notice = "The name of the selected file contains a line break.\nSo you can't open the puzzle file.";
    else if (GetPathKind(found) != 1)
        notice = "The selected file can't be found.\nSo you can't open the puzzle file.";
    else if (ending != ".jpg" && ending != ".png" && ending != ".bmp")
        notice = "The file, you selected, isn't a correct image.\nYou can load only jpg-, png- or bmp-images.\n"
                 "So you can't open the puzzle file.";
    if (notice.empty()) return found;
    ShowNoticeBox(notice, 0);
    return "";
}


}  // namespace

int SavePuzzleFile() {
    if (!CurrentPuzzle->Bild) return Refuse("There is no puzzle yet!");
    std::string path = AskForFilePath("Save puzzle", kFilter, 1, "");
    if (path.empty()) return Finish(0);
    path = EndsInPng(path) ? TakeLeftChars(path, static_cast<int>(path.size()) - 4) + ".png" : path + ".png";
    const TDialogText notSaved = "The puzzle could not be saved as\n" + QuotedPath(path);
    const std::string reason = ReasonNotToSaveAs(path);
    if (!reason.empty()) return Refuse(notSaved + "\n" + reason);
    // Enter keeps the file: pressed once more by habit after the chooser's, it must not replace it.
    if (GetPathKind(path) == 1 &&
        AskYesNo("The file\n" + QuotedPath(path) + "\nalready exists! Do you want to replace it?", 0, 0) == 0)
        return Finish(0);
    DrawBoard();
    const bool saved = WritePuzzleFile(path, CaptureScreenToPixmap(0, 0, ScreenWidth, ScreenHeight));
    // The board must not reach the screen, saved or not.
    RedrawMenu();
    if (!saved) return Refuse(notSaved + "\n" + WhySaveFailed());
    return 0;
}

int OpenPuzzleFile() {
    const std::string path = AskForFilePath("Open puzzle", kFilter, 0, "");
    if (path.empty()) return Finish(0);
    if (GetPathKind(path) != 1) return Refuse("This file wasn't found:\n" + QuotedPath(path));
    if (!EndsInPng(path)) return Refuse("Only PNG-images with added\nPLARNPUZZLE-datas are able to load!");
    TStreamPtr in = OpenStreamForReading(path);
    if (!in) return Refuse("This file couldn't be read:\n" + QuotedPath(path));
    // The PNG's bytes come out as short fragments; the empty line written after them closes the
    // last one, so the marker stands as a line of its own. A fragment longer than the marker is
    // passed over without being kept.
    std::string line;
    while (!IsStreamAtEnd(in) && line != kMarker) line = ReadTextLineUpTo(in, sizeof kMarker - 1, true);
    if (line != kMarker) {
        CloseStreamObject(in);
        return Refuse("The selected PNG-image doesn't\n contain added PLARNPUZZLE-datas!");
    }
    // All of it is read and checked before anything of the game changes.
    TFileHeader h;
    TPuzzleState d;
    const bool sound = ReadPuzzleFile(in, h, d);
    CloseStreamObject(in);
    if (!sound || in->error) return Refuse(kDamagedNotice);

    const std::string picture = LocatePicture(h.picture);
    if (picture.empty()) return Finish(0);
    const TImagePreview before = *ImagePreview;
    if (ImagePreview->Loading(picture, 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                              TruncateToInt(0.8 * ScreenHeight), {}) != 0)
        return Finish(0);  // the preview has told the player and kept its picture
    std::string refusal;
    const float s = GridScaleFactor(h.savedW, h.savedH, h.gridW, h.gridH, ImagePreview->Image);
    if (h.pictureW != ImagePreview->OriginalImageWidth || h.pictureH != ImagePreview->OriginalImageHeight) {
        refusal = "The selected image has another size\nthan the original image you need!\nTo avoid fatal problems "
                  "the puzzle\nwill not be opened!";
    } else {
        ScalePuzzleState(d, s);
        if (!GridFitsPicture(d.PuzzleX, d.PuzzleY, d.PuzzleSpalten, d.PuzzleReihen, ImagePreview->Image))
            refusal = kDamagedNotice;
    }
    if (!refusal.empty()) {
        *ImagePreview = before;
        return Refuse(refusal);
    }

    ImagePaths[1] = picture;
    ImagePaths[0] = picture;
    TPuzzle& P = *CurrentPuzzle;
    P.Bild = ImagePreview->Image;
    ApplyStateCounts(d);
    P.zerschneiden();
    // The grids follow the picture as it is shown now, the pieces' places the window: a picture
    // shown at its own size grows less than the window, and its pieces moved with the grid would
    // leave the board of a smaller window.
    ApplyStatePlay(d, WindowScaleFactor(h.savedW, h.savedH), s);
    ApplyStateGridPreview(d);
    return Finish(1);
}
