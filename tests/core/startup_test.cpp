// The window-size rule and the desktop's aspect ratio.
#include <gtest/gtest.h>

#include "core/Desktop.h"
#include "core/StartUp.h"

namespace {
void ExpectWindow(int dw, int dh, int w, int h) {
    TWindowChoice c = ChooseWindowSize(dw, dh, false, 0, 0);
    EXPECT_FALSE(c.savedAccepted);
    EXPECT_EQ(c.width, w) << dw << "x" << dh;
    EXPECT_EQ(c.height, h) << dw << "x" << dh;
    EXPECT_EQ(c.scaleX, c.scaleY);
}
}  // namespace

TEST(WindowSize, FollowsTheDesktopWithoutASavedSize) {
    ExpectWindow(1920, 1080, 1349, 1012);  // 0.9f is just below 0.9
    ExpectWindow(1280, 1024, 1200, 900);   // narrower than 4:3: limited by the width
    ExpectWindow(800, 600, 750, 562);
    ExpectWindow(1600, 1200, 1500, 1125);  // never beyond the design canvas
    ExpectWindow(2560, 1440, 1500, 1125);
    ExpectWindow(4096, 2160, 1500, 1125);
    EXPECT_FLOAT_EQ(ChooseWindowSize(1280, 1024, false, 0, 0).scaleX, 0.8f);
    EXPECT_FLOAT_EQ(ChooseWindowSize(1920, 1080, false, 0, 0).scaleX, 0.9f);
}

TEST(WindowSize, SavedSizeIsTakenOnlyWhenItFits) {
    // 1280 x 1024 allows 1200 x 960.
    TWindowChoice ok = ChooseWindowSize(1280, 1024, true, 1200, 900);
    EXPECT_TRUE(ok.savedAccepted);
    EXPECT_EQ(ok.width, 1200);
    EXPECT_EQ(ok.height, 900);
    EXPECT_FLOAT_EQ(ok.scaleX, 0.8f);
    TWindowChoice edge = ChooseWindowSize(1280, 1024, true, 1200, 960);
    EXPECT_TRUE(edge.savedAccepted);
    // Each side is held to its own limit: one too large alone refuses the size.
    EXPECT_FALSE(ChooseWindowSize(1280, 1024, true, 1201, 900).savedAccepted);
    EXPECT_FALSE(ChooseWindowSize(1280, 1024, true, 1200, 961).savedAccepted);
    TWindowChoice refused = ChooseWindowSize(1280, 1024, true, 1300, 975);
    EXPECT_FALSE(refused.savedAccepted);
    EXPECT_EQ(refused.width, 1200);  // falls back to the desktop rule
    // A damaged file's zero or negative size is no size at all.
    EXPECT_FALSE(ChooseWindowSize(1280, 1024, true, 0, 0).savedAccepted);
    EXPECT_FALSE(ChooseWindowSize(1280, 1024, true, -5, 300).savedAccepted);
    EXPECT_FALSE(ChooseWindowSize(1280, 1024, true, 300, 0).savedAccepted);
}

TEST(Desktop, AspectRatioAndGreatestCommonDivisor) {
    EXPECT_EQ(GreatestCommonDivisor(1920, 1080), 120);
    EXPECT_EQ(GreatestCommonDivisor(1080, 1920), 120);
    EXPECT_EQ(GreatestCommonDivisor(7, 7), 7);
    EXPECT_EQ(AspectRatioOf(1920, 1080), "16:9");
    EXPECT_EQ(AspectRatioOf(1280, 1024), "5:4");
    EXPECT_EQ(AspectRatioOf(1024, 768), "4:3");
    EXPECT_EQ(AspectRatioOf(1680, 1050), "16:10");
    EXPECT_EQ(AspectRatioOf(1440, 900), "16:10");
}
