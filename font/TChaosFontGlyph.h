// One glyph of the bitmap font: the whole cell's pixels and where they sit against the pen.
#pragma once
#include <memory>

#include "core/layer/Fonts.h"

class TChaosFontGlyph : public TGlyph {
public:
    TPixmapPtr G_Pixmap;   // the cell's pixels (null for an empty glyph)
    float G_Advance = 0;   // how far the pen moves after the glyph
    int G_X = 0;           // offset of the pixmap's top-left corner from the pen
    int G_Y = 0;
    int G_Width = 0;       // the glyph's rectangle
    int G_Height = 0;

    TPixmapPtr Pixels() override;
    float Advance() override;
    int GetRect(int& x, int& y, int& width, int& height) override;
};
using TChaosFontGlyphPtr = std::shared_ptr<TChaosFontGlyph>;
