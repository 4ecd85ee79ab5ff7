// The dialog buttons as the player works them with the mouse and the left Alt key. Without X:
// the logic only (drawing does nothing headless).
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"
#include "ui/TButton.h"

namespace {
constexpr int kHot = 'K';

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadlessWindow(true);
        RegisterEmbeddedMedia();
        OpenGraphicsWindow(1500, 1125, 0, 0, 0);
        ScaleX = ScaleY = 1;
        Buttons = {TButton::build(550, 750, 160, 120, "incbin::medien/etc/OKButton.png", 1, 0, 0, 0),
                   TButton::build(790, 750, 160, 120, "incbin::medien/etc/CancelButton.png", 1, 0, 0, 0)};
        ButtonSounds.assign(3, nullptr);
    }
    // One frame with the pointer at (x, y) and the left button held or not.
    int Frame(int x, int y, bool held) {
        InputMouseMove(x, y);
        if (held != (IsMouseButtonHeld(1) != 0)) InputMouseButton(1, held);
        return UpdateButtons(0, 1);
    }
    void Key(int key, bool down) { down ? InputKeyDown(key) : InputKeyUp(key); }
    TButton& B(int i) { return *Buttons[i]; }
};
}  // namespace

TEST_F(ButtonTest, TheEllipseIsHitOnItsRimAndNotJustOutsideNorInTheCorners) {
    // Centre (630, 810), half axes 80 and 60.
    const TButton& ok = B(0);
    EXPECT_TRUE(ok.IsOver(710, 810) && ok.IsOver(550, 810) && ok.IsOver(630, 750) && ok.IsOver(630, 870));
    EXPECT_FALSE(ok.IsOver(711, 810) || ok.IsOver(549, 810) || ok.IsOver(630, 749) || ok.IsOver(630, 871));
    EXPECT_TRUE(ok.IsOver(686, 852));   // 0.49 + 0.49
    EXPECT_FALSE(ok.IsOver(686, 853));  // 0.49 + 0.5136
    EXPECT_FALSE(ok.IsOver(550, 750));  // the rectangle's corner pixel
    TButton square = ok;
    square.Shape = 0;
    EXPECT_TRUE(square.IsOver(550, 750) && square.IsOver(710, 870) && !square.IsOver(711, 870));
    square.Shape = 2;
    EXPECT_FALSE(square.IsOver(630, 810));
    // At a window of 0.9 the edges are truncated: 550 x 0.9f lands on 494.
    ScaleX = ScaleY = 0.9f;
    // Window rectangle 494..638 x 674..782: centre (566, 728), half axes 72 and 54.
    EXPECT_TRUE(ok.IsOver(494, 728) && ok.IsOver(638, 728) && ok.IsOver(566, 674) && ok.IsOver(566, 782));
    EXPECT_FALSE(ok.IsOver(493, 728) || ok.IsOver(639, 728) || ok.IsOver(566, 673) || ok.IsOver(566, 783));
}

TEST_F(ButtonTest, PressAndReleaseOverTheButtonFiresOnceAndLeavesItHovered) {
    EXPECT_EQ(Frame(100, 100, true), -1);
    EXPECT_EQ(Frame(630, 810, true), -1);  // a press from beside does not hover it
    EXPECT_EQ(B(0).State, 0);
    EXPECT_EQ(Frame(630, 810, false), -1);
    EXPECT_EQ(B(0).State, 1);
    EXPECT_EQ(Frame(630, 810, true), -1);
    EXPECT_EQ(B(0).State, 2);
    EXPECT_EQ(Frame(631, 811, false), 0);
    EXPECT_EQ(B(0).State, 1);
    EXPECT_EQ(Frame(631, 811, false), -1);
    // Pressed, slid off and back while held: dropped, not pressed again, no event on letting go.
    Frame(630, 810, true);
    EXPECT_EQ(Frame(300, 300, true), -1);
    EXPECT_EQ(B(0).State, 0);
    EXPECT_EQ(Frame(630, 810, true), -1);
    EXPECT_EQ(B(0).State, 0);
    EXPECT_EQ(Frame(630, 810, false), -1);
    // Cancel answers with its own index.
    Frame(870, 810, false);
    Frame(870, 810, true);
    EXPECT_EQ(Frame(870, 810, false), 1);
}

TEST_F(ButtonTest, TogglesFlipRadiosStayAndTheHigherOfTwoReleasesWins) {
    B(0).Typ = 1;
    B(1).Typ = 2;
    B(1).LeftX = 550;  // both under the pointer
    B(1).RightX = 710;
    const uint8_t expectToggle[] = {1, 0, 1};
    for (uint8_t t : expectToggle) {
        Frame(630, 810, false);
        Frame(630, 810, true);
        EXPECT_EQ(Frame(630, 810, false), 1);
        EXPECT_EQ(B(0).Selected, t);
        EXPECT_EQ(B(1).Selected, 1);
    }
}

TEST_F(ButtonTest, LeftAltWorksTheHotKeyAnywhereButNotTheRightAltNorAButtonWithoutOne) {
    B(0).HotKey = kHot;
    Key(165, true);  // right Alt
    EXPECT_EQ(Frame(10, 10, false), -1);
    EXPECT_EQ(B(0).State, 0);
    Key(165, false);
    Key(kKeyLeftAlt, true);
    Frame(10, 10, false);
    EXPECT_EQ(B(0).State, 1);
    EXPECT_EQ(B(1).State, 0);  // no hot key: Alt means nothing to it
    Key(kHot, true);
    EXPECT_EQ(Frame(10, 10, false), -1);
    EXPECT_EQ(B(0).State, 2);
    EXPECT_EQ(Frame(10, 10, false), -1);  // fires only once the hot key is let go
    Key(kHot, false);
    EXPECT_EQ(Frame(10, 10, false), 0);
    // An Alt-click anywhere fires when let go, once, not while the mouse button is down.
    EXPECT_EQ(Frame(10, 10, true), -1);
    EXPECT_EQ(B(0).State, 2);
    for (int f = 0; f < 4; ++f) EXPECT_EQ(Frame(10, 10, true), -1);
    EXPECT_EQ(Frame(10, 10, false), 0);
    // A mouse press on the button with the hot key down waits for the hot key too.
    Frame(630, 810, true);
    Key(kHot, true);
    EXPECT_EQ(Frame(630, 810, false), -1);
    Key(kHot, false);
    EXPECT_EQ(Frame(630, 810, false), 0);
    Key(kKeyLeftAlt, false);
    EXPECT_EQ(Frame(10, 10, false), -1);
    EXPECT_EQ(B(0).State, 0);
}
