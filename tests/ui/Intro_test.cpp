// The intro's script at its phase bounds, with its clock driven by hand, and the start-up's intro
// loops in a window without X: how they end and what they leave behind.
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/StartUp.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"
#include "core/puzzle/TPuzzle.h"
#include "font/ChaosFontModule.h"
#include "ui/screens/TIntro.h"

namespace {
constexpr int kW = 1200, kH = 900;

class IntroTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        PreferAudioOutput("silent");
        UseHeadlessWindow(true);
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        OpenGraphicsWindow(kW, kH, 0, 60, 0);
        SelectTextFont(LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
        BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
        BackgroundScale = {1.5f, 1.5f};
    }
    void SetUp() override {
        ScreenWidth = kW;
        ScreenHeight = kH;
        ScaleX = ScaleY = 0.8f;
        intro = TIntro::start({"HAVE FUN", "WITH", "PLARN", "PUZZLE"});
        CurrentPuzzle = std::make_shared<TPuzzle>();
        LaunchState = 1;  // a puzzle to resume: no menu under the exit
        LastTypedChar = 0;
        ClearKeyboardState();
        ClearMouseState();
    }
    // One frame at t ms after the start, drawn at twice the window scale as start-up draws it.
    void At(int t) {
        intro->SpeedControl->StartAt(50000);
        intro->SpeedControl->UpdateTimeAt(50000 + t);
        ScaleX = ScaleY = 1.6f;
        t < TIntro::kExitFrom ? intro->GoInAtDuration() : intro->GoOutAtDuration();
        ScaleX = ScaleY = 0.8f;
    }
    TTextLine& Line(int k) { return *intro->TextLine[k]; }
    std::array<int, 3> Colour(int line, int letter) { return Line(line).LetterColor[letter]; }
    // Runs the start-up's intro loops as if the intro had started ms ago.
    void PlayFrom(int ms) {
        intro->SpeedControl->StartTime -= ms;
        PlayIntro(intro);
    }
    TIntroPtr intro;
};
}  // namespace

TEST_F(IntroTest, ScriptAtItsPhaseBounds) {
    ASSERT_EQ(intro->TextLine.size(), 4u);
    EXPECT_EQ(Line(0).Text, "HAVE FUN");
    EXPECT_EQ(Colour(1, 3), (std::array<int, 3>{240, 200, 40}));
    // Music started once: the intro and one playing channel hold it, however many frames follow.
    ASSERT_TRUE(intro->Music);
    EXPECT_EQ(intro->Music.use_count(), 2);

    // At 0 every letter of line 0 stands at its start offset, unturned; nothing else shows.
    At(0);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Line(0).LetterDistanceX[i], intro->SingleDistance[i][0]) << i;
        EXPECT_EQ(Line(0).LetterDistanceY[i], intro->SingleDistance[i][1]) << i;
        EXPECT_EQ(Line(0).LetterRotation[i], 0) << i;
    }
    EXPECT_NE(intro->SingleDistance[0], intro->SingleDistance[7]);
    EXPECT_EQ(Line(1).Scale[0], 0);
    EXPECT_EQ(Line(2).Scale[0], 0);
    EXPECT_EQ(Line(3).Scale[0], 0);
    // The palette: letter i of line 2 shows entry i, of line 3 too.
    EXPECT_EQ(Colour(2, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(Colour(2, 4), (std::array<int, 3>{0, 255, 255}));
    EXPECT_EQ(Colour(3, 5), (std::array<int, 3>{255, 0, 255}));
    // A quarter of the way (curve 14 at 0.5: 1 - cos 45) from red to green.
    At(250);
    EXPECT_EQ(Colour(2, 0), (std::array<int, 3>{180, 74, 0}));

    // From 2019 ms the letters stand at their places (the curve ends within 0.0001 of 1), turned
    // once each way, bobbing up only.
    At(2400);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(Line(0).LetterDistanceX[i], 0, 0.05) << i;
        EXPECT_NEAR(Line(0).LetterRotation[i], i % 2 ? -360 : 360, 0.05) << i;
        EXPECT_LE(Line(0).LetterDistanceY[i], 0.05);
        EXPECT_GE(Line(0).LetterDistanceY[i], -20 * 1.6f - 0.05);
    }
    EXPECT_EQ(Line(1).Scale[0], 0);
    // "WITH" halfway: (curve 9 at 0.5 = 0.875) cubed, times 0.8; full 0.8 from 3500 ms.
    At(3000);
    EXPECT_NEAR(Line(1).Scale[0], 0.8 * 0.669921875, 1e-5);
    At(3999);
    EXPECT_FLOAT_EQ(Line(1).Scale[0], 0.8f);
    EXPECT_EQ(Line(2).Scale[0], 0);
    At(6000);
    EXPECT_NEAR(Line(2).Scale[0], 1, 1e-4);
    EXPECT_NEAR(Line(2).Rotation, 720, 0.1);
    EXPECT_NEAR(Line(3).Scale[1], 1, 1e-4);
    EXPECT_NEAR(Line(3).Rotation, -720, 0.1);
    // 6000 ms is twelve steps of the palette: letter 0 of line 3 shows entry 1.
    EXPECT_EQ(Colour(3, 0), (std::array<int, 3>{0, 255, 0}));

    // The exit: at 8500 ms a = 0.5 cubed; every line falls a x H and turns by parity.
    At(8500);
    EXPECT_FLOAT_EQ(Line(1).LetterDistanceY[0], 0.125f * kH);
    EXPECT_FLOAT_EQ(Line(1).LetterRotation[0], 45);
    EXPECT_FLOAT_EQ(Line(3).LetterRotation[5], -45);
    EXPECT_FLOAT_EQ(Line(1).Scale[0], 0.8f);
    EXPECT_EQ(Line(2).Rotation, 0);
    EXPECT_EQ(Line(2).Scale[0], 1);
    EXPECT_NEAR(Line(0).LetterDistanceX[3], 0, 0.05);  // kept from the entrance
    // Nearly the end: one window height down, the bob gone.
    At(9999);
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(Line(0).LetterDistanceY[i], kH, 3) << i;
    EXPECT_EQ(intro->Music.use_count(), 2);
}

TEST_F(IntroTest, LoopsEndOnTimeOrWhenSkippedAndPutTheScaleAndAlphaBack) {
    // Played to the end (begun 9.8 s in): the window scale and the menu alpha are as before.
    GlobalAlpha = 0.25f;
    PlayFrom(9800);
    EXPECT_GE(intro->SpeedControl->Duration, TIntro::kEnd);
    EXPECT_EQ(ScaleX, 0.8f);
    EXPECT_EQ(ScaleY, 0.8f);
    EXPECT_EQ(GlobalAlpha, 1.0f);
    EXPECT_EQ(LastTypedChar, 0);

    // Either mouse button held: not one frame more, neither of the entrance nor of the exit.
    for (int button : {1, 2}) {
        SetUp();
        GlobalAlpha = 0.25f;
        InputMouseButton(button, true);
        PlayFrom(0);
        InputMouseButton(button, false);
        EXPECT_EQ(intro->SpeedControl->Duration, 0) << button;
        EXPECT_EQ(GlobalAlpha, 1.0f) << button;
    }
    // A typed character: the pass that took it is the last, in the entrance or in the exit.
    for (int from : {1000, 8000}) {
        SetUp();
        InputTypedChar('q');
        PlayFrom(from);
        EXPECT_EQ(LastTypedChar, 'q');
        EXPECT_LT(intro->SpeedControl->Duration, from + 500) << from;
        EXPECT_EQ(ScaleX, 0.8f);
        EXPECT_EQ(GlobalAlpha, 1.0f);
    }
}
