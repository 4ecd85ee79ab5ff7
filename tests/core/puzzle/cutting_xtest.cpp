// Cutting a picture into pieces and playing a small puzzle to the end, under a real display.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "PuzzleWindow.h"
#include "ui/TProgressBar.h"

// While set: each frame that reaches the screen, as the number of progress-bar stripes in it.
std::vector<int>* stripesShown = nullptr;
// (The X headers' macros would clash with the test framework's names: the types are spelt out.)
extern "C" void glXSwapBuffers(void* display, unsigned long drawable) {
    if (stripesShown) {
        const uint64_t stripe = CurrentPuzzle->ProgressBar->StripeImage->id;
        int n = 0;
        for (const auto& shown : ShownFrameImages()) n += shown.first == stripe;
        stripesShown->push_back(n);
    }
    reinterpret_cast<void (*)(void*, unsigned long)>(dlsym(RTLD_NEXT, "glXSwapBuffers"))(display, drawable);
}

namespace {
// A picture whose every pixel has its own colour, so misplaced pixels show.
TImagePtr PatternPicture(int w, int h) {
    TPixmapPtr pm = CreateBlankPixmap(w, h, 4, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            WritePixmapPixel(pm, x, y, static_cast<int>(0xFF000000u | ((x * 7) & 255) << 16 | ((y * 5) & 255) << 8 | ((x + y) & 255)));
    return LoadImageFromSource(pm, 0);
}

class Cutting : public ::testing::Test {
protected:
    void SetUp() override {
        OpenPuzzleWindow();
    }
    void TearDown() override {
        CurrentPuzzle = nullptr;
        GridPreview = nullptr;
    }
    TPuzzle& Cut(int index, int w, int h) {
        GridPreview->Gitter_berechnen(index, w, h);
        TPuzzle& p = *CurrentPuzzle;
        p.Gitter_importieren();
        p.Bild = PatternPicture(w, h);
        p.zerschneiden();
        return p;
    }
};

void CheckPieces(TPuzzle& p) {
    TPixmapPtr src = LockImagePixels(p.Bild, 0, 1, 0);
    std::set<int> levels;
    for (int i = 0; i < p.Spalten; ++i)
        for (int j = 0; j < p.Reihen; ++j) {
            TPixmapPtr pm = LockImagePixels(p.Puzzleteil(i, j), 0, 1, 0);
            int W = pm->width, H = pm->height;
            // The box's top-left corner in picture pixels, from the target centre.
            int L = static_cast<int>(std::lround(p.Ziel_X(i, j) - 0.5f * (1200 - p.Bild->width) - 0.5f * W));
            int T = static_cast<int>(std::lround(p.Ziel_Y(i, j) - 0.5f * (900 - p.Bild->height) - 0.5f * H));
            for (int v = 0; v < H; ++v)
                for (int u = 0; u < W; ++u) {
                    unsigned argb = static_cast<unsigned>(ReadPixmapPixel(pm, u, v));
                    int a = argb >> 24;
                    levels.insert(a);
                    ASSERT_TRUE(a == 0 || a == 85 || a == 170 || a == 255) << a;
                    int sx = std::min(L + u, p.Bild->width - 1), sy = std::min(T + v, p.Bild->height - 1);
                    ASSERT_EQ(argb & 0xFFFFFF, static_cast<unsigned>(ReadPixmapPixel(src, sx, sy)) & 0xFFFFFF)
                        << i << "," << j << " at " << u << "," << v;
                }
            // Every corner stays within 0.4 of a cell of its place, so the middle of the
            // unjittered cell is always inside the cut line.
            int cw = p.Bild->width / p.Spalten, ch = p.Bild->height / p.Reihen;
            int mu = static_cast<int>((i + 0.5f) * cw) - L, mv = static_cast<int>((j + 0.5f) * ch) - T;
            EXPECT_EQ(static_cast<unsigned>(ReadPixmapPixel(pm, mu, mv)) >> 24, 255u) << i << "," << j;
        }
    EXPECT_EQ(levels, (std::set<int>{0, 85, 170, 255}));
}
}  // namespace

TEST_F(Cutting, FourPiecesHaveMarginsOnlyTowardsNeighbours) {
    TPuzzle& p = Cut(0, 400, 300);
    ASSERT_EQ(p.Spalten, 2);
    ASSERT_EQ(p.Reihen, 2);
    // Piece (0, 0): no margin left or above, 2 pixels right and below.
    int W00 = p.Puzzleteil(0, 0)->width, H00 = p.Puzzleteil(0, 0)->height;
    EXPECT_EQ(W00, static_cast<int>(std::max(p.x(1, 0), p.x(1, 1))) + 2);
    EXPECT_EQ(H00, static_cast<int>(std::max(p.y(1, 1), p.y(0, 1))) + 2);
    EXPECT_FLOAT_EQ(p.Ziel_X(0, 0), 400 + 0.5f * W00);
    EXPECT_FLOAT_EQ(p.Ziel_Y(0, 0), 300 + 0.5f * H00);
    // Piece (1, 1) ends exactly at the picture's corner (400, 300), i.e. window (800, 600).
    int W11 = p.Puzzleteil(1, 1)->width, H11 = p.Puzzleteil(1, 1)->height;
    EXPECT_FLOAT_EQ(p.Ziel_X(1, 1) + 0.5f * W11, 800);
    EXPECT_FLOAT_EQ(p.Ziel_Y(1, 1) + 0.5f * H11, 600);
    CheckPieces(p);
    EXPECT_EQ(p.Auswahl_i, -1);
    EXPECT_TRUE(p.Verbund.empty());
    // Neighbour tables of a corner piece: right and down only.
    EXPECT_GT(p.Nachbar_Abstand(0, 0, 0), 0);
    EXPECT_GT(p.Nachbar_Abstand(0, 0, 3), 0);
    EXPECT_EQ(p.Nachbar_Abstand(0, 0, 1), 0);
    EXPECT_EQ(p.Nachbar_Abstand(0, 0, 2), 0);
    // The cutting leaves the colour of the innermost mask level.
    EXPECT_EQ(CurrentDrawState().red, 245);
}

TEST_F(Cutting, TheBarFillsAPieceAtATime) {
    // One frame per piece cut, the bar at 50 stripes x pieces cut div 4, and a full one at the end.
    std::vector<int> shown;
    stripesShown = &shown;
    SkipUnchangedFrames(false);
    Cut(0, 400, 300);
    SkipUnchangedFrames(true);
    stripesShown = nullptr;
    EXPECT_EQ(shown, (std::vector<int>{12, 25, 37, 50, 50}));
}

TEST_F(Cutting, HundredPiecesReassembleThePicture) {
    TPuzzle& p = Cut(23, 1000, 750);
    ASSERT_EQ(p.Spalten * p.Reihen, 100);
    CheckPieces(p);
    // Every piece drawn unturned at its target reproduces the picture.
    ClearBackBuffer();
    SetDrawScale(1, 1);
    SetDrawColor(255, 255, 255);
    SetDrawRotation(0);
    for (int i = 0; i < p.Spalten; ++i)
        for (int j = 0; j < p.Reihen; ++j) DrawImageTransformed(p.Puzzleteil(i, j), p.Ziel_X(i, j), p.Ziel_Y(i, j), 0);
    TPixmapPtr shot = CaptureScreenToPixmap(100, 75, 1000, 750);
    TPixmapPtr src = LockImagePixels(p.Bild, 0, 1, 0);
    int worst = 0;
    for (int y = 0; y < 750; y += 3)
        for (int x = 0; x < 1000; x += 3) {
            unsigned a = static_cast<unsigned>(ReadPixmapPixel(shot, x, y)), b = static_cast<unsigned>(ReadPixmapPixel(src, x, y));
            for (int s = 0; s < 24; s += 8) worst = std::max(worst, std::abs(static_cast<int>((a >> s) & 255) - static_cast<int>((b >> s) & 255)));
        }
    EXPECT_LE(worst, 2);
}

TEST_F(Cutting, AFourPiecePuzzleIsPlayedToTheEnd) {
    TPuzzle& p = Cut(0, 400, 300);
    auto frame = [&]() {
        SetDrawScale(1, 1);
        SetDrawColor(255, 255, 255);
        SetDrawAlpha(1);
        SetDrawRotation(0);
        p.verwenden();
    };
    auto moveTo = [&](float x, float y) { InputMouseMove(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))); };
    // Turn a piece to 0 degrees with the wheel, then drag it to (tx, ty).
    auto play = [&](int i, int j, float tx, float ty) {
        moveTo(p.Puzzleteil_X(i, j), p.Puzzleteil_Y(i, j));
        frame();
        ASSERT_EQ(p.Aktiv_Sensor, 1);
        ASSERT_EQ(p.Auswahl_i, i);
        ASSERT_EQ(p.Auswahl_j, j);
        // Each step takes 10 degrees off, then the angle is cut toward zero to tens.
        int steps = (static_cast<int>(p.Puzzleteil_Drehwinkel(i, j)) + 9) / 10;
        InputMouseWheel(steps);
        frame();
        ASSERT_EQ(p.Puzzleteil_Drehwinkel(i, j), 0);
        InputMouseButton(1, true);
        frame();
        ASSERT_EQ(p.Aktiv_Sensor, 2);
        for (int k = 1; k <= 10; ++k) {
            float fx = p.Puzzleteil_X(i, j), fy = p.Puzzleteil_Y(i, j);
            moveTo(fx + (tx - fx) * k / 10, fy + (ty - fy) * k / 10);
            frame();
        }
        InputMouseButton(1, false);
        frame();
        ASSERT_EQ(p.Aktiv_Sensor, 0);
    };
    play(0, 0, p.Ziel_X(0, 0), p.Ziel_Y(0, 0));
    EXPECT_TRUE(p.Verbund.empty());
    play(1, 0, p.Ziel_X(1, 0) + 3, p.Ziel_Y(1, 0) - 4);
    ASSERT_EQ(p.Verbund.size(), 1u);
    EXPECT_EQ(p.Verbund[0], ",1/0,0/0,");
    play(0, 1, p.Ziel_X(0, 1) - 5, p.Ziel_Y(0, 1) + 2);
    EXPECT_EQ(p.fertig, 0);
    EXPECT_FALSE(p.Congratulations);
    play(1, 1, p.Ziel_X(1, 1), p.Ziel_Y(1, 1));
    ASSERT_EQ(p.Verbund[0].size(), 17u);
    EXPECT_EQ(p.fertig, 2);
    EXPECT_TRUE(p.Congratulations);
    frame();  // the congratulations screen is drawn over the pieces
}
