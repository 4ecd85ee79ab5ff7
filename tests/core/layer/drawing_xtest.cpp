// Drawing under a real X display, checked by reading the back buffer back.
#include <gtest/gtest.h>

#include "core/layer/Drawing.h"
#include "core/layer/Fonts.h"
#include "core/layer/Window.h"

namespace {
constexpr int kW = 200, kH = 150;

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        OpenGraphicsWindow(kW, kH, 0, 60, 0);
        SetBackgroundClearColor(0, 0, 0);
        ClearBackBuffer();
    }
    // The pixel's ARGB word as read from the back buffer.
    static unsigned Pixel(int x, int y) {
        TPixmapPtr pm = CaptureScreenToPixmap(x, y, 1, 1);
        return static_cast<unsigned>(ReadPixmapPixel(pm, 0, 0)) & 0xFFFFFF;
    }
    static int Red(int x, int y) { return (Pixel(x, y) >> 16) & 255; }
    static TPixmapPtr Solid(int w, int h, unsigned argb, int format = 6) {
        TPixmapPtr pm = CreateBlankPixmap(w, h, format, 4);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) WritePixmapPixel(pm, x, y, static_cast<int>(argb));
        return pm;
    }
};
}  // namespace

TEST_F(Drawing, OpaqueRectanglesKeepExactGreyLevels) {
    SetDrawBlendMode(3);
    const int levels[] = {10, 75, 160, 245};
    for (int k = 0; k < 4; ++k) {
        SetDrawColor(levels[k], levels[k], levels[k]);
        FillRectangle(10 + 20 * k, 10, 15, 15);
    }
    for (int k = 0; k < 4; ++k) EXPECT_EQ(Pixel(15 + 20 * k, 15), levels[k] * 0x010101u) << k;
    // The edges: the rectangle covers exactly its pixels, no smoothing.
    EXPECT_EQ(Pixel(9, 15), 0u);
    EXPECT_EQ(Pixel(10, 15), 10 * 0x010101u);
    EXPECT_EQ(Pixel(24, 15), 10 * 0x010101u);
    EXPECT_EQ(Pixel(25, 15), 0u);
}

TEST_F(Drawing, AlphaAndLightBlendUseTheTruncatedAlphaByte) {
    SetDrawBlendMode(3);
    SetDrawColor(200, 200, 200);
    SetDrawAlpha(0.5f);  // byte 127
    FillRectangle(0, 0, 20, 20);
    EXPECT_NEAR(Red(5, 5), 200 * 127 / 255.0, 1.0);
    SetDrawAlpha(1);
    SetDrawColor(100, 100, 100);
    FillRectangle(40, 0, 20, 20);
    SetDrawBlendMode(4);
    SetDrawAlpha(0.5f);
    FillRectangle(40, 0, 20, 20);  // 100 + 100 x 127/255
    EXPECT_NEAR(Red(45, 5), 100 + 100 * 127 / 255.0, 1.0);
    // Polygons too, and an unknown mode acts as solid.
    SetDrawBlendMode(99);
    SetDrawAlpha(0.1f);
    SetDrawColor(77, 77, 77);
    FillPolygon({80, 0, 100, 0, 100, 20, 80, 20});
    EXPECT_EQ(Pixel(90, 10), 77 * 0x010101u);
}

TEST_F(Drawing, HandleOriginRotationAndScalePlaceShapes) {
    SetDrawBlendMode(2);
    SetDrawColor(255, 0, 0);
    SetDrawHandle(5, 5);
    SetDrawOrigin(10, 0);
    SetDrawScale(2, 2);
    FillRectangle(50, 50, 10, 10);  // covers x 50..69 and y 40..59
    EXPECT_EQ(Pixel(51, 41), 0xFF0000u);
    EXPECT_EQ(Pixel(68, 58), 0xFF0000u);
    EXPECT_EQ(Pixel(71, 50), 0u);
    SetDrawScale(1, 1);
    SetDrawOrigin(0, 0);
    SetDrawHandle(0, 0);
    SetDrawRotation(90);  // clockwise: the local x axis points down
    SetDrawColor(0, 255, 0);
    FillRectangle(150, 20, 30, 4);
    EXPECT_EQ(Pixel(148, 40), 0x00FF00u);
    EXPECT_EQ(Pixel(160, 22), 0u);
}

TEST_F(Drawing, LinesPlotTheLastPixelWhenAsked) {
    SetDrawBlendMode(2);
    SetDrawColor(255, 255, 255);
    DrawLineSegment(10, 10, 30, 10, 1);
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(20, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(30, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(20, 11), 0u);
}

TEST_F(Drawing, LinesStartAtTheHandleLikeOtherShapes) {
    SetDrawBlendMode(2);
    SetDrawColor(255, 255, 255);
    // Handle (5, 3) at scale 2 lands 10 left and 6 above (60, 70); the 10 pixels to the end
    // become 20: the line runs from (50, 64) to (70, 64).
    SetDrawHandle(5, 3);
    SetDrawScale(2, 2);
    DrawLineSegment(60, 70, 70, 70, 1);
    EXPECT_EQ(Pixel(50, 64), 0xFFFFFFu);
    EXPECT_EQ(Pixel(60, 64), 0xFFFFFFu);
    EXPECT_EQ(Pixel(70, 64), 0xFFFFFFu);
    EXPECT_EQ(Pixel(49, 64), 0u);
    EXPECT_EQ(Pixel(71, 64), 0u);
    EXPECT_EQ(Pixel(60, 70), 0u);
    // Turned by 90 degrees the handle turns too: the local y axis points left, so the handle
    // (0, 4) lies 4 to the left of the start; the local x axis points down, so a line to the
    // left runs up, from (134, 30) to (134, 20).
    SetDrawScale(1, 1);
    SetDrawHandle(0, 4);
    SetDrawRotation(90);
    DrawLineSegment(130, 30, 120, 30, 1);
    EXPECT_EQ(Pixel(134, 30), 0xFFFFFFu);
    EXPECT_EQ(Pixel(134, 25), 0xFFFFFFu);
    EXPECT_EQ(Pixel(134, 20), 0xFFFFFFu);
    EXPECT_EQ(Pixel(130, 25), 0u);
    EXPECT_EQ(Pixel(134, 19), 0u);
    EXPECT_EQ(Pixel(134, 31), 0u);
}

TEST_F(Drawing, MaskedPicturesLoseTheMaskColourOnlyWithoutAlpha) {
    SetDrawBlendMode(3);
    SetBackgroundClearColor(255, 255, 255);
    ClearBackBuffer();
    TPixmapPtr rgb = CreateBlankPixmap(2, 1, 4, 4);
    WritePixmapPixel(rgb, 0, 0, static_cast<int>(0xFF000000u));  // black
    WritePixmapPixel(rgb, 1, 0, static_cast<int>(0xFFFF00FFu));  // magenta
    SetImageMaskColor(0, 0, 0);
    TImagePtr blackMasked = LoadImageFromSource(rgb, 1);
    SetImageMaskColor(255, 0, 255);
    TImagePtr magentaMasked = LoadImageFromSource(rgb, 1);
    TImagePtr unmasked = LoadImageFromSource(rgb, 0);
    TPixmapPtr rgba = CreateBlankPixmap(2, 1, 6, 4);
    WritePixmapPixel(rgba, 0, 0, static_cast<int>(0xFF000000u));
    WritePixmapPixel(rgba, 1, 0, static_cast<int>(0xFFFF00FFu));
    TImagePtr withAlpha = LoadImageFromSource(rgba, 1);
    SetImageMaskColor(0, 0, 0);
    DrawImageTransformed(blackMasked, 10, 10, 0);
    DrawImageTransformed(magentaMasked, 10, 20, 0);
    DrawImageTransformed(unmasked, 10, 30, 0);
    DrawImageTransformed(withAlpha, 10, 40, 0);
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(Pixel(11, 10), 0xFF00FFu);
    EXPECT_EQ(Pixel(10, 20), 0x000000u);
    EXPECT_EQ(Pixel(11, 20), 0xFFFFFFu);
    EXPECT_EQ(Pixel(10, 30), 0x000000u);
    EXPECT_EQ(Pixel(11, 30), 0xFF00FFu);
    EXPECT_EQ(Pixel(10, 40), 0x000000u);
    EXPECT_EQ(Pixel(11, 40), 0xFF00FFu);
}

TEST_F(Drawing, ImagesAreTintedTransformedAndOnlyUploadedWhenChanged) {
    SetDrawBlendMode(3);
    TImagePtr img = LoadImageFromSource(Solid(10, 10, 0xFFFFFFFFu), 0);
    CentreImageHandle(img);
    SetDrawColor(255, 128, 0);
    DrawImageTransformed(img, 100, 75, 0);
    EXPECT_EQ(Pixel(100, 75), 0xFF8000u);
    EXPECT_EQ(Pixel(95, 70), 0xFF8000u);
    EXPECT_EQ(Pixel(94, 75), 0u);
    long uploads = CountTextureUploads();
    for (int i = 0; i < 5; ++i) DrawImageTransformed(img, 20, 20, 0);
    EXPECT_EQ(CountTextureUploads(), uploads);
    // A write through the lock shows at the next draw, with its alpha.
    TPixmapPtr pm = LockImagePixels(img, 0, 0, 1);
    WritePixmapPixel(pm, 0, 0, 0x00000000);
    UnlockImagePixels(img, 0);
    SetDrawColor(255, 255, 255);
    ClearBackBuffer();
    DrawImageTransformed(img, 100, 75, 0);
    EXPECT_EQ(CountTextureUploads(), uploads + 1);
    EXPECT_EQ(Pixel(95, 70), 0u);
    EXPECT_EQ(Pixel(96, 70), 0xFFFFFFu);
    // A frame without pixels draws nothing.
    TImagePtr blank = CreateBlankImage(8, 8, 2, -1);
    EXPECT_EQ(blank->flags, 11);
    DrawImageTransformed(blank, 0, 0, 1);
}

TEST_F(Drawing, CaptureRoundTripIsTopDown) {
    SetDrawBlendMode(2);
    SetDrawColor(255, 0, 0);
    FillRectangle(20, 10, 4, 2);
    SetDrawColor(0, 0, 255);
    FillRectangle(20, 12, 4, 2);
    TImagePtr img = CreateBlankImage(4, 4, 1, 0);
    CaptureScreenToImage(img, 20, 10, 0);
    TPixmapPtr pm = LockImagePixels(img, 0, 1, 0);
    EXPECT_EQ(static_cast<unsigned>(ReadPixmapPixel(pm, 0, 0)), 0xFFFF0000u);
    EXPECT_EQ(static_cast<unsigned>(ReadPixmapPixel(pm, 3, 3)), 0xFF0000FFu);
    ClearBackBuffer();
    SetDrawColor(255, 255, 255);
    DrawImageTransformed(img, 100, 100, 0);
    EXPECT_EQ(Pixel(100, 100), 0xFF0000u);
    EXPECT_EQ(Pixel(103, 103), 0x0000FFu);
    // Blocks reaching outside the window read black there.
    TPixmapPtr edge = CaptureScreenToPixmap(kW - 2, 0, 4, 1);
    EXPECT_EQ(static_cast<unsigned>(ReadPixmapPixel(edge, 3, 0)) & 0xFFFFFF, 0u);
}

TEST_F(Drawing, OverlapTestFollowsRotationScaleAndHandles) {
    TImagePtr a = LoadImageFromSource(Solid(10, 10, 0xFFFFFFFFu), -1);
    TImagePtr b = LoadImageFromSource(Solid(10, 10, 0xFFFFFFFFu), -1);
    CentreImageHandle(a);
    CentreImageHandle(b);
    // Centres 13 apart: squares of half-width 5 miss, turned by 45 degrees their corners meet.
    EXPECT_EQ(TestImagesOverlap(a, 50, 50, 0, 0, 1, 1, b, 63, 50, 0, 0, 1, 1), 0);
    EXPECT_EQ(TestImagesOverlap(a, 50, 50, 0, 45, 1, 1, b, 63, 50, 0, 45, 1, 1), 1);
    EXPECT_EQ(TestImagesOverlap(a, 50, 50, 0, 0, 1.5f, 1.5f, b, 63, 50, 0, 0, 1.5f, 1.5f), 1);
    // Faint pixels (alpha below 128) do not count.
    TImagePtr faint = LoadImageFromSource(Solid(10, 10, 0x7FFFFFFFu), -1);
    CentreImageHandle(faint);
    EXPECT_EQ(TestImagesOverlap(a, 50, 50, 0, 0, 1, 1, faint, 52, 50, 0, 0, 1, 1), 0);
    // With the default handle the image hangs right and down from its position.
    TImagePtr c = LoadImageFromSource(Solid(10, 10, 0xFFFFFFFFu), -1);
    EXPECT_EQ(TestImagesOverlap(c, 40, 40, 0, 0, 1, 1, b, 56, 45, 0, 0, 1, 1), 0);
    EXPECT_EQ(TestImagesOverlap(c, 40, 40, 0, 0, 1, 1, b, 54, 45, 0, 0, 1, 1), 1);
    EXPECT_EQ(CurrentDrawState().rotation, 0);
}

TEST_F(Drawing, DefaultFontDrawsAndMeasures) {
    SetDrawBlendMode(3);
    SelectTextFont(nullptr);
    int w = MeasureTextWidth("AB");
    EXPECT_GT(w, 0);
    EXPECT_EQ(MeasureTextWidth("A") + MeasureTextWidth("B"), w);
    EXPECT_EQ(MeasureTextWidth(std::string(1, '\x01')), 0);  // no glyph: no advance
    EXPECT_GT(MeasureTextHeight("x"), 0);
    DrawTextString("HH", 10, 10);
    TPixmapPtr pm = CaptureScreenToPixmap(10, 10, w, MeasureTextHeight(""));
    int lit = 0;
    for (int y = 0; y < pm->height; ++y)
        for (int x = 0; x < pm->width; ++x) lit += (ReadPixmapPixel(pm, x, y) & 0xFFFFFF) != 0;
    EXPECT_GT(lit, 10);
}

TEST_F(Drawing, ImagesSurviveReopeningTheWindow) {
    TImagePtr img = LoadImageFromSource(Solid(6, 6, 0xFF00FF00u), 0);
    SetDrawBlendMode(3);
    DrawImageTransformed(img, 10, 10, 0);
    EXPECT_EQ(Pixel(12, 12), 0x00FF00u);
    OpenGraphicsWindow(300, 200, 0, 60, 0);
    EXPECT_EQ(GetGraphicsWidth(), 300);
    EXPECT_EQ(CurrentDrawState().blendMode, 1);
    ClearBackBuffer();
    DrawImageTransformed(img, 250, 150, 0);
    EXPECT_EQ(Pixel(252, 152), 0x00FF00u);
    int w = 0, h = 0, depth = 0, hz = 0;
    ASSERT_GT(CountDisplayModes(), 0);
    ASSERT_TRUE(GetDisplayMode(0, w, h, depth, hz));
    EXPECT_GT(w, 0);
    EXPECT_GT(hz, 0);
}
