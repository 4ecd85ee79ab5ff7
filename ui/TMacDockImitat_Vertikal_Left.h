// A column of pictures hanging from its left edge, magnified under the pointer (LeftDock: the first picture series, at the window's left edge).
#pragma once
#include <memory>
#include <string>

#include "ui/TMacDockImitat_Vertikal.h"

class TMacDockImitat_Vertikal_Left;
using TMacDockImitat_Vertikal_LeftPtr = std::shared_ptr<TMacDockImitat_Vertikal_Left>;

class TMacDockImitat_Vertikal_Left : public TMacDockImitat_Vertikal {
public:
    int Right_X = 0;  // width of the hit area to the right of the left edge

    // height in design units, cells in pixels of the strip.
    static TMacDockImitat_Vertikal_LeftPtr build(int height, int frames, const std::string& iconPath, int cellW,
                                                  int cellH);
    // Updates from the mouse and draws the column with its left edge at x, centred on y (design
    // units). The entry clicked in this call, else -1. Leaves the scale of the last entry drawn.
    int show(int x, int y);
    // After ScaleX and ScaleY changed.
    int NewGlobalScale(int height, int cellW, int cellH);
};
