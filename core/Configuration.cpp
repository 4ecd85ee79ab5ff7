#include "core/Configuration.h"

#include "core/Globals.h"
#include "core/PictureCatalogue.h"
#include "core/Utilities.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/TImagePreview.h"

namespace {

const char kSaveFailedNotice[] = "The ini-file with your personal\nconfiguration couldn't be saved.";

// No file the game writes comes near this; a larger one is not read at all.
const long long kMaxFileBytes = 1 << 20;

bool loaded = false;
// False when the file found at start was not used and could not be kept aside either: it is
// the player's, so this run leaves it as it is instead of saving over it.
bool mayReplaceFile = true;

// A file that is there and holds something, but could not be read, was refused, was saved for
// a larger desktop or holds a puzzle whose picture is gone, would be lost to the save at the end
// of this run. It is renamed to a name that says so (replacing an older one), and the player is
// told where it went; why it was not used ends without a full stop, for both endings below.
void KeepUnusedFileAside(const TDialogText& why = "couldn't be used") {
    const std::string path = ConfigurationPath();
    if (GetPathKind(path) != 1 || GetFileByteSize(path) <= 0) return;
    const std::string aside = path + ".unused";
    TDialogText notice = "Your configuration file\n" + QuotedPath(path) + "\n" + why;
    if (RenamePath(path, aside)) {
        notice += ". It is kept as\n" + QuotedPath(aside) + "\nand a new one will be saved.";
    } else {
        mayReplaceFile = false;
        notice += " and can't be put aside.\nIt stays as it is, so this puzzle will not be kept.";
    }
    ShowNoticeBox(notice, 0);
    // The keys and clicks that answered the box are not the game's.
    ClearKeyboardState();
    ClearMouseState();
}

// A picture path the game can use: a picture linked into it, or an existing file.
bool UsablePicturePath(const std::string& path) {
    return TakeLeftChars(path, 14) == "incbin::medien" || GetPathKind(path) == 1;
}

int LoadIntoPreview(const std::string& path) {
    return ImagePreview->Loading(path, 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                                 TruncateToInt(0.8 * ScreenHeight), {});
}

// As when there is no file: the default picture and a grid for the slider's piece count.
void StartFromDefaults() {
    ImagePaths[0] = kDefaultPicture;
    LoadIntoPreview(ImagePaths[0]);
    ComputeFreshGrid();
}

}  // namespace

std::string ConfigurationPath() { return GetSpecialDirectory("Home") + ".PlarnPuzzle.ini"; }

bool ConfigurationSizeSane() {
    long long size = GetFileByteSize(ConfigurationPath());
    return size >= 0 && size <= kMaxFileBytes;
}

std::vector<std::string> ConfigurationLines() {
    std::vector<std::string> lines = {IntToString(ScreenWidth), IntToString(ScreenHeight)};
    for (std::string& line : PuzzleStateLines(TStateLayout::WithPictures)) lines.push_back(std::move(line));
    return lines;
}

int WriteConfigurationFile(const std::string& path, const std::vector<std::string>& lines) {
    // Replaced as writing into it would: behind a link, with its permissions, or not at all.
    const std::string written = BeginReplacingFile(path);
    if (written.empty()) return 0;
    return WriteLinesAndReplace(OpenFileForWriting(written), lines, written, path) ? 1 : 0;
}

int SaveConfiguration() {
    // Ended before the saved state was read back (or before the objects exist): the file on the
    // disk is still the better state, so it stays.
    if (!loaded || !mayReplaceFile || !CurrentPuzzle || !GridPreview || Sliders.empty() || !Sliders[0] ||
        ImagePaths.size() < 2)
        return 0;
    if (!WriteConfigurationFile(ConfigurationPath(), ConfigurationLines()))
        ShowNoticeBox(kSaveFailedNotice, 0);
    return 0;
}

bool ConfigurationLoaded() { return loaded; }

uint8_t LoadConfiguration() {
    TStreamPtr stream = ConfigReadStream;
    ConfigReadStream = nullptr;
    mayReplaceFile = true;
    TPuzzleState d;
    // Everything is read and checked before anything is used: a file that fails a check counts
    // as no file at all, and is kept aside for the sound one the end of this run writes. A file
    // that merely ends early gives what it holds.
    bool sound = stream && ConfigurationSizeSane() && ReadPuzzleState(stream, d, TStateLayout::WithPictures);
    CloseStreamObject(stream);
    if (!sound) {
        KeepUnusedFileAside();
        StartFromDefaults();
        loaded = true;
        return 0;
    }
    TPuzzle& P = *CurrentPuzzle;
    ApplyStateCounts(d);

    // Line 13: the puzzle's picture. It is used only when it loads and the saved grid lies on
    // it; a picture replaced by another of a different size counts as unusable.
    uint8_t result;
    const std::string& s = d.PuzzlePicture;
    // A picture that could not be decoded has told the player once; it is not tried again for
    // the preview.
    bool undecodable = false;
    bool usable = P.Spalten > 0 && UsablePicturePath(s);
    if (usable) {
        undecodable = LoadIntoPreview(s) != 0;
        usable = !undecodable && GridFitsPicture(P.x, P.y, P.Spalten, P.Reihen, ImagePreview->Image);
    }
    if (usable) {
        ImagePaths[1] = s;
        P.importieren();
        result = 1;
    } else {
        result = s.empty() ? 3 : 2;
        // A puzzle whose picture was moved or replaced stays in the file it came from, so that
        // putting the picture back brings it back.
        if (result == 2 && P.Spalten > 0)
            KeepUnusedFileAside("holds a puzzle whose picture\n" + QuotedPath(s) + "\ncouldn't be used");
    }

    // Line 14: the preview's picture, or the default one when it cannot be used.
    const std::string& preview = d.PreviewPicture;
    if (UsablePicturePath(preview) && !(undecodable && preview == s)) {
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
    // picture; lines 15 to 18 replace what cutting chose.
    ApplyStateGridPreview(d);
    ApplyStatePlay(d);
    // Only now is the state whole enough to be saved in place of the file.
    loaded = true;
    return result;
}
