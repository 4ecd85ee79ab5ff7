// The configuration file: what a run writes, what the next start restores (and with which code),
// the files it refuses, and the writing that never leaves a half-written file behind.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <random>

#include "core/Configuration.h"
#include "core/PictureCatalogue.h"
#include "tests/core/GameState.h"
#include "tests/support/ChildProcess.h"

using namespace gamestate;

// Every sync to the disk (of the file or folder with that inode) and every rename of this process,
// in order, through to the system's own.
std::vector<std::string> diskLog;
extern "C" int fsync(int fd) {
    struct stat st;
    diskLog.push_back("sync " + (fstat(fd, &st) == 0 ? std::to_string(st.st_ino) : "?"));
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}
extern "C" int rename(const char* from, const char* to) noexcept {
    diskLog.push_back(std::string("rename ") + to);
    return reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"))(from, to);
}

namespace {

const std::string kRose = "incbin::medien/Reihe1/Rose.jpg";
const std::string kNotice = "The ini-file with your personal\nconfiguration couldn't be saved.";

// The notice of a file kept aside as ".PlarnPuzzle.ini.unused" and the suffix; again: what for
// and when it can be renamed back.
std::string KeptAsideNotice(const std::string& ini, const std::string& why, const std::string& suffix = "",
                            const std::string& again = "") {
    std::string notice = "Your configuration file\n\"" + ini + "\"\n" + why + ".\nIt is kept as\n\"" + ini +
                         ".unused" + suffix + "\"\nand a new one will be saved.";
    if (!again.empty())
        notice += "\n" + again + ", rename\n\".PlarnPuzzle.ini.unused" + suffix +
                  "\"\nto \".PlarnPuzzle.ini\" once this game has ended.";
    return notice;
}
std::string NotKeptNotice(const std::string& ini, const std::string& why, const std::string& because) {
    return "Your configuration file\n\"" + ini + "\"\n" + why + ".\nIt can't be put aside: " + because +
           ".\nSo it stays as it is, and this game will not save\nits configuration when it ends.";
}

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& l : lines) text += l + end;
    return text;
}

// A 2 x 2 puzzle of the rose as a 1200 x 900 window saves it (the rose fitted into 960 x 720),
// written by hand. Lines 1-9 header, 10-13 the puzzle's order, 14-37 the preview's, 38-55 the
// puzzle's grid, 56 and 57 the pictures, 58-69 the pieces, 70-139 the preview's grid, 140 the
// group count, 141 the group, 142 the finished flag.
std::vector<std::string> RoseLines() {
    std::vector<std::string> l = {"1200", "900", "7", "4", "24", "2", "6", "2", "4", "0", "1", "2", "3"};
    for (int k = 0; k < 24; ++k) l.push_back(std::to_string(k));
    for (const char* v : {"0", "0", "0", "350", "0", "720", "470", "0", "480", "360", "490", "720", "960", "0",
                          "960", "370", "960", "720"})
        l.push_back(v);
    l.push_back(kRose);
    l.push_back(kRose);
    for (const char* v : {"200", "200", "0", "200", "700", "0", "673", "205", "0", "600", "450", "90.5"}) l.push_back(v);
    for (int i = 0; i <= 6; ++i)
        for (int j = 0; j <= 4; ++j) {
            l.push_back(std::to_string(i * 160));
            l.push_back(std::to_string(j * 180));
        }
    l.push_back("1");
    l.push_back(",0/0,1/0,");
    l.push_back("0");
    return l;
}

// Line n (1-based) replaced.
std::vector<std::string> With(std::vector<std::string> l, int n, const std::string& value) {
    l[static_cast<size_t>(n - 1)] = value;
    return l;
}

uint8_t Load(const std::string& text) {
    FreshObjects();
    WriteText(IniPath(), text);
    OpenAsStartUpDoes();
    return LoadConfiguration();
}

// The state of a start without a usable file.
void ExpectDefaults() {
    EXPECT_FALSE(CurrentPuzzle->Bild);
    EXPECT_EQ(CurrentPuzzle->Spalten, 0);
    EXPECT_EQ(Sliders[0]->Value, 7.5f);
    EXPECT_EQ(ImagePaths[0], kRose);
    EXPECT_EQ(ImagePaths[1], "");
    // 24 pieces over the landscape rose: 4 rows of 6.
    EXPECT_EQ(GridPreview->Spalten, 6);
    EXPECT_EQ(GridPreview->Reihen, 4);
    EXPECT_EQ(GridPreview->Summe, 24);
}

class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        Start();
        for (const auto& entry : std::filesystem::directory_iterator(Home()))
            if (entry.path().filename().string().rfind(".PlarnPuzzle.ini.unused", 0) == 0)
                std::filesystem::remove_all(entry.path());
        RemoveFile(IniPath());
        RemoveFile(Home() + "/.PlarnPuzzle-00.tmp");
        FoundAtStart();
    }
};

}  // namespace

TEST_F(ConfigurationTest, AHandWrittenPuzzleIsRestoredWithCode1) {
    // Also with LF line ends and whole numbers: the reader drops CRs and reads "200" as 200.
    ASSERT_EQ(Load(Join(RoseLines(), "\n")), 1);
    const TPuzzle& P = *CurrentPuzzle;
    ASSERT_TRUE(P.Bild);
    EXPECT_EQ(GetImageWidth(P.Bild), 960);
    EXPECT_EQ(GetImageHeight(P.Bild), 720);
    EXPECT_EQ(P.Spalten, 2);
    EXPECT_EQ(P.Reihen, 2);
    EXPECT_EQ(P.Summe, 4);
    EXPECT_EQ(*P.Reihenfolge, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(P.x(1, 1), 480);
    EXPECT_EQ(P.y(2, 1), 370);
    // The cut chose scattered positions; the file's replace them.
    EXPECT_EQ(P.Puzzleteil_X(1, 0), 673);
    EXPECT_EQ(P.Puzzleteil_Y(1, 0), 205);
    EXPECT_EQ(P.Puzzleteil_X(1, 1), 600);
    EXPECT_EQ(P.Puzzleteil_Drehwinkel(1, 1), 90.5f);
    EXPECT_EQ(P.Verbund, (std::vector<std::string>{",0/0,1/0,"}));
    EXPECT_EQ(P.fertig, 0);
    // The cut's own tables are there for play: piece (1, 0)'s box starts at 468, so its solved
    // centre is 120 + 468 + 492 / 2.
    EXPECT_FLOAT_EQ(P.Ziel_X(1, 0), 834);
    EXPECT_EQ(ImagePaths[1], kRose);
    EXPECT_EQ(ImagePaths[0], kRose);
    EXPECT_EQ(Sliders[0]->Value, 7.0f);
    // The grid preview is exactly the saved one, not a fresh random grid.
    EXPECT_EQ(GridPreview->Spalten, 6);
    EXPECT_EQ(GridPreview->Reihen, 4);
    EXPECT_EQ(GridPreview->x(3, 2), 480);
    EXPECT_EQ(GridPreview->y(3, 2), 360);
    EXPECT_EQ((*GridPreview->Reihenfolge)[23], 23);
    // The two orders are separate arrays.
    EXPECT_NE(P.Reihenfolge, GridPreview->Reihenfolge);
}

TEST_F(ConfigurationTest, WhatOneRunWritesTheNextRestores) {
    ASSERT_EQ(LoadConfiguration(), 0);  // no file: defaults
    // A puzzle of the player's own 500 x 400 picture (shown as it is: it fits 960 x 720), cut
    // into 4 pieces as the menu does it, then played on. The picture lies deep in folders of
    // legal names: its path is 4000 characters long, as the system allows.
    std::string deep;
    for (size_t left = 4000 - Home().size() - 8; left > 0; left = 4000 - Home().size() - 8 - deep.size())
        deep += std::string(std::min<size_t>(left, 248) - 1, 'd') + "/";
    std::filesystem::create_directories(Home() + "/" + deep);
    const std::string own = WritePicture(deep + "own.png", 500, 400);
    ASSERT_EQ(own.size(), 4000u);
    ASSERT_EQ(ImagePreview->Loading(own, 750, 410, 400, 400, 960, 720, {}), 0);
    GridPreview->Gitter_berechnen(0, 500, 400);
    ImagePaths[0] = ImagePaths[1] = own;
    TPuzzle& P = *CurrentPuzzle;
    P.Gitter_importieren();
    P.importieren();
    ASSERT_TRUE(P.Bild);
    P.Puzzleteil_X(0, 0) = 123.25f;
    P.Puzzleteil_Y(0, 0) = -7.125f;
    P.Puzzleteil_Drehwinkel(0, 0) = 359.999f;
    P.Puzzleteil_X(1, 1) = 1.0f / 3.0f;
    P.Verbund = {",1/1,0/1,", ""};
    (*P.Reihenfolge) = {3, 1, 0, 2};
    // Then the player picks another picture and 16 pieces in the menu.
    SetHorizontalBarValue(0, 5.5f);
    SelectBuiltInMotive(2, 3);
    const TPuzzle saved = P;
    const TGitterPreview grid = *GridPreview;
    const std::vector<int> puzzleOrder = *P.Reihenfolge, gridOrder = *GridPreview->Reihenfolge;
    SaveConfiguration();

    FreshObjects();
    ASSERT_TRUE(OpenAsStartUpDoes());
    ASSERT_EQ(LoadConfiguration(), 1);
    const TPuzzle& Q = *CurrentPuzzle;
    EXPECT_EQ(Sliders[0]->Value, 5.0f);
    EXPECT_EQ(ImagePaths[1], own);
    EXPECT_EQ(ImagePaths[0], "incbin::medien/Reihe1/Berghuette.jpg");
    ASSERT_EQ(GetImageWidth(ImagePreview->Image), 960);  // the preview shows line 14's picture
    EXPECT_EQ(GetImageWidth(Q.Bild), 500);                 // the puzzle is cut from line 13's
    EXPECT_EQ(Q.Summe, 4);
    ASSERT_EQ(Q.Spalten, saved.Spalten);
    ASSERT_EQ(Q.Reihen, saved.Reihen);
    EXPECT_EQ(*Q.Reihenfolge, puzzleOrder);
    for (int i = 0; i <= Q.Spalten; ++i)
        for (int j = 0; j <= Q.Reihen; ++j) {
            EXPECT_EQ(Q.x(i, j), saved.x(i, j));
            EXPECT_EQ(Q.y(i, j), saved.y(i, j));
        }
    for (int i = 0; i < Q.Spalten; ++i)
        for (int j = 0; j < Q.Reihen; ++j) {
            EXPECT_EQ(Q.Puzzleteil_X(i, j), saved.Puzzleteil_X(i, j));
            EXPECT_EQ(Q.Puzzleteil_Y(i, j), saved.Puzzleteil_Y(i, j));
            EXPECT_EQ(Q.Puzzleteil_Drehwinkel(i, j), saved.Puzzleteil_Drehwinkel(i, j));
        }
    EXPECT_EQ(Q.Verbund, saved.Verbund);
    EXPECT_EQ(Q.fertig, 0);
    EXPECT_EQ(GridPreview->Summe, 16);
    ASSERT_EQ(GridPreview->Spalten, grid.Spalten);
    ASSERT_EQ(GridPreview->Reihen, grid.Reihen);
    EXPECT_EQ(*GridPreview->Reihenfolge, gridOrder);
    for (int i = 0; i <= grid.Spalten; ++i)
        for (int j = 0; j <= grid.Reihen; ++j) {
            EXPECT_EQ(GridPreview->x(i, j), grid.x(i, j));
            EXPECT_EQ(GridPreview->y(i, j), grid.y(i, j));
        }
    // A finished puzzle comes back finished.
    CurrentPuzzle->fertig = 2;
    SaveConfiguration();
    FreshObjects();
    OpenAsStartUpDoes();
    EXPECT_EQ(LoadConfiguration(), 1);
    EXPECT_EQ(CurrentPuzzle->fertig, 2);
}

TEST_F(ConfigurationTest, ARunWithoutAPuzzleWritesThisFileAndReadsItBackWithCode3) {
    ASSERT_EQ(LoadConfiguration(), 0);
    SetHorizontalBarValue(0, kPieceSliderMaximum);
    TGitterPreview& G = *GridPreview;
    G.Spalten = 2;
    G.Reihen = 1;
    G.Summe = 2;
    *G.Reihenfolge = {1, 0};
    G.x = Grid2<float>(3, 2);
    G.y = Grid2<float>(3, 2);
    G.x(1, 0) = 0.5f;
    G.x(1, 1) = 480.25f;
    G.x(2, 0) = G.x(2, 1) = 960;
    G.y(0, 1) = G.y(1, 1) = G.y(2, 1) = 720;
    SaveConfiguration();
    // No puzzle: the count it was made with (12), no lines for its order, grid and pieces, an
    // empty puzzle picture, no groups. Nine significant digits, point and zeros kept.
    const std::string expected =
        "1200\r\n900\r\n23\r\n12\r\n2\r\n0\r\n2\r\n0\r\n1\r\n"
        "1\r\n0\r\n"
        "\r\nincbin::medien/Reihe1/Rose.jpg\r\n"
        "0.00000000\r\n0.00000000\r\n0.00000000\r\n720.000000\r\n"
        "0.500000000\r\n0.00000000\r\n480.250000\r\n720.000000\r\n"
        "960.000000\r\n0.00000000\r\n960.000000\r\n720.000000\r\n"
        "0\r\n0\r\n";
    EXPECT_EQ(ReadText(IniPath()), expected);

    FreshObjects();
    OpenAsStartUpDoes();
    EXPECT_EQ(LoadConfiguration(), 3);
    EXPECT_EQ(Sliders[0]->Value, 23.0f);
    EXPECT_EQ(ImagePaths[0], kRose);
    EXPECT_EQ(ImagePaths[1], "");
    EXPECT_FALSE(CurrentPuzzle->Bild);
    EXPECT_EQ(CurrentPuzzle->Summe, 12);
    EXPECT_EQ(GridPreview->Spalten, 2);
    EXPECT_EQ(GridPreview->x(1, 1), 480.25f);
}

TEST_F(ConfigurationTest, TheSliderComesBackAsAWholeNumberAndNeverAtZero) {
    ASSERT_EQ(LoadConfiguration(), 0);
    SetHorizontalBarValue(0, 0);
    SaveConfiguration();
    FreshObjects();
    OpenAsStartUpDoes();
    LoadConfiguration();
    EXPECT_EQ(Sliders[0]->Value, 0.00001f);
    // 23.999 is saved as 23 and comes back as 23.0; a negative hand-edited value is lifted too.
    EXPECT_EQ(Load(Join(With(RoseLines(), 3, "23.999"))), 1);
    EXPECT_EQ(Sliders[0]->Value, 23.999f);
    SaveConfiguration();
    const std::string head = "1200\r\n900\r\n23\r\n";
    EXPECT_EQ(ReadText(IniPath()).substr(0, head.size()), head);
    EXPECT_EQ(Load(Join(With(RoseLines(), 3, "-4"))), 1);
    EXPECT_EQ(Sliders[0]->Value, 0.00001f);
}

TEST_F(ConfigurationTest, AWindowTooLargeForTheDesktopIgnoresTheWholeFileAndTheRunOverwritesIt) {
    FreshObjects();
    std::vector<std::string> lines = With(With(RoseLines(), 1, "1300"), 2, "975");
    WriteText(IniPath(), Join(lines));
    // 1280 x 1024 allows 1200 x 960 at most.
    EXPECT_FALSE(OpenAsStartUpDoes(1280, 1024));
    EXPECT_EQ(LoadConfiguration(), 0);
    ExpectDefaults();
    SaveConfiguration();
    // The current window, the slider's start, a puzzle never cut and a fresh 6 x 4 grid.
    const std::string head = "1200\r\n900\r\n7\r\n12\r\n24\r\n0\r\n6\r\n0\r\n4\r\n";
    EXPECT_EQ(ReadText(IniPath()).substr(0, head.size()), head);
}

TEST_F(ConfigurationTest, ASavedPictureThatCannotBeUsedGivesCode2AndThePreviewFallsBack) {
    // Gone, and the preview picture too.
    const std::string gone = Home() + "/gone.png", text = Join(With(With(RoseLines(), 56, gone), 57, gone));
    UseScriptedDialogs({});
    EXPECT_EQ(Load(text), 2);
    // The puzzle would be lost to this run's save: its file is kept aside, and the player told.
    const std::string ini = IniPath();
    const std::string whose = "holds a puzzle whose picture\n";
    EXPECT_EQ(ScriptedDialogLog(),
              std::vector<std::string>{KeptAsideNotice(ini, whose + "\"" + gone + "\"\nis missing", "",
                                                       "To play that puzzle again once\nthe picture is back")});
    EXPECT_EQ(ReadText(ini + ".unused"), text);
    EXPECT_FALSE(CurrentPuzzle->Bild);
    EXPECT_EQ(ImagePaths[1], "");
    EXPECT_EQ(ImagePaths[0], kRose);
    // The rest of the saved state still stands: slider and grid preview.
    EXPECT_EQ(Sliders[0]->Value, 7.0f);
    EXPECT_EQ(GridPreview->x(3, 2), 480);
    // There but not a picture: the preview's notice, and the same code.
    const std::string junk = Home() + "/junk.png";
    WriteText(junk, "not a picture at all");
    UseScriptedDialogs({});
    EXPECT_EQ(Load(Join(With(RoseLines(), 56, junk))), 2);
    EXPECT_FALSE(CurrentPuzzle->Bild);
    EXPECT_EQ(ScriptedDialogLog().size(), 2u);
    EXPECT_EQ(ImagePaths[0], kRose);
    // The same picture for the preview too: told once, not twice (and the file kept aside).
    UseScriptedDialogs({});
    EXPECT_EQ(Load(Join(With(With(RoseLines(), 56, junk), 57, junk))), 2);
    EXPECT_EQ(ScriptedDialogLog().size(), 2u);
    EXPECT_EQ(ImagePaths[0], kRose);
    EXPECT_EQ(ScriptedDialogLog().back(), KeptAsideNotice(ini, whose + "\"" + junk + "\"\ncan't be read", "-3",
                                                      "To play that puzzle again once\nthe original picture is back"));
    // A built-in name that is not built in: named as the player knows the built-in pictures,
    // and no way back.
    UseScriptedDialogs({});
    EXPECT_EQ(Load(Join(With(RoseLines(), 56, "incbin::medien/Reihe1/Tulpe.jpg"))), 2);
    const std::string tulpe = "the built-in picture \"Tulpe\"";
    EXPECT_EQ(ScriptedDialogLog(),
              (std::vector<std::string>{"This file couldn't be read:\n" + tulpe,
                                        KeptAsideNotice(ini, whose + tulpe + "\nisn't part of this game", "-4")}));
    // A picture of another size than the one the grid was laid on: the grid reaches past the
    // 500 x 400 picture, so it is not cut.
    EXPECT_EQ(Load(Join(With(RoseLines(), 56, WritePicture("small.png", 500, 400)))), 2);
    EXPECT_FALSE(CurrentPuzzle->Bild);
    // A 640 x 480 picture replaced by an 800 x 600 one after the puzzle was saved: the grid
    // lies on the new picture but spans only part of it. Not cut from that part, but kept.
    CutPuzzle(WritePicture("pic.png", 640, 480), 7);
    SaveConfiguration();
    const std::string saved = ReadText(ini);
    const std::string pic = WritePicture("pic.png", 800, 600);
    UseScriptedDialogs({});
    EXPECT_EQ(Load(saved), 2);
    EXPECT_FALSE(CurrentPuzzle->Bild);
    EXPECT_EQ(ScriptedDialogLog(),
              std::vector<std::string>{KeptAsideNotice(ini, whose + "\"" + pic + "\"\nhas another size now", "-6",
                                                       "To play that puzzle again once\nthe original picture is back")});
    EXPECT_EQ(ReadText(ini + ".unused-6"), saved);
    // The puzzle's picture is fine but the preview's cannot be used: the default preview.
    EXPECT_EQ(Load(Join(With(RoseLines(), 57, "/no/such/picture.jpg"))), 1);
    EXPECT_EQ(ImagePaths[0], kRose);
    EXPECT_EQ(Load(Join(With(RoseLines(), 56, ""))), 3);
}

TEST_F(ConfigurationTest, AGridPreviewWithoutCellsOrOffItsPictureIsComputedAfresh) {
    // Hand-edited to no cells: counts 0, no order lines, one corner.
    std::vector<std::string> l = RoseLines();
    std::vector<std::string> cut(l.begin(), l.begin() + 13);
    cut[4] = cut[6] = cut[8] = "0";
    cut.insert(cut.end(), l.begin() + 37, l.begin() + 69);
    cut.push_back("0");
    cut.push_back("0");
    cut.insert(cut.end(), l.begin() + 139, l.end());
    ASSERT_EQ(Load(Join(cut)), 1);
    EXPECT_EQ(GridPreview->Summe, 24);  // slider 7: 24 pieces
    EXPECT_EQ(GridPreview->Spalten, 6);
    EXPECT_EQ(GridPreview->x(6, 0), 960);
    // A corner far beyond the picture.
    ASSERT_EQ(Load(Join(With(RoseLines(), 100, "5000"))), 1);
    EXPECT_EQ(GridPreview->x(6, 4), 960);
    for (int i = 0; i <= 6; ++i)
        for (int j = 0; j <= 4; ++j) EXPECT_LE(GridPreview->x(i, j), 960);
}

TEST_F(ConfigurationTest, DamagedFilesAreRefusedWholeAsIfThereWereNone) {
    const std::vector<std::string> base = RoseLines();
    std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"11 columns", With(With(base, 6, "11"), 4, "22")},
        {"columns without rows", With(base, 6, "0")},
        {"count not columns x rows", With(base, 4, "5")},
        {"order with a piece twice", With(base, 12, "1")},
        {"preview order out of range", With(base, 20, "24")},
        {"an infinite grid corner", With(base, 46, "1e39")},
        {"a piece a long way off", With(base, 67, "-3e7")},
        {"a group token off the grid", With(base, 141, ",2/0,1/0,")},
        {"a group without its last comma", With(base, 141, ",0/0,1/0")},
        {"a group with a letter", With(base, 141, ",0/0,a/0,")},
        {"a piece twice in a group", With(base, 141, ",0/0,0/0,")},
        {"101 groups", With(base, 140, "101")},
        {"finished flag 3", With(base, 142, "3")},
        {"slider past its top", With(base, 3, "24.5")},
        {"a picture path of 5000 characters", With(base, 57, std::string(5000, 'a'))},
    };
    std::vector<std::string> twoGroups = With(base, 140, "2");
    twoGroups.insert(twoGroups.begin() + 141, ",1/0,1/1,");  // (1, 0) is in the first group too
    cases.push_back({"a piece in two groups", twoGroups});
    cases.push_back({"a puzzle grid folded over", With(base, 44, "0")});
    // Lines missing at the end read as 0: inside an order that makes a piece appear twice.
    cases.push_back({"ends inside the puzzle's order", std::vector<std::string>(base.begin(), base.begin() + 11)});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Load(Join(c.second)), 0);
        ExpectDefaults();
    }
    // Beyond any file the game writes: 2 MiB of trailing junk.
    SCOPED_TRACE("2 MiB");
    EXPECT_EQ(Load(Join(base) + std::string(2 << 20, 'x')), 0);
    ExpectDefaults();
}

TEST_F(ConfigurationTest, AFileThatEndsEarlyResumesWhatItHolds) {
    const std::vector<std::string> base = RoseLines();
    // Cut off inside piece (1, 0): its angle and all after it read as empty, so as 0.
    ASSERT_EQ(Load(Join({base.begin(), base.begin() + 65})), 1);
    const TPuzzle* P = CurrentPuzzle.get();
    EXPECT_EQ(P->Puzzleteil_X(1, 0), 673);
    EXPECT_EQ(P->Puzzleteil_Y(1, 0), 205);
    EXPECT_EQ(P->Puzzleteil_Drehwinkel(1, 0), 0);
    EXPECT_EQ(P->Puzzleteil_X(1, 1), 0);
    EXPECT_TRUE(P->Verbund.empty());
    EXPECT_EQ(GridPreview->Summe, 24);  // its grid lost: a fresh one for slider 7
    EXPECT_EQ(GridPreview->x(6, 0), 960);
    // Without the group and the finished flag, the last without its line end: the saved grid
    // preview stands, the group is there but empty.
    std::string text = Join({base.begin(), base.end() - 2});
    ASSERT_EQ(Load(text.substr(0, text.size() - 2)), 1);
    P = CurrentPuzzle.get();
    EXPECT_EQ(P->Verbund, std::vector<std::string>{""});
    EXPECT_EQ(P->Puzzleteil_Drehwinkel(1, 1), 90.5f);
    EXPECT_EQ(GridPreview->x(3, 2), 480);
    EXPECT_EQ(P->fertig, 0);
}

TEST_F(ConfigurationTest, AFileNotUsedIsKeptAsideBesideTheOnesBeforeOrElseNeverOverwritten) {
    const std::string ini = IniPath(), damaged = "is damaged";
    // Refused (an order value of 222, a line of 200 KB, binary junk, over 1 MiB) or ignored (a
    // window wider than 1920 x 0.9375): told once why, and kept beside the files kept before,
    // never over one (nor over a folder in the way); the next start uses this run's new file.
    const std::vector<std::pair<std::string, std::string>> files = {
        {Join(With(RoseLines(), 12, "222")), damaged},
        {Join(With(RoseLines(), 57, std::string(200000, 'a'))), damaged},
        {std::string("\x89\xff\0\r\x01junk", 10), damaged},
        {Join(RoseLines()) + std::string(1 << 20, '\n'), damaged},
        {Join(With(RoseLines(), 1, "2000")),
         "was saved for a window of 2000 x 900 pixels,\nlarger than this desktop allows (1800 x 1012)"}};
    mkdir((ini + ".unused-3").c_str(), 0700);
    const std::vector<std::string> suffixes = {"", "-2", "-4", "-5", "-6"};
    for (size_t k = 0; k < files.size(); ++k) {
        UseScriptedDialogs({});
        EXPECT_EQ(Load(files[k].first), 0);
        SaveConfiguration();
        EXPECT_EQ(Load(ReadText(ini)), 3);
        EXPECT_EQ(ScriptedDialogLog(), std::vector<std::string>{KeptAsideNotice(
                                           ini, files[k].second, suffixes[k],
                                           k == 4 ? "To use it again on a larger desktop" : "")});
    }
    for (size_t k = 0; k < files.size(); ++k)
        EXPECT_TRUE(ReadText(ini + ".unused" + suffixes[k]) == files[k].first) << k;  // (too long to print)
    UseScriptedDialogs({});
    EXPECT_EQ(Load(""), 0);  // an empty file holds nothing to lose
    EXPECT_TRUE(ScriptedDialogLog().empty() && GetPathKind(ini + ".unused-7") == 0);
    // Every name beside it taken: the file stays, and this run says it will not save.
    for (int n = 7; n <= 99; ++n) mkdir((ini + ".unused-" + std::to_string(n)).c_str(), 0700);
    UseScriptedDialogs({});
    EXPECT_EQ(Load(files[0].first), 0);
    SaveConfiguration();
    EXPECT_EQ(ScriptedDialogLog(),
              std::vector<std::string>{NotKeptNotice(ini, damaged, "every name for it is taken")});
    EXPECT_EQ(ReadText(ini), files[0].first);
    // Unreadable for the player (mode 000): moved aside from a home the player may write, past a
    // folder in the way; in one the player may not, left as it is, at start and at the end.
    char pattern[] = "/tmp/plarn_player_XXXXXX";
    const std::string home = mkdtemp(pattern), mine = home + "/.PlarnPuzzle.ini", old = Join(RoseLines());
    mkdir((mine + ".unused").c_str(), 0777);
    for (mode_t folder : {0777, 0555}) {
        chmod(home.c_str(), 0777);
        WriteText(mine, old);
        chmod(mine.c_str(), 0);
        chmod(home.c_str(), folder);
        EXPECT_TRUE(HoldsAsUnprivilegedUser([&] {
            setenv("HOME", home.c_str(), 1);
            UseScriptedDialogs({});
            const bool unreadable = !OpenFileForReading(mine);
            LoadConfiguration();
            SaveConfiguration();  // says nothing more
            const std::string told = folder == 0777
                                         ? KeptAsideNotice(mine, "couldn't be read", "-2")
                                         : NotKeptNotice(mine, "couldn't be read", "its folder may not be written");
            return unreadable && ScriptedDialogLog() == std::vector<std::string>{told};
        })) << std::oct << folder;
        chmod(home.c_str(), 0777);
        chmod((folder == 0777 ? mine + ".unused-2" : mine).c_str(), 0600);
        EXPECT_EQ(ReadText(folder == 0777 ? mine + ".unused-2" : mine), old);
        EXPECT_EQ(ReadText(mine) == old, folder == 0555);  // a new file beside it, or nothing written
    }
    std::filesystem::remove_all(home);
}

TEST_F(ConfigurationTest, AFileChangedWhileTheGameRunsStaysAndThisRunsStateIsKeptBesideIt) {
    const std::string ini = IniPath(), gone = Home() + "/gone.png", other = "1200\r\n900\r\nanother game's\r\n";
    const std::string changed = "Your configuration file\n\"" + ini + "\"\nwas changed while this game ran, so it stays "
                                "as it is.\nThis game's configuration ";
    auto keptAs = [&](const std::string& suffix) {
        return std::vector<std::string>{changed + "is kept as\n\"" + ini + ".unused" + suffix +
                                        "\".\nTo use that one instead, rename\n\".PlarnPuzzle.ini.unused" + suffix +
                                        "\"\nto \".PlarnPuzzle.ini\" once this game has ended."};
    };
    // Kept aside at start (its picture is gone), and put back by the player while the game runs.
    const std::string player = Join(With(With(RoseLines(), 56, gone), 57, gone));
    EXPECT_EQ(Load(player), 2);
    ASSERT_EQ(rename((ini + ".unused").c_str(), ini.c_str()), 0);
    UseScriptedDialogs({});
    SaveConfiguration();
    EXPECT_EQ(ScriptedDialogLog(), keptAs(""));
    EXPECT_EQ(ReadText(ini), player);
    EXPECT_EQ(ReadText(ini + ".unused"), Join(ConfigurationLines()));
    // Saved into by a second game where no lock holds.
    WriteText(ini, other);
    UseScriptedDialogs({});
    SaveConfiguration();
    EXPECT_EQ(ScriptedDialogLog(), keptAs("-2"));
    EXPECT_EQ(ReadText(ini), other);
    // As the player, under umask 027: kept beside a file of mode 0600 with that mode; in a home
    // that may not be written (where no lock can be made), nothing is kept, and the file stays.
    EXPECT_TRUE(HoldsAsOrdinaryUser([&](const std::string& dir) {
        const std::string mine = dir + "/.PlarnPuzzle.ini";
        setenv("HOME", dir.c_str(), 1);
        WriteText(mine, "the first game's");
        FoundAtStart();
        umask(027);
        WriteText(mine, other);
        chmod(mine.c_str(), 0600);
        SaveConfiguration();
        struct stat st;
        const bool kept = stat((mine + ".unused").c_str(), &st) == 0 && (st.st_mode & 0777) == 0600;
        chmod(dir.c_str(), 0500);
        UseScriptedDialogs({});
        SaveConfiguration();
        return kept && ReadText(mine) == other &&
               ScriptedDialogLog().back().find("couldn't be saved beside it.\nYou may not write to its folder.") !=
                   std::string::npos;
    }));
}

TEST_F(ConfigurationTest, SavingReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    ASSERT_EQ(LoadConfiguration(), 0);
    WriteText(IniPath(), "old");
    FoundAtStart();
    // A file of the player's with the name the game would write beside it first stays as it is.
    const std::string mine = Home() + "/.PlarnPuzzle-00.tmp";
    WriteText(mine, "mine");
    const std::set<std::string> files = FilesIn(Home());
    diskLog.clear();
    SaveConfiguration();
    EXPECT_EQ(ReadText(IniPath()).substr(0, 11), "1200\r\n900\r\n");
    EXPECT_EQ(ReadText(mine), "mine");
    EXPECT_EQ(FilesIn(Home()), files);
    EXPECT_TRUE(ScriptedDialogLog().empty());
    // The new file is on the disk before it takes the name, and the name is on the disk after.
    struct stat file, folder;
    ASSERT_TRUE(stat(IniPath().c_str(), &file) == 0 && stat(Home().c_str(), &folder) == 0);
    EXPECT_EQ(diskLog, (std::vector<std::string>{"sync " + std::to_string(file.st_ino), "rename " + IniPath(),
                                                 "sync " + std::to_string(folder.st_ino)}));
    RemoveFile(mine);
    // As the player: its permission bits stay, whatever the umask.
    EXPECT_TRUE(HoldsAsOrdinaryUser([](const std::string& dir) {
        setenv("HOME", dir.c_str(), 1);
        return SavingKeepsModes(dir + "/.PlarnPuzzle.ini", [] { FoundAtStart(), SaveConfiguration(); });
    }));
    // A file kept elsewhere behind a link is replaced there, and the link stays a link, also where
    // that file is not made yet (a dotfile manager's link, here through a second, relative one).
    const std::string kept = Home() + "/kept.ini", made = Home() + "/made.ini";
    WriteText(kept, "old");
    RemoveFile(IniPath());
    ASSERT_EQ(symlink(kept.c_str(), IniPath().c_str()), 0);
    FoundAtStart();
    SaveConfiguration();
    EXPECT_EQ(ReadText(kept).substr(0, 11), "1200\r\n900\r\n");
    RemoveFile(kept);
    ASSERT_EQ(symlink("made.ini", kept.c_str()), 0);
    FoundAtStart();
    SaveConfiguration();
    struct stat st, st2;
    EXPECT_TRUE(lstat(IniPath().c_str(), &st) == 0 && S_ISLNK(st.st_mode) && lstat(kept.c_str(), &st2) == 0 &&
                S_ISLNK(st2.st_mode));
    EXPECT_EQ(ReadText(made).substr(0, 11), "1200\r\n900\r\n");
    EXPECT_TRUE(ScriptedDialogLog().empty());
    RemoveFile(kept);
    RemoveFile(made);
    RemoveFile(IniPath());
}

TEST_F(ConfigurationTest, WhenTheFileCannotBeWrittenThePlayerIsToldWhyAndTheOldFileStays) {
    ASSERT_EQ(LoadConfiguration(), 0);
    const std::string home = Home();
    auto told = [](const std::string& why) { return std::vector<std::string>{kNotice + "\n" + why}; };
    // A folder in the file's place.
    mkdir(IniPath().c_str(), 0700);
    FoundAtStart();
    SaveConfiguration();
    EXPECT_EQ(ScriptedDialogLog(), told("It is not a regular file."));
    EXPECT_EQ(GetPathKind(IniPath()), 2);
    rmdir(IniPath().c_str());
    // A link into a folder not made yet stays a link.
    UseScriptedDialogs({});
    ASSERT_EQ(symlink("dotfiles/plarn.ini", IniPath().c_str()), 0);
    SaveConfiguration();
    EXPECT_EQ(ScriptedDialogLog(), told("It is a link into a folder that doesn't exist."));
    struct stat st;
    EXPECT_TRUE(lstat(IniPath().c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    RemoveFile(IniPath());
    // A home that does not exist.
    UseScriptedDialogs({});
    setenv("HOME", (home + "/missing").c_str(), 1);
    SaveConfiguration();
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(ScriptedDialogLog(), told("Its folder doesn't exist."));
    // As the player, a home that may not be written, and nothing in it to write into.
    EXPECT_TRUE(HoldsAsOrdinaryUser([&](const std::string& dir) {
        setenv("HOME", dir.c_str(), 1);
        chmod(dir.c_str(), 0500);
        UseScriptedDialogs({});
        SaveConfiguration();
        return ScriptedDialogLog() == told("You may not write to its folder.");
    }));
}

TEST_F(ConfigurationTest, AFullDiskKeepsTheOldFile) {
    ASSERT_EQ(LoadConfiguration(), 0);
    const std::string old = Join(RoseLines());
    WriteText(IniPath(), old);
    FoundAtStart();
    const std::set<std::string> files = FilesIn(Home());
    // A child process that may write files of 100 bytes at most: the save runs out of room.
    EXPECT_TRUE(HoldsWithFileSizeLimit(100, [] {
        UseScriptedDialogs({});
        SaveConfiguration();
        return ScriptedDialogLog() == std::vector<std::string>{kNotice + "\nThere is no room for it on the disk."};
    })) << "the notice was not shown";
    EXPECT_EQ(ReadText(IniPath()), old);
    EXPECT_EQ(FilesIn(Home()), files);
}

TEST_F(ConfigurationTest, AKillWhileWritingLeavesTheOldFileOrTheNewOneNeverAMix) {
    ASSERT_EQ(LoadConfiguration(), 0);
    // Two states whose files differ in size and content; long paths make each file several
    // write buffers long, so a kill can land between the writes of one file. Every round starts
    // from a third file, so only the writer can bring the other two.
    ImagePaths[1] = std::string(6000, 'a');
    const std::string a = Join(ConfigurationLines());
    ImagePaths[1] = std::string(9000, 'b');
    SetHorizontalBarValue(0, 20);
    const std::string b = Join(ConfigurationLines());
    const std::string seed = Join(RoseLines());
    std::mt19937 random(8);
    int seenA = 0, seenB = 0;
    // Most kills fall within a few milliseconds of the start; should a busy machine never let the
    // writer finish one file in that time, a few rounds more wait for a first replacement.
    for (int round = 0; round < 200 || ((seenA == 0 || seenB == 0) && round < 220); ++round) {
        WriteText(IniPath(), seed);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            FoundAtStart();
            for (int k = round;; ++k) {  // half the writers begin with a, half with b
                ImagePaths[1] = std::string(k % 2 ? 9000 : 6000, k % 2 ? 'b' : 'a');
                SetHorizontalBarValue(0, k % 2 ? 20.0f : 7.5f);
                SaveConfiguration();
            }
        }
        // Read over and over while the writer replaces the file, then once more after the kill:
        // every read finds one whole file.
        const auto pause = std::chrono::microseconds(std::uniform_int_distribution<unsigned>(0, 8000)(random));
        const bool patient = round >= 200;
        auto end = std::chrono::steady_clock::now() + (patient ? std::chrono::seconds(30) : pause);
        bool replaced = !patient;
        std::string now;
        bool running = true, whole = true;
        while (whole && running) {
            if (!replaced && now != seed && !now.empty()) {
                replaced = true;
                end = std::chrono::steady_clock::now() + pause;
            }
            if (std::chrono::steady_clock::now() >= end) {  // the last read comes after the kill
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
                running = false;
            }
            now = ReadText(IniPath());
            whole = now == seed || now == a || now == b;
            seenA += now == a;
            seenB += now == b;
        }
        if (running) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
        ASSERT_TRUE(whole) << "round " << round << ": " << now.size() << " bytes";
    }
    // The writer did get to replace the file, both ways.
    EXPECT_GT(seenA, 0);
    EXPECT_GT(seenB, 0);
}
