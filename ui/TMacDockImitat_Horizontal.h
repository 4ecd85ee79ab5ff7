// A row of icons standing on a base line that magnifies the icon under the pointer and its two
// neighbours on each side, with the hovered entry's title over it and a faint mirrored
// reflection under the line. The main menu's nine entries are one (MainDock).
#pragma once
#include <memory>
#include <string>

#include "ui/TMacDockImitat.h"

class TMacDockImitat_Horizontal;
using TMacDockImitat_HorizontalPtr = std::shared_ptr<TMacDockImitat_Horizontal>;

class TMacDockImitat_Horizontal : public TMacDockImitat {
public:
    int WholeWidth = 0;        // length of the bar at rest, window pixels
    int HalfWidth = 0;
    TImagePtr Titels;          // title strip, same cells as the icons; none without a title path
    int FrameWidth = 0;        // width of an entry fully magnified
    int HalfFrameHeight = 0;
    int TopY = 0;              // height of the hit area above the base line
    float ShadowFactor = 0;    // alpha of the reflection

    // width in design units, cells in pixels of the strips; an empty title path means no titles.
    static TMacDockImitat_HorizontalPtr build(int width, int frames, const std::string& iconPath, int cellW,
                                              int cellH, const std::string& titlePath);
    // Updates from the mouse and draws the bar centred on x with its base line at y (design
    // units). The entry clicked in this call, else -1. Leaves the scale of the last reflection.
    int show(int x, int y);
    // After ScaleX and ScaleY changed.
    int NewGlobalScale(int width, int cellW, int cellH);
};
