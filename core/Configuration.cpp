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
// The file at the path as this run last read it, kept it aside or wrote it. Anything else found
// there at the end was put there or changed by someone else (the player, who put a file kept
// aside back; a second game where no lock holds): it stays, and this run's state goes beside it.
TFileStamp lastSeen;
// False when the file found at start was not used and could not be kept aside either: it is
// the player's, so this run leaves it as it is instead of saving over it.
bool mayReplaceFile = true;
// Why start-up ignored the file, until it is kept aside, and how it can be used again.
TDialogText refusedWhy, refusedAgain;

// How a file kept aside as aside can take the configuration's place at path again: again says
// what for ("To use it again on a larger desktop"). The names alone: both stand in one folder.
TDialogText RenameBackHint(const std::string& path, const std::string& aside, const TDialogText& again) {
    const std::string name = path.substr(path.rfind('/') + 1);
    return "\n" + again + ", rename\n" + QuotedPath(name + aside.substr(path.size())) + "\nto " + QuotedPath(name) +
           " once this game has ended.";
}

// A file that is there and holds something, but could not be read, is damaged, was saved for a
// larger desktop or holds a puzzle whose picture is gone, would be lost to the save at the end of
// this run. It is renamed to a name that says so, beside any kept before (a kept puzzle is never
// lost to the next unusable file), and the player is told where it went and why: why ends
// without a full stop. Where the file can be used again, the player is told how: again says
// what for and when ("To use it again on a larger desktop").
void KeepUnusedFileAside(const TDialogText& why, const TDialogText& again = TDialogText()) {
    const std::string path = ConfigurationPath();
    if (GetPathKind(path) != 1 || GetFileByteSize(path) <= 0) return;
    TRenameFailure failure = TRenameFailure::Other;
    const std::string aside = RenameToFreeName(path, path + ".unused", &failure);
    TDialogText notice = "Your configuration file\n" + QuotedPath(path) + "\n" + why;
    if (!aside.empty()) {
        lastSeen = TFileStamp();
        notice += ".\nIt is kept as\n" + QuotedPath(aside) + "\nand a new one will be saved.";
        if (!again.Bytes().empty()) notice += RenameBackHint(path, aside, again);
    } else {
        mayReplaceFile = false;
        notice += ".\nIt can't be put aside" +
                  TDialogText(failure == TRenameFailure::FolderLocked ? ": its folder may not be written"
                              : failure == TRenameFailure::NoFreeName ? ": every name for it is taken"
                                                                       : "") +
                  ".\nSo it stays as it is, and this game will not save\nits configuration when it ends.";
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

void NoteRefusedWindowSize(int savedW, int savedH, int maxW, int maxH) {
    // No window at all is no size any desktop could take.
    if (savedW <= 0 || savedH <= 0) {
        refusedWhy = "is damaged";
        refusedAgain = TDialogText();
        return;
    }
    refusedWhy = "was saved for a window of " + IntToString(savedW) + " x " + IntToString(savedH) +
                 " pixels,\nlarger than this desktop allows (" + IntToString(maxW) + " x " + IntToString(maxH) + ")";
    refusedAgain = "To use it again on a larger desktop";
}

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

void RemoveLeftoversOfSaves() {
    // Beside the file, and beside the one its link leads to, where its saves are written.
    const std::string path = ConfigurationPath(), target = FollowSymbolicLinks(path);
    const std::string folder = path.substr(0, path.rfind('/') + 1), targetFolder = target.substr(0, target.rfind('/') + 1);
    RemoveLeftoverTemporaryFiles(folder);
    if (targetFolder != folder) RemoveLeftoverTemporaryFiles(targetFolder);
}

TStreamPtr OpenConfigurationForReading() {
    // Looked at before it is opened: a file replaced in between counts as changed, never the
    // other way round.
    const std::string path = ConfigurationPath();
    lastSeen = StampOfFile(path);
    // A file far larger than any configuration is ignored whole, before its first line is read.
    return ConfigurationSizeSane() ? OpenFileForReading(path) : nullptr;
}

int SaveConfiguration() {
    // Ended before the saved state was read back (or before the objects exist): the file on the
    // disk is still the better state, so it stays.
    if (!loaded || !mayReplaceFile || !CurrentPuzzle || !GridPreview || Sliders.empty() || !Sliders[0] ||
        ImagePaths.size() < 2)
        return 0;
    const std::string path = ConfigurationPath();
    const TFileStamp now = StampOfFile(path);
    if (now.there && now != lastSeen) {
        const std::string written = BeginNewFileBeside(path);
        const std::string aside =
            FinishNewFileAs(written, path + ".unused", WriteLinesToDisk(OpenFileForWriting(written), ConfigurationLines()));
        TDialogText notice = "Your configuration file\n" + QuotedPath(path) +
                             "\nwas changed while this game ran, so it stays as it is.\nThis game's configuration ";
        if (aside.empty())
            notice += "couldn't be saved beside it.\n" + WhySaveFailed();
        else
            notice += "is kept as\n" + QuotedPath(aside) + "." + RenameBackHint(path, aside, "To use that one instead");
        ShowNoticeBox(notice, 0);
    } else if (WriteConfigurationFile(path, ConfigurationLines())) {
        lastSeen = StampOfFile(path);
    } else {
        ShowNoticeBox(kSaveFailedNotice + ("\n" + WhySaveFailed()), 0);
    }
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
    const bool unreadable = stream ? stream->error : ConfigurationSizeSane();
    CloseStreamObject(stream);
    const TDialogText why = refusedWhy, again = refusedAgain;
    refusedWhy = refusedAgain = TDialogText();
    if (!sound) {
        if (!why.Bytes().empty())
            KeepUnusedFileAside(why, again);
        else
            KeepUnusedFileAside(unreadable ? "couldn't be read" : "is damaged");
        StartFromDefaults();
        loaded = true;
        return 0;
    }
    TPuzzle& P = *CurrentPuzzle;
    ApplyStateCounts(d);

    // Line 13: the puzzle's picture. It is used only when it loads and the saved grid lies on
    // it from edge to edge: the window is the saved one, so the picture is shown at the size the
    // grid was laid on, and a picture replaced by another of a different size would give a
    // puzzle cut from part of it, or off it.
    uint8_t result;
    const std::string& s = d.PuzzlePicture;
    // A picture that could not be decoded has told the player once; it is not tried again for
    // the preview.
    bool undecodable = false;
    const bool there = UsablePicturePath(s);
    bool usable = P.Spalten > 0 && there;
    if (usable) {
        undecodable = LoadIntoPreview(s) != 0;
        usable = !undecodable && GridFitsPicture(P.x, P.y, P.Spalten, P.Reihen, ImagePreview->Image) &&
                 GridSpansPicture(P.x, P.y, P.Spalten, P.Reihen, ImagePreview->Image);
    }
    if (usable) {
        ImagePaths[1] = s;
        P.importieren();
        result = 1;
    } else {
        result = s.empty() ? 3 : 2;
        // A puzzle whose picture was moved or replaced stays in the file it came from, so that
        // putting the picture back brings it back (a built-in picture cannot be put back).
        if (result == 2 && P.Spalten > 0) {
            const bool builtIn = IsBuiltInPicture(s);
            const char* what = !there         ? "is missing"
                               : !undecodable ? "has another size now"
                               : builtIn      ? "isn't part of this game"
                                              : "can't be read";
            const char* again = builtIn ? ""
                                : there ? "To play that puzzle again once\nthe original picture is back"
                                        : "To play that puzzle again once\nthe picture is back";
            KeepUnusedFileAside("holds a puzzle whose picture\n" + QuotedPicture(s) + "\n" + what, again);
        }
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
