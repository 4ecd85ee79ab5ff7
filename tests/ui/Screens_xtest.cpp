// The congratulations panel and the image preview drawn under a real X display.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/Utilities.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"
#include "font/ChaosFontModule.h"
#include "tests/ui/ScreenShots.h"
#include "ui/TImagePreview.h"
#include "core/layer/AudioOutput.h"
#include "ui/screens/TCongratulations.h"
#include "ui/screens/TCredits.h"
#include "ui/screens/THelp.h"

namespace {
constexpr int kW = 1200, kH = 900;

class ScreensDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        PreferAudioOutput("silent");
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        OpenGraphicsWindow(kW, kH, 0, 60, 0);
        font = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
        background = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    }
    static void TearDownTestSuite() {
        font.reset();
        background.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(font);
        SelectTextFont(font);
        ScaleX = ScaleY = static_cast<float>(kW) / 1500.0f;
        ScreenWidth = kW;
        ScreenHeight = kH;
        SetDrawBlendMode(3);
        SetDrawAlpha(1);
        SetDrawColor(255, 255, 255);
        SetDrawRotation(0);
        SetDrawHandle(0, 0);
    }
    static void Backdrop() {
        SetDrawScale(static_cast<float>(kW) / GetImageWidth(background),
                     static_cast<float>(kH) / GetImageHeight(background));
        DrawImageTransformed(background, 0, 0, 0);
    }
    static unsigned Pixel(int x, int y) {
        return static_cast<unsigned>(ReadPixmapPixel(CaptureScreenToPixmap(x, y, 1, 1), 0, 0)) & 0xFFFFFF;
    }
    // A congratulations frame at t ms, over a plain green window or the backdrop.
    static void CongratulationsAt(const TCongratulationsPtr& screen, int t, bool plain) {
        // Each frame starts white, as the frame loop leaves it; the screen leaves its gold.
        SetDrawColor(255, 255, 255);
        SetBackgroundClearColor(0, 255, 0);
        ClearBackBuffer();
        if (!plain) Backdrop();
        SetDrawAlpha(1);
        SetDrawScale(ScaleX, ScaleY);
        SetDrawRotation(0);
        screen->SpeedControl->StartAt(1000);
        screen->SpeedControl->UpdateTimeAt(1000 + t);
        screen->showAtDuration();
    }
    static TImageFontPtr font;
    static TImagePtr background;
};
TImageFontPtr ScreensDrawing::font;
TImagePtr ScreensDrawing::background;
}  // namespace

TEST_F(ScreensDrawing, CongratulationsPanel) {
    TCongratulationsPtr screen = TCongratulations::start();
    // Nothing shows at the very start (scale and alpha 0) nor after nine seconds.
    for (int t : {0, 9001}) {
        CongratulationsAt(screen, t, true);
        TPixmapPtr all = CaptureScreenToPixmap(0, 0, kW, kH);
        int drawn = 0;
        for (int y = 0; y < kH; y += 3)
            for (int x = 0; x < kW; x += 3) drawn += (ReadPixmapPixel(all, x, y) & 0xFFFFFF) != 0x00FF00;
        EXPECT_EQ(drawn, 0) << t;
    }
    // At 4000 ms the panel stands at twice the window scale, 1.6: its visible rows 1..138 reach
    // from about 454.5 - 112 + 1.6 to 454.5 - 112 + 139 x 1.6 in the column of its centre, 582.
    CongratulationsAt(screen, 4000, true);
    int top = -1, bottom = -1;
    for (int y = 0; y < kH; ++y)
        if (Pixel(582, y) != 0x00FF00) {
            if (top < 0) top = y;
            bottom = y;
        }
    EXPECT_NEAR(top, 344, 4);
    EXPECT_NEAR(bottom, 565, 4);

    CongratulationsAt(screen, 4000, false);
    shots::Save("congratulations.png");
    CongratulationsAt(screen, 7500, false);
    shots::Save("congratulations-fading.png");
}

TEST_F(ScreensDrawing, PreviewFrameShowsHoverAndPress) {
    TImagePreview preview;
    ASSERT_EQ(preview.Loading("incbin::medien/Reihe1/Rose.jpg", 750, 410, 400, 400, 960, 720, {}), 0);
    ASSERT_EQ(preview.LeftBorder, 436);
    // The picture's left edge is at 600 - 160 = 440: the frame shows in columns 436..439,
    // looked at below the captions, which overlap it.
    const int y = preview.MidY + 100;
    InputMouseButton(1, false);
    InputMouseMove(preview.MidX, y);
    SetBackgroundClearColor(255, 255, 255);
    ClearBackBuffer();
    Backdrop();
    preview.Show();
    EXPECT_EQ(Pixel(438, y), 0x00A0FFu);
    EXPECT_EQ(Pixel(436, y), 0x00A0FFu);
    EXPECT_NE(Pixel(435, y), 0x00A0FFu);
    shots::Save("preview-hover.png");

    InputMouseButton(1, true);
    ClearBackBuffer();
    Backdrop();
    preview.Show();  // the press is seen: the next frame shows it
    ClearBackBuffer();
    Backdrop();
    preview.Show();
    EXPECT_EQ(Pixel(438, y), 0x16DEFFu);
    InputMouseButton(1, false);

    // Idle: no frame at all.
    InputMouseMove(5, 5);
    ClearBackBuffer();
    Backdrop();
    preview.Show();
    ClearBackBuffer();
    Backdrop();
    preview.Show();
    EXPECT_NE(Pixel(438, y), 0x00A0FFu);
    shots::Save("preview.png");
}

TEST_F(ScreensDrawing, HelpAndCreditsOverTheDarkenedBackdrop) {
    // Frames as the frame loop draws them; the veil leaves a fifth of the backdrop in a corner.
    ResetDrawState();
    Backdrop();
    const unsigned bare = Pixel(5, kH - 5);
    auto overlayAt = [&](const auto& screen, int t) {
        ResetDrawState();
        Backdrop();
        SetDrawScale(ScaleX, ScaleY);
        screen->SpeedControl->StartAt(1000);
        screen->SpeedControl->UpdateTimeAt(1000 + t);
        screen->showAtDuration();
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(Pixel(5, kH - 5) >> shift & 0xFF, (bare >> shift & 0xFF) * 0.2, 2) << t;
    };
    THelpPtr help = THelp::start();
    overlayAt(help, 13000);
    shots::Save("help.png");
    StopSoundChannel(help->Kanal);
    TCreditsPtr credits = TCredits::start();
    for (int t = 12000; t <= 21600; t += 100) overlayAt(credits, t);  // every letter arrives
    shots::Save("credits.png");
}
