// What the two picture columns share: entries hanging from one edge of the column, magnified
// under the pointer, without titles or reflection. The left and right bars differ only in the
// edge they hang from.
#pragma once
#include <string>

#include "ui/TMacDockImitat.h"

class TMacDockImitat_Vertikal : public TMacDockImitat {
public:
    int WholeHeight = 0;      // length of the column at rest, window pixels
    int HalfHeight = 0;
    int FrameHeight = 0;      // height of an entry fully magnified
    int HalfFrameWidth = 0;

protected:
    // side +1: hangs to the right of the edge x (the left bar); -1: to its left. `cross` is the
    // bar's hit-area width from that edge.
    int ShowColumn(int x, int cy, int side, int& cross);
    void Build(int height, int frames, const std::string& iconPath, int cellW, int cellH, int& cross);
    void Rescale(int height, int cellW, int cellH, int& cross);
};
