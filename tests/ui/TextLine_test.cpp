// The letter-by-letter text line: its layout at build time, where draw puts each letter, and
// the random offsets to the window's edges.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"
#include "font/ChaosFontModule.h"
#include "tests/font/SyntheticStrip.h"
#include "ui/screens/TTextLine.h"

namespace {
// A font whose A and B both advance 40 (ink over 41 columns) in cells 30 high.
class TextLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ChaosFontModuleInit();
        std::string path = strips::WriteStrip("ab.png", 50, 30,
                                              {strips::Span(0, 40, 10), strips::Span(5, 45, 20)});
        SelectTextFont(LoadAutoSizedChaosFont(path, 50, 30, 48, "AB", 0, 0));
        ASSERT_EQ(MeasureTextWidth("AB"), 80);
        ScaleX = ScaleY = 0.5f;
        ScreenWidth = 800;
        ScreenHeight = 600;
    }
    void TearDown() override { SelectTextFont(nullptr); }
};
}  // namespace

TEST_F(TextLineTest, BuildPlacesLettersAroundAPointLeftOfCentre) {
    TTextLinePtr line = TTextLine::build("AB", {10, 20, 30});
    EXPECT_EQ(line->LetterCount, 1);
    EXPECT_FLOAT_EQ(line->TextHalfWidth, 40);
    EXPECT_FLOAT_EQ(line->TextHalfHeight, 15);
    ASSERT_EQ(line->Letter.size(), 2u);
    EXPECT_EQ(line->Letter[0], "A");
    EXPECT_EQ(line->Letter[1], "B");
    EXPECT_FLOAT_EQ(line->LetterHalfWidth[0], 20);
    // 0 - 1.12 x 40 + 20 and 40 - 44.8 + 20
    EXPECT_NEAR(line->LetterTextInterval[0], -24.8f, 1e-5);
    EXPECT_NEAR(line->LetterTextInterval[1], 15.2f, 1e-5);
    EXPECT_EQ(line->LetterColor[1], (std::array<int, 3>{10, 20, 30}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(line->LetterRotation[i], 0);
        EXPECT_EQ(line->LetterDistanceX[i], 0);
        EXPECT_EQ(line->LetterDistanceY[i], 0);
    }
    // Colours of any other length give white.
    EXPECT_EQ(TTextLine::build("AB", {1, 2})->LetterColor[0], (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(TTextLine::build("AB", {1, 2, 3, 4})->LetterColor[1], (std::array<int, 3>{255, 255, 255}));

    // A letter without a glyph is half nothing wide and moves the others by nothing.
    TTextLinePtr gap = TTextLine::build("AQB", {});
    EXPECT_FLOAT_EQ(gap->TextHalfWidth, 40);
    EXPECT_FLOAT_EQ(gap->LetterHalfWidth[1], 0);
    EXPECT_NEAR(gap->LetterTextInterval[1], -4.8f, 1e-5);
    EXPECT_NEAR(gap->LetterTextInterval[2], 15.2f, 1e-5);
}

TEST_F(TextLineTest, DrawPlacesTurnsAndColoursEachLetter) {
    TTextLinePtr line = TTextLine::build("AB", {10, 20, 30});
    line->LetterDistanceX[1] = 3;
    line->LetterDistanceY[1] = -4;
    line->LetterRotation[1] = 30;
    line->LetterColor[1] = {7, 8, 9};
    EXPECT_EQ(line->draw(100, 50, 0, {2, 1}), 0);
    // along the line: ScaleX x Scale[0] x interval = 0.5 x 2 x interval
    EXPECT_NEAR(line->LetterMidX[0], 100 - 24.8f, 1e-4);
    EXPECT_NEAR(line->LetterMidY[0], 50, 1e-4);
    EXPECT_NEAR(line->LetterMidX[1], 100 + 15.2f + 3, 1e-4);
    EXPECT_NEAR(line->LetterMidY[1], 46, 1e-4);
    EXPECT_EQ(line->Scale, (std::vector<float>{2, 1}));
    // The state of the last letter stays behind.
    const TDrawState& s = CurrentDrawState();
    EXPECT_FLOAT_EQ(s.scaleX, 1.0f);
    EXPECT_FLOAT_EQ(s.scaleY, 0.5f);
    EXPECT_FLOAT_EQ(s.handleX, 20);
    EXPECT_FLOAT_EQ(s.handleY, -15);
    EXPECT_FLOAT_EQ(s.rotation, 30);
    EXPECT_EQ(s.red, 7);
    EXPECT_EQ(s.blue, 9);

    // Turned by 90 degrees the letters run downwards, spaced by the scale along the line.
    line->draw(100, 50, 90, {2, 1});
    EXPECT_NEAR(line->LetterMidX[0], 100, 1e-4);
    EXPECT_NEAR(line->LetterMidY[0], 50 - 24.8f, 1e-4);
    EXPECT_NEAR(line->LetterMidX[1], 103, 1e-4);
    EXPECT_NEAR(line->LetterMidY[1], 50 + 15.2f - 4, 1e-4);
    EXPECT_FLOAT_EQ(CurrentDrawState().rotation, 120);

    // A scale of any other length draws at [1, 1].
    line->draw(100, 50, 0, {2, 2, 2});
    EXPECT_EQ(line->Scale, (std::vector<float>{1, 1}));
    EXPECT_NEAR(line->LetterMidX[0], 100 - 12.4f, 1e-4);
    EXPECT_FLOAT_EQ(CurrentDrawState().scaleX, 0.5f);
}

TEST_F(TextLineTest, EmptyTextDrawsNothing) {
    TTextLinePtr line = TTextLine::build("", {});
    EXPECT_EQ(line->LetterCount, -1);
    SetDrawRotation(7);
    EXPECT_EQ(line->draw(10, 10, 45, {}), 0);
    EXPECT_FLOAT_EQ(CurrentDrawState().rotation, 7);
}

TEST_F(TextLineTest, RandomEdgeLiesJustOutsideOneSide) {
    TTextLinePtr line = TTextLine::build("AB", {});
    SetRandomSeed(1234);
    // e = 4 x sqrt(20^2 + 15^2) = 100; the letter's place is 0.5 x -24.8 = -12.4 on both axes.
    const float place = -12.4f;
    std::set<int> sides;
    for (int k = 0; k < 400; ++k) {
        std::vector<float> d = line->GetRandomEdge(0, 0, 0);
        ASSERT_EQ(d.size(), 2u);
        float x = d[0] + place, y = d[1] + place;  // the point the letter starts from
        auto whole = [](float v) { return std::fabs(v - std::round(v)) < 1e-3; };
        if (std::fabs(x + 100) < 1e-3) sides.insert(0);
        else if (std::fabs(x - 900) < 1e-3) sides.insert(1);
        else if (std::fabs(y + 100) < 1e-3) sides.insert(2);
        else if (std::fabs(y - 700) < 1e-3) sides.insert(3);
        else FAIL() << "not on an edge: " << x << ", " << y;
        ASSERT_TRUE(whole(x) && whole(y)) << x << ", " << y;
        EXPECT_TRUE(x >= -100 && x <= 900 && y >= -100 && y <= 700) << x << ", " << y;
    }
    EXPECT_EQ(sides.size(), 4u);
}

TEST_F(TextLineTest, GeneralColourNeedsThreeEntries) {
    TTextLinePtr line = TTextLine::build("AB", {10, 20, 30});
    line->SetGeneralLetterColor({});
    line->SetGeneralLetterColor({1, 2});
    EXPECT_EQ(line->LetterColor[0], (std::array<int, 3>{10, 20, 30}));
    line->SetGeneralLetterColor({1, 2, 3});
    EXPECT_EQ(line->LetterColor[0], (std::array<int, 3>{1, 2, 3}));
    EXPECT_EQ(line->LetterColor[1], (std::array<int, 3>{1, 2, 3}));
}
