#include "core/puzzle/TGitterPreview.h"

#include "core/Globals.h"
#include "core/Utilities.h"
#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/TImagePreview.h"

void TGitterPreview::Gitter_berechnen(int index, int width, int height) {
    if (index < 0) index = 0;
    if (index > 23) index = 23;
    Summe = kPossibleSum[index];
    int f = kPossibleFactor[index];
    if (width < height) {
        Spalten = f;
        Reihen = Summe / f;
    } else {
        Reihen = f;
        Spalten = Summe / f;
    }
    x = Grid2<float>(Spalten + 1, Reihen + 1);
    y = Grid2<float>(Spalten + 1, Reihen + 1);
    int cw = width / Spalten, ch = height / Reihen;
    for (int i = 0; i <= Spalten; ++i)
        for (int j = 0; j <= Reihen; ++j) {
            // Single precision throughout; x is drawn before y at every corner.
            if (i == 0) x(i, j) = 0;
            else if (i == Spalten) x(i, j) = static_cast<float>(width);
            else x(i, j) = (static_cast<float>(i) - 0.4f + 0.8f * RandomUnitFloat()) * static_cast<float>(cw);
            if (j == 0) y(i, j) = 0;
            else if (j == Reihen) y(i, j) = static_cast<float>(height);
            else y(i, j) = (static_cast<float>(j) - 0.4f + 0.8f * RandomUnitFloat()) * static_cast<float>(ch);
        }
    Reihenfolge = std::make_shared<std::vector<int>>(RandomPermutation(Spalten * Reihen));
}

// The picture's top-left corner is taken as the preview's own frame takes it, with the products
// in double precision: at the usual 1200 x 900 window, 600 - 0.8f x 200 is just under 440 and the
// grid's left edge is pixel 439, not 440, one pixel off the frame otherwise.
float TGitterPreview::CornerX(int i, int j) const {
    const TImagePreview& p = *ImagePreview;
    const double sx = ScaleX;
    return static_cast<float>(TruncateToInt(p.MidX - sx * p.HalfWidth) + sx * p.Zoom * x(i, j));
}

float TGitterPreview::CornerY(int i, int j) const {
    const TImagePreview& p = *ImagePreview;
    const double sy = ScaleY;
    return static_cast<float>(TruncateToInt(p.MidY - sy * p.HalfHeight) + sy * p.Zoom * y(i, j));
}

int TGitterPreview::Show() {
    SetDrawScale(1, 1);
    if (ImagePreview && Spalten > 0 && Reihen > 0) {
        for (int j = 0; j < Reihen; ++j)
            for (int i = j % 2; i < Spalten; i += 2) {
                SetDrawColor(200, 255, 255);
                SetDrawAlpha(0.2f * GlobalAlpha);
                FillPolygon({CornerX(i, j), CornerY(i, j), CornerX(i + 1, j), CornerY(i + 1, j),
                             CornerX(i + 1, j + 1), CornerY(i + 1, j + 1), CornerX(i, j + 1), CornerY(i, j + 1)});
                SetDrawAlpha(GlobalAlpha);
                SetDrawColor(40, 10, 5);
                DrawLineSegment(CornerX(i, j), CornerY(i, j), CornerX(i + 1, j), CornerY(i + 1, j), 1);
                DrawLineSegment(CornerX(i, j), CornerY(i, j), CornerX(i, j + 1), CornerY(i, j + 1), 1);
                DrawLineSegment(CornerX(i + 1, j), CornerY(i + 1, j), CornerX(i + 1, j + 1), CornerY(i + 1, j + 1), 1);
                DrawLineSegment(CornerX(i, j + 1), CornerY(i, j + 1), CornerX(i + 1, j + 1), CornerY(i + 1, j + 1), 1);
            }
    }
    SetDrawColor(255, 255, 255);
    SetDrawScale(ScaleX, ScaleY);
    return 0;
}
