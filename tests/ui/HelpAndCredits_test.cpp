// The help and credits scripts at their phase bounds with the clock driven by hand, and F1.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/StartUp.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Drawing.h"
#include "font/ChaosFontModule.h"
#include "ui/screens/TCredits.h"
#include "ui/screens/THelp.h"

namespace {
class Overlays : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Started and stopped: every sound started stays on its channel until stopped.
        PreferAudioOutput("silent");
        InitAudioDriverModule();
        StopAudioDriver();
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        SelectTextFont(LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
        ScaleX = ScaleY = 0.5f;
        ScreenHeight = 562;
    }
    static void TearDownTestSuite() { SelectTextFont(nullptr); }
    template <typename Screen>
    static void At(const Screen& screen, int t) {
        screen->SpeedControl->StartAt(7000);
        screen->SpeedControl->UpdateTimeAt(7000 + t);
        screen->showAtDuration();
    }
    static float Alpha() { return CurrentDrawState().alpha; }
    // How often the sound started since the mark.
    static int Started(const TSoundPtr& sound, size_t mark) {
        std::vector<TSoundPtr> all = PlayingSounds();
        return static_cast<int>(std::count(all.begin() + mark, all.end(), sound));
    }
};
}  // namespace

TEST_F(Overlays, HelpWordsStandInOrderAndWobbleRockRestAndEnd) {
    THelpPtr help = THelp::start();
    const float s = ScaleX * help->Zoom;
    auto half = [&](int k) { return 0.5f * s * MeasureTextWidth(help->TextLine[k]->Text); };
    // Each word right of the one before, not overlapping it ("MOUSEWHEEL" after "OR" too), and
    // sentence 3 without its nudged word centred on design x 760.
    for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19})
        EXPECT_GT(help->X[k + 1] - half(k + 1), help->X[k] + half(k)) << k;
    EXPECT_NEAR(0.5f * (help->X[15] - half(15) + help->X[20] + half(20)), 380, 0.01);

    HelpScreen = help;
    LaunchState = 0;
    // Word 0 wobbles -sin(22.5 degrees) of -5 pixels along x, word 1 along y.
    At(help, 1125);
    EXPECT_NEAR(help->TextLine[0]->MidX, help->X[0] + 1.9134172f, 1e-4);
    EXPECT_NEAR(help->TextLine[1]->MidY, 164.871789f, 1e-4);
    EXPECT_EQ(Alpha(), 0);  // the return line, drawn last, is not there yet
    // The wobble has died away; sentences 2 and 3 rock, neighbours the other way.
    At(help, 5000);
    EXPECT_FLOAT_EQ(help->TextLine[1]->MidY, 168.6f);
    EXPECT_NEAR(help->TextLine[9]->Rotation, -2.6702512f, 1e-4);
    EXPECT_NEAR(help->TextLine[16]->Rotation, 6, 1e-4);
    EXPECT_NEAR(help->TextLine[20]->Rotation, 12, 1e-4);
    At(help, 7500);
    EXPECT_EQ(help->TextLine[20]->Rotation, 0);
    At(help, 11750);
    EXPECT_NEAR(Alpha(), 0.5f, 1e-6);
    // The fade-out: from full alpha, every word at rest; the last frame at 18000 still draws.
    for (int t : {16000, 17000, 18000}) {
        At(help, t);
        EXPECT_NEAR(Alpha(), (18000 - t) / 2000.0f, 1e-6);
        for (int i = 0; i < 21; ++i) EXPECT_EQ(help->TextLine[i]->Rotation, 0) << i;
        EXPECT_FLOAT_EQ(help->TextLine[0]->MidX, help->X[0]);
    }
    EXPECT_EQ(HelpScreen, help);
    // The end clears the screen, leaves its music and keeps the menu from opening it again.
    At(help, 18001);
    EXPECT_EQ(HelpScreen, nullptr);
    EXPECT_EQ(LaunchState, 1);
    EXPECT_EQ(IsChannelPlaying(help->Kanal), 1);
    StopSoundChannel(help->Kanal);
}

// The font's glyph widths decide whether the lines fit: at rest every letter of the help and
// the credits stands at least 45 design units (3%) inside the 1500-unit-wide window.
TEST_F(Overlays, HelpAndCreditLinesAtRestKeepClearOfTheWindowEdges) {
    THelpPtr help = THelp::start();
    TCreditsPtr credits = TCredits::start();
    At(help, 16000);
    At(credits, 21600);
    StopSoundChannel(help->Kanal);
    auto check = [](const TTextLinePtr& line, float zoom) {
        const float s = ScaleX * zoom;
        for (int i = 0; i <= line->LetterCount; ++i) {
            const float left = line->LetterMidX[i] - s * line->LetterHalfWidth[i];
            EXPECT_GE(left / ScaleX, 45) << line->Text;
            EXPECT_LE((left + 2 * s * line->LetterHalfWidth[i]) / ScaleX, 1455) << line->Text;
        }
    };
    for (const TTextLinePtr& line : help->TextLine) check(line, help->Zoom);
    for (const TTextLinePtr& line : credits->TextLine) check(line, credits->Zoom);
}

TEST_F(Overlays, F1OpensTheHelpOverTheCreditsAndClosesItWithItsMusic) {
    CloseHelpScreen();  // none running: nothing happens
    LaunchState = 0;
    CreditsScreen = TCredits::start();
    ToggleHelpScreen();
    ASSERT_TRUE(HelpScreen);
    THelpPtr first = HelpScreen;
    EXPECT_EQ(CreditsScreen, nullptr);
    EXPECT_EQ(LaunchState, 1);
    EXPECT_EQ(PlayingSounds().back(), first->Music);
    ToggleHelpScreen();
    EXPECT_EQ(HelpScreen, nullptr);
    EXPECT_EQ(IsChannelPlaying(first->Kanal), 0);
    // Closed early, the help leaves LaunchState as it was.
    ToggleHelpScreen();
    LaunchState = 0;
    CloseHelpScreen();
    EXPECT_EQ(LaunchState, 0);
}

TEST_F(Overlays, AHelpStartedOverARunningOneEndsItAndItsMusic) {
    // A create in the menu opened from a fly-in starts a help, the create that began the fly-in
    // another: one runs, with one music.
    HelpScreen = THelp::start();
    THelpPtr first = HelpScreen;
    HelpScreen = THelp::start();
    EXPECT_EQ(IsChannelPlaying(first->Kanal), 0);
    EXPECT_EQ(IsChannelPlaying(HelpScreen->Kanal), 1);
    CloseHelpScreen();
}

TEST_F(Overlays, CreditLettersClickInOnceEachAndTheLastOneFalls) {
    TCreditsPtr credits = TCredits::start();
    CreditsScreen = credits;
    EXPECT_EQ(credits->WaitSequence, (std::vector<int>{0, 3330, 6300, 9990, 13680, 15840, 18810, 21600}));
    const size_t mark = PlayingSounds().size();
    TTextLine& first = *credits->TextLine[0];
    At(credits, 499);
    EXPECT_EQ(first.LetterDistanceX[0], 1500);
    for (int t : {500, 510}) At(credits, t);
    EXPECT_EQ(Started(credits->ClickSound, mark), 1);
    EXPECT_EQ(first.LetterDistanceX[0], 0);
    EXPECT_EQ(first.LetterDistanceX[1], 1500);
    // A long frame clicks every letter it skipped, once each, spaces silently: all of line 0
    // and "(PROGRAMMING, GRAPH", 57 letters with 7 spaces.
    for (int t : {5000, 5001}) At(credits, t);
    EXPECT_EQ(Started(credits->ClickSound, mark), 50);
    // The last letter arrives at 21294 ms with its click and the falling sound.
    At(credits, 21293);
    EXPECT_EQ(Started(credits->FallSound, mark), 0);
    for (int t : {21294, 21600}) At(credits, t);
    EXPECT_EQ(Started(credits->FallSound, mark), 1);
    EXPECT_EQ(Started(credits->ClickSound, mark), 247 - 35);
    for (const TTextLinePtr& line : credits->TextLine)
        EXPECT_EQ(*std::max_element(line->LetterDistanceX.begin(), line->LetterDistanceX.end()), 0);
    // The fall starts at line 0's middle letter and spreads outwards; odd lines turn back.
    At(credits, 21601);
    EXPECT_GT(first.LetterDistanceY[18], 0);
    EXPECT_EQ(first.LetterDistanceY[17] + first.LetterDistanceY[19], 0);
    At(credits, 23600);
    EXPECT_FLOAT_EQ(first.LetterRotation[18], 360);
    EXPECT_NEAR(credits->TextLine[1]->LetterRotation[16], -292.54273f, 1e-3);
    EXPECT_NEAR(credits->TextLine[1]->LetterDistanceY[16], 812.61869f, 1e-3);
    At(credits, 25599);
    EXPECT_EQ(CreditsScreen, credits);
    At(credits, 25600);
    EXPECT_EQ(CreditsScreen, nullptr);
    EXPECT_EQ(Started(credits->FallSound, mark) + Started(credits->ClickSound, mark), 213);
}
