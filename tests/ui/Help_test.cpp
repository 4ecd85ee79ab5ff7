// The help script at its phase bounds with its clock driven by hand, and F1 opening and closing it.
#include <gtest/gtest.h>

#include <cmath>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/StartUp.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Drawing.h"
#include "font/ChaosFontModule.h"
#include "ui/screens/TCredits.h"
#include "ui/screens/THelp.h"

namespace {
class HelpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Started and stopped: channels keep playing until stopped, whatever their length.
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
    void TearDown() override {
        HelpScreen = nullptr;
        CreditsScreen = nullptr;
    }
    static void At(const THelpPtr& screen, int t) {
        screen->SpeedControl->StartAt(7000);
        screen->SpeedControl->UpdateTimeAt(7000 + t);
        screen->showAtDuration();
    }
    static float Alpha() { return CurrentDrawState().alpha; }
};
}  // namespace

TEST_F(HelpTest, WordsStandInTheirSentencesInOrder) {
    THelpPtr help = THelp::start();
    const float s = ScaleX * help->Zoom;
    auto halfWidth = [&](int k) { return 0.5f * s * MeasureTextWidth(help->TextLine[k]->Text); };
    // Each word right of the one before it, not overlapping it: the short prefix of
    // "MOUSEWHEEL" and its own centre still put it after "OR".
    for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19})
        EXPECT_GT(help->X[k + 1] - halfWidth(k + 1), help->X[k] + halfWidth(k)) << k;
    // Sentence 3 without its nudged word is centred on design x 760.
    EXPECT_NEAR(0.5f * (help->X[15] - halfWidth(15) + help->X[20] + halfWidth(20)), 760 * ScaleX, 0.01);
    EXPECT_FLOAT_EQ(help->X[21], 390);
    EXPECT_EQ(help->TextLine[21]->Text, "PRESS ANY KEY TO RETURN TO THE MENU");
    EXPECT_EQ(help->MovingWayX, (std::vector<int>{-5, 0, 5, 0, -5, 0, 5, 0, -5}));
    EXPECT_EQ(help->MovingWayY, (std::vector<int>{0, -5, 0, 5, 0, -5, 0, 5, 0}));
}

TEST_F(HelpTest, ScriptWobblesRocksRestsAndEndsItself) {
    THelpPtr help = THelp::start();
    HelpScreen = help;
    LaunchState = 0;
    At(help, 0);
    EXPECT_EQ(Alpha(), 0);  // the return line, last drawn, is not there yet

    // Word 0 wobbles along x, -sin(22.5 degrees) of -5 pixels; word 1 along y.
    At(help, 1125);
    EXPECT_NEAR(help->TextLine[0]->MidX, help->X[0] + 1.9134172f, 1e-4);
    EXPECT_NEAR(help->TextLine[0]->MidY, 168.6f, 1e-4);
    EXPECT_FLOAT_EQ(help->TextLine[1]->MidX, help->X[1]);
    EXPECT_NEAR(help->TextLine[1]->MidY, 164.871789f, 1e-4);

    // The wobble has died away; sentences 2 and 3 rock, neighbours the other way.
    At(help, 5000);
    EXPECT_FLOAT_EQ(help->TextLine[4]->MidX, help->X[4]);
    EXPECT_FLOAT_EQ(help->TextLine[3]->MidY, 168.6f);
    EXPECT_NEAR(help->TextLine[9]->Rotation, -2.6702512f, 1e-4);
    EXPECT_NEAR(help->TextLine[16]->Rotation, 6, 1e-4);
    EXPECT_NEAR(help->TextLine[20]->Rotation, 12, 1e-4);
    EXPECT_NEAR(help->TextLine[20]->MidY, 281, 1e-4);

    At(help, 7500);
    for (int i = 9; i < 21; ++i) EXPECT_EQ(help->TextLine[i]->Rotation, 0) << i;
    At(help, 11750);
    EXPECT_NEAR(Alpha(), 0.5f, 1e-6);
    EXPECT_NEAR(help->TextLine[21]->MidY, 354.06f, 1e-3);

    // The fade-out starts from full alpha, every word at rest, and still draws at 18000 ms.
    At(help, 15999);
    At(help, 16000);
    EXPECT_EQ(Alpha(), 1);
    At(help, 17000);
    EXPECT_NEAR(Alpha(), 0.5f, 1e-6);
    for (int i = 0; i < 21; ++i) {
        EXPECT_FLOAT_EQ(help->TextLine[i]->MidX, help->X[i]) << i;
        EXPECT_EQ(help->TextLine[i]->Rotation, 0) << i;
    }
    At(help, 18000);
    EXPECT_EQ(Alpha(), 0);
    EXPECT_EQ(HelpScreen, help);
    EXPECT_EQ(LaunchState, 0);

    // The end clears the screen but leaves its music, which ends with it.
    SetDrawAlpha(0.25f);
    At(help, 18001);
    EXPECT_EQ(HelpScreen, nullptr);
    EXPECT_EQ(LaunchState, 1);
    EXPECT_EQ(Alpha(), 0.25f);
    EXPECT_EQ(IsChannelPlaying(help->Kanal), 1);
    StopSoundChannel(help->Kanal);
}

TEST_F(HelpTest, F1OpensOverTheCreditsAndClosesWithItsMusic) {
    CloseHelpScreen();  // none running: nothing happens
    EXPECT_EQ(HelpScreen, nullptr);

    LaunchState = 0;
    CreditsScreen = TCredits::start();
    ToggleHelpScreen();
    ASSERT_TRUE(HelpScreen);
    THelpPtr first = HelpScreen;
    EXPECT_EQ(CreditsScreen, nullptr);
    EXPECT_EQ(LaunchState, 1);
    EXPECT_EQ(IsChannelPlaying(first->Kanal), 1);
    EXPECT_EQ(PlayingSounds().back(), first->Music);

    ToggleHelpScreen();
    EXPECT_EQ(HelpScreen, nullptr);
    EXPECT_EQ(IsChannelPlaying(first->Kanal), 0);

    // F1 again: a new screen at the scale of the moment.
    ScaleX = ScaleY = 1;
    ToggleHelpScreen();
    ASSERT_TRUE(HelpScreen);
    EXPECT_NE(HelpScreen, first);
    EXPECT_FLOAT_EQ(HelpScreen->X[21], 780);
    EXPECT_EQ(HelpScreen->MovingWayX[0], -10);
    // Closed early, the help leaves LaunchState as it was.
    LaunchState = 0;
    CloseHelpScreen();
    EXPECT_EQ(LaunchState, 0);
    ScaleX = ScaleY = 0.5f;
}
