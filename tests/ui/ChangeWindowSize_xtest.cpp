// The size dialog drawn and worked under a real display: the slider sizes the miniature window,
// hovering the miniature desktop lights it and offers the change, Cancel keeps the window and a
// click on the miniature reopens it at the chosen size.
#include <gtest/gtest.h>

#include "core/Desktop.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Input.h"
#include "font/ChaosFontModule.h"
#include "tests/core/GameState.h"
#include "tests/support/OwnXServer.h"
#include "tests/ui/ScreenShots.h"
#include "ui/ChangeWindowSizeDialog.h"

namespace {
// The red, green and blue of a pixel of the back buffer as 0xRRGGBB.
int Rgb(int x, int y) { return ReadPixmapPixel(CaptureScreenToPixmap(x, y, 1, 1), 0, 0) & 0xFFFFFF; }

int FrameWith(TChangeSizeDialog& d, int x, int y, bool held) {
    InputMouseMove(x, y);
    if (held != (IsMouseButtonHeld(1) != 0)) InputMouseButton(1, held);
    return d.Frame();
}
}  // namespace

TEST(ChangeSizeDialog, SliderHoverCancelAndConfirmOnTheStartUpWindowOfA1920x1080Desktop) {
    // Whatever the suite's display, the places and sizes below are those of a 1920 x 1080 desktop.
    ASSERT_TRUE(UseOwnXServer("1920x1080x24")) << "Xvfb did not start";
    ASSERT_EQ(QueryDesktopWidth() * 10000 + QueryDesktopHeight(), 19201080);
    PreferAudioOutput("silent");
    RegisterEmbeddedMedia();
    ChaosFontModuleInit();
    OpenGraphicsWindow(1349, 1012, 0, 60, 0);  // what start-up opens there
    EXPECT_FALSE(TryOpenGraphicsWindow(20000, 15000, 0, 60, 0));  // too large: refused, window kept
    EXPECT_EQ(GetGraphicsWidth(), 1349);
    ScreenWidth = 1349;
    ScreenHeight = 1012;
    ScaleX = ScaleY = 0.9f;
    SetDrawBlendMode(3);
    BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    BackgroundScale = {1349.0f / 800, 1012.0f / 600};
    MenuTableImage = LoadImageFromSource("incbin::medien/etc/MenuTable.png", -1);
    TitleFont = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    SelectTextFont(TitleFont);
    gamestate::FreshObjects();

    TChangeSizeDialog d;
    d.Enter();
    EXPECT_EQ(d.Size.width * 10000 + d.Size.height, 13481011);  // from the scale, not the 1349 pixels
    EXPECT_FLOAT_EQ(Sliders[0]->Value, 24);  // the largest window: a hair over the slider's top
    // Over the miniature desktop (centre 675, 369) its frame (top edge at y 226) shows in dark
    // red, and "CHANGE" "SIZE" are offered.
    EXPECT_EQ(FrameWith(d, 20, 20, false), -1);
    EXPECT_EQ(FrameWith(d, 675, 369, false), -1);
    EXPECT_EQ(d.HoverState, 1);
    EXPECT_EQ(Rgb(675, 226), 0xB40000);
    // The slider dragged to its middle chooses a middle size.
    FrameWith(d, 855, 585, false);
    FrameWith(d, 855, 585, true);
    FrameWith(d, 675, 585, true);
    FrameWith(d, 675, 585, false);
    // x 675 is one pixel right of the track's centre 674 (359 long): v = 23.999 x (0.5 + 1 / 359)
    // = 12.066, s = 0.26666668 + 0.63333332 x v / 24 = 0.58508, 1500 x s + 2 = 879.6: 876 x 657.
    EXPECT_EQ(d.Size.width * 10000 + d.Size.height, 8760657);
    EXPECT_TRUE(d.Size.width > 700 && d.Size.width < 1000);
    FrameWith(d, 700, 400, false);
    FrameWith(d, 700, 400, false);
    shots::Save("change_size_dialog.png");
    // Cancel (centre 783, 729 in the window) keeps everything and gives the piece count back.
    FrameWith(d, 783, 729, false);
    FrameWith(d, 783, 729, true);
    ASSERT_EQ(FrameWith(d, 783, 729, false), 0);
    EXPECT_EQ(d.Leave(0), 0);
    EXPECT_TRUE(GetGraphicsWidth() == 1349 && Sliders[0]->Value == 7.5f);

    // Again, and a click on the miniature desktop takes the size the dialog opened with.
    d.Enter();
    FrameWith(d, 675, 369, false);
    FrameWith(d, 675, 369, true);
    FrameWith(d, 675, 369, true);  // held: bright red
    EXPECT_EQ(Rgb(675, 226), 0xFF0000);
    ASSERT_EQ(FrameWith(d, 675, 369, false), 1);
    EXPECT_EQ(d.Leave(1), 1);
    EXPECT_EQ(GetGraphicsWidth() * 10000 + GetGraphicsHeight(), 13481011);
    EXPECT_TRUE(ScreenWidth == 1348 && ScaleX == 1348.0f / 1500 && Sliders[0]->Value == 7.5f);
}
