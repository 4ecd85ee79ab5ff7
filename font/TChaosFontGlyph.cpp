#include "font/TChaosFontGlyph.h"

TPixmapPtr TChaosFontGlyph::Pixels() { return G_Pixmap; }

float TChaosFontGlyph::Advance() { return G_Advance; }

int TChaosFontGlyph::GetRect(int& x, int& y, int& width, int& height) {
    x = G_X;
    y = G_Y;
    width = G_Width;
    height = G_Height;
    return 0;
}
