// The fly-in in a window without X: where the pieces set off, how each one grows and turns on its
// way, that it only draws, and a typed character ending it through the menu's door.
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/TSpeedControl.h"
#include "core/Utilities.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Window.h"
#include "core/puzzle/TPuzzle.h"

namespace {
constexpr int kW = 1200, kH = 900;

class FlyIn : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        PreferAudioOutput("silent");
        UseHeadlessWindow(true);
        RegisterEmbeddedMedia();
        OpenGraphicsWindow(kW, kH, 0, 60, 0);
        BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
        BackgroundScale = {1.5f, 1.5f};
    }
    void SetUp() override {
        ScreenWidth = kW;
        ScreenHeight = kH;
        ClearKeyboardState();
        ClearMouseState();
        PuzzleMenuDoor = nullptr;
    }
    void TearDown() override { PuzzleMenuDoor = nullptr; }
    // A cols x rows puzzle of a 1000 x 700 picture, the pieces laid out by hand, turned 30 + k.
    static TPuzzlePtr Puzzle(int cols, int rows) {
        auto p = std::make_shared<TPuzzle>();
        p->Bild = LoadImageFromSource(CreateBlankPixmap(1000, 700, 4, 4), 0);
        p->Spalten = cols;
        p->Reihen = rows;
        p->Summe = cols * rows;
        p->Puzzleteil = Grid2<TImagePtr>(cols, rows, LoadImageFromSource(CreateBlankPixmap(8, 8, 4, 4), 0));
        p->Puzzleteil_X = p->Puzzleteil_Y = p->Puzzleteil_Drehwinkel = Grid2<float>(cols, rows);
        for (int i = 0; i < cols; ++i)
            for (int j = 0; j < rows; ++j) {
                p->Puzzleteil_X(i, j) = 100.0f + 10 * i;
                p->Puzzleteil_Y(i, j) = 200.0f + 10 * j;
                p->Puzzleteil_Drehwinkel(i, j) = 30.0f + i * rows + j;
            }
        p->Reihenfolge = std::make_shared<std::vector<int>>(RandomPermutation(cols * rows));
        return p;
    }
};
}  // namespace

TEST_F(FlyIn, EveryPieceSetsOffOneCellOutsideAnEdge) {
    TPuzzlePtr p = Puzzle(10, 10);  // cells of 100 x 70
    SetRandomSeed(7);
    Grid2<int> sx, sy;
    p->FlyInStarts(sx, sy);
    int sides[4] = {};
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) {
            const int x = sx(i, j), y = sy(i, j);
            const bool alongX = 0 <= x && x <= kW, alongY = 0 <= y && y <= kH;
            const int side = y == -70 && alongX ? 0 : y == kH + 70 && alongX ? 1 : x == -100 && alongY ? 2
                           : x == kW + 100 && alongY ? 3 : -1;
            ASSERT_GE(side, 0) << x << "," << y;
            ++sides[side];
        }
    for (int n : sides) EXPECT_GT(n, 10);
}

TEST_F(FlyIn, EachPieceGrowsAndTurnsInAfterItsDelay) {
    // Four pieces set off at 0, 187, 375 and 562 ms; the last drawn is piece 2, column 1 (odd),
    // turned 32: it comes from 360 - 32 at half size.
    TPuzzlePtr p = Puzzle(2, 2);
    *p->Reihenfolge = {3, 1, 0, 2};
    Grid2<int> sx(2, 2, -50), sy(2, 2, 400);
    TSpeedControl clock;
    auto frameAt = [&](int t) {
        clock.StartAt(1000);
        clock.UpdateTimeAt(1000 + t);
        p->FlyInFrame(clock, sx, sy);
        return CurrentDrawState();
    };
    for (int t : {0, 562}) {
        EXPECT_FLOAT_EQ(frameAt(t).scaleX, 0.5f) << t;
        EXPECT_FLOAT_EQ(frameAt(t).rotation, 328) << t;
    }
    // Halfway through its flight: sin 45 of the way.
    const float d = 0.70710678f;
    EXPECT_NEAR(frameAt(937).scaleY, 0.5 + 0.5 * d, 1e-5);
    EXPECT_NEAR(frameAt(937).rotation, (1 - d) * 328 + d * 32, 1e-3);
    EXPECT_FLOAT_EQ(frameAt(1312).scaleX, 1);
    EXPECT_FLOAT_EQ(frameAt(1312).rotation, 32);
    // An even column turns the other way: piece 0 alone comes from 30 - 360.
    *p->Reihenfolge = {0};
    EXPECT_FLOAT_EQ(frameAt(0).rotation, -330);
}

TEST_F(FlyIn, OnlyDrawsAndATypedCharacterOpensTheMenuAtOnce) {
    TPuzzlePtr p = Puzzle(3, 2);
    p->Verbund = {",0/0,1/0,"};
    const TPuzzle before = *p;
    const std::vector<int> order = *p->Reihenfolge;
    int doorCalls = 0;
    PuzzleMenuDoor = [&] { return ++doorCalls; };

    // Undisturbed: the whole 1500 ms, the last frame with every piece at its place at full size.
    InputMouseButton(1, true);
    unsigned t0 = MillisecondClock();
    EXPECT_EQ(p->FlyIn(), 0);
    unsigned took = MillisecondClock() - t0;
    EXPECT_GE(took, 1500u);
    EXPECT_LT(took, 2500u);
    EXPECT_EQ(doorCalls, 0);
    const int last = order.back();
    EXPECT_FLOAT_EQ(CurrentDrawState().scaleX, 1);
    EXPECT_FLOAT_EQ(CurrentDrawState().rotation, p->Puzzleteil_Drehwinkel(last / 2, last % 2));
    EXPECT_EQ(IsMouseButtonHeld(1), 0);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) {
            EXPECT_EQ(p->Puzzleteil_X(i, j), before.Puzzleteil_X(i, j));
            EXPECT_EQ(p->Puzzleteil_Y(i, j), before.Puzzleteil_Y(i, j));
            EXPECT_EQ(p->Puzzleteil_Drehwinkel(i, j), before.Puzzleteil_Drehwinkel(i, j));
        }
    EXPECT_EQ(*p->Reihenfolge, order);
    EXPECT_EQ(p->Verbund, before.Verbund);
    EXPECT_EQ(p->Aktiv_Sensor, before.Aktiv_Sensor);

    // A character typed: the menu opens after the first frame and no frame follows; what else was
    // typed is gone. Without a door the character only cuts the flight short.
    for (bool door : {true, false}) {
        if (!door) PuzzleMenuDoor = nullptr;
        InputTypedChar('m');
        InputTypedChar('n');
        t0 = MillisecondClock();
        p->FlyIn();
        EXPECT_LT(MillisecondClock() - t0, 200u);
        EXPECT_EQ(LastTypedChar, 'm');
        EXPECT_EQ(TakeTypedChar(), 0);
    }
    EXPECT_EQ(doorCalls, 1);
}
