#include "ui/TMacDockImitat_Vertikal_Left.h"

TMacDockImitat_Vertikal_LeftPtr TMacDockImitat_Vertikal_Left::build(int height, int frames, const std::string& iconPath,
                                                                    int cellW, int cellH) {
    auto bar = std::make_shared<TMacDockImitat_Vertikal_Left>();
    bar->Build(height, frames, iconPath, cellW, cellH, bar->Right_X);
    return bar;
}

int TMacDockImitat_Vertikal_Left::show(int x, int y) { return ShowColumn(x, y, 1, Right_X); }

int TMacDockImitat_Vertikal_Left::NewGlobalScale(int height, int cellW, int cellH) {
    Rescale(height, cellW, cellH, Right_X);
    return 0;
}
