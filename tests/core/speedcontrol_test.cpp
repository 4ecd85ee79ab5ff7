// The animation clock's channels, curves and delay tables, with the clock driven by hand.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/TSpeedControl.h"

namespace {
TSpeedControl At(int t, int period = 750, int offset = 0) {
    TSpeedControl c;
    c.StartAt(100000);
    c.UpdateTimeAt(100000 + t);
    c.UpdateStates(period, offset);
    return c;
}
}  // namespace

TEST(SpeedControl, ChannelsFromTheStartPointOn) {
    TSpeedControl c = At(1000);
    EXPECT_EQ(c.Duration, 1000);
    EXPECT_EQ(c.Repetitions, 1);
    const float third = 1.0f / 3, twoThirds = 2.0f / 3;
    const float expected[7] = {1, third, twoThirds, twoThirds, third, twoThirds, twoThirds};
    for (int k = 0; k < 7; ++k) {
        EXPECT_NEAR(c.AbsState[k], expected[k], 1e-6) << k;
        EXPECT_EQ(c.Sign[k], 1) << k;
    }
    TSpeedControl d = At(2000);
    EXPECT_EQ(d.Repetitions, 2);
    EXPECT_NEAR(d.AbsState[2], twoThirds, 1e-6);
    EXPECT_EQ(d.Sign[3], -1);
    EXPECT_EQ(d.Sign[6], -1);
    EXPECT_EQ(d.Sign[2], 1);
    EXPECT_NEAR(d.GetValue(3, 0), -twoThirds, 1e-6);
}

TEST(SpeedControl, ChannelsBeforeTheStartPoint) {
    TSpeedControl c = At(-100);
    EXPECT_EQ(c.Repetitions, 0);
    EXPECT_NEAR(c.GeneralState, -0.1333333f, 1e-6);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(c.AbsState[k], 0) << k;
    EXPECT_NEAR(c.AbsState[4], 0.8666667f, 1e-6);
    EXPECT_NEAR(c.AbsState[5], 0.1333333f, 1e-6);
    EXPECT_NEAR(c.AbsState[6], 0.1333333f, 1e-6);
    EXPECT_EQ(c.Sign[6], -1);
    TSpeedControl d = At(-800);
    EXPECT_EQ(d.Repetitions, -1);
    EXPECT_NEAR(d.AbsState[5], 0.9333333f, 1e-6);
    EXPECT_EQ(d.Sign[6], -1);
    TSpeedControl e = At(-1600);  // n = -2: channel 6 keeps sign +1
    EXPECT_EQ(e.Repetitions, -2);
    EXPECT_EQ(e.Sign[6], 1);
    // The offset moves the start point: 1000 ms in, an item offset by 1100 is 100 ms early.
    TSpeedControl f = At(1000, 750, 1100);
    EXPECT_NEAR(f.AbsState[4], 0.8666667f, 1e-6);
}

TEST(SpeedControl, CurvesAtTheirBoundsAndMidpoints) {
    for (int curve = 0; curve <= 16; ++curve) EXPECT_NEAR(EaseCurve(curve, 0, 1), 0, 1e-12) << curve;
    for (int curve : {1, 3, 4, 8, 9, 13, 14, 15}) {
        EXPECT_NEAR(EaseCurve(curve, 1, 1), 1, 1e-12) << curve;
        EXPECT_NEAR(EaseCurve(curve, 1, -1), -1, 1e-12) << curve;
    }
    for (int curve : {2, 5, 6, 7, 10, 11, 12}) EXPECT_NEAR(EaseCurve(curve, 1, 1), 1, 1e-4) << curve;
    EXPECT_NEAR(EaseCurve(1, 0.5, 1), 0.5, 1e-12);
    EXPECT_NEAR(EaseCurve(3, 0.5, 1), 0.125, 1e-12);
    EXPECT_NEAR(EaseCurve(4, 0.5, 1), 1 - 1.0 / 32, 1e-12);
    EXPECT_NEAR(EaseCurve(13, 0.5, 1), 0.70710678, 1e-8);
    EXPECT_NEAR(EaseCurve(14, 0.5, 1), 1 - 0.70710678, 1e-8);
    EXPECT_NEAR(EaseCurve(9, 0.25, 1), 1 - 0.421875 - 0.125, 1e-9);
    EXPECT_NEAR(EaseCurve(5, 0.78, 1), 1.10, 0.01);   // overshoot
    EXPECT_NEAR(EaseCurve(7, 0.65, 1), 1.10, 0.01);
    EXPECT_NEAR(EaseCurve(6, 0.37, 1), -0.09, 0.01);  // dip
    EXPECT_EQ(EaseCurve(15, 0.49, 1), 0);
    EXPECT_EQ(EaseCurve(15, 0.5, 1), 1);
    EXPECT_EQ(EaseCurve(15, 0.5, -1), -1);
    EXPECT_EQ(EaseCurve(15, 0.49, -1), 0);
    EXPECT_NEAR(EaseCurve(200, 0.3, -1), -0.3, 1e-12);
}

TEST(SpeedControl, WaitingSequences) {
    using V = std::vector<int>;
    EXPECT_EQ(TSpeedControl::CreateWaitingSequence(2000, 400, 15, 2, 0),
              (V{1600, 1386, 1173, 960, 746, 533, 320, 106, 320, 533, 746, 960, 1173, 1386, 1600}));
    EXPECT_EQ(TSpeedControl::CreateWaitingSequence(2000, 400, 15, 3, 0),
              (V{0, 213, 426, 640, 853, 1066, 1280, 1493, 1280, 1066, 853, 640, 426, 213, 0}));
    EXPECT_EQ(TSpeedControl::CreateWaitingSequence(2000, 400, 15, 0, 0),
              (V{0, 106, 213, 320, 426, 533, 640, 746, 853, 960, 1066, 1173, 1280, 1386, 1493}));
    EXPECT_EQ(TSpeedControl::CreateWaitingSequence(200, 100, 4, 2, 0), (V{100, 0, 0, 100}));
    EXPECT_EQ(TSpeedControl::CreateWaitingSequence(100, 0, 4, 1, 50), (V{125, 100, 75, 50}));
    EXPECT_TRUE(TSpeedControl::CreateWaitingSequence(100, 0, 0, 0, 0).empty());
    V shuffled = TSpeedControl::CreateWaitingSequence(100, 0, 4, 4, 0);
    std::sort(shuffled.begin(), shuffled.end());
    EXPECT_EQ(shuffled, (V{0, 25, 50, 75}));
    for (int v : TSpeedControl::CreateWaitingSequence(10, 0, 50, 9, 5)) {
        EXPECT_GE(v, 5);
        EXPECT_LE(v, 15);
    }
}

TEST(SpeedControl, DurationAcrossClockWrap) {
    TSpeedControl c;
    c.StartAt(0xFFFFFF00u);
    c.UpdateTimeAt(0x100u);
    EXPECT_EQ(c.Duration, 0x200);
}
