// The intro and the fly-in drawn under a real X display, each compared with frames of its own.
#include <gtest/gtest.h>

#include "core/Globals.h"
#include "core/Backdrop.h"
#include "core/StartUp.h"
#include "core/TSpeedControl.h"
#include "core/Utilities.h"
#include "core/layer/AudioOutput.h"
#include "font/ChaosFontModule.h"
#include "tests/core/puzzle/PuzzleWindow.h"
#include "tests/ui/ScreenShots.h"
#include "ui/screens/TIntro.h"

namespace {
// Window pixels (every other one) that differ between two captures of the whole window.
int Differing(const TPixmapPtr& a, const TPixmapPtr& b) {
    int n = 0;
    for (int y = 0; y < 900; y += 2)
        for (int x = 0; x < 1200; x += 2) n += ReadPixmapPixel(a, x, y) != ReadPixmapPixel(b, x, y);
    return n;
}
TPixmapPtr Capture() { return CaptureScreenToPixmap(0, 0, 1200, 900); }
// The backdrop in white, as every frame of start-up's loops begins.
void Backdrop() {
    SetDrawColor(255, 255, 255);
    SetDrawRotation(0);
    SetDrawHandle(0, 0);
    ClearBackBuffer();
    DrawBackdrop();
}
// The game window with the title font, and the intro started in it.
TIntroPtr StartIntro() {
    PreferAudioOutput("silent");
    OpenPuzzleWindow();
    ChaosFontModuleInit();
    SelectTextFont(LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
    return TIntro::start({"HAVE FUN", "WITH", "PLARN", "PUZZLE"});
}
}  // namespace

TEST(IntroDrawing, WithShowsOnlyOnceZoomedUp) {
    TIntroPtr intro = StartIntro();
    // The band across the window's middle, where "WITH" stands, at t ms.
    auto band = [&](int t) {
        Backdrop();
        intro->SpeedControl->StartAt(1000);
        intro->SpeedControl->UpdateTimeAt(1000 + t);
        ScaleX = ScaleY = 1.6f;
        t < TIntro::kExitFrom ? intro->GoInAtDuration() : intro->GoOutAtDuration();
        ScaleX = ScaleY = 0.8f;
        TPixmapPtr all = Capture();
        for (int y = 0; y < 900; ++y)
            if (y < 390 || y >= 510)
                for (int x = 0; x < 1200; ++x) WritePixmapPixel(all, x, y, 0);
        return all;
    };
    TPixmapPtr early = band(2400);  // "HAVE FUN" in place above the band, "WITH" not yet
    TPixmapPtr later = band(4800);
    shots::Save("intro-entrance.png");
    TPixmapPtr bare = band(9999);  // everything has fallen out (the exit comes last: it moves lines the entrance keeps)
    EXPECT_EQ(Differing(early, bare), 0);
    EXPECT_GT(Differing(later, bare), 2500);  // "WITH" covers about 3800, the rest of the band 800
    band(8200);
    shots::Save("intro-exit.png");
}

TEST(IntroDrawing, MenuFadesInUnderTheExitWhenTheMenuFollows) {
    SkipUnchangedFrames(false);  // every frame reaches the screen, even one like the last
    // The alpha of the menu's table in the one exit frame start-up draws at 8500 ms, or -1 when
    // the frame has no table. Its clock then reads a minute on, so the loop ends after that frame.
    auto tableAlpha = [](int launchState, int fertig) {
        TIntroPtr intro = StartIntro();
        MenuTableImage = LoadImageFromSource("incbin::medien/etc/MenuTable.png", -1);
        LaunchState = static_cast<uint8_t>(launchState);
        CurrentPuzzle->fertig = static_cast<uint8_t>(fertig);
        intro->SpeedControl->StartTime -= 60000;
        intro->SpeedControl->Duration = 8500;
        PlayIntro(intro);
        EXPECT_EQ(GlobalAlpha, 1.0f);
        int alpha = -1;
        for (const auto& [image, a] : ShownFrameImages())
            if (image == MenuTableImage->id) alpha = a;
        return alpha;
    };
    // ((8500 - 7000) / 3000)^2 = 0.25 of 255
    EXPECT_NEAR(tableAlpha(0, 0), 63.75, 1) << "no configuration";
    EXPECT_NEAR(tableAlpha(1, 2), 63.75, 1) << "a finished puzzle restored";
    EXPECT_EQ(tableAlpha(1, 0), -1) << "an unfinished puzzle restored: its pieces fly in instead";
    SkipUnchangedFrames(true);
    MenuTableImage = nullptr;
    CurrentPuzzle = nullptr;
    GridPreview = nullptr;
}

TEST(FlyInDrawing, FromOutsideTheWindowToThePieces) {
    OpenPuzzleWindow();
    GridPreview->Gitter_berechnen(3, 960, 720);  // 12 pieces
    TPuzzle& p = *CurrentPuzzle;
    p.Gitter_importieren();
    int ow = 0, oh = 0;
    p.Bild = LoadImageFitted("incbin::medien/Reihe1/Rose.jpg", 960, 720, ow, oh);
    p.zerschneiden();
    Grid2<int> sx, sy;
    p.FlyInStarts(sx, sy);
    TSpeedControl clock;
    auto frameAt = [&](int t) {
        SetDrawColor(255, 255, 255);  // the caller's colour, not the cutting's
        clock.StartAt(1000);
        clock.UpdateTimeAt(1000 + t);
        p.FlyInFrame(clock, sx, sy);
        return Capture();
    };
    // At the start every piece is half size one cell outside an edge: nothing shows.
    TPixmapPtr start = frameAt(0);
    Backdrop();
    EXPECT_EQ(Differing(start, Capture()), 0);
    frameAt(700);
    shots::Save("flyin-midflight.png");
    // At the end the frame is the board as play draws it.
    TPixmapPtr end = frameAt(1500);
    Backdrop();
    SetDrawScale(1, 1);
    for (int k = 0; k < 12; ++k) {
        const int q = (*p.Reihenfolge)[k], i = q / p.Reihen, j = q % p.Reihen;
        SetDrawRotation(p.Puzzleteil_Drehwinkel(i, j));
        DrawImageTransformed(p.Puzzleteil(i, j), p.Puzzleteil_X(i, j), p.Puzzleteil_Y(i, j), 0);
    }
    EXPECT_EQ(Differing(end, Capture()), 0);
    CurrentPuzzle = nullptr;
    GridPreview = nullptr;
}
