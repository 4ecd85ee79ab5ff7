// A puzzle laid out by hand, without cutting a picture: cells of 100 x 100 pixels whose solved
// centres are (100 i + 50, 100 j + 50).
#pragma once
#include <numeric>

#include "core/puzzle/TPuzzle.h"

inline TPuzzle HandMadePuzzle(int cols, int rows) {
    TPuzzle p;
    p.Spalten = cols;
    p.Reihen = rows;
    p.Summe = cols * rows;
    p.Ziel_X = Grid2<float>(cols, rows);
    p.Ziel_Y = Grid2<float>(cols, rows);
    p.Puzzleteil_X = Grid2<float>(cols, rows);
    p.Puzzleteil_Y = Grid2<float>(cols, rows);
    p.Puzzleteil_Drehwinkel = Grid2<float>(cols, rows);
    for (int i = 0; i < cols; ++i)
        for (int j = 0; j < rows; ++j) {
            p.Ziel_X(i, j) = 100.0f * i + 50;
            p.Ziel_Y(i, j) = 100.0f * j + 50;
            // Scattered far apart so that nothing snaps unless a test moves it.
            p.Puzzleteil_X(i, j) = 1000.0f * i + 5000;
            p.Puzzleteil_Y(i, j) = 1000.0f * j + 5000;
        }
    p.BuildNeighbourTables();
    p.Reihenfolge->resize(cols * rows);
    std::iota(p.Reihenfolge->begin(), p.Reihenfolge->end(), 0);
    return p;
}

// Puts piece (ni, nj) where it belongs relative to piece (i, j), both turned by r degrees.
inline void PlaceBeside(TPuzzle& p, int i, int j, int ni, int nj, float r = 0) {
    p.Puzzleteil_Drehwinkel(i, j) = r;
    p.Puzzleteil_Drehwinkel(ni, nj) = r;
    double a = r * M_PI / 180.0;
    double dx = p.Ziel_X(ni, nj) - p.Ziel_X(i, j), dy = p.Ziel_Y(ni, nj) - p.Ziel_Y(i, j);
    p.Puzzleteil_X(ni, nj) = static_cast<float>(p.Puzzleteil_X(i, j) + dx * std::cos(a) - dy * std::sin(a));
    p.Puzzleteil_Y(ni, nj) = static_cast<float>(p.Puzzleteil_Y(i, j) + dx * std::sin(a) + dy * std::cos(a));
}
