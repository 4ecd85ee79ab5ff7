// The cutting grid for the chosen piece count and picture, drawn over the image preview.
#pragma once
#include <memory>
#include <vector>

#include "core/puzzle/Grid.h"

class TGitterPreview {
public:
    int Spalten = 0;
    int Reihen = 0;
    int Summe = 0;
    std::shared_ptr<std::vector<int>> Reihenfolge = std::make_shared<std::vector<int>>();
    Grid2<float> x, y;

    // A new grid for the piece count of table index over a width x height picture.
    void Gitter_berechnen(int index, int width, int height);
    // Draws the grid as a tinted checkerboard with outlines over the image preview.
    int Show();
    // Where corner (i, j) lies in the window over the image preview's picture.
    float CornerX(int i, int j) const;
    float CornerY(int i, int j) const;
};
using TGitterPreviewPtr = std::shared_ptr<TGitterPreview>;
