#include "font/TChaosFont.h"

#include "core/layer/Dialogs.h"
#include "core/layer/Images.h"
#include "core/layer/Numbers.h"
#include "font/ChaosFontModule.h"

namespace {
constexpr int kFirstCode = 32;
constexpr int kLastCode = 254;
constexpr int kSlots = 255;
}  // namespace

int TChaosFont::Style() {
    if (Flags & kChaosFontSucoFile) return kChaosFontSucoFile;
    if (Flags & kChaosFontCandyFile) return kChaosFontCandyFile;
    if (Flags & kChaosFontFixedWidth) return kChaosFontAutoSized | kChaosFontFixedWidth;
    return kChaosFontAutoSized;
}

int TChaosFont::Height() { return FontHeight; }

int TChaosFont::CountGlyphs() { return static_cast<int>(Glyphs.size()); }

int TChaosFont::CharToGlyph(int code) {
    return code >= kFirstCode && code <= kLastCode ? code - kFirstCode : -1;
}

TGlyphPtr TChaosFont::LoadGlyph(int index) {
    if (index >= 0 && index < static_cast<int>(Glyphs.size()) && Glyphs[index]) return Glyphs[index];
    return NullGlyph;
}

TChaosFontPtr TChaosFont::Load(const std::string& path, int size, int cellHeight, int spaceWidth,
                               const std::string& glyphOrder, int spacing, int imageFlags,
                               int flags) {
    if (ResolveFontPath(path) == "failed") {
        Error("File " + path + " Not found...");
        return nullptr;
    }
    auto font = std::make_shared<TChaosFont>();
    font->Glyphs.assign(kSlots, nullptr);
    font->ImageFlags = imageFlags;
    font->Flags = flags;
    if (flags & kChaosFontAutoSized)
        return AutoSizedFontLoader(font, path, size, cellHeight, spaceWidth, glyphOrder, spacing);
    // The companion-file fonts (flags 0x800 and 0x1000) have no loader in the game; like any
    // other flags they give a font without glyphs.
    return font;
}

TChaosFontPtr TChaosFont::AutoSizedFontLoader(const TChaosFontPtr& font, const std::string& path,
                                              int cellWidth, int cellHeight, int spaceWidth,
                                              const std::string& glyphOrder, int spacing) {
    const int count = static_cast<int>(glyphOrder.size());
    TImagePtr strip;
    if (count > 0) {
        strip = LoadImageStrip(path, cellWidth, cellHeight, 0, count, font->ImageFlags);
        if (!strip) {
            // A strip that cannot be decoded or is too short would leave glyphs without pixels.
            Error("File " + path + " does not hold " + IntToString(count) + " cells of " +
                  IntToString(cellWidth) + " x " + IntToString(cellHeight) + " pixels...");
            return nullptr;
        }
    }
    CreateSpace(font, spaceWidth);
    const bool fixedWidth = (font->Flags & kChaosFontFixedWidth) != 0;
    for (int i = 0; i < count; ++i) {
        int code = static_cast<unsigned char>(glyphOrder[i]);
        if (code < kFirstCode || code > kLastCode) continue;
        auto glyph = std::make_shared<TChaosFontGlyph>();
        // A repeated character takes its later cell; a space replaces the generated one.
        font->Glyphs[code - kFirstCode] = glyph;
        glyph->G_Pixmap = CopyPixmap(LockImagePixels(strip, i, 1, 0));
        if (fixedWidth) {
            glyph->G_Width = cellWidth;
            glyph->G_Height = cellHeight;
            glyph->G_X = 0;
            glyph->G_Y = -cellHeight;
            glyph->G_Advance = static_cast<float>(cellWidth);
            font->FontHeight = cellHeight;
            continue;
        }
        // The outermost columns holding a visible pixel; both 0 for an empty cell.
        int left = 0, right = 0;
        bool found = false;
        const TPixmapPtr& pm = glyph->G_Pixmap;
        for (int y = 0; y < cellHeight; ++y) {
            for (int x = 0; x < cellWidth; ++x) {
                unsigned alpha = static_cast<unsigned>(ReadPixmapPixel(pm, x, y)) >> 24;
                if (alpha == 0) continue;
                if (!found || x < left) left = x;
                if (!found || x > right) right = x;
                found = true;
            }
        }
        // The distance between the outer columns, one less than their count, so neighbouring
        // letters share one column.
        glyph->G_Width = right - left;
        glyph->G_Height = cellHeight;
        // The pen lands on the first visible column at the cell's bottom edge.
        glyph->G_X = -left;
        glyph->G_Y = -cellHeight;
        glyph->G_Advance = static_cast<float>(glyph->G_Width + spacing);
    }
    font->FontHeight = cellHeight;
    return font;
}

int TChaosFont::CreateSpace(const TChaosFontPtr& font, int width) {
    auto glyph = std::make_shared<TChaosFontGlyph>();
    if (font->Glyphs.empty()) font->Glyphs.assign(kSlots, nullptr);
    font->Glyphs[0] = glyph;
    glyph->G_Advance = static_cast<float>(width);
    glyph->G_X = 0;
    glyph->G_Y = 0;
    glyph->G_Width = width;
    glyph->G_Height = 1;
    if (width > 0) {
        glyph->G_Pixmap = CreateBlankPixmap(width, 1, 6, 4);
        // The space is invisible: every pixel fully transparent.
        for (int x = 0; x < width; ++x) WritePixmapPixel(glyph->G_Pixmap, x, 0, 0);
    }
    return 0;
}

int TChaosFont::Error(const std::string& message) {
    ShowNoticeBox("ChaosFont @ " + IntToString(static_cast<int>(MillisecondClock())) +
                      " > ERROR: " + message,
                  0);
    return 0;
}
