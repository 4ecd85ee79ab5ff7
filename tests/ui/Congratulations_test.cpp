// The congratulations script at fixed times, with its clock driven by hand.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "font/ChaosFontModule.h"
#include "core/layer/AudioOutput.h"
#include "ui/screens/TCongratulations.h"

namespace {
class CongratulationsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        PreferAudioOutput("silent");
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        SelectTextFont(
            LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
        ScaleX = ScaleY = 0.5f;
        ScreenWidth = 751;  // odd: the word stands at W div 2
        ScreenHeight = 563;
        screen = TCongratulations::start();
    }
    static void TearDownTestSuite() {
        screen.reset();
        SelectTextFont(nullptr);
    }
    // One frame at t ms after the start.
    static void At(int t) {
        screen->SpeedControl->StartAt(50000);
        screen->SpeedControl->UpdateTimeAt(50000 + t);
        screen->showAtDuration();
    }
    static float Alpha() { return CurrentDrawState().alpha; }
    static float WordScale() { return screen->TextLine->Scale[0]; }
    static TCongratulationsPtr screen;
};
TCongratulationsPtr CongratulationsTest::screen;
}  // namespace

TEST_F(CongratulationsTest, StartBuildsTheGoldWordWithItsWave) {
    ASSERT_TRUE(screen->TextLine);
    EXPECT_EQ(screen->TextLine->Text, "CONGRATULATIONS");
    EXPECT_EQ(screen->TextLine->LetterColor[4], (std::array<int, 3>{255, 215, 55}));
    EXPECT_EQ(screen->WaitSequence,
              (std::vector<int>{1600, 1386, 1173, 960, 746, 533, 320, 106, 320, 533, 746, 960, 1173, 1386, 1600}));
    ASSERT_TRUE(screen->Music);
    ASSERT_TRUE(screen->C_Background);
    EXPECT_EQ(GetImageWidth(screen->C_Background), 440);
    EXPECT_FLOAT_EQ(screen->C_Background->handleX, 220);
    EXPECT_FLOAT_EQ(screen->C_Background->handleY, 70);
}

TEST_F(CongratulationsTest, GrowsInOverTheFirstThreeSeconds) {
    At(0);
    EXPECT_EQ(Alpha(), 0);
    EXPECT_EQ(WordScale(), 0);
    for (float d : screen->TextLine->LetterDistanceY) EXPECT_EQ(d, 0);
    EXPECT_FLOAT_EQ(screen->TextLine->MidX, 375);
    EXPECT_FLOAT_EQ(screen->TextLine->MidY, 281);

    At(4000);
    EXPECT_NEAR(Alpha(), 1, 1e-4);
    EXPECT_NEAR(WordScale(), 1, 1e-4);
    EXPECT_NEAR(CurrentDrawState().scaleX, 0.5f, 1e-4);
    // Letter 0 (delay 1600) is 2400 ms into its wave: sin(72 degrees) up, at full height.
    EXPECT_NEAR(screen->TextLine->LetterDistanceY[0], -10 * 0.9510565, 1e-3);
    // The middle letter (delay 106) is 3894 ms in, in a falling half-period below the line:
    // -sin(90 x 0.212 degrees).
    EXPECT_NEAR(screen->TextLine->LetterDistanceY[7], 10 * 0.3268880, 1e-3);

    // The two branches meet without a jump.
    At(5499);
    float before = WordScale();
    At(5500);
    EXPECT_NEAR(WordScale(), before, 1e-4);
    EXPECT_NEAR(Alpha(), 1, 1e-4);
}

TEST_F(CongratulationsTest, ShrinksAndFadesOutToNineSeconds) {
    At(6000);
    EXPECT_FLOAT_EQ(Alpha(), 1);
    EXPECT_FLOAT_EQ(WordScale(), 1);

    At(7500);
    EXPECT_NEAR(Alpha(), 0.5f, 1e-6);
    EXPECT_NEAR(WordScale(), 0.925f, 1e-6);
    // Half the bobbing height: letter 0 is in a falling, negative half (-sin 18 degrees),
    // the middle letter at -sin(90 x 0.788).
    EXPECT_NEAR(screen->TextLine->LetterDistanceY[0], 1.5450850, 1e-4);
    EXPECT_NEAR(screen->TextLine->LetterDistanceY[7], 4.7253154, 1e-4);

    At(9000);
    EXPECT_EQ(Alpha(), 0);
    EXPECT_NEAR(WordScale(), 0.7f, 1e-6);

    // Past the end nothing is drawn and nothing is touched.
    SetDrawAlpha(0.25f);
    screen->TextLine->Scale = {3, 3};
    At(9001);
    EXPECT_EQ(Alpha(), 0.25f);
    EXPECT_EQ(WordScale(), 3);
}
