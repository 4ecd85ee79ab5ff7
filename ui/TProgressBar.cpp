#include "ui/TProgressBar.h"

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"
#include "ui/WindowUnits.h"

TProgressBarPtr TProgressBar::build(const std::string& barPath, const std::string& stripePath,
                                    int frameWidth, int frameHeight, int frames) {
    auto bar = std::make_shared<TProgressBar>();
    bar->BarImage = LoadImageFromSource(barPath, -1);
    CentreImageHandle(bar->BarImage);
    bar->FrameWidth = frameWidth;
    bar->FrameHeight = frameHeight;
    bar->Frames = frames;
    bar->StripeImage = LoadImageStrip(stripePath, frameWidth, frameHeight, 0, frames, -1);
    return bar;
}

void TProgressBar::DrawStripes(int x, float y) {
    // Stripe i starts (Frames div 2 - i) stripes left of the centre: the row is centred for an
    // even count and half a stripe right of centre for an odd one.
    for (int i = 0; i < ReachedFrame; ++i)
        DrawImageTransformed(StripeImage, x - ((Frames / 2) - i) * FrameWidth * ScaleX, y, i);
}

int TProgressBar::Show(int x, int y, int reached) {
    const int px = WindowX(x);
    const int py = WindowY(y);
    DrawImageTransformed(BarImage, static_cast<float>(px), static_cast<float>(py), 0);
    ReachedFrame = LargerInt(0, SmallerInt(Frames, reached));
    DrawStripes(px, py - 0.5f * ScaleY * FrameHeight);
    return 0;
}

int TProgressBar::ShowReflection(int x, int y, int reached, float squash, float alpha,
                                 const std::string& text, const std::vector<int>& color) {
    const int px = WindowX(x);
    const double sy = ScaleY;
    const int py = TruncateToInt(sy * y + 0.5 * GetImageHeight(BarImage) * (1.0 + squash) * sy);
    if (!text.empty()) {
        SetDrawAlpha(alpha * GlobalAlpha * 0.8f);
        SetDrawScale(ScaleX, -squash * ScaleY);
        if (color.size() >= 3)
            SetDrawColor(color[0], color[1], color[2]);
        else
            SetDrawColor(0, 0, 0);
        DrawTextString(text, px - 0.5f * ScaleX * MeasureTextWidth(text),
                       py + 2 * squash * ScaleY * (MeasureTextHeight(text) + 1));
        SetDrawColor(255, 255, 255);
    }
    SetDrawScale(ScaleX, -squash * ScaleY);
    SetDrawAlpha(alpha * GlobalAlpha);
    DrawImageTransformed(BarImage, static_cast<float>(px), static_cast<float>(py), 0);
    ReachedFrame = LargerInt(0, SmallerInt(Frames, reached));
    DrawStripes(px, py + 0.5f * squash * ScaleY * FrameHeight);
    SetDrawAlpha(GlobalAlpha);
    SetDrawScale(ScaleX, ScaleY);
    return 0;
}
