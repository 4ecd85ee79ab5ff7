// The puzzle file: what a save writes, what an open restores (also in a window of another size),
// the files it refuses while the game stays exactly as it was, and saves that fail.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <tuple>

#include "core/Configuration.h"
#include "core/PictureCatalogue.h"
#include "core/puzzle/PuzzleFile.h"
#include "tests/core/GameState.h"
#include "tests/support/ChildProcess.h"

using namespace gamestate;

namespace {

// A puzzle of the player's own picture, cut as the menu cuts it and then played on.
void MakePuzzle(const std::string& picture, int index) {
    CutPuzzle(picture, index);
    TPuzzle& P = *CurrentPuzzle;
    P.Puzzleteil_X(0, 0) = 123.25f;
    P.Puzzleteil_Y(1, 0) = -7.5f;
    P.Puzzleteil_Drehwinkel(0, 1) = 359.5f;
    P.Verbund = {",1/1,0/1,", ""};
    P.fertig = 1;
    SetHorizontalBarValue(0, 5.5f);
}

// The chooser's answer, then whether to replace a file that exists.
std::string Save(const std::string& answer, const std::string& replace = "0") {
    UseScriptedDialogs({answer, replace});
    EXPECT_EQ(SavePuzzleFile(), 0);
    return ScriptedDialogLog().back() == "Save puzzle" ? "" : ScriptedDialogLog().back();
}

int Open(const std::vector<std::string>& answers) {
    UseScriptedDialogs(answers);
    return OpenPuzzleFile();
}

// How much more memory the process held at its peak while step ran than before, in MiB.
long PeakGrowthMiB(const std::function<void()>& step) {
    const auto peak = [] {
        std::ifstream status("/proc/self/status");
        long kib = 0;
        for (std::string key; status >> key && key != "VmHWM:";) {}
        status >> kib;
        return kib;
    };
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from now
    const long before = peak();
    step();
    return (peak() - before) / 1024;
}

class PuzzleFileTest : public ::testing::Test {
protected:
    void SetUp() override { Start(); }
};

}  // namespace

TEST_F(PuzzleFileTest, WhatASaveWritesAnOpenRestores) {
    // In a folder whose name holds "::", which only the game's own prefix gives a meaning.
    const std::string folder = Home() + "/a::b";
    mkdir(folder.c_str(), 0700);
    const std::string own = WritePicture("a::b/own.png", 1200, 900);
    MakePuzzle(own, 0);
    // The player then shows a built-in picture of the same display size with another grid.
    SelectBuiltInMotive(2, 3);
    ImagePaths[0] = ImagePaths[1];
    const std::vector<std::string> expected = ConfigurationLines();  // both paths the puzzle's
    ImagePaths[0] = "incbin::medien/Reihe1/Berghuette.jpg";
    EXPECT_EQ(Save(folder + "/board.PNG"), "");
    EXPECT_EQ(Save(folder + "/board.jpg"), "");
    const std::string longest(251, 'n');  // with ".png" as long as a name may be
    EXPECT_EQ(Save(folder + "/" + longest), "");
    EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"own.png", "board.png", "board.jpg.png", longest + ".png"}));
    // A PNG of the window, then the marker and lines 3 to 10.
    const std::string bytes = ReadText(folder + "/board.png");
    const std::string head = std::string("IEND\xAE\x42\x60\x82\r\nAdded PlarnPuzzle-Datas:\r\n") + own +
                             "\r\n1200\r\n900\r\n1200\r\n900\r\n960.000000\r\n720.000000\r\n5\r\n";
    const size_t at = bytes.find(head);
    ASSERT_NE(at, std::string::npos);
    TPixmapPtr png = DecodePixmapFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), at + 8);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width * 10000 + png->height, 1200 * 10000 + 900);

    FreshObjects();
    ASSERT_EQ(Open({folder + "/board.png"}), 1);
    EXPECT_EQ(ConfigurationLines(), expected);
    EXPECT_EQ(Sliders[0]->Value, 5.0f);
    EXPECT_EQ(CurrentPuzzle->Bild, ImagePreview->Image);
    EXPECT_NE(CurrentPuzzle->Reihenfolge, GridPreview->Reihenfolge);
    EXPECT_EQ(ScriptedDialogLog(), std::vector<std::string>{"Open puzzle"});
}

TEST_F(PuzzleFileTest, AnotherWindowHeightRescalesEveryCoordinate) {
    // A 640 x 480 picture shown unscaled in a 1200 x 900 window, opened in a 600 x 450 one where
    // it is shown at 480 x 360: s = 0.5 at first, raised to 480 / 640 for the grids, while the
    // pieces keep their places in the window, halved. The group 1/1 + 0/1 is saved joined.
    const std::string picture = WritePicture("640.png", 640, 480);
    MakePuzzle(picture, 3);
    CurrentPuzzle->Abgehandelter_Verbund = TPuzzle::PieceKey(1, 1);
    CurrentPuzzle->Verbund_positionieren(1, 1, 0);
    EXPECT_EQ(Save(Home() + "/small"), "");
    const TPuzzle saved = *CurrentPuzzle;
    const TGitterPreview grid = *GridPreview;
    Start(600, 450);
    ASSERT_EQ(Open({Home() + "/small.png"}), 1);
    const TPuzzle& P = *CurrentPuzzle;
    ASSERT_EQ(GetImageWidth(P.Bild), 480);
    ASSERT_EQ(P.Spalten * 100 + P.Reihen, saved.Spalten * 100 + saved.Reihen);
    for (int i = 0; i <= P.Spalten; ++i)
        for (int j = 0; j <= P.Reihen; ++j) {
            EXPECT_EQ(std::make_pair(P.x(i, j), GridPreview->y(i, j)), std::make_pair(0.75f * saved.x(i, j), 0.75f * grid.y(i, j)));
            if (i == P.Spalten || j == P.Reihen) continue;
            const float x = P.Puzzleteil_X(i, j), y = P.Puzzleteil_Y(i, j);
            EXPECT_TRUE(x >= 0 && x <= 600 && y >= -3.75f && y <= 450) << i << "/" << j;  // 1/0 was just above
            EXPECT_EQ(P.Puzzleteil_Drehwinkel(i, j), saved.Puzzleteil_Drehwinkel(i, j));
            if (j == 1 && i < 2) continue;  // grouped
            EXPECT_EQ(std::make_pair(x, y), std::make_pair(0.5f * saved.Puzzleteil_X(i, j), 0.5f * saved.Puzzleteil_Y(i, j)));
        }
    EXPECT_NEAR(std::hypot(P.Puzzleteil_X(1, 1) - P.Puzzleteil_X(0, 1), P.Puzzleteil_Y(1, 1) - P.Puzzleteil_Y(0, 1)),
                P.Nachbar_Abstand(0, 1, 0), 0.01f);
    EXPECT_TRUE(P.PairSnaps(0, 1, 0));
    EXPECT_EQ(P.Verbund, saved.Verbund);
}

TEST_F(PuzzleFileTest, RefusedFilesLeaveTheGameAsItWas) {
    const std::string picture = WritePicture("p.png", 640, 480);
    MakePuzzle(picture, 0);
    Save(Home() + "/good.png");
    const std::string good = ReadText(Home() + "/good.png");
    auto edited = [&](const std::string& name, const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        WriteText(Home() + "/" + name, text);
        return Home() + "/" + name;
    };
    const std::string damaged = "The PLARNPUZZLE-datas of this file are damaged!\nSo you can't open the puzzle file.";
    const std::string noMarker = "The selected PNG-image doesn't\n contain added PLARNPUZZLE-datas!";
    const std::string otherSize = "The selected image has another size\nthan the original image you need!\nTo avoid "
                                  "fatal problems the puzzle\nwill not be opened!";
    const auto lostQuestion = [](const std::string& path) {
        return "The original image, you selected to create the puzzle\n\"" + path +
               "\"\nwas not found! Do you want to find the original image?\nOtherwise the puzzle-file can't be opened.";
    };
    const std::string broken = Home() + "/broken.jpg";
    WriteText(broken, std::string(5000, 'x'));
    std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{WritePicture("plain.png", 300, 200)}, noMarker},
        {{edited("lower.png", "Added PlarnPuzzle-Datas:", "added plarnpuzzle-datas:")}, noMarker},
        {{Home() + "/none.png"}, "This file wasn't found:\n\"" + Home() + "/none.png\""},
        {{picture + ".txt"}, "Only PNG-images with added\nPLARNPUZZLE-datas are able to load!"},
        {{edited("wide.png", "\r\n640\r\n480\r\n", "\r\n641\r\n480\r\n")}, otherSize},
        {{edited("cols.png", "\r\n5\r\n4\r\n4\r\n", "\r\n5\r\n4\r\n4\r\n4\r\n")}, damaged},
        {{edited("lost.png", picture, Home() + "/gone.png"), "0"}, lostQuestion(Home() + "/gone.png")},
        // Only the game's own prefix names a built-in picture: any other is shown as the path.
        {{edited("look.png", picture, "Incbin::medien/Reihe1/Rose.jpg"), "0"},
         lostQuestion("Incbin::medien/Reihe1/Rose.jpg")},
        {{edited("broken.png", picture, broken)}, "This file couldn't be read as a picture:\n\"" + broken + "\""},
        {{Home() + "/lost.png", "1", ""}, "You cancelled the search to the original image.\nSo you can't open the puzzle file."},
        {{Home() + "/lost.png", "1", WritePicture("other.png", 600, 480)}, otherSize},
        {{Home() + "/lost.png", "1", Home() + "/x\ny.png"},
         "The name of the selected file contains a line break.\nSo you can't open the puzzle file."},
    };
    WriteText(picture + ".txt", good);
    // Cut off halfway through the lines after the PNG; a piece's angle that is no number.
    WriteText(Home() + "/cut.png", good.substr(0, (good.size() + good.find("Added PlarnPuzzle")) / 2));
    cases.push_back({{Home() + "/cut.png"}, damaged});
    cases.push_back({{edited("nan.png", "\r\n359.500000\r\n", "\r\nnan\r\n")}, damaged});
    const std::vector<std::string> before = Snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first[0]);
        EXPECT_EQ(Open(c.first), 0);
        EXPECT_EQ(ScriptedDialogLog().back(), c.second);
        EXPECT_EQ(Snapshot(), before);
    }
    // Lines far longer than any the game writes, among the picture's bytes, as the picture's path
    // and as a piece's angle: refused without ever being held.
    const std::string huge(8 << 20, 'x');
    WriteText(Home() + "/huge.png", huge);
    for (const auto& [path, notice] : std::vector<std::pair<std::string, std::string>>{
             {Home() + "/huge.png", noMarker},
             {edited("hugepath.png", picture, huge), damaged},
             {edited("hugeangle.png", "\r\n359.500000\r\n", "\r\n" + huge + "\r\n"), damaged}}) {
        EXPECT_LT(PeakGrowthMiB([&] { EXPECT_EQ(Open({path}), 0); }), 4) << path;
        EXPECT_EQ(ScriptedDialogLog().back(), notice);
    }
    EXPECT_EQ(Snapshot(), before);
    // The picture found in its new place is used from then on.
    const std::string moved = WritePicture("moved.png", 640, 480);
    ASSERT_EQ(Open({Home() + "/lost.png", "1", moved}), 1);
    EXPECT_EQ(ImagePaths, std::vector<std::string>(2, moved));
}

TEST_F(PuzzleFileTest, AGridPreviewLaidOverAnotherPictureIsWorkedOutAfreshForThePuzzlesPicture) {
    // Saved while the preview showed a 500 x 400 picture; the puzzle's own shows at 960 x 720.
    MakePuzzle(WritePicture("big.png", 1200, 900), 0);
    ImagePreview->Loading(ImagePaths[0] = WritePicture("own.png", 500, 400), 750, 410, 400, 400, 960, 720, {});
    GridPreview->Gitter_berechnen(5, 500, 400);
    Save(Home() + "/mixed.png");
    ASSERT_EQ(Open({Home() + "/mixed.png"}), 1);
    // The slider's 16 pieces over 960 x 720: 4 by 4, spanning the picture.
    const TGitterPreview& G = *GridPreview;
    EXPECT_EQ(std::make_tuple(G.Summe, G.Spalten, G.x(4, 2), G.y(3, 4)), std::make_tuple(16, 4, 960.0f, 720.0f));
}

TEST_F(PuzzleFileTest, AFailedSaveSaysSoAndKeepsTheEarlierFile) {
    EXPECT_EQ(Save("unused"), "There is no puzzle yet!");
    EXPECT_EQ(ScriptedDialogLog().size(), 1u);  // no path asked for
    MakePuzzle(WritePicture("p.png", 640, 480), 0);
    EXPECT_EQ(Save(Home() + "/no/such/folder/x"),
              "The puzzle could not be saved as\n\"" + Home() + "/no/such/folder/x.png\"\nIts folder doesn't exist.");
    // Out of room (a child that may write 100 bytes) while saving over an earlier file.
    const std::string path = Home() + "/earlier.png";
    WriteText(path, "the earlier save");
    std::set<std::string> before = FilesIn(Home());
    EXPECT_TRUE(HoldsWithFileSizeLimit(100, [&] {
        return Save(path, "1") == "The puzzle could not be saved as\n\"" + path + "\"\nThere is no room for it on the disk.";
    })) << "no notice";
    EXPECT_EQ(ReadText(path), "the earlier save");
    EXPECT_EQ(FilesIn(Home()), before);
    // Out of room only after the picture: its lines do not fit. Nothing is renamed over the earlier
    // file and no part of the new one stays behind.
    Save(Home() + "/whole.png");
    const size_t pictureBytes = ReadText(Home() + "/whole.png").find("\r\nAdded PlarnPuzzle-Datas:\r\n");
    ASSERT_NE(pictureBytes, std::string::npos);
    before = FilesIn(Home());
    EXPECT_TRUE(HoldsWithFileSizeLimit(pictureBytes + 10, [&] {
        return Save(path, "1") == "The puzzle could not be saved as\n\"" + path + "\"\nThere is no room for it on the disk.";
    })) << "no notice";
    EXPECT_EQ(ReadText(path), "the earlier save");
    EXPECT_EQ(FilesIn(Home()), before);
}

TEST_F(PuzzleFileTest, SavingOverAFileAsksFirstAndNeverTakesAPictureInUse) {
    const std::string picture = WritePicture("p.png", 640, 480), mine = Home() + "/mine.png";
    MakePuzzle(picture, 0);
    WritePicture("shown.png", 640, 480);
    ImagePaths[0] = Home() + "/Shown.PNG";  // spelled as an old file may name it
    const std::string photo = ReadText(picture), notSaved = "The puzzle could not be saved as\n\"";
    auto question = [](const std::string& path) {
        return "The file\n\"" + path + "\"\nalready exists! Do you want to replace it?";
    };
    WriteText(mine, "mine");
    EXPECT_EQ(Save(Home() + "/mine", "0"), question(mine));  // No, Escape or closing the box
    EXPECT_EQ(ReadText(mine), "mine");
    EXPECT_EQ(Save(mine, "1"), question(mine));
    EXPECT_NE(ReadText(mine).find("Added PlarnPuzzle-Datas:"), std::string::npos);
    // Refused whatever the answer would be, and before any question.
    ASSERT_EQ(symlink(picture.c_str(), (Home() + "/link.png").c_str()), 0);
    ASSERT_EQ(symlink("/dev/null", (Home() + "/null.png").c_str()) + mkfifo((Home() + "/fifo.png").c_str(), 0666), 0);
    for (const auto& [answer, notice] : std::vector<std::pair<std::string, std::string>>{
             {"/link", "/link.png\"\nIt is the image the puzzle is made of!"},
             {"/null", "/null.png\"\nIt is not a regular file."},
             {"/fifo", "/fifo.png\"\nIt is not a regular file."},
             {"/./shown.PNG", "/./shown.png\"\nIt is the image shown in the menu!"},
             {"/a\nb", "/a\nb.png\"\nA file name must not contain a line break."}}) {
        EXPECT_EQ(Save(Home() + answer, "1"), notSaved + Home() + notice);
        EXPECT_EQ(ScriptedDialogLog().size(), 2u);
    }
    EXPECT_EQ(ReadText(picture), photo);
    EXPECT_EQ(GetPathKind(Home() + "/a\nb.png"), 0);
    // As a player, whom permissions bind: a replaced file keeps its link and its permission bits
    // (whatever the umask), a read-only one is refused before any question, and in a folder without
    // write permission the file is written into.
    EXPECT_TRUE(HoldsAsOrdinaryUser([&](const std::string& dir) {
        const std::string ro = dir + "/ro.png", rw = dir + "/rw.png", link = dir + "/link.png";
        WriteText(ro, "ro");
        WriteText(rw, "rw");
        struct stat st;
        EXPECT_TRUE(!chmod(ro.c_str(), 0444) && !chmod(rw.c_str(), 0640) && !symlink(rw.c_str(), link.c_str()));
        EXPECT_EQ(Save(ro, "1"), notSaved + ro + "\"\nYou may not write to it.");
        EXPECT_EQ(ScriptedDialogLog().size(), 2u);
        EXPECT_EQ(ReadText(ro), "ro");
        EXPECT_TRUE(SavingKeepsModes(rw, [&] { Save(rw, "1"); }));
        EXPECT_EQ(Save(link, "1"), question(link));
        EXPECT_TRUE(!lstat(link.c_str(), &st) && S_ISLNK(st.st_mode) && !stat(rw.c_str(), &st) && (st.st_mode & 0777) == 0640);
        EXPECT_EQ(ReadText(rw).substr(1, 3), "PNG");
        WriteText(rw, "rw");
        chmod(dir.c_str(), 0500);
        EXPECT_EQ(Save(rw, "1"), question(rw));
        EXPECT_EQ(ReadText(rw).substr(1, 3), "PNG");
        EXPECT_EQ(Save(dir + "/new", "1"), notSaved + dir + "/new.png\"\nYou may not write to its folder.");
        return !HasFailure();
    }));
}
