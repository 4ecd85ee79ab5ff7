// The intro's script at its phase bounds on a driven clock, and start-up's intro loops in a window
// without X: how they end and what they leave behind.
#include <gtest/gtest.h>

#include <cmath>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/StartUp.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"
#include "core/puzzle/TPuzzle.h"
#include "font/ChaosFontModule.h"
#include "ui/screens/TIntro.h"

namespace {
using RGB = std::array<int, 3>;
class IntroTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        PreferAudioOutput("silent");
        UseHeadlessWindow(true);
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        OpenGraphicsWindow(1200, 900, 0, 60, 0);
        SelectTextFont(LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
        BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
        BackgroundScale = {1.5f, 1.5f};
        ScreenWidth = 1200;
        ScreenHeight = 900;
    }
    void SetUp() override {
        ScaleX = ScaleY = 0.8f;
        intro = TIntro::start({"HAVE FUN", "WITH", "PLARN", "PUZZLE"});
        CurrentPuzzle = std::make_shared<TPuzzle>();
        LaunchState = 1;  // a puzzle to resume: no menu under the exit
        LastTypedChar = 0;
        GlobalAlpha = 0.25f;
    }
    // One frame t ms after the start, at twice the window scale as start-up draws it.
    TTextLine& At(int t, int line) {
        intro->SpeedControl->StartAt(50000);
        intro->SpeedControl->UpdateTimeAt(50000 + t);
        ScaleX = ScaleY = 1.6f;
        t < TIntro::kExitFrom ? intro->GoInAtDuration() : intro->GoOutAtDuration();
        ScaleX = ScaleY = 0.8f;
        return *intro->TextLine[line];
    }
    // Start-up's loops, as if the intro had begun ms ago.
    int PlayFrom(int ms) {
        intro->SpeedControl->StartTime -= ms;
        PlayIntro(intro);
        EXPECT_EQ(ScaleX, 0.8f);
        EXPECT_EQ(ScaleY, 0.8f);
        EXPECT_EQ(GlobalAlpha, 1.0f);
        return intro->SpeedControl->Duration;
    }
    TIntroPtr intro;
};
}  // namespace

TEST_F(IntroTest, ScriptAtItsPhaseBounds) {
    // The music started once: the intro and one playing channel hold it.
    EXPECT_EQ(intro->Music.use_count(), 2);
    TTextLine& first = At(0, 0);
    EXPECT_EQ(first.Text, "HAVE FUN");
    // Each letter starts just outside the window (1200 x 900): four half-diagonals (half height 47.5)
    // beyond one edge, counted from its place on a line at (W div 2, H div 6) at the scale 0.8.
    for (int i = 0; i < 8; ++i) {
        const float hw = first.LetterHalfWidth[i], at = 0.8f * first.LetterTextInterval[i];
        const int e = static_cast<int>(4 * std::sqrt(hw * hw + 47.5 * 47.5));
        const double x = 600 + at + first.LetterDistanceX[i], y = 150 + at + first.LetterDistanceY[i];
        const bool across = x > -e - 1 && x < 1200 + e + 1, down = y > -e - 1 && y < 900 + e + 1;
        EXPECT_TRUE((down && (std::abs(x + e) < 1 || std::abs(x - 1200 - e) < 1)) ||
                    (across && (std::abs(y + e) < 1 || std::abs(y - 900 - e) < 1))) << i << ": " << x << ", " << y;
    }
    EXPECT_EQ(At(0, 1).Scale[0] + At(0, 2).Scale[0] + At(0, 3).Scale[0], 0);  // none shows yet
    EXPECT_EQ(At(0, 1).LetterColor[3], (RGB{240, 200, 40}));
    // The palette, one entry further per letter; at 250 ms curve 14 is 1 - cos 45 on the way.
    EXPECT_EQ(At(0, 3).LetterColor[5], (RGB{255, 0, 255}));
    EXPECT_EQ(At(250, 2).LetterColor[0], (RGB{180, 74, 0}));
    EXPECT_EQ(At(6000, 3).LetterColor[0], (RGB{0, 255, 0}));  // twelve steps on
    // A channel that both entries of a blend share stays whole all the way through it.
    for (int t = 0; t < 500; ++t) EXPECT_EQ(At(t, 2).LetterColor[3][1] + At(t, 3).LetterColor[5][0], 510) << t;
    // From 2019 ms the letters stand in place (the curve ends within 0.0001 of 1), turned once
    // each way, bobbing up only.
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(At(2400, 0).LetterDistanceX[i], 0, 0.05);
        EXPECT_NEAR(At(2400, 0).LetterRotation[i], i % 2 ? -360 : 360, 0.05);
        EXPECT_LE(At(2400 + 37 * i, 0).LetterDistanceY[i], 0.05);
        EXPECT_GE(At(2400 + 37 * i, 0).LetterDistanceY[i], -32.05);
    }
    EXPECT_EQ(At(2499, 1).Scale[0], 0);
    EXPECT_NEAR(At(3000, 1).Scale[0], 0.8 * 0.669921875, 1e-5);  // (curve 9 at 0.5) cubed
    EXPECT_EQ(At(3999, 2).Scale[0], 0);
    EXPECT_NEAR(At(6000, 2).Rotation, 720, 0.1);
    EXPECT_NEAR(At(6000, 3).Rotation, -720, 0.1);
    EXPECT_NEAR(At(6000, 3).Scale[1], 1, 1e-4);
    // The exit: at 8500 ms a = 0.5 cubed; every line falls a x H and turns by parity.
    EXPECT_FLOAT_EQ(At(8500, 1).LetterDistanceY[0], 0.125f * 900);
    EXPECT_FLOAT_EQ(At(8500, 1).LetterRotation[0], 45);
    EXPECT_FLOAT_EQ(At(8500, 3).LetterRotation[5], -45);
    EXPECT_FLOAT_EQ(At(8500, 1).Scale[0], 0.8f);
    EXPECT_EQ(At(8500, 2).Rotation + At(8500, 2).Scale[0], 1);
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(At(9999, 0).LetterDistanceY[i], 900, 3);
    EXPECT_EQ(intro->Music.use_count(), 2);
}

TEST_F(IntroTest, LoopsEndOnTimeOrWhenSkipped) {
    EXPECT_GE(PlayFrom(9800), TIntro::kEnd);
    EXPECT_EQ(LastTypedChar, 0);
    // The same with the menu fading in under the exit (no configuration, or a finished puzzle
    // restored); how it fades is seen on a display, in Intro_xtest.
    for (int finished : {0, 2}) {
        SetUp();
        LaunchState = finished ? 1 : 0;
        CurrentPuzzle->fertig = static_cast<uint8_t>(finished);
        EXPECT_GE(PlayFrom(9800), TIntro::kEnd);
    }
    // Either mouse button held: not one frame, of the entrance nor of the exit.
    for (int button : {1, 2}) {
        SetUp();
        InputMouseButton(button, true);
        EXPECT_EQ(PlayFrom(0), 0);
        InputMouseButton(button, false);
    }
    // A typed character: the pass that took it is the last, in the entrance or in the exit.
    for (int from : {1000, 8000}) {
        SetUp();
        InputTypedChar('q');
        EXPECT_LT(PlayFrom(from), from + 500);
        EXPECT_EQ(LastTypedChar, 'q');
    }
}
