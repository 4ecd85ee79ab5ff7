// The dialog buttons as the player works them with the mouse and the left Alt key. Without X:
// the logic only (drawing does nothing headless).
#include <gtest/gtest.h>

#include "core/Globals.h"
#include "core/layer/Input.h"
#include "tests/ui/DesignWindow.h"
#include "ui/TButton.h"

namespace {
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        OpenDesignWindow();
        Buttons = {TButton::build(550, 750, 160, 120, "incbin::medien/etc/OKButton.png", 1, 0, 0, 0),
                   TButton::build(790, 750, 160, 120, "incbin::medien/etc/CancelButton.png", 1, 0, 0, 0)};
    }
    // One frame with the pointer at (x, y) and the left button held or not; *states gets the
    // two buttons' states after it as two digits (OK, Cancel).
    int Frame(int x, int y, bool held, int* states = nullptr) {
        InputMouseMove(x, y);
        if (held != (IsMouseButtonHeld(1) != 0)) InputMouseButton(1, held);
        int r = UpdateButtons(0, 1);
        if (states) *states = 10 * Buttons[0]->State + Buttons[1]->State;
        return r;
    }
    void Key(int key, bool down) { down ? InputKeyDown(key) : InputKeyUp(key); }
};
}  // namespace

TEST_F(ButtonTest, TheEllipseIsHitOnItsRimButNotJustOffItNorInTheCorners) {
    const TButton& ok = *Buttons[0];  // centre (630, 810), half axes 80 and 60
    EXPECT_TRUE(ok.IsOver(710, 810) && ok.IsOver(550, 810) && ok.IsOver(630, 750) && ok.IsOver(686, 852));
    EXPECT_FALSE(ok.IsOver(711, 810) || ok.IsOver(630, 749) || ok.IsOver(686, 853) || ok.IsOver(550, 750));
    TButton other = ok;
    other.Shape = 0;
    EXPECT_TRUE(other.IsOver(550, 750) && !other.IsOver(711, 870));
    other.Shape = 2;
    EXPECT_FALSE(other.IsOver(630, 810));
    // At 0.9 the edges truncate (550 x 0.9f gives 494): 494..638 x 674..782.
    ScaleX = ScaleY = 0.9f;
    EXPECT_TRUE(ok.IsOver(494, 728) && ok.IsOver(638, 728) && ok.IsOver(566, 674) && ok.IsOver(566, 782));
    EXPECT_FALSE(ok.IsOver(493, 728) || ok.IsOver(639, 728) || ok.IsOver(566, 673) || ok.IsOver(566, 783));
}

TEST_F(ButtonTest, OnlyAPressAndReleaseOnTheButtonFiresAndLeavesItHovered) {
    int s = 0;
    Frame(100, 100, true);
    EXPECT_EQ(Frame(630, 810, true, &s) * 100 + s, -100);  // a press from beside does not hover
    Frame(630, 810, false);
    EXPECT_EQ(Frame(630, 810, true, &s) * 100 + s, -80);   // pressed
    EXPECT_EQ(Frame(631, 811, false, &s) * 100 + s, 10);   // fired, and hovered
    // Pressed, slid off and back while held: dropped, not pressed again, no event.
    Frame(630, 810, true);
    Frame(300, 300, true);
    EXPECT_EQ(Frame(630, 810, true, &s) * 100 + s, -100);
    EXPECT_EQ(Frame(630, 810, false), -1);
    // Toggles flip, radios stay selected, and of two released together the higher index wins.
    Buttons[0]->Typ = 1;
    Buttons[1]->Typ = 2;
    Buttons[1]->LeftX = 550;
    Buttons[1]->RightX = 710;
    for (uint8_t expected : {1, 0, 1}) {
        Frame(630, 810, false);
        Frame(630, 810, true);
        EXPECT_EQ(Frame(630, 810, false), 1);
        EXPECT_EQ(Buttons[0]->Selected, expected);
        EXPECT_EQ(Buttons[1]->Selected, 1);
    }
}

TEST_F(ButtonTest, LeftAltWorksTheHotKeyAnywhereButNotRightAltNorAButtonWithoutOne) {
    const int hot = 'K';
    Buttons[0]->HotKey = hot;
    int s = 0;
    Key(165, true);  // right Alt
    EXPECT_EQ(Frame(10, 10, false, &s) * 100 + s, -100);
    Key(165, false);
    Key(kKeyLeftAlt, true);
    EXPECT_EQ(Frame(10, 10, false, &s) * 100 + s, -90);  // Cancel has no hot key: Alt means nothing
    Key(hot, true);
    EXPECT_EQ(Frame(10, 10, false, &s) * 100 + s, -80);
    Key(hot, false);
    EXPECT_EQ(Frame(10, 10, false), 0);
    // An Alt-click anywhere fires once, when the mouse button is let go.
    for (int f = 0; f < 4; ++f) EXPECT_EQ(Frame(10, 10, true), -1);
    EXPECT_EQ(Frame(10, 10, false), 0);
    // A press on the button with the hot key down waits for the hot key as well.
    Frame(630, 810, true);
    Key(hot, true);
    EXPECT_EQ(Frame(630, 810, false), -1);
    Key(hot, false);
    EXPECT_EQ(Frame(630, 810, false), 0);
    Key(kKeyLeftAlt, false);
    EXPECT_EQ(Frame(10, 10, false, &s) * 100 + s, -100);
}
