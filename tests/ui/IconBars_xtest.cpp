// The icon bars under a real X display: an entry under the pointer grows out of the column and
// lands flat again after StopAnimation, a pressed entry brightens, and the main bar's reflection
// is faint. Also saves a picture of the whole menu with the main bar magnified.
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/PictureCatalogue.h"
#include "core/Backdrop.h"
#include "core/StartUp.h"
#include "core/Utilities.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "font/ChaosFontModule.h"
#include "tests/ui/ScreenShots.h"
#include "ui/MenuScreen.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/TMacDockImitat_Vertikal_Left.h"
#include "ui/TMacDockImitat_Vertikal_Right.h"

namespace {
// At scale 0.8 the left column hangs from x 4 between y 79 and 821, 62 pixels wide at rest;
// slot 4's centre is at y 287, and fully magnified that entry reaches x 164.
constexpr int kW = 1200, kH = 900;
constexpr unsigned kGreen = 0x00FF00;

class IconBarsDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEmbeddedMedia();
        ChaosFontModuleInit();
        OpenGraphicsWindow(kW, kH, 0, 60, 0);
        ScaleX = ScaleY = 0.8f;
        ScreenWidth = kW;
        ScreenHeight = kH;
        GlobalAlpha = 1;
        TitleFont = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
        SelectTextFont(TitleFont);
        BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
        BackgroundScale = {static_cast<float>(kW) / GetImageWidth(BackgroundImage),
                           static_cast<float>(kH) / GetImageHeight(BackgroundImage)};
        MenuTableImage = LoadImageFromSource("incbin::medien/etc/MenuTable.png", -1);
        Sliders.assign(1, THorizontalBar::build(750, 650, 400, kPieceSliderMinimum, kPieceSliderStart,
                                                kPieceSliderMaximum, "incbin::medien/etc/HorizontalBarButton3.png",
                                                "incbin::medien/etc/HorizontalBar.png", 0, 2));
        ImagePreview = std::make_shared<TImagePreview>();
        GridPreview = std::make_shared<TGitterPreview>();
        ImagePaths.assign(2, "");
        SelectBuiltInMotive(1, 0);
    }
    static void TearDownTestSuite() {
        LeftDock.reset();
        RightDock.reset();
        MainDock.reset();
        Sliders.clear();
        ImagePreview.reset();
        GridPreview.reset();
        TitleFont.reset();
        BackgroundImage.reset();
        MenuTableImage.reset();
    }
    void SetUp() override {
        SetDrawBlendMode(3);
        LeftDock = TMacDockImitat_Vertikal_Left::build(928, 16, "incbin::medien/Reihe1/Motive1.png", 200, 150);
        RightDock = TMacDockImitat_Vertikal_Right::build(928, 16, "incbin::medien/Reihe1/Motive2.png", 200, 150);
        MainDock = TMacDockImitat_Horizontal::build(945, 9, "incbin::medien/etc/MenuSymbols.png", 180, 184,
                                                    "incbin::medien/etc/MenuTitels.png");
        ClearMouseState();
    }
    // One frame with the pointer at (x, y): the three bars over green, or the whole menu.
    static void Frame(int x, int y, bool held = false, bool menu = false) {
        InputMouseMove(x, y);
        InputMouseButton(1, held);
        ResetDrawState();
        SetBackgroundClearColor(0, 255, 0);
        ClearBackBuffer();
        if (menu) {
            DrawBackdrop();
            DrawMenuScreen();
            return;
        }
        LeftDock->show(6, 563);
        RightDock->show(1494, 563);
        MainDock->show(750, 900);
    }
    static unsigned Pixel(int x, int y) {
        return static_cast<unsigned>(ReadPixmapPixel(CaptureScreenToPixmap(x, y, 1, 1), 0, 0)) & 0xFFFFFF;
    }
    // The mean over a w x h rectangle at (x, y) of f(red, green, blue).
    template <class F>
    static double Mean(int x, int y, int w, int h, F f) {
        TPixmapPtr pm = CaptureScreenToPixmap(x, y, w, h);
        double sum = 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const unsigned p = static_cast<unsigned>(ReadPixmapPixel(pm, i, j));
                sum += f(static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF));
            }
        return sum / (w * h);
    }
    static double Brightness(int x, int y) {
        return Mean(x - 4, y - 4, 8, 8, [](int r, int g, int b) { return r + g + b; });
    }
    // How far the rectangle is from the plain green, on average.
    static double OffGreen(int x, int y, int w, int h) {
        return Mean(x, y, w, h, [](int r, int g, int b) { return r + (255 - g) + b; });
    }
};
}  // namespace

TEST_F(IconBarsDrawing, AHoveredPictureGrowsOutOfTheColumnBrightensWhenPressedAndStopsFlat) {
    Frame(600, 450);
    EXPECT_EQ(Pixel(140, 287), kGreen);
    Frame(30, 287);
    LeftDock->SpeedControl->StartTime -= 300;
    Frame(30, 287);
    ASSERT_EQ(LeftDock->AnimationZoom, 1);
    EXPECT_NE(Pixel(140, 287), kGreen);
    const double hovered = Brightness(84, 287);
    Frame(30, 287, true);
    EXPECT_GT(Brightness(84, 287), hovered + 20);
    Frame(30, 287);
    LeftDock->StopAnimation();
    Frame(600, 450);
    EXPECT_EQ(Pixel(140, 287), kGreen);
}

TEST_F(IconBarsDrawing, TheMainBarsTitleFadesWithItsZoomAndItsReflectionIsFaint) {
    // Entry 4 centred on x 600 on the base line y 720. Its title fades in with the zoom: none in
    // the frame of the crossing, where the title's letters would stand over the resting icon.
    Frame(600, 700);
    EXPECT_EQ(OffGreen(575, 638, 50, 10), 0);
    // Fully magnified: the title over it, and under the line its reflection, squashed to 0.7, at
    // a tenth of the icon's alpha.
    MainDock->SpeedControl->StartTime -= 300;
    Frame(600, 700);
    EXPECT_GT(OffGreen(560, 582, 80, 12), 20);
    const double icon = OffGreen(570, 680, 60, 20), reflection = OffGreen(570, 734, 60, 14);
    EXPECT_GT(reflection, 0.05 * icon);
    EXPECT_LT(reflection, 0.15 * icon);
    MainDock->StopAnimation();
    Frame(600, 450);
    EXPECT_EQ(OffGreen(560, 582, 80, 12), 0);
    // For a person to look at: entry 1 (create) magnified over the whole menu.
    Frame(348, 700, false, true);
    MainDock->SpeedControl->StartTime -= 300;
    Frame(348, 700, false, true);
    ASSERT_EQ(MainDock->MemoSelectedFrame, 1);
    shots::Save("icon_bars_menu.png");
}
