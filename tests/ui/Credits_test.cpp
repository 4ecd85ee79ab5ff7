// The credits script with its clock driven by hand: when letters arrive, which sounds start,
// the fall and the end.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Drawing.h"
#include "font/ChaosFontModule.h"
#include "ui/screens/TCredits.h"

namespace {
class CreditsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Started and stopped: every sound started stays in the list of playing channels.
        PreferAudioOutput("silent");
        InitAudioDriverModule();
        StopAudioDriver();
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        SelectTextFont(
            LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
        ScaleX = ScaleY = 0.5f;
        ScreenWidth = 750;
        ScreenHeight = 562;
    }
    static void TearDownTestSuite() { SelectTextFont(nullptr); }
    static void At(const TCreditsPtr& screen, int t) {
        screen->SpeedControl->StartAt(3000);
        screen->SpeedControl->UpdateTimeAt(3000 + t);
        screen->showAtDuration();
    }
    // How many times each of the screen's sounds started since the mark.
    static int Started(const TSoundPtr& sound, size_t mark) {
        std::vector<TSoundPtr> all = PlayingSounds();
        return static_cast<int>(std::count(all.begin() + mark, all.end(), sound));
    }
};
}  // namespace

TEST_F(CreditsTest, LettersClickIntoPlaceOnceEachAndTheLastOneFalls) {
    TCreditsPtr credits = TCredits::start();
    CreditsScreen = credits;
    EXPECT_EQ(credits->WaitSequence, (std::vector<int>{0, 3330, 6300, 9990, 13680, 15840, 18810, 21600}));
    EXPECT_EQ(credits->X, 405);
    EXPECT_EQ(credits->Y, (std::vector<int>{120, 160, 230, 300, 370, 410, 480}));
    EXPECT_EQ(credits->MemoClick.size(), 248u);
    const size_t mark = PlayingSounds().size();
    TTextLine& first = *credits->TextLine[0];

    At(credits, 499);
    EXPECT_EQ(Started(credits->ClickSound, mark), 0);
    EXPECT_EQ(first.LetterDistanceX[0], 1500);
    At(credits, 500);
    At(credits, 510);
    EXPECT_EQ(Started(credits->ClickSound, mark), 1);
    EXPECT_EQ(first.LetterDistanceX[0], 0);
    EXPECT_EQ(first.LetterDistanceX[1], 1500);
    At(credits, 564);
    EXPECT_EQ(Started(credits->ClickSound, mark), 2);

    // A long frame clicks every letter it skipped, once each, spaces silently: all of line 0
    // and "(PROGRAMMING, GRAPH" of line 1, 57 letters with 7 spaces.
    At(credits, 5000);
    At(credits, 5001);
    EXPECT_EQ(Started(credits->ClickSound, mark), 50);
    EXPECT_EQ(std::count(credits->MemoClick.begin(), credits->MemoClick.end(), 1), 57);

    // The last letter arrives at 21294 ms with its click and the falling sound.
    At(credits, 21293);
    EXPECT_EQ(Started(credits->FallSound, mark), 0);
    At(credits, 21294);
    At(credits, 21600);
    EXPECT_EQ(Started(credits->FallSound, mark), 1);
    EXPECT_EQ(Started(credits->ClickSound, mark), 247 - 35);
    for (const TTextLinePtr& line : credits->TextLine)
        for (float d : line->LetterDistanceX) EXPECT_EQ(d, 0);

    // The fall starts at the middle letter of line 0 and spreads outwards; odd lines turn back.
    At(credits, 21601);
    EXPECT_GT(first.LetterDistanceY[18], 0);
    EXPECT_EQ(first.LetterDistanceY[17], 0);
    EXPECT_EQ(first.LetterDistanceY[19], 0);
    At(credits, 23600);
    EXPECT_FLOAT_EQ(first.LetterDistanceY[18], 1000);
    EXPECT_FLOAT_EQ(first.LetterRotation[18], 360);
    EXPECT_NEAR(credits->TextLine[1]->LetterRotation[16], -292.54273f, 1e-3);
    EXPECT_NEAR(credits->TextLine[1]->LetterDistanceY[16], 812.61869f, 1e-3);

    At(credits, 25599);
    EXPECT_EQ(CreditsScreen, credits);
    At(credits, 25600);
    EXPECT_EQ(CreditsScreen, nullptr);
    EXPECT_EQ(Started(credits->FallSound, mark), 1);
    EXPECT_EQ(Started(credits->ClickSound, mark), 212);

    // Closing leaves the sounds playing; with nothing running it does nothing.
    CreditsScreen = credits;
    CloseCreditsScreen();
    EXPECT_EQ(CreditsScreen, nullptr);
    CloseCreditsScreen();
    EXPECT_EQ(Started(credits->ClickSound, mark), 212);
}
