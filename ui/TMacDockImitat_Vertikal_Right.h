// A column of pictures hanging from its right edge, magnified under the pointer (RightDock: the second picture series, at the window's right edge).
#pragma once
#include <memory>
#include <string>

#include "ui/TMacDockImitat_Vertikal.h"

class TMacDockImitat_Vertikal_Right;
using TMacDockImitat_Vertikal_RightPtr = std::shared_ptr<TMacDockImitat_Vertikal_Right>;

class TMacDockImitat_Vertikal_Right : public TMacDockImitat_Vertikal {
public:
    int Left_X = 0;  // width of the hit area to the left of the right edge

    // height in design units, cells in pixels of the strip.
    static TMacDockImitat_Vertikal_RightPtr build(int height, int frames, const std::string& iconPath, int cellW,
                                                  int cellH);
    // Updates from the mouse and draws the column with its right edge at x, centred on y (design
    // units). The entry clicked in this call, else -1. Leaves the scale of the last entry drawn.
    int show(int x, int y);
    // After ScaleX and ScaleY changed.
    int NewGlobalScale(int height, int cellW, int cellH);
};
