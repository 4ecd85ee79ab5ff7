// The piece-count slider as the player works it: hovering, dragging, the arrow keys, and the value
// and button place that follow. Without X: the logic only (its drawing does nothing headless).
#include <gtest/gtest.h>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "tests/ui/DesignWindow.h"
#include "ui/THorizontalBar.h"

namespace {

class HorizontalBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        OpenDesignWindow();
        GlobalAlpha = 1;
        Sliders.assign(1, THorizontalBar::build(750, 650, 400, kPieceSliderMinimum, kPieceSliderStart,
                                                kPieceSliderMaximum, "incbin::medien/etc/HorizontalBarButton3.png",
                                                "incbin::medien/etc/HorizontalBar.png", 0, 2));
        ClearKeyboardState();
        ClearMouseState();
        InputMouseMove(0, 0);
    }
    THorizontalBar& S() { return *Sliders[0]; }
    // One frame with the pointer at (x, y) and the left button held or not.
    int Frame(int x, int y, bool held) {
        InputMouseMove(x, y);
        if (held != (IsMouseButtonHeld(1) != 0)) InputMouseButton(1, held);
        return static_cast<int>(UpdateHorizontalBar());
    }
    // Grabs the button with the pointer at (x, y): hover, then press.
    void Grab(int x, int y = 650) {
        Frame(x, y, false);
        Frame(x, y, true);
        ASSERT_EQ(S().State, 2);
    }
};

}  // namespace

TEST_F(HorizontalBarTest, BuiltAsTheMenuBuildsIt) {
    EXPECT_NEAR(S().ButtonCentralX, 675.005f, 0.001f);  // 750 + 400 x (7.5 / 23.999 - 0.5)
    EXPECT_EQ(S().HalfButtonWidth, 14);
    EXPECT_EQ(S().HalfButtonHeight, 14);
    EXPECT_FLOAT_EQ(S().BarImage->handleX, 216);
    EXPECT_EQ(S().KeyControl, 2);
    EXPECT_EQ(S().State, 0);
    EXPECT_EQ(S().MemoDistance, 0);
}

TEST_F(HorizontalBarTest, TheHoverZoneIsTheTrackAndHalfAButtonEachWayBothEndsIncluded) {
    struct Case { int x, y; uint8_t state; };
    // At scale 1: x 536 to 964, y 636 to 664.
    const Case cases[] = {{535, 650, 0}, {536, 650, 1}, {964, 664, 1}, {965, 664, 0}, {750, 636, 1},
                          {750, 635, 0}, {750, 665, 0}, {964, 650, 1}};
    for (const Case& c : cases) {
        Frame(c.x, c.y, false);
        EXPECT_EQ(S().State, c.state) << c.x << ", " << c.y;
    }
}

TEST_F(HorizontalBarTest, AtScale09TheHoverZoneCentresOnTheWindowsMiddle) {
    // 750 x 0.9f and 650 x 0.9f lie just under 675 and 585: centre (674, 584), track 359 long,
    // so the zone is x 483 to 865 and y 572 to 596.
    ScaleX = ScaleY = 0.9f;
    struct Case { int x, y; uint8_t state; };
    const Case cases[] = {{865, 584, 1}, {866, 584, 0}, {483, 572, 1}, {482, 572, 0}, {700, 596, 1},
                          {700, 597, 0}};
    for (const Case& c : cases) {
        Frame(c.x, c.y, false);
        EXPECT_EQ(S().State, c.state) << c.x << ", " << c.y;
    }
}

TEST_F(HorizontalBarTest, DraggingPutsTheButtonsCentreUnderThePointerAndMapsItOntoTheValue) {
    Grab(700);
    // The press only takes hold; the next frame moves the button there.
    EXPECT_EQ(S().Value, kPieceSliderStart);
    EXPECT_EQ(Frame(700, 650, true), 0);
    EXPECT_NEAR(S().Value, 8.9996f, 0.0001f);  // 23.999 x 0.375: index 8
    EXPECT_EQ(S().ButtonCentralX, 700);
    EXPECT_EQ(Frame(700, 650, true), -1);  // at rest: no change, no report
    // Away from the bar, up and down, the drag goes on: x alone counts.
    Frame(566, 100, true);
    EXPECT_NEAR(S().Value, 0.95996f, 0.0001f);
    EXPECT_EQ(static_cast<int>(S().Value), 0);
    Frame(567, 900, true);
    EXPECT_NEAR(S().Value, 1.01996f, 0.0001f);
    EXPECT_EQ(static_cast<int>(S().Value), 1);
    Frame(551, 650, true);  // one pixel in: 23.999 / 400, rounded once
    EXPECT_EQ(S().Value, static_cast<float>(kPieceSliderMaximum / 400.0));
    // Past the ends: the ends exactly.
    Frame(3, 650, true);
    EXPECT_EQ(S().Value, 0.0f);
    EXPECT_EQ(S().ButtonCentralX, 550);
    Frame(1400, 650, true);
    EXPECT_EQ(S().Value, kPieceSliderMaximum);
    EXPECT_EQ(S().ButtonCentralX, 950);
    // Letting go anywhere ends the drag; the next frame decides between hover and idle.
    Frame(1400, 650, false);
    EXPECT_EQ(S().State, 1);
    Frame(1400, 650, false);
    EXPECT_EQ(S().State, 0);
}

TEST_F(HorizontalBarTest, APressThatBeganElsewhereNeverGrabsTheSlider) {
    Frame(300, 300, true);
    EXPECT_EQ(Frame(700, 650, true), -1);
    EXPECT_EQ(Frame(700, 650, true), -1);
    EXPECT_EQ(S().State, 0);
    EXPECT_EQ(S().Value, kPieceSliderStart);
    // Released and pressed again inside, it takes hold.
    Frame(700, 650, false);
    EXPECT_EQ(S().State, 1);
    Frame(700, 650, true);
    EXPECT_EQ(S().State, 2);
}

TEST_F(HorizontalBarTest, TheArrowKeysMoveTheButtonTwoPixelsAFrameLeftAndDownWinning) {
    InputKeyDown(kKeyLeft);
    EXPECT_EQ(Frame(0, 0, false), 0);
    EXPECT_NEAR(S().ButtonCentralX, 673.005f, 0.001f);
    InputKeyDown(kKeyRight);  // both held: left wins
    Frame(0, 0, false);
    EXPECT_NEAR(S().ButtonCentralX, 671.005f, 0.001f);
    ClearKeyboardState();
    InputKeyDown(kKeyUp);
    Frame(0, 0, false);
    EXPECT_NEAR(S().ButtonCentralX, 673.005f, 0.001f);
    ClearKeyboardState();
    // At the left end the value stays 0 and nothing is reported.
    SetHorizontalBarValue(0, 0);
    InputKeyDown(kKeyDown);
    EXPECT_EQ(Frame(0, 0, false), -1);
    EXPECT_EQ(S().Value, 0.0f);
    EXPECT_EQ(S().ButtonCentralX, 550);
    ClearKeyboardState();
    // Left to right across the whole track: 200 frames at scale 1...
    InputKeyDown(kKeyRight);
    int frames = 0;
    while (S().Value < kPieceSliderMaximum && frames < 1000) {
        Frame(0, 0, false);
        ++frames;
    }
    EXPECT_EQ(frames, 200);
    // ...and 100 at scale 0.5, where the track is 200 window pixels long.
    ScaleX = ScaleY = 0.5f;
    SetHorizontalBarValue(0, 0);
    frames = 0;
    while (S().Value < kPieceSliderMaximum && frames < 1000) {
        Frame(0, 0, false);
        ++frames;
    }
    EXPECT_EQ(frames, 100);
    EXPECT_EQ(S().ButtonCentralX, 950);
    // Held on past the right end: the value stays at the top and the button at the bar's end.
    for (int more = 0; more < 5; ++more) EXPECT_EQ(Frame(0, 0, false), -1);
    EXPECT_EQ(std::make_pair(S().Value, S().ButtonCentralX), std::make_pair(23.999f, 950.0f));
}

TEST_F(HorizontalBarTest, SettingTheValuePlacesTheButtonWithoutClamping) {
    SetHorizontalBarValue(0, kPieceSliderMaximum);
    EXPECT_EQ(S().ButtonCentralX, 950);
    SetHorizontalBarValue(0, 0);
    EXPECT_EQ(S().ButtonCentralX, 550);
    SetHorizontalBarValue(0, 11.9995f);
    EXPECT_NEAR(S().ButtonCentralX, 750, 0.001f);
    SetHorizontalBarValue(0, 30);
    EXPECT_EQ(S().Value, 30);
    EXPECT_GT(S().ButtonCentralX, 950);
    EXPECT_EQ(SetHorizontalBarValue(3, 5), 0);  // no such slider: nothing happens
}

TEST_F(HorizontalBarTest, ReturnsWithWhiteTheMenuAlphaAndTheWindowScale) {
    GlobalAlpha = 0.25f;
    ScaleX = ScaleY = 0.8f;
    SetDrawColor(10, 20, 30);
    SetDrawScale(3, 3);
    Grab(600, 520);  // the track's centre at this scale
    Frame(610, 520, true);
    const TDrawState& d = CurrentDrawState();
    EXPECT_EQ(d.red + d.green + d.blue, 3 * 255);
    EXPECT_EQ(d.alpha, 0.25f);
    EXPECT_EQ(d.scaleX, 0.8f);
    EXPECT_EQ(d.scaleY, 0.8f);
}
