// Frame pacing and the drawing transform, without a display.
#include <gtest/gtest.h>

#include <cmath>

#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"

TEST(FramePacer, SixtyHertzCarriesTheRemainder) {
    TFramePacer p;
    p.hertz = 60;
    p.started = true;
    p.next = 1000;
    // 1000 / 60 = 16 remainder 40: the remainders 40, 80 -> 20, 60 -> 0 give 16, 17, 17 ms.
    EXPECT_EQ(p.Advance(1000), 16u);
    EXPECT_EQ(p.next, 1016u);
    EXPECT_EQ(p.Advance(1010), 23u);
    EXPECT_EQ(p.next, 1033u);
    EXPECT_EQ(p.Advance(1033), 17u);
    EXPECT_EQ(p.next, 1050u);  // three frames in exactly 50 ms
}

TEST(FramePacer, LateFrameRestartsTheScheduleFromNow) {
    TFramePacer p;
    p.hertz = 60;
    p.started = true;
    p.next = 1000;
    EXPECT_EQ(p.Advance(5000), 0u);
    EXPECT_EQ(p.next, 5000u);
    EXPECT_EQ(p.Advance(5000), 17u);  // the carried remainder has reached 60 again
}

TEST(FramePacer, ScheduleSurvivesClockWrap) {
    TFramePacer p;
    p.hertz = 50;
    p.started = true;
    p.next = 0xFFFFFFF0u;
    EXPECT_EQ(p.Advance(0xFFFFFFF0u), 20u);  // next wraps to 4
    EXPECT_EQ(p.next, 4u);
    EXPECT_EQ(p.Advance(2), 22u);
}

TEST(DrawState, MatrixFollowsRotationAndScale) {
    UseHeadlessWindow(true);
    OpenGraphicsWindow(320, 240, 0, 60, 0);
    SetDrawScale(2, 3);
    SetDrawRotation(90);
    const TDrawState& d = CurrentDrawState();
    // ix = cos r * sx, iy = -sin r * sy, jx = sin r * sx, jy = cos r * sy
    EXPECT_NEAR(d.ix, 0, 1e-6);
    EXPECT_NEAR(d.iy, -3, 1e-6);
    EXPECT_NEAR(d.jx, 2, 1e-6);
    EXPECT_NEAR(d.jy, 0, 1e-6);
    SetDrawRotation(30);
    EXPECT_NEAR(d.ix, 2 * std::cos(M_PI / 6), 1e-5);
    EXPECT_NEAR(d.jx, 2 * 0.5, 1e-5);
}

TEST(DrawState, NewWindowRestoresDefaultsButKeepsMaskColour) {
    UseHeadlessWindow(true);
    OpenGraphicsWindow(320, 240, 0, 60, 0);
    SetDrawColor(300, -5, 7);
    SetDrawAlpha(0.25f);
    SetDrawBlendMode(3);
    SetDrawHandle(4, 5);
    SetDrawOrigin(6, 7);
    SetImageMaskColor(255, 0, 255);
    const TDrawState& d = CurrentDrawState();
    EXPECT_EQ(d.red, 255);
    EXPECT_EQ(d.green, 0);
    OpenGraphicsWindow(640, 480, 0, 60, 0);
    EXPECT_EQ(GetGraphicsWidth(), 640);
    EXPECT_EQ(d.red, 255);
    EXPECT_EQ(d.green, 255);
    EXPECT_EQ(d.blue, 255);
    EXPECT_EQ(d.alpha, 1.0f);
    EXPECT_EQ(d.blendMode, 1);
    EXPECT_EQ(d.handleX, 0);
    EXPECT_EQ(d.originY, 0);
    EXPECT_EQ(d.clearRed, 0);
    EXPECT_EQ(d.maskRed, 255);
    EXPECT_EQ(d.maskGreen, 0);
    EXPECT_EQ(d.maskBlue, 255);
    SetImageMaskColor(0, 0, 0);
}

TEST(DrawState, AlphaByteTruncatesAndClamps) {
    EXPECT_EQ(AlphaByte(1.0f), 255);
    EXPECT_EQ(AlphaByte(0.5f), 127);   // 127.5 truncated
    EXPECT_EQ(AlphaByte(1.0f / 3), 85);
    EXPECT_EQ(AlphaByte(2.0f), 255);
    EXPECT_EQ(AlphaByte(-1.0f), 0);
    EXPECT_EQ(AlphaByte(NAN), 0);
}

TEST(Input, KeyHitsCountTransitionsAndTypedQueueIsBounded) {
    ClearKeyboardState();
    InputKeyDown(kKeyF1);
    InputKeyDown(kKeyF1);  // auto-repeat: still held, no new transition
    EXPECT_EQ(IsKeyHeld(kKeyF1), 1);
    InputKeyUp(kKeyF1);
    InputKeyDown(kKeyF1);
    EXPECT_EQ(TakeKeyHits(kKeyF1), 2);
    EXPECT_EQ(TakeKeyHits(kKeyF1), 0);
    for (int i = 0; i < 300; ++i) InputTypedChar('a' + i % 26);
    int taken = 0;
    while (TakeTypedChar()) ++taken;
    EXPECT_EQ(taken, 256);
    InputKeyDown(kKeyEscape);
    InputTypedChar('x');
    ClearKeyboardState();
    EXPECT_EQ(IsKeyHeld(kKeyEscape), 0);
    EXPECT_EQ(TakeTypedChar(), 0);
}

TEST(Input, MouseWheelSumsUntilCleared) {
    ClearMouseState();
    InputMouseWheel(1);
    InputMouseWheel(1);
    InputMouseWheel(-1);
    InputMouseButton(2, true);
    EXPECT_EQ(ReadMouseWheel(), 1);
    EXPECT_EQ(IsMouseButtonHeld(2), 1);
    ClearMouseState();
    EXPECT_EQ(ReadMouseWheel(), 0);
    EXPECT_EQ(IsMouseButtonHeld(2), 0);
}

TEST(Input, AQuickClickBetweenTwoFramesIsSeenHeldOnce) {
    ClearMouseState();
    InputMouseButton(1, true);
    InputMouseButton(1, false);  // both within one poll
    PollWindowEvents();          // a second poll before the game looked keeps it
    EXPECT_EQ(IsMouseButtonHeld(1), 1);
    EXPECT_EQ(IsMouseButtonHeld(1), 1);  // the whole frame sees it
    PollWindowEvents();
    EXPECT_EQ(IsMouseButtonHeld(1), 0);
    // A press the game has seen lets go at once.
    InputMouseButton(3, true);
    EXPECT_EQ(IsMouseButtonHeld(3), 1);
    InputMouseButton(3, false);
    EXPECT_EQ(IsMouseButtonHeld(3), 0);
}
