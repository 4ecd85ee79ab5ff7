// Picking, dragging and turning pieces: the pointer states driven with synthetic input.
#include <gtest/gtest.h>

#include <cmath>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "PuzzleWindow.h"

namespace {
class Play : public ::testing::Test {
protected:
    void SetUp() override {
        OpenPuzzleWindow();
        GridPreview->Gitter_berechnen(0, 400, 300);  // 2 x 2
        p = CurrentPuzzle.get();
        p->Gitter_importieren();
        TPixmapPtr pm = CreateBlankPixmap(400, 300, 4, 4);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) WritePixmapPixel(pm, x, y, static_cast<int>(0xFF808080u));
        p->Bild = LoadImageFromSource(pm, 0);
        p->zerschneiden();
        LayApart();
    }
    // Lays the pieces apart, unturned, in a known draw order.
    void LayApart() {
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) {
                p->Puzzleteil_X(i, j) = 200.0f + 400 * i;
                p->Puzzleteil_Y(i, j) = 200.0f + 400 * j;
                p->Puzzleteil_Drehwinkel(i, j) = 0;
            }
        *p->Reihenfolge = {0, 1, 2, 3};
        ClearMouseState();
        ClearKeyboardState();
    }
    void TearDown() override {
        InputKeyUp(kKeyLeftControl);
        ClearMouseState();
        ClearKeyboardState();
        CurrentPuzzle = nullptr;
        GridPreview = nullptr;
    }
    void Frame() {
        SetDrawScale(1, 1);
        SetDrawColor(255, 255, 255);
        SetDrawAlpha(1);
        SetDrawRotation(0);
        p->verwenden();
    }
    void ArmAt(int x, int y) {
        InputMouseMove(x, y);
        Frame();
        ASSERT_EQ(p->Aktiv_Sensor, 1);
    }
    TPuzzle* p = nullptr;
};
}  // namespace

TEST_F(Play, GrabbingASinglePieceBringsItToTheTop) {
    ArmAt(200, 200);  // piece (0, 0), index 0, at the bottom
    InputMouseButton(1, true);
    Frame();
    EXPECT_EQ(p->Aktiv_Sensor, 2);
    EXPECT_EQ(*p->Reihenfolge, (std::vector<int>{1, 2, 3, 0}));
    InputMouseButton(1, false);
    Frame();
    EXPECT_EQ(p->Aktiv_Sensor, 0);
}

TEST_F(Play, GrabbingAGroupedPieceKeepsTheDrawOrder) {
    p->Verbund = {",0/0,1/1,"};
    ArmAt(200, 200);
    InputMouseButton(1, true);
    Frame();
    EXPECT_EQ(*p->Reihenfolge, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(Play, WheelTurnsInStepsCutTowardZero) {
    p->Puzzleteil_Drehwinkel(0, 0) = 37.5f;
    ArmAt(200, 200);
    InputMouseWheel(1);
    Frame();
    EXPECT_EQ(p->Puzzleteil_Drehwinkel(0, 0), 20);
    EXPECT_EQ(p->Aktiv_Sensor, 1);
    EXPECT_EQ(*p->Reihenfolge, (std::vector<int>{1, 2, 3, 0}));
    InputMouseWheel(-3);
    Frame();
    EXPECT_EQ(p->Puzzleteil_Drehwinkel(0, 0), 50);  // three lowering steps add 30
}

TEST_F(Play, DragStopsShortOfTheWindowEdge) {
    ArmAt(205, 203);
    InputMouseButton(1, true);
    Frame();
    EXPECT_EQ(p->MemoX, 5);
    EXPECT_EQ(p->MemoY, 3);
    InputMouseMove(105, 103);
    Frame();
    EXPECT_EQ(p->Puzzleteil_X(0, 0), 100);
    EXPECT_EQ(p->Puzzleteil_Y(0, 0), 100);
    InputMouseMove(5, 50);  // the centre would land on x = 0: it stays, the offset grows
    Frame();
    EXPECT_EQ(p->Puzzleteil_X(0, 0), 100);
    EXPECT_EQ(p->Puzzleteil_Y(0, 0), 100);
    EXPECT_EQ(p->MemoX, -95);
    EXPECT_EQ(p->MemoY, -50);
    InputMouseMove(15, 60);
    Frame();
    EXPECT_EQ(p->Puzzleteil_X(0, 0), 110);
    EXPECT_EQ(p->Puzzleteil_Y(0, 0), 110);
}

TEST_F(Play, ControlTurnsAndLettingGoDoesNotJump) {
    ArmAt(250, 200);  // 50 pixels right of the centre: grab angle 360
    InputMouseButton(1, true);
    Frame();
    EXPECT_EQ(p->MemoWinkel, 360);
    InputKeyDown(kKeyLeftControl);
    InputMouseMove(200, 250);  // straight below: 90 - 360
    Frame();
    EXPECT_FLOAT_EQ(p->Puzzleteil_Drehwinkel(0, 0), -270);
    EXPECT_EQ(p->Control_Key, 1);
    EXPECT_EQ(p->Puzzleteil_X(0, 0), 200);
    InputKeyUp(kKeyLeftControl);
    InputMouseMove(210, 260);
    Frame();  // re-bases the grab instead of moving
    EXPECT_EQ(p->Control_Key, 0);
    EXPECT_EQ(p->Puzzleteil_X(0, 0), 200);
    EXPECT_EQ(p->MemoX, 10);
    EXPECT_EQ(p->MemoY, 60);
    InputMouseMove(220, 270);
    Frame();
    EXPECT_EQ(p->Puzzleteil_X(0, 0), 210);
    EXPECT_EQ(p->Puzzleteil_Y(0, 0), 210);
}

TEST_F(Play, SweepingWithTheLeftButtonHeldPicksNothing) {
    InputMouseButton(1, true);
    InputMouseMove(200, 200);
    Frame();
    EXPECT_EQ(p->Aktiv_Sensor, 0);
    InputMouseButton(1, false);
    InputMouseButton(2, true);
    Frame();
    EXPECT_EQ(p->Aktiv_Sensor, 1);
    Frame();
    EXPECT_EQ(p->Aktiv_Sensor, 2);
    EXPECT_EQ(p->Control_Key, 0);
    Frame();
    EXPECT_EQ(p->Control_Key, 1);  // the right button turns
}

TEST_F(Play, TheTopPieceOfAStackIsPickedAndTheOneBelowThroughItsClearCorner) {
    // Cut again with the inner corner at (100, 150): piece (0, 0)'s right edge slants from (200, 0)
    // to (100, 150), so the lower right of its 202 x 152 box (handle 101, 76) is clear; piece
    // (1, 1) is cut from (100, 150), (400, 150), (400, 300), (200, 300), box at (98, 148), handle 151, 76.
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 2; ++j) {
            p->x(i, j) = 200.0f * i;
            p->y(i, j) = 150.0f * j;
        }
    p->x(1, 1) = 100;
    p->zerschneiden();
    LayApart();
    // (0, 0) lies on (1, 1), both centred on (600, 450).
    p->Puzzleteil_X(0, 0) = p->Puzzleteil_X(1, 1) = 600;
    p->Puzzleteil_Y(0, 0) = p->Puzzleteil_Y(1, 1) = 450;
    *p->Reihenfolge = {3, 1, 2, 0};
    ArmAt(600, 450);  // the picture's (101, 76) and (249, 224): inside both cuts
    EXPECT_EQ(p->Auswahl_i * 10 + p->Auswahl_j, 0);
    InputMouseMove(689, 514);  // (190, 140), far right of (0, 0)'s edge; (338, 288), inside (1, 1)
    Frame();
    EXPECT_EQ(p->Aktiv_Sensor, 1);
    EXPECT_EQ(p->Auswahl_i * 10 + p->Auswahl_j, 11);
    InputMouseButton(1, true);
    Frame();
    EXPECT_EQ(*p->Reihenfolge, (std::vector<int>{1, 2, 0, 3}));
}
