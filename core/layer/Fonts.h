// Image fonts and the chain of font loaders that make them.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "Images.h"

// A glyph of a source font: its pixels, advance and rectangle relative to the pen.
class TGlyph {
public:
    virtual ~TGlyph() = default;
    virtual TPixmapPtr Pixels() = 0;
    virtual float Advance() = 0;
    virtual int GetRect(int& x, int& y, int& width, int& height) = 0;
};
using TGlyphPtr = std::shared_ptr<TGlyph>;

// A source font as a loader makes it.
class TFont {
public:
    virtual ~TFont() = default;
    virtual int Style() = 0;
    virtual int Height() = 0;
    virtual int CountGlyphs() = 0;
    virtual int CharToGlyph(int code) = 0;
    virtual TGlyphPtr LoadGlyph(int index) = 0;
};
using TFontPtr = std::shared_ptr<TFont>;

class TFontLoader {
public:
    virtual ~TFontLoader() = default;
    virtual TFontPtr LoadFont(const std::string& path, int size, int style) = 0;
    std::shared_ptr<TFontLoader> next;  // the loader registered before this one
};
using TFontLoaderPtr = std::shared_ptr<TFontLoader>;

// Puts a loader at the head of the chain unless it is in it already.
void RegisterFontLoader(const TFontLoaderPtr& loader);

// An image font built lazily from a source font's glyph pixmaps.
struct TImageFontGlyph {
    TImagePtr image;   // none for a glyph without pixels
    float advance = 0;
    int x = 0, y = 0, width = 0, height = 0;
    bool built = false;
};
struct TImageFont {
    TFontPtr source;
    int height = 0;
    int style = 0;
    std::vector<TImageFontGlyph> glyphs;
    // Asks each loader of the chain, head first; none when no loader gives a font.
    static std::shared_ptr<TImageFont> Load(const std::string& path, int size, int style);
    // Builds the image font around a source font (also used for the built-in font).
    static std::shared_ptr<TImageFont> FromSource(const TFontPtr& source, int style);
    // The glyph for a character code, built at first use; null when the code has none.
    const TImageFontGlyph* GlyphFor(int code);
};
using TImageFontPtr = std::shared_ptr<TImageFont>;

// The built-in default font, selected when no font is.
TImageFontPtr DefaultTextFont();
// Type registration is a no-op kept for the module start-ups.
void RegisterType(const char* name);
