#include "ui/TMacDockImitat_Vertikal_Right.h"

TMacDockImitat_Vertikal_RightPtr TMacDockImitat_Vertikal_Right::build(int height, int frames, const std::string& iconPath,
                                                                    int cellW, int cellH) {
    auto bar = std::make_shared<TMacDockImitat_Vertikal_Right>();
    bar->Build(height, frames, iconPath, cellW, cellH, bar->Left_X);
    return bar;
}

int TMacDockImitat_Vertikal_Right::show(int x, int y) { return ShowColumn(x, y, -1, Left_X); }

int TMacDockImitat_Vertikal_Right::NewGlobalScale(int height, int cellW, int cellH) {
    Rescale(height, cellW, cellH, Left_X);
    return 0;
}
