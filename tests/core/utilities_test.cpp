// Angles, colours, permutations, the umlaut conversion and the home folder.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>

#include "core/Configuration.h"
#include "core/Utilities.h"
#include "tests/support/ChildProcess.h"

TEST(Angles, VectorAngleInEveryDirection) {
    EXPECT_FLOAT_EQ(VectorAngle(0, 0, 10, 0), 360);
    EXPECT_FLOAT_EQ(VectorAngle(0, 0, 0, 10), 90);
    EXPECT_FLOAT_EQ(VectorAngle(0, 0, -10, 0), 180);
    EXPECT_FLOAT_EQ(VectorAngle(0, 0, 0, -10), 270);
    EXPECT_FLOAT_EQ(VectorAngle(3, 4, 3, 4), 270);
    EXPECT_NEAR(VectorAngle(0, 0, 10, 10), 45, 1e-4);
    EXPECT_NEAR(VectorAngle(0, 0, -10, 10), 135, 1e-4);
    EXPECT_NEAR(VectorAngle(0, 0, -10, -10), 225, 1e-4);
    EXPECT_NEAR(VectorAngle(0, 0, 10, -10), 315, 1e-4);
    EXPECT_NEAR(VectorAngle(5, 5, 5 + 17.320508f, 15), 30, 1e-3);
}

TEST(Angles, DifferenceIsTheSmallerAngle) {
    EXPECT_FLOAT_EQ(AngleDifference(350, 10), 20);
    EXPECT_FLOAT_EQ(AngleDifference(10, 350), 20);
    EXPECT_FLOAT_EQ(AngleDifference(0, 540), 180);
    EXPECT_FLOAT_EQ(AngleDifference(-90, 90), 180);
    EXPECT_FLOAT_EQ(AngleDifference(-30, 30), 60);
    EXPECT_FLOAT_EQ(AngleDifference(720, 0), 0);
    EXPECT_FLOAT_EQ(AngleDifference(100, 281), 179);
}

TEST(Colours, PackAndUnpack) {
    int word = static_cast<int>(0x80FF0000u);
    EXPECT_EQ(ColorAlpha(word), 128);
    EXPECT_EQ(ColorRed(word), 255);
    EXPECT_EQ(ColorGreen(word), 0);
    EXPECT_EQ(static_cast<unsigned>(ColorPack(255, 1, 2, 3)), 0xFF010203u);
    EXPECT_EQ(ColorBlue(ColorPack(0, 0, 0, 200)), 200);
}

TEST(Permutation, EveryValueOnceAndSmallCounts) {
    EXPECT_EQ(RandomPermutation(0), std::vector<int>{0});
    EXPECT_EQ(RandomPermutation(-3), std::vector<int>{0});
    EXPECT_EQ(RandomPermutation(1), std::vector<int>{0});
    for (int n : {2, 7, 100}) {
        std::vector<int> p = RandomPermutation(n);
        ASSERT_EQ(static_cast<int>(p.size()), n);
        std::sort(p.begin(), p.end());
        for (int k = 0; k < n; ++k) EXPECT_EQ(p[k], k);
    }
}

TEST(Umlauts, BothDirections) {
    const std::string latin1 = "Gr\xFC\xDF"" \xC4\xE4\xD6\xF6\xDC";
    const std::string utf8 = "Gr\xC3\xBC\xC3\x9F"" \xC3\x84\xC3\xA4\xC3\x96\xC3\xB6\xC3\x9C";
    EXPECT_EQ(FixUtf8Umlauts(latin1, 0), utf8);
    EXPECT_EQ(FixUtf8Umlauts(utf8, 1), latin1);
    // Mac Roman letters become the same single characters; others stay.
    EXPECT_EQ(FixUtf8Umlauts("\x80\x8A\x85\x9A\x86\x9F\xA7", 1), "\xC4\xE4\xD6\xF6\xDC\xFC\xDF");
    EXPECT_EQ(FixUtf8Umlauts("\xC3\xA9 plain", 1), "\xC3\xA9 plain");
    EXPECT_EQ(FixUtf8Umlauts("abc", 0), "abc");
    EXPECT_EQ(FixUtf8Umlauts("ends with \xC3", 1), "ends with \xC3");
}

TEST(HomeFolder, WithoutHomeTheAccountsFolderAsTheSystemRecordsIt) {
    EXPECT_TRUE(HoldsInChild([] {
        const std::string path = std::string(getpwuid(getuid())->pw_dir) + "/.PlarnPuzzle.ini";
        setenv("HOME", "", 1);
        const bool empty = ConfigurationPath() == path;
        unsetenv("HOME");
        return empty && ConfigurationPath() == path;
    }));
}
