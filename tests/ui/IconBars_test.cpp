// The menu's three icon bars as the player works them: where the pointer counts as over a bar,
// how much each entry grows, the 200 ms zoom, and what counts as a click. Without X: the logic
// only. At scale 1 the main bar's left end is at x 278 and its base line at y 900; the left
// picture bar spans y 99 to 1027 from x 6, the right one hangs left of x 1494.
#include <gtest/gtest.h>

#include <vector>

#include "core/Globals.h"
#include "core/layer/Input.h"
#include "tests/ui/DesignWindow.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/TMacDockImitat_Vertikal_Left.h"
#include "ui/TMacDockImitat_Vertikal_Right.h"

namespace {

// Each bar where the menu shows it.
int Show(TMacDockImitat_Horizontal& b) { return b.show(750, 900); }
int Show(TMacDockImitat_Vertikal_Left& b) { return b.show(6, 563); }
int Show(TMacDockImitat_Vertikal_Right& b) { return b.show(1494, 563); }

class IconBarsTest : public ::testing::Test {
protected:
    void SetUp() override {
        OpenDesignWindow();
        GlobalAlpha = 1;
        LeftDock = TMacDockImitat_Vertikal_Left::build(928, 16, "incbin::medien/Reihe1/Motive1.png", 200, 150);
        RightDock = TMacDockImitat_Vertikal_Right::build(928, 16, "incbin::medien/Reihe1/Motive2.png", 200, 150);
        MainDock = TMacDockImitat_Horizontal::build(945, 9, "incbin::medien/etc/MenuSymbols.png", 180, 184,
                                                    "incbin::medien/etc/MenuTitels.png");
        ClearMouseState();
        InputMouseMove(0, 0);
    }
    // One frame of a bar with the pointer at (x, y) and the given buttons held.
    template <class Bar>
    static int Frame(Bar& bar, int x, int y, bool left = false, bool right = false) {
        InputMouseMove(x, y);
        InputMouseButton(1, left);
        InputMouseButton(2, right);
        return Show(bar);
    }
    // Whether (x, y) is over the bar at rest: a frame far away, then one there.
    template <class Bar>
    static bool Over(Bar& bar, int x, int y) {
        Frame(bar, 750, 20);
        Frame(bar, x, y);
        return bar.Animation == 1;
    }
    // Moves the bar's zoom clock on by ms, as if that long had passed since the last crossing.
    static void Wait(TMacDockImitat& bar, int ms) { bar.SpeedControl->StartTime -= ms; }
};

}  // namespace

TEST_F(IconBarsTest, SizesAtScaleOneAndAfterHalvingTheScale) {
    const TMacDockImitat_Horizontal& m = *MainDock;
    EXPECT_EQ(m.WholeWidth, 945);
    EXPECT_EQ(m.HalfWidth, 472);
    EXPECT_EQ(m.FrameWidth, 180);
    EXPECT_EQ(m.HalfFrameHeight, 92);
    EXPECT_FLOAT_EQ(m.Interval, 105);
    EXPECT_NEAR(m.GeneralZoom, 0.5833f, 0.0001f);
    EXPECT_EQ(m.TopY, 107);
    for (const TMacDockImitat_Vertikal* v : {static_cast<TMacDockImitat_Vertikal*>(LeftDock.get()),
                                             static_cast<TMacDockImitat_Vertikal*>(RightDock.get())}) {
        EXPECT_EQ(v->WholeHeight, 928);
        EXPECT_EQ(v->FrameHeight, 150);
        EXPECT_EQ(v->HalfFrameWidth, 100);
        EXPECT_FLOAT_EQ(v->Interval, 58);
        EXPECT_NEAR(v->GeneralZoom, 0.3867f, 0.0001f);
    }
    EXPECT_EQ(LeftDock->Right_X, 77);
    EXPECT_EQ(RightDock->Left_X, 77);
    ScaleX = ScaleY = 0.5f;
    MainDock->NewGlobalScale(945, 180, 184);
    EXPECT_EQ(m.WholeWidth, 472);
    EXPECT_EQ(m.HalfWidth, 236);
    EXPECT_EQ(m.FrameWidth, 90);
    EXPECT_EQ(m.HalfFrameHeight, 46);
    EXPECT_EQ(m.AddZoom.size(), 9u);
    // 400 x 300: the rest zoom 28/48 as a float, times 48, lies just under 28.
    ScaleX = ScaleY = 400 / 1500.0f;
    MainDock->NewGlobalScale(945, 180, 184);
    EXPECT_EQ(m.TopY, 27);
}

TEST_F(IconBarsTest, AtScale09TheMainBarCentresOnTheWindowsMiddle) {
    // 750 x 0.9f and 900 x 0.9f lie just under 675 and 810: the bar is centred on x 674 (as the
    // preview and the slider are), so its hit area runs over 249 < x < 1099 above the line y 809.
    ScaleX = ScaleY = 0.9f;
    MainDock->NewGlobalScale(945, 180, 184);
    EXPECT_EQ(MainDock->FrameWidth, 161);
    EXPECT_TRUE(Over(*MainDock, 250, 809) && Over(*MainDock, 1098, 760));
    EXPECT_FALSE(Over(*MainDock, 249, 800) || Over(*MainDock, 1099, 800) || Over(*MainDock, 700, 810));
}

TEST_F(IconBarsTest, TheEntryUnderThePointerAndUpToTwoNeighboursEachSideGrow) {
    // 261 below the picture bar's top: the centre of slot 4.
    Frame(*LeftDock, 40, 99 + 261);
    EXPECT_EQ(LeftDock->MemoSelectedFrame, 4);
    std::vector<float> picture(16, 0.0f);
    picture[3] = picture[5] = 0.5f;
    picture[4] = 1;
    EXPECT_EQ(LeftDock->AddZoom, picture);
    // The whole hovered entry's width counts at once, before the zoom has begun.
    EXPECT_EQ(LeftDock->Right_X, 200);
    Frame(*RightDock, 1460, 99 + 261);
    EXPECT_EQ(RightDock->AddZoom, picture);
    // 525 along the main bar, the border of slots 4 and 5: slot 5 is hovered.
    Frame(*MainDock, 278 + 525, 850);
    EXPECT_EQ(MainDock->MemoSelectedFrame, 5);
    const std::vector<float> main = {0, 0, 0, 0.25f, 0.75f, 0.75f, 0.25f, 0, 0};
    EXPECT_EQ(MainDock->AddZoom, main);
    EXPECT_FLOAT_EQ(MainDock->MemoDifference, -52.5f);
    // At an end only the neighbours that exist weigh.
    Frame(*MainDock, 378, 850);
    EXPECT_EQ(MainDock->MemoSelectedFrame, 0);
    for (int i = 3; i < 9; ++i) EXPECT_EQ(MainDock->AddZoom[i], 0) << i;
    EXPECT_GT(MainDock->AddZoom[2], 0);
}

TEST_F(IconBarsTest, TheHitAreaIsTheRestingBarAndDeepensUnderTheHoveredEntry) {
    // Main bar: x strictly between 278 and 1223, y from 900 - 107 to 900, both included.
    EXPECT_FALSE(Over(*MainDock, 278, 850));
    EXPECT_TRUE(Over(*MainDock, 279, 850));
    EXPECT_TRUE(Over(*MainDock, 1222, 850));
    EXPECT_FALSE(Over(*MainDock, 1223, 850));
    EXPECT_TRUE(Over(*MainDock, 750, 793));
    EXPECT_FALSE(Over(*MainDock, 750, 792));
    EXPECT_TRUE(Over(*MainDock, 750, 900));
    EXPECT_FALSE(Over(*MainDock, 750, 901));
    // Hovering the middle of entry 4 lifts the hit area to nearly its full height (weight 0.9976).
    Frame(*MainDock, 750, 850);
    EXPECT_EQ(MainDock->TopY, 183);
    Frame(*MainDock, 750, 720);
    EXPECT_EQ(MainDock->Animation, 1);
    // Left bar: x 6 to 83 included, y strictly between 99 and 1027.
    EXPECT_TRUE(Over(*LeftDock, 6, 500));
    EXPECT_FALSE(Over(*LeftDock, 5, 500));
    EXPECT_TRUE(Over(*LeftDock, 83, 500));
    EXPECT_FALSE(Over(*LeftDock, 84, 500));
    EXPECT_FALSE(Over(*LeftDock, 40, 99));
    EXPECT_TRUE(Over(*LeftDock, 40, 100));
    EXPECT_TRUE(Over(*LeftDock, 40, 1026));
    EXPECT_FALSE(Over(*LeftDock, 40, 1027));
    // Right bar: x 1417 to 1494 included.
    EXPECT_TRUE(Over(*RightDock, 1417, 500));
    EXPECT_FALSE(Over(*RightDock, 1416, 500));
    EXPECT_TRUE(Over(*RightDock, 1494, 500));
    EXPECT_FALSE(Over(*RightDock, 1495, 500));
}

TEST_F(IconBarsTest, AClickIsAPressAndAReleaseOverTheBar) {
    TMacDockImitat_Horizontal& m = *MainDock;
    EXPECT_EQ(Frame(m, 750, 880), -1);
    EXPECT_EQ(Frame(m, 750, 880, true), -1);  // pressed over entry 4
    EXPECT_EQ(m.State, 1);
    EXPECT_EQ(Frame(m, 750, 880, true), -1);
    EXPECT_EQ(Frame(m, 860, 880, true), -1);  // held across to entry 5
    EXPECT_EQ(Frame(m, 860, 880), 5);         // the entry under the pointer at the release
    EXPECT_EQ(Frame(m, 860, 880), -1);        // reported once only
    // The right button clicks as the left does.
    Frame(m, 300, 880, false, true);
    EXPECT_EQ(Frame(m, 300, 880), 0);
    // Pressed inside, released outside: nothing, then nothing on coming back.
    Frame(m, 750, 880, true);
    Frame(m, 750, 500, true);
    EXPECT_EQ(m.State, -1);
    EXPECT_EQ(Frame(m, 750, 500), -1);
    EXPECT_EQ(Frame(m, 750, 880), -1);
    // Pressed outside and brought in held: the bar freezes and the release there clicks nothing.
    Frame(m, 750, 500, true);
    Frame(m, 750, 880, true);
    const float frozen = m.AnimationZoom;
    Wait(m, 150);
    EXPECT_EQ(Frame(m, 400, 880, true), -1);
    EXPECT_EQ(m.AnimationZoom, frozen);
    EXPECT_EQ(m.MemoSelectedFrame, 4);
    EXPECT_EQ(Frame(m, 400, 880), -1);
    // Only a fresh press there clicks.
    Frame(m, 400, 880, true);
    EXPECT_EQ(Frame(m, 400, 880), 1);
    // The picture bars click the same way, either button.
    Frame(*LeftDock, 40, 360, true);
    EXPECT_EQ(Frame(*LeftDock, 40, 360), 4);
    Frame(*RightDock, 1460, 1020, false, true);
    EXPECT_EQ(Frame(*RightDock, 1460, 1020), 15);
}

TEST_F(IconBarsTest, TheZoomTakes200MsFromWhereverItWasAndStopAnimationLandsFlat) {
    TMacDockImitat_Horizontal& m = *MainDock;
    Frame(m, 750, 880);  // the crossing: the zoom-in starts from 0
    EXPECT_EQ(m.AnimationZoom, 0);
    Wait(m, 100);
    Frame(m, 750, 880);
    EXPECT_NEAR(m.AnimationZoom, 0.5f, 0.05f);
    Frame(m, 750, 500);  // out: the crossing frame keeps the zoom
    const float out = m.AnimationZoom;
    EXPECT_NEAR(out, 0.5f, 0.05f);
    Wait(m, 100);
    Frame(m, 750, 500);
    EXPECT_NEAR(m.AnimationZoom, 0.5f * out, 0.05f);
    const float back = m.AnimationZoom;
    Frame(m, 750, 880);  // in again from there, to 1 in 200 ms
    EXPECT_EQ(m.AnimationZoom, back);
    Wait(m, 100);
    Frame(m, 750, 880);
    EXPECT_NEAR(m.AnimationZoom, back + 0.5f * (1 - back), 0.05f);
    Wait(m, 300);
    Frame(m, 750, 880);
    EXPECT_FLOAT_EQ(m.AnimationZoom, 1);
    // Still magnified when stopped; the next frame outside draws it flat at once.
    m.StopAnimation();
    Frame(m, 750, 500);
    EXPECT_EQ(m.AnimationZoom, 0);
    Frame(m, 750, 500);
    EXPECT_EQ(m.AnimationZoom, 0);
    // With the pointer over it instead, it zooms in again from where it had been.
    Wait(m, 300);
    Frame(m, 750, 880);
    Wait(m, 300);
    Frame(m, 750, 880);
    m.StopAnimation();
    Frame(m, 750, 880);
    EXPECT_FLOAT_EQ(m.AnimationZoom, 1);
    EXPECT_EQ(m.Animation, 1);
}
