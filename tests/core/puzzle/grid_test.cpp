// The cutting grid: counts, cell sizes, jitter bounds, border and corner rules.
#include <gtest/gtest.h>

#include <tuple>

#include "core/Globals.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "tests/support/PieceCounts.h"
#include "ui/TImagePreview.h"

namespace {
void ExpectValidGrid(const TGitterPreview& g, int width, int height) {
    int cw = width / g.Spalten, ch = height / g.Reihen;
    for (int i = 0; i <= g.Spalten; ++i)
        for (int j = 0; j <= g.Reihen; ++j) {
            if (i == 0) EXPECT_EQ(g.x(i, j), 0);
            else if (i == g.Spalten) EXPECT_EQ(g.x(i, j), width);
            else {
                EXPECT_GE(g.x(i, j), (i - 0.4f) * cw) << i << "," << j;
                EXPECT_LT(g.x(i, j), (i + 0.4f) * cw) << i << "," << j;
            }
            if (j == 0) EXPECT_EQ(g.y(i, j), 0);
            else if (j == g.Reihen) EXPECT_EQ(g.y(i, j), height);
            else {
                EXPECT_GE(g.y(i, j), (j - 0.4f) * ch);
                EXPECT_LT(g.y(i, j), (j + 0.4f) * ch);
            }
        }
    std::vector<int> order = *g.Reihenfolge;
    std::sort(order.begin(), order.end());
    ASSERT_EQ(static_cast<int>(order.size()), g.Summe);
    for (int k = 0; k < g.Summe; ++k) EXPECT_EQ(order[k], k);
}
}  // namespace

TEST(Grid, CountsFollowThePictureShape) {
    TGitterPreview g;
    g.Gitter_berechnen(3, 400, 300);
    EXPECT_EQ(g.Summe, 12);
    EXPECT_EQ(g.Spalten, 4);
    EXPECT_EQ(g.Reihen, 3);
    g.Gitter_berechnen(3, 300, 400);
    EXPECT_EQ(g.Spalten, 3);
    EXPECT_EQ(g.Reihen, 4);
    g.Gitter_berechnen(3, 300, 300);
    EXPECT_EQ(g.Spalten, 4);
    EXPECT_EQ(g.Reihen, 3);
    g.Gitter_berechnen(15, 960, 720);  // 54 pieces take the factor 6
    EXPECT_EQ(g.Spalten, 9);
    EXPECT_EQ(g.Reihen, 6);
    const TPuzzle puzzle;  // the menu reads the counts from the puzzle's own copy
    for (int index = 0; index < 24; ++index) {
        g.Gitter_berechnen(index, 960, 720);
        EXPECT_EQ(std::make_tuple(g.Summe, g.Reihen, g.Spalten, puzzle.Possible_Sum[index], puzzle.Possible_Factor[index]),
                  std::make_tuple(piececounts::kSum[index], piececounts::kFactor[index],
                                  piececounts::kSum[index] / piececounts::kFactor[index], piececounts::kSum[index],
                                  piececounts::kFactor[index])) << "index " << index;
        ExpectValidGrid(g, 960, 720);
    }
}

TEST(Grid, InnerLinesUseTheWholePixelCellAndTheLastTakesTheRest) {
    TGitterPreview g;
    for (int run = 0; run < 50; ++run) {
        g.Gitter_berechnen(0, 401, 300);
        ASSERT_EQ(g.Spalten, 2);
        for (int j = 0; j <= g.Reihen; ++j) {
            EXPECT_GE(g.x(1, j), 120);
            EXPECT_LT(g.x(1, j), 280);
            EXPECT_EQ(g.x(2, j), 401);
        }
        g.Gitter_berechnen(23, 1199, 899);  // 10 x 10 over cells of 119 x 89
        ExpectValidGrid(g, 1199, 899);
    }
}

TEST(Grid, FixedSeedGivesTheFormulaValues) {
    // Seed 42: the first generator step is 48271 x 42 = 2027382, so the first unit float is
    // (2027382 AND 0x0ffffff0) / 2^28 = 2027376 / 268435456; the second step is
    // 48271 x (2027382 mod 44488) - 3399 x (2027382 div 44488) = 48271 x 25422 - 3399 x 45.
    const float u1 = 2027376.0f / 268435456.0f;
    const int s2 = 48271 * 25422 - 3399 * 45;
    const float u2 = static_cast<float>(s2 & 0x0ffffff0) / 268435456.0f;
    SetRandomSeed(42);
    TGitterPreview g;
    g.Gitter_berechnen(0, 400, 300);  // 2 x 2, cells of 200 x 150
    // Corner (0, 1) draws first: x is fixed at 0, its y takes u1. Then corner (1, 0) takes u2 for x.
    EXPECT_FLOAT_EQ(g.y(0, 1), (1 - 0.4f + 0.8f * u1) * 150);
    EXPECT_FLOAT_EQ(g.x(1, 0), (1 - 0.4f + 0.8f * u2) * 200);
    EXPECT_EQ(g.y(1, 0), 0);
    EXPECT_EQ(g.x(0, 1), 0);
    TGitterPreview again;
    SetRandomSeed(42);
    again.Gitter_berechnen(0, 400, 300);
    EXPECT_EQ(again.x(1, 1), g.x(1, 1));
    EXPECT_EQ(again.y(1, 1), g.y(1, 1));
}

TEST(Grid, CornersLieOnThePreviewsPictureAsItsFrameDoes) {
    // A 960 x 640 picture in the preview of a 1200 x 900 window: centre (600, 328), half size
    // 200 x 133 design units, zoom 400 / 960. 600 - 0.8 x 200 is just under 440 with the scale
    // a little above 0.8, so the left edge is 439, like the frame's 436 + 3.
    const float oldX = ScaleX, oldY = ScaleY;
    ScaleX = ScaleY = 1200.0f / 1500.0f;
    auto preview = std::make_shared<TImagePreview>();
    preview->MidX = 600, preview->MidY = 328, preview->HalfWidth = 200, preview->HalfHeight = 133;
    preview->Zoom = 400.0f / 960.0f;
    std::swap(ImagePreview, preview);
    TGitterPreview g;
    g.Gitter_berechnen(3, 960, 640);
    EXPECT_EQ(g.CornerX(0, 1), 439.0f);
    EXPECT_EQ(g.CornerY(1, 0), 221.0f);  // 328 - 106.4
    EXPECT_FLOAT_EQ(g.CornerX(g.Spalten, 2), 759.0f);
    EXPECT_FLOAT_EQ(g.CornerY(1, g.Reihen), 221.0f + 0.8f * 400.0f / 960.0f * 640.0f);
    std::swap(ImagePreview, preview);
    ScaleX = oldX, ScaleY = oldY;
}
