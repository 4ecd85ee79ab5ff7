#include "ui/TMacDockImitat_Vertikal.h"

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "ui/WindowUnits.h"

void TMacDockImitat_Vertikal::Build(int height, int frames, const std::string& iconPath, int cellW, int cellH,
                                    int& cross) {
    LoadEntries(iconPath, frames, cellW, cellH);
    Rescale(height, cellW, cellH, cross);
}

void TMacDockImitat_Vertikal::Rescale(int height, int cellW, int cellH, int& cross) {
    WholeHeight = WindowY(height);
    HalfHeight = TruncateToInt(0.5f * static_cast<float>(WholeHeight));
    FrameHeight = WindowY(cellH);
    HalfFrameWidth = WindowX(0.5 * cellW);
    cross = Measure(WholeHeight, FrameHeight, HalfFrameWidth);
}

int TMacDockImitat_Vertikal::ShowColumn(int x, int cy, int side, int& cross) {
    const int X = WindowX(x);  // the edge the entries hang from
    const int top = WindowY(cy) - HalfHeight;
    const int mx = ReadMouseX(), my = ReadMouseY();
    const int nearX = side > 0 ? X : X - cross;
    const bool inside = nearX <= mx && mx <= nearX + cross && top < my && my < top + WholeHeight;
    const int result = Follow(inside, my - top, WholeHeight, HalfFrameWidth, cross);

    SetDrawAlpha(GlobalAlpha);
    ForEachEntry(static_cast<float>(top), FrameHeight, [&](int i, float y, float z) {
        const float xc = static_cast<float>(X) + static_cast<float>(side) * z * static_cast<float>(HalfFrameWidth);
        SetDrawScale(ScaleX * z, ScaleY * z);
        DrawImageTransformed(Image, xc, y, i);
        if (i == MemoSelectedFrame && State == 1) DrawBrightened(Image, xc, y, i);
    });
    return result;
}
