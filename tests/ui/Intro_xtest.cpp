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
}  // namespace

TEST(IntroDrawing, WithShowsOnlyOnceZoomedUp) {
    PreferAudioOutput("silent");
    OpenPuzzleWindow();
    ChaosFontModuleInit();
    SelectTextFont(LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0));
    TIntroPtr intro = TIntro::start({"HAVE FUN", "WITH", "PLARN", "PUZZLE"});
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
