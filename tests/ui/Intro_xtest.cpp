// The intro drawn under a real X display: "WITH" shows only once it has zoomed up.
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Drawing.h"
#include "core/layer/Window.h"
#include "font/ChaosFontModule.h"
#include "tests/ui/ScreenShots.h"
#include "ui/screens/TIntro.h"

namespace {
constexpr int kW = 1200, kH = 900;

// An intro frame at t ms over the backdrop, as start-up draws it; returns the pixels of the band
// across the window's middle, where "WITH" stands.
TPixmapPtr FrameAt(const TIntroPtr& intro, const TImagePtr& backdrop, int t) {
    ClearBackBuffer();
    SetDrawColor(255, 255, 255);  // the letters leave their own colour
    SetDrawAlpha(1);
    SetDrawRotation(0);
    SetDrawHandle(0, 0);
    SetDrawScale(1.5f, 1.5f);
    DrawImageTransformed(backdrop, 0, 0, 0);
    intro->SpeedControl->StartAt(1000);
    intro->SpeedControl->UpdateTimeAt(1000 + t);
    ScaleX = ScaleY = 1.6f;
    t < TIntro::kExitFrom ? intro->GoInAtDuration() : intro->GoOutAtDuration();
    ScaleX = ScaleY = 0.8f;
    return CaptureScreenToPixmap(0, kH / 2 - 60, kW, 120);
}
}  // namespace

TEST(IntroDrawing, WithZoomsUpUnderTheFirstLine) {
    PreferAudioOutput("silent");
    RegisterEmbeddedMedia();
    ChaosFontModuleInit();
    OpenGraphicsWindow(kW, kH, 0, 60, 0);
    SetDrawBlendMode(3);
    SelectTextFont(LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
    TImagePtr backdrop = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    ScreenWidth = kW;
    ScreenHeight = kH;
    ScaleX = ScaleY = 0.8f;
    TIntroPtr intro = TIntro::start({"HAVE FUN", "WITH", "PLARN", "PUZZLE"});

    // At 2400 ms "HAVE FUN" stands above the band and "WITH" is not drawn yet.
    TPixmapPtr before = FrameAt(intro, backdrop, 2400);
    TPixmapPtr after = FrameAt(intro, backdrop, 4800);
    shots::Save("intro-entrance.png");
    TPixmapPtr bare = FrameAt(intro, backdrop, 9999);  // everything has fallen out
    int changedBefore = 0, changedAfter = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < kW; ++x) {
            changedBefore += ReadPixmapPixel(before, x, y) != ReadPixmapPixel(bare, x, y);
            changedAfter += ReadPixmapPixel(after, x, y) != ReadPixmapPixel(bare, x, y);
        }
    EXPECT_EQ(changedBefore, 0);
    EXPECT_GT(changedAfter, 20000);  // four letters at 1.28 times their 92 x 95 cells
    FrameAt(intro, backdrop, 8200);
    shots::Save("intro-exit.png");
}
