#include "ui/TMacDockImitat_Horizontal.h"

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "ui/WindowUnits.h"

TMacDockImitat_HorizontalPtr TMacDockImitat_Horizontal::build(int width, int frames, const std::string& iconPath,
                                                              int cellW, int cellH, const std::string& titlePath) {
    auto bar = std::make_shared<TMacDockImitat_Horizontal>();
    bar->LoadEntries(iconPath, frames, cellW, cellH);
    if (!titlePath.empty()) {
        bar->Titels = LoadImageStrip(titlePath, cellW, cellH, 0, frames, -1);
        CentreImageHandle(bar->Titels);
    }
    bar->NewGlobalScale(width, cellW, cellH);
    bar->ShadowFactor = 0.1f;
    return bar;
}

int TMacDockImitat_Horizontal::NewGlobalScale(int width, int cellW, int cellH) {
    WholeWidth = WindowX(width);
    HalfWidth = TruncateToInt(0.5f * static_cast<float>(WholeWidth));
    FrameWidth = WindowX(cellW);
    HalfFrameHeight = WindowY(0.5 * cellH);
    TopY = Measure(WholeWidth, FrameWidth, HalfFrameHeight);
    return 0;
}

int TMacDockImitat_Horizontal::show(int x, int y) {
    const int X = WindowX(x);
    const int Y = WindowY(y);  // the base line
    const int left = X - HalfWidth;
    const int mx = ReadMouseX(), my = ReadMouseY();
    const bool inside = left < mx && mx < left + WholeWidth && Y - TopY <= my && my <= Y;
    const int result = Follow(inside, mx - left, WholeWidth, HalfFrameHeight, TopY);

    SetDrawAlpha(GlobalAlpha);
    const float half = static_cast<float>(HalfFrameHeight);
    ForEachEntry(static_cast<float>(left), FrameWidth, [&](int i, float cx, float z) {
        const float yc = static_cast<float>(Y) - z * half;  // stands on the base line
        const bool pressed = i == MemoSelectedFrame && State == 1;
        SetDrawScale(ScaleX * z, ScaleY * z);
        DrawImageTransformed(Image, cx, yc, i);
        if (i == MemoSelectedFrame) {
            // The title fades with the zoom, so it also fades out after the pointer has left.
            SetDrawAlpha(GlobalAlpha * AnimationZoom);
            DrawImageTransformed(Titels, cx, yc, i);
            SetDrawAlpha(GlobalAlpha);
            if (pressed) {
                SetDrawScale(ScaleX * z, ScaleY * z);
                DrawBrightened(Image, cx, yc, i);
            }
        }
        // Upside down, squashed to 0.7 of the height, its top edge on the base line.
        const float ry = static_cast<float>(Y) + 0.7f * z * half;
        SetDrawAlpha(ShadowFactor * GlobalAlpha);
        SetDrawScale(ScaleX * z, -0.7f * ScaleY * z);
        DrawImageTransformed(Image, cx, ry, i);
        if (pressed) DrawBrightened(Image, cx, ry, i);
        SetDrawAlpha(GlobalAlpha);
    });
    return result;
}
