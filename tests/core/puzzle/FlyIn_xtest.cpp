// The fly-in drawn under a real X display: the pieces set off unseen outside the window and end
// where they lie.
#include <gtest/gtest.h>

#include "core/Globals.h"
#include "core/StartUp.h"
#include "core/TSpeedControl.h"
#include "core/Utilities.h"
#include "core/layer/Drawing.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "PuzzleWindow.h"
#include "tests/ui/ScreenShots.h"

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
        SetDrawColor(255, 255, 255);
        clock.StartAt(1000);
        clock.UpdateTimeAt(1000 + t);
        p.FlyInFrame(clock, sx, sy);
        return CaptureScreenToPixmap(0, 0, 1200, 900);
    };
    auto differing = [](const TPixmapPtr& a, const TPixmapPtr& b) {
        int n = 0;
        for (int y = 0; y < 900; y += 2)
            for (int x = 0; x < 1200; x += 2) n += ReadPixmapPixel(a, x, y) != ReadPixmapPixel(b, x, y);
        return n;
    };
    // The fly-in draws in the colour its caller leaves: white, not the cutting's.
    SetDrawColor(255, 255, 255);
    ClearBackBuffer();
    DrawBackdrop();
    TPixmapPtr backdrop = CaptureScreenToPixmap(0, 0, 1200, 900);
    // At the start every piece is half size one cell outside an edge: nothing shows.
    EXPECT_EQ(differing(frameAt(0), backdrop), 0);
    frameAt(700);
    shots::Save("flyin-midflight.png");
    // At the end the frame is the board as play draws it, every piece in place.
    TPixmapPtr end = frameAt(1500);
    ClearBackBuffer();
    SetDrawRotation(0);
    DrawBackdrop();
    SetDrawScale(1, 1);
    for (int k = 0; k < 12; ++k) {
        const int q = (*p.Reihenfolge)[k], i = q / p.Reihen, j = q % p.Reihen;
        SetDrawRotation(p.Puzzleteil_Drehwinkel(i, j));
        DrawImageTransformed(p.Puzzleteil(i, j), p.Puzzleteil_X(i, j), p.Puzzleteil_Y(i, j), 0);
    }
    EXPECT_EQ(differing(end, CaptureScreenToPixmap(0, 0, 1200, 900)), 0);
    CurrentPuzzle = nullptr;
    GridPreview = nullptr;
}
