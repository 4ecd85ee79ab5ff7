// The progress bar under a real X display: how many stripes it draws and where they lie.
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Window.h"
#include "ui/TProgressBar.h"

namespace {
class ProgressBarTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterEmbeddedMedia();
        OpenGraphicsWindow(400, 200, 0, 60, 0);
    }
    void SetUp() override {
        ScaleX = ScaleY = 1;
        SetBackgroundClearColor(255, 255, 255);
        SetDrawBlendMode(3);
        SetDrawScale(1, 1);
    }
    static TProgressBarPtr Bar(int frames) {
        return TProgressBar::build("incbin::medien/etc/ProgressBar.png",
                                   "incbin::medien/etc/ProgressStripe.png", 6, 12, frames);
    }
    // One window row (or column) after drawing the bar centred on (x, 100).
    static std::vector<int> Line(const TProgressBarPtr& bar, int reached, bool row, int at, int x = 200) {
        ClearBackBuffer();
        bar->Show(x, 100, reached);
        TPixmapPtr pm = row ? CaptureScreenToPixmap(0, at, 400, 1) : CaptureScreenToPixmap(at, 0, 1, 200);
        std::vector<int> v;
        for (int k = 0; k < (row ? 400 : 200); ++k)
            v.push_back(ReadPixmapPixel(pm, row ? k : 0, row ? 0 : k) & 0xFFFFFF);
        return v;
    }
    // The first and last positions where the line with stripes differs from the empty bar.
    static std::pair<int, int> Changed(const std::vector<int>& empty, const std::vector<int>& full) {
        int first = -1, last = -1;
        for (size_t k = 0; k < empty.size(); ++k)
            if (empty[k] != full[k]) {
                if (first < 0) first = static_cast<int>(k);
                last = static_cast<int>(k);
            }
        return {first, last};
    }
};
}  // namespace

TEST_F(ProgressBarTest, StripesFillFromTheLeftOnePerStepReached) {
    TProgressBarPtr bar = Bar(50);
    ASSERT_TRUE(bar->BarImage && bar->StripeImage);
    EXPECT_FLOAT_EQ(bar->BarImage->handleX, 160);
    const std::vector<int> empty = Line(bar, 0, true, 100);
    EXPECT_EQ(bar->ReachedFrame, 0);
    // The puzzle asks for Frames x pieces cut div pieces: with 24 pieces, after 1, 12 and 23.
    struct Step { int reached, stripes; };
    const Step steps[] = {{50 * 1 / 24, 2}, {50 * 12 / 24, 25}, {50 * 23 / 24, 47}, {50, 50}, {51, 50}};
    for (const Step& s : steps) {
        std::pair<int, int> c = Changed(empty, Line(bar, s.reached, true, 100));
        EXPECT_EQ(bar->ReachedFrame, s.stripes) << s.reached;
        // Stripe 0 begins 150 pixels left of the centre; each is 6 pixels wide.
        EXPECT_EQ(c.first, 50) << s.reached;
        EXPECT_EQ(c.second, 50 + 6 * s.stripes - 1) << s.reached;
    }
    EXPECT_EQ(Changed(empty, Line(bar, -3, true, 100)).first, -1);
    EXPECT_EQ(bar->ReachedFrame, 0);
    // Each stripe spans 6 pixels above and below the centre line.
    std::pair<int, int> rows = Changed(Line(bar, 0, false, 53), Line(bar, 50, false, 53));
    EXPECT_EQ(rows.first, 94);
    EXPECT_EQ(rows.second, 105);
}

TEST_F(ProgressBarTest, OddCountLiesHalfAStripeRightOfCentre) {
    TProgressBarPtr bar = Bar(5);
    std::pair<int, int> c = Changed(Line(bar, 0, true, 100), Line(bar, 5, true, 100));
    EXPECT_EQ(c.first, 200 - 12);
    EXPECT_EQ(c.second, 200 + 18 - 1);
}

TEST_F(ProgressBarTest, AtScale09ThePlaceIsTruncatedFromTheExactProduct) {
    // 250 x 0.9f is just under 225: the bar's centre is x 224, so stripe 0 (135 pixels left of
    // it) begins at 89, as everything else placed from the same scale does.
    ScaleX = ScaleY = 0.9f;
    TProgressBarPtr bar = Bar(50);
    EXPECT_EQ(Changed(Line(bar, 0, true, 90, 250), Line(bar, 1, true, 90, 250)).first, 89);
}
