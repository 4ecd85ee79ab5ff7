// The font-loader chain, image fonts built lazily from source glyphs, and the built-in font.
#include "Fonts.h"

#include <cmath>
#include <cstring>

#include "Drawing.h"
#include "ImagesInternal.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb/stb_easy_font.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {
TFontLoaderPtr ChainHead;

// A small segment font drawn into glyph pixmaps, used until the game selects its own font.
class BuiltInGlyph : public TGlyph {
public:
    TPixmapPtr pixmap;
    float advance = 0;
    int x = 0, y = 0, w = 0, h = 0;
    TPixmapPtr Pixels() override { return pixmap; }
    float Advance() override { return advance; }
    int GetRect(int& rx, int& ry, int& rw, int& rh) override {
        rx = x; ry = y; rw = w; rh = h;
        return 0;
    }
};

class BuiltInFont : public TFont {
public:
    static constexpr int kScale = 2;  // the segment font is tiny; draw it doubled
    int Style() override { return 0; }
    int Height() override { return 13 * kScale; }
    int CountGlyphs() override { return 95; }
    int CharToGlyph(int code) override { return code >= 32 && code <= 126 ? code - 32 : -1; }
    TGlyphPtr LoadGlyph(int index) override {
        auto g = std::make_shared<BuiltInGlyph>();
        if (index < 0 || index >= 95) return g;
        char text[2] = {static_cast<char>(index + 32), 0};
        int w = stb_easy_font_width(text);
        g->advance = static_cast<float>(w * kScale);
        g->w = w * kScale;
        g->h = Height();
        if (w <= 0) return g;
        static char quads[4096];
        int n = stb_easy_font_print(0, 0, text, nullptr, quads, sizeof quads);
        TPixmapPtr pm = CreateBlankPixmap(g->w, g->h, 6, 4);
        if (!pm) return g;
        std::fill(pm->pixels.begin(), pm->pixels.end(), 0);
        for (int q = 0; q < n; ++q) {
            // Each quad: four vertices of x, y, z floats and a colour word (16 bytes).
            float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
            for (int v = 0; v < 4; ++v) {
                float vx, vy;
                memcpy(&vx, quads + (q * 4 + v) * 16, 4);
                memcpy(&vy, quads + (q * 4 + v) * 16 + 4, 4);
                x0 = std::min(x0, vx); x1 = std::max(x1, vx);
                y0 = std::min(y0, vy); y1 = std::max(y1, vy);
            }
            for (int py = static_cast<int>(y0 * kScale); py < static_cast<int>(y1 * kScale); ++py)
                for (int px = static_cast<int>(x0 * kScale); px < static_cast<int>(x1 * kScale); ++px)
                    WritePixmapPixel(pm, px, py, static_cast<int>(0xFFFFFFFFu));
        }
        g->pixmap = pm;
        return g;
    }
};
}  // namespace

void RegisterFontLoader(const TFontLoaderPtr& loader) {
    if (!loader) return;
    for (TFontLoaderPtr l = ChainHead; l; l = l->next)
        if (l == loader) return;
    loader->next = ChainHead;
    ChainHead = loader;
}

std::shared_ptr<TImageFont> TImageFont::Load(const std::string& path, int size, int style) {
    for (TFontLoaderPtr l = ChainHead; l; l = l->next) {
        TFontPtr font = l->LoadFont(path, size, style);
        if (font) return FromSource(font, style);
    }
    return nullptr;
}

std::shared_ptr<TImageFont> TImageFont::FromSource(const TFontPtr& source, int style) {
    if (!source) return nullptr;
    auto font = std::make_shared<TImageFont>();
    font->source = source;
    font->style = style;
    font->height = source->Height();
    int count = source->CountGlyphs();
    font->glyphs.resize(count > 0 ? count : 0);
    return font;
}

const TImageFontGlyph* TImageFont::GlyphFor(int code) {
    if (!source) return nullptr;
    int index = source->CharToGlyph(code);
    if (index < 0 || index >= static_cast<int>(glyphs.size())) return nullptr;
    TImageFontGlyph& g = glyphs[index];
    if (!g.built) {
        g.built = true;
        TGlyphPtr src = source->LoadGlyph(index);
        if (src) {
            g.advance = src->Advance();
            src->GetRect(g.x, g.y, g.width, g.height);
            TPixmapPtr pm = src->Pixels();
            int flags = (style & 4) ? 6 : 0;
            if (pm && pm->width > 0 && pm->height > 0) g.image = LoadImageFromSource(pm, flags);
            // The source font keeps its glyphs, so the image need not keep a second copy.
            if (g.image) g.image->source = [src, flags](int) { return layer::PixmapForImage(src->Pixels(), flags); };
        }
    }
    return &g;
}

TImageFontPtr DefaultTextFont() {
    static TImageFontPtr font = TImageFont::FromSource(std::make_shared<BuiltInFont>(), 0);
    return font;
}

void RegisterType(const char*) {}
