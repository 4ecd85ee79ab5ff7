// The bitmap font drawn under a real X display: where the pen puts a glyph, characters without
// a glyph, and "CREATING" over the progress bar as the cutting shows it.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Window.h"
#include "font/ChaosFontModule.h"
#include "tests/ui/ScreenShots.h"
#include "ui/TProgressBar.h"

namespace {
class ChaosFontDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        font = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    }
    static void TearDownTestSuite() { font.reset(); }
    void SetUp() override {
        ASSERT_TRUE(font);
        OpenGraphicsWindow(300, 150, 0, 60, 0);
        SelectTextFont(font);
        SetBackgroundClearColor(0, 0, 255);
        SetDrawBlendMode(3);
        ClearBackBuffer();
    }
    static bool Inked(int x, int y) {
        unsigned p = static_cast<unsigned>(ReadPixmapPixel(CaptureScreenToPixmap(x, y, 1, 1), 0, 0));
        int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        return r > 2 || g > 2 || b < 253;
    }
    static bool ColumnInked(int x) {
        for (int y = 0; y < 150; ++y)
            if (Inked(x, y)) return true;
        return false;
    }
    static bool RowInked(int y) {
        for (int x = 0; x < 300; ++x)
            if (Inked(x, y)) return true;
        return false;
    }
    static TImageFontPtr font;
};
TImageFontPtr ChaosFontDrawing::font;
}  // namespace

TEST_F(ChaosFontDrawing, PenSitsAtTheBottomLeftOfTheVisiblePart) {
    // "I" has ink in columns 4..37 and rows 15..79 of its 95-high cell.
    DrawTextString("I", 50, 120);
    EXPECT_FALSE(ColumnInked(49));
    EXPECT_TRUE(ColumnInked(50));
    EXPECT_TRUE(ColumnInked(83));
    EXPECT_FALSE(ColumnInked(84));
    EXPECT_FALSE(RowInked(120 - 95 + 14));
    EXPECT_TRUE(RowInked(120 - 95 + 15));
    EXPECT_TRUE(RowInked(120 - 95 + 79));
    EXPECT_FALSE(RowInked(120 - 95 + 80));
}

TEST_F(ChaosFontDrawing, CharactersWithoutAGlyphDrawNothingAndDoNotAdvance) {
    DrawTextString("AA", 20, 120);
    TPixmapPtr plain = CaptureScreenToPixmap(0, 0, 300, 150);
    ClearBackBuffer();
    DrawTextString("QAqA~", 20, 120);
    TPixmapPtr gaps = CaptureScreenToPixmap(0, 0, 300, 150);
    EXPECT_EQ(plain->pixels, gaps->pixels);
}

TEST_F(ChaosFontDrawing, CreatingOverTheProgressBar) {
    // As the cutting shows its progress, in a 1200 x 900 window, 13 of 24 pieces cut.
    OpenGraphicsWindow(1200, 900, 0, 60, 0);
    SelectTextFont(font);
    SetDrawBlendMode(3);
    ScaleX = ScaleY = 1200.0f / 1500.0f;
    TImagePtr background = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    SetDrawScale(1200.0f / GetImageWidth(background), 900.0f / GetImageHeight(background));
    DrawImageTransformed(background, 0, 0, 0);
    SetDrawScale(ScaleX, ScaleY);
    TProgressBarPtr bar = TProgressBar::build("incbin::medien/etc/ProgressBar.png",
                                              "incbin::medien/etc/ProgressStripe.png", 6, 12, 50);
    bar->Show(750, 563, bar->Frames * 13 / 24);
    EXPECT_EQ(bar->ReachedFrame, 27);
    TPixmapPtr under = CaptureScreenToPixmap(0, 0, 1200, 900);
    DrawTextString("CREATING", 565 * ScaleX, 516 * ScaleY);
    TPixmapPtr over = CaptureScreenToPixmap(0, 0, 1200, 900);
    std::string path = shots::Save("creating.png");
    SCOPED_TRACE(path);
    // The word is 317 font pixels wide, so it ends 254 pixels right of its pen.
    EXPECT_EQ(MeasureTextWidth("CREATING"), 317);
    // What the word changed: from its pen at x 452 to 452 + 0.8 x 318, and within rows 12 to 84 of
    // cells 76 pixels high standing on the pen's y 412.8, so y 346 to 405.
    int left = 1200, right = -1, top = 900, bottom = -1;
    for (int y = 0; y < 900; ++y)
        for (int x = 0; x < 1200; ++x)
            if (ReadPixmapPixel(under, x, y) != ReadPixmapPixel(over, x, y))
                left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_NEAR(left, 452, 1);
    EXPECT_NEAR(right, 706, 1);
    EXPECT_TRUE(top >= 345 && top < 360 && bottom > 390 && bottom <= 406) << top << " to " << bottom;
}
