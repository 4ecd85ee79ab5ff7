// The slider under a real X display: the button reddens as the player takes hold of it, and the
// bar's faint reflection lies just under the bar.
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Window.h"
#include "ui/THorizontalBar.h"

namespace {
// At scale 0.5 the track's centre is at window (375, 325) and the button starts at x 337.
class HorizontalBarDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEmbeddedMedia();
        OpenGraphicsWindow(750, 562, 0, 60, 0);
    }
    void SetUp() override {
        ScaleX = ScaleY = 0.5f;
        GlobalAlpha = 1;
        SetBackgroundClearColor(255, 255, 255);
        SetDrawBlendMode(3);
        SetDrawScale(ScaleX, ScaleY);
        Sliders.assign(1, THorizontalBar::build(750, 650, 400, kPieceSliderMinimum, kPieceSliderStart,
                                                kPieceSliderMaximum, "incbin::medien/etc/HorizontalBarButton3.png",
                                                "incbin::medien/etc/HorizontalBar.png", 0, 2));
        ClearMouseState();
        ClearKeyboardState();
    }
    // Draws one frame of the slider with the pointer at (x, y) and returns the pixel at (px, py).
    static int Draw(int x, int y, bool held, int px, int py) {
        InputMouseMove(x, y);
        InputMouseButton(1, held);
        ClearBackBuffer();
        UpdateHorizontalBar();
        return ReadPixmapPixel(CaptureScreenToPixmap(px, py, 1, 1), 0, 0) & 0xFFFFFF;
    }
    static int Green(int rgb) { return (rgb >> 8) & 0xFF; }
    static int Red(int rgb) { return (rgb >> 16) & 0xFF; }
};
}  // namespace

TEST_F(HorizontalBarDrawing, TheButtonReddensFromIdleToHoverToDrag) {
    const int idle = Draw(0, 0, false, 337, 325);
    const int hover = Draw(337, 325, false, 337, 325);
    ASSERT_EQ(Sliders[0]->State, 1);
    Draw(337, 325, true, 337, 325);  // takes hold
    const int drag = Draw(337, 325, true, 337, 325);
    ASSERT_EQ(Sliders[0]->State, 2);
    // Tints (255, 160, 160), (240, 120, 120), (255, 40, 40) on the same button pixel.
    EXPECT_GT(Green(idle), Green(hover));
    EXPECT_GT(Green(hover), Green(drag));
    EXPECT_GT(Red(drag), 2 * Green(drag));
}

TEST_F(HorizontalBarDrawing, TheBarsReflectionIsFaintAndJustUnderTheBar) {
    // The bar is 29 pixels high, 14.5 at this scale around y 325; its reflection, squashed to 0.6,
    // is centred on y 337 (1 + 325 + 0.5 x 29 x 1.6 x 0.5) and reaches to about 341.
    const int bar = Draw(0, 0, false, 450, 325);
    const int reflection = Draw(0, 0, false, 450, 338);
    const int below = Draw(0, 0, false, 450, 346);
    EXPECT_NE(bar, 0xFFFFFF);
    EXPECT_NE(reflection, 0xFFFFFF);
    EXPECT_EQ(below, 0xFFFFFF);
    // At alpha 0.15 over white, the reflection is much lighter than the bar.
    EXPECT_GT(Green(reflection), Green(bar) + 50);
}
