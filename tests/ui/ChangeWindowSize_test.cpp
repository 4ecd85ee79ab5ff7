// The window sizes the size dialog offers, and a puzzle in progress carried through a change of
// the window's size (or kept as it was when the change cannot be made). Without X.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/Configuration.h"
#include "core/layer/Input.h"
#include "font/ChaosFontModule.h"
#include "tests/core/GameState.h"
#include "ui/ChangeWindowSizeDialog.h"
#include "ui/RunMainMenu.h"
#include "ui/TMacDockImitat_Horizontal.h"

using namespace gamestate;

TEST(WindowSizes, FourToThreeFromTheScaleAndTheSliderOnThreeDesktops) {
    // A 1350-wide window at the start-up scale 0.9f: 1500 x 0.89999998 + 2 is just under 1352.
    EXPECT_EQ(WindowSizeForScale(0.9f).width * 10000 + WindowSizeForScale(0.9f).height, 13481011);
    EXPECT_EQ(WindowSizeForScale(1024.0f / 1500).width * 10000 + WindowSizeForScale(1024.0f / 1500).height, 10240768);
    struct Case { int dw, dh; float smax; int top; };
    for (const Case& c : {Case{1920, 1080, 0.9f, 13481011}, Case{1280, 1024, 0.8f, 12000900},
                          Case{1024, 768, 0.64f, 9600720}}) {
        const float smax = LargestWindowScale(c.dw, c.dh);
        EXPECT_FLOAT_EQ(smax, c.smax) << c.dw;
        const TWindowSize top = WindowSizeForScale(ScaleForSliderValue(23.999f, smax));
        const TWindowSize bottom = WindowSizeForScale(ScaleForSliderValue(0, smax));
        EXPECT_EQ(top.width * 10000 + top.height, c.top) << c.dw;
        EXPECT_EQ(bottom.width * 10000 + bottom.height, 4000300) << c.dw;
    }
    // 0.26666668 + 0.63333333 x 10.56 / 24 = 0.545333355, a float of 0.545333326: 1500 x it + 2
    // is just under 820, so 816 (rounding every step in single precision gave 820).
    EXPECT_EQ(WindowSizeForScale(ScaleForSliderValue(10.56f, 0.9f)).width, 816);
}

namespace {
// A 1200 x 900 game with a 12-piece puzzle of a 1600 x 1200 picture in play: moved, turned,
// two groups and a shuffled draw order.
class ResizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Start(1200, 900);
        ChaosFontModuleInit();
        picture = WritePicture("big.png", 1600, 1200);
        ASSERT_EQ(ImagePreview->Loading(picture, 750, 410, 400, 400, 960, 720, {}), 0);
        GridPreview->Gitter_berechnen(3, 960, 720);
        ImagePaths[0] = ImagePaths[1] = picture;
        P().Gitter_importieren();
        P().importieren();
        ASSERT_EQ(GetImageWidth(P().Bild), 960);
        for (int i = 0; i < P().Spalten; ++i)
            for (int j = 0; j < P().Reihen; ++j) {
                P().Puzzleteil_X(i, j) = 100.0f + 70 * i + j;
                P().Puzzleteil_Y(i, j) = 50.0f + 60 * j + 0.5f * i;
                P().Puzzleteil_Drehwinkel(i, j) = 30.0f * (i + j);
            }
        P().Verbund = {",0/0,1/0,", ",2/2,2/1,3/2,"};
        (*P().Reihenfolge) = {11, 3, 0, 7, 1, 2, 10, 4, 5, 6, 8, 9};
        P().fertig = 1;
        before = P();
        order = *P().Reihenfolge;
    }
    TPuzzle& P() { return *CurrentPuzzle; }
    // Every piece at f times its place, with its angle, groups, order and finished flag.
    void ExpectCarriedBy(float f) {
        ASSERT_EQ(P().Spalten * P().Reihen, 12);
        for (int i = 0; i < P().Spalten; ++i)
            for (int j = 0; j < P().Reihen; ++j) {
                EXPECT_FLOAT_EQ(P().Puzzleteil_X(i, j), f * before.Puzzleteil_X(i, j));
                EXPECT_FLOAT_EQ(P().Puzzleteil_Y(i, j), f * before.Puzzleteil_Y(i, j));
                EXPECT_EQ(P().Puzzleteil_Drehwinkel(i, j), before.Puzzleteil_Drehwinkel(i, j));
            }
        EXPECT_EQ(P().Verbund, before.Verbund);
        EXPECT_EQ(*P().Reihenfolge, order);
        EXPECT_EQ(P().fertig, 1);
    }
    std::string picture;
    TPuzzle before;
    std::vector<int> order;
};
}  // namespace

TEST_F(ResizeTest, APuzzleInProgressFollowsTheWindowAndTheConfigurationTakesTheSize) {
    const float gridX = GridPreview->x(2, 1);
    MainDock = TMacDockImitat_Horizontal::build(945, 9, "incbin::medien/etc/MenuSymbols.png", 180, 184, "");
    ASSERT_EQ(ChangeWindowSize(960, 720), 1);
    EXPECT_EQ(MainDock->WholeWidth, 604);  // 945 x 0.64
    EXPECT_EQ(ScreenWidth * 10000 + ScreenHeight, 9600720);
    EXPECT_TRUE(ScaleX == 0.64f && ScaleY == ScaleX && BackgroundScale[0] == 1.2f && TitleFont);
    // The picture is loaded again for the smaller window and cut along the scaled grid.
    EXPECT_TRUE(P().Bild == ImagePreview->Image && GetImageWidth(P().Bild) == 768);
    EXPECT_FLOAT_EQ(P().x(P().Spalten, 0), 768);
    ExpectCarriedBy(0.8f);
    EXPECT_FLOAT_EQ(GridPreview->x(2, 1), 0.8f * gridX);
    EXPECT_EQ(ConfigurationLines()[0] + "x" + ConfigurationLines()[1], "960x720");
}

TEST_F(ResizeTest, AWindowThatCannotBeOpenedLeavesEverythingAsItWasAndTellsThePlayer) {
    const float scale = ScaleX;
    const TImagePtr bild = P().Bild;
    ASSERT_EQ(ChangeWindowSize(20000, 15000), 0);  // more than any window can be
    EXPECT_TRUE(ScreenWidth == 1200 && GetGraphicsWidth() == 1200 && ScaleX == scale && TitleFont);
    EXPECT_TRUE(P().Bild == bild && ImagePreview->Image == bild);
    ExpectCarriedBy(1);
    EXPECT_NE(ScriptedDialogLog().back().find("could not be changed to that size"), std::string::npos);
}

TEST_F(ResizeTest, AnotherPictureChosenInTheMenuIsShownAfterTheChangeAndIsWhatCreateCutsAndNames) {
    // The player loads a wide picture of their own (900 x 300, fitted to 768 x 256 in a 960 x 720
    // window), makes the window smaller and creates.
    const std::string wide = WritePicture("wide.png", 900, 300);
    MainDock = TMacDockImitat_Horizontal::build(945, 9, "incbin::medien/etc/MenuSymbols.png", 180, 184, "");
    UseScriptedDialogs({wide, "1"});  // then yes: replace the unfinished puzzle
    MainMenuAction(kEntryLoadImage);
    ASSERT_EQ(ChangeWindowSize(960, 720), 1);
    ExpectCarriedBy(0.8f);  // with its own picture
    EXPECT_TRUE(GetImageWidth(P().Bild) == 768 && P().OriginalImageWidth == 1600);
    EXPECT_EQ(ImagePreview->OriginalImageWidth * 10000 + GetImageHeight(ImagePreview->Image), 9000256);
    EXPECT_NEAR(GridPreview->x(GridPreview->Spalten, 0), 768, 1);
    EXPECT_NEAR(GridPreview->y(0, GridPreview->Reihen), 256, 1);
    LaunchState = 1;
    PuzzleMenuDoor = nullptr;
    InputTypedChar('m');  // cuts the fly-in short
    MainMenuAction(kEntryCreate);
    EXPECT_TRUE(P().OriginalImageWidth == 900 && GetImageHeight(P().Bild) == 256);
    const std::vector<std::string> lines = ConfigurationLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), wide), 2);  // both picture lines
}

TEST_F(ResizeTest, APictureFileReplacedOrGoneIsNotCutAgainAndEveryPieceStaysOnTheBoard) {
    // The file now holds a 300 x 600 picture: the puzzle is cut again from the one it holds, made
    // 768 x 576; the preview shows what the file holds (288 x 576), with a grid of its shape.
    WritePicture("big.png", 300, 600);
    ASSERT_EQ(ChangeWindowSize(960, 720), 1);
    EXPECT_EQ(GetImageHeight(P().Bild) * 10000 + P().OriginalImageWidth, 5761600);
    ExpectCarriedBy(0.8f);
    for (int i = 0; i < P().Spalten; ++i)
        for (int j = 0; j < P().Reihen; ++j)
            EXPECT_TRUE(P().Ziel_X(i, j) > 96 && P().Ziel_X(i, j) < 864 && P().Ziel_Y(i, j) > 72 && P().Ziel_Y(i, j) < 648);
    EXPECT_EQ(ImagePreview->OriginalImageWidth * 10000 + GetImageWidth(ImagePreview->Image), 3000288);
    EXPECT_TRUE(GridPreview->Spalten == 4 && GridPreview->y(0, 6) == 576);
    // Gone: back to 1200 x 900 from memory all the same; the preview shows the puzzle's picture.
    std::remove(picture.c_str());
    ASSERT_EQ(ChangeWindowSize(1200, 900), 1);
    EXPECT_NE(ScriptedDialogLog().back().find("couldn't be read"), std::string::npos);
    EXPECT_TRUE(GetImageWidth(P().Bild) == 960 && ImagePreview->Image == P().Bild && ImagePaths[0] == picture);
    ExpectCarriedBy(1);
    EXPECT_EQ(GridPreview->Spalten * 10 + GridPreview->Reihen, 64);  // anew: 960 x 720 is landscape
}

TEST_F(ResizeTest, AnOwnPictureShownAtItsOwnSizeKeepsEveryPieceOnTheBoardAndItsGroupsJoined) {
    // 640 x 480 is shown unscaled in windows from 800 x 600 up, so there its pieces keep their
    // size while their places follow the window; at 400 x 300 it is halved.
    ImagePaths[0] = ImagePaths[1] = WritePicture("small.png", 640, 480);
    ASSERT_EQ(ImagePreview->Loading(ImagePaths[0], 750, 410, 400, 400, 960, 720, {}), 0);
    GridPreview->Gitter_berechnen(3, 640, 480);  // 4 x 3 pieces
    P().Gitter_importieren();
    P().importieren();
    // Loose pieces spread over the board; two upright groups laid out by the game, one near the
    // top-left corner, one so near the right edge that larger pieces would reach out of the window.
    for (int k = 0; k < 12; ++k)
        P().Puzzleteil_X(k / 3, k % 3) = 150.0f + 300 * (k / 3), P().Puzzleteil_Y(k / 3, k % 3) = 150.0f + 250 * (k % 3);
    P().Puzzleteil_X(2, 2) = 1030;
    P().Verbund = {",0/0,1/0,0/1,", ",2/2,3/2,"};
    for (int g : {0, 1}) {
        P().Puzzleteil_Drehwinkel(2 * g, 2 * g) = 0;
        P().Abgehandelter_Verbund = TPuzzle::PieceKey(2 * g, 2 * g);
        P().Verbund_positionieren(2 * g, 2 * g, g);
    }
    const TPuzzle start = P();
    auto sumX = [](const TPuzzle& p) { return p.Puzzleteil_X(0, 0) + p.Puzzleteil_X(1, 0) + p.Puzzleteil_X(0, 1); };
    auto joined = [&](int i, int j, int n) {  // at the solved neighbours' distance, and snapping
        const float dx = P().Puzzleteil_X(i + kSideDi[n], j + kSideDj[n]) - P().Puzzleteil_X(i, j);
        const float dy = P().Puzzleteil_Y(i + kSideDi[n], j + kSideDj[n]) - P().Puzzleteil_Y(i, j);
        return std::fabs(std::hypot(dx, dy) - P().Nachbar_Abstand(i, j, n)) < 0.01f && P().PairSnaps(i, j, n);
    };
    for (const int w : {800, 1200, 400}) {
        const float ratio = w / 1200.0f;
        ASSERT_EQ(ChangeWindowSize(w, 3 * w / 4), 1);
        EXPECT_EQ(GetImageWidth(P().Bild), w == 400 ? 320 : 640);
        for (int k = 0; k < 12; ++k) {
            const int i = k / 3, j = k % 3;
            const float x = P().Puzzleteil_X(i, j), y = P().Puzzleteil_Y(i, j);
            EXPECT_TRUE(x > 0 && x <= w && y > 0 && y <= 0.75f * w) << w << ": " << i << "/" << j;
            if (i + j < 2 || (j == 2 && i >= 2)) continue;  // grouped
            EXPECT_LT(std::fabs(x - ratio * start.Puzzleteil_X(i, j)) + std::fabs(y - ratio * start.Puzzleteil_Y(i, j)), 0.01f);
        }
        EXPECT_NEAR(sumX(P()), ratio * sumX(start), 0.03f) << w;
        EXPECT_TRUE(joined(0, 0, 0) && joined(0, 0, 3) && joined(2, 2, 0) && P().Verbund == start.Verbund) << w;
    }
}
