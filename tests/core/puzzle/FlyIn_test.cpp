// The fly-in in a window without X: where the pieces set off, how each grows and turns on its way,
// that it only draws, and a typed character ending it through the menu's door.
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
// A cols x rows puzzle of a 1000 x 700 picture in a 1200 x 900 window, piece (i, j) turned 30 + index.
TPuzzlePtr Puzzle(int cols, int rows) {
    static bool opened = false;
    if (!opened) {
        PreferAudioOutput("silent");
        UseHeadlessWindow(true);
        RegisterEmbeddedMedia();
        OpenGraphicsWindow(1200, 900, 0, 60, 0);
        BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
        BackgroundScale = {1.5f, 1.5f};
        ScreenWidth = 1200;
        ScreenHeight = 900;
        opened = true;
    }
    auto p = std::make_shared<TPuzzle>();
    p->Bild = LoadImageFromSource(CreateBlankPixmap(1000, 700, 4, 4), 0);
    p->Spalten = cols;
    p->Reihen = rows;
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
}  // namespace

TEST(FlyIn, EveryPieceSetsOffOneCellOutsideAnEdge) {
    TPuzzlePtr p = Puzzle(10, 10);  // cells of 100 x 70
    SetRandomSeed(7);
    Grid2<int> sx, sy;
    p->FlyInStarts(sx, sy);
    int sides[4] = {};
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) {
            const int x = sx(i, j), y = sy(i, j);
            const bool alongX = 0 <= x && x <= 1200, alongY = 0 <= y && y <= 900;
            const int side = y == -70 && alongX ? 0 : y == 970 && alongX ? 1 : x == -100 && alongY ? 2
                           : x == 1300 && alongY ? 3 : -1;
            ASSERT_GE(side, 0) << x << "," << y;
            ++sides[side];
        }
    for (int n : sides) EXPECT_GT(n, 10);
}

TEST(FlyIn, EachPieceGrowsAndTurnsInAfterItsDelay) {
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
    EXPECT_FLOAT_EQ(frameAt(0).rotation, 328);
    EXPECT_FLOAT_EQ(frameAt(562).scaleX, 0.5f);
    const float d = 0.70710678f;  // halfway through its flight, sin 45 of the way
    EXPECT_NEAR(frameAt(937).scaleY, 0.5 + 0.5 * d, 1e-5);
    EXPECT_NEAR(frameAt(937).rotation, (1 - d) * 328 + d * 32, 1e-3);
    EXPECT_FLOAT_EQ(frameAt(1312).scaleX, 1);
    EXPECT_FLOAT_EQ(frameAt(1312).rotation, 32);
    *p->Reihenfolge = {0};  // an even column turns the other way: from 30 - 360
    EXPECT_FLOAT_EQ(frameAt(0).rotation, -330);
}

TEST(FlyIn, OnlyDrawsAndATypedCharacterOpensTheMenuAtOnce) {
    TPuzzlePtr p = Puzzle(3, 2);
    p->Verbund = {",0/0,1/0,"};
    auto state = [&] {
        std::vector<float> s(p->Reihenfolge->begin(), p->Reihenfolge->end());
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 2; ++j)
                s.insert(s.end(), {p->Puzzleteil_X(i, j), p->Puzzleteil_Y(i, j), p->Puzzleteil_Drehwinkel(i, j)});
        return s;
    };
    const std::vector<float> before = state();
    int doorCalls = 0;
    PuzzleMenuDoor = [&] { return ++doorCalls; };
    // Undisturbed: the whole 1500 ms, the last frame showing the last piece in place at full size.
    InputMouseButton(1, true);
    unsigned t0 = MillisecondClock();
    EXPECT_EQ(p->FlyIn(), 0);
    EXPECT_GE(MillisecondClock() - t0, 1500u);
    const int last = p->Reihenfolge->back();
    EXPECT_FLOAT_EQ(CurrentDrawState().scaleX, 1);
    EXPECT_FLOAT_EQ(CurrentDrawState().rotation, p->Puzzleteil_Drehwinkel(last / 2, last % 2));
    EXPECT_EQ(IsMouseButtonHeld(1), 0);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(p->Verbund.size(), 1u);
    EXPECT_EQ(doorCalls, 0);
    // A character typed: the menu opens after the first frame and no frame follows (the last
    // piece, set off after 625 ms, is still half size); what else was typed is gone. Without a
    // door the character only cuts the flight short.
    for (bool door : {true, false}) {
        if (!door) PuzzleMenuDoor = nullptr;
        InputTypedChar('m');
        InputTypedChar('n');
        p->FlyIn();
        EXPECT_EQ(CurrentDrawState().scaleX, 0.5f);
        EXPECT_EQ(LastTypedChar, 'm');
        EXPECT_EQ(TakeTypedChar(), 0);
    }
    EXPECT_EQ(doorCalls, 1);
}
