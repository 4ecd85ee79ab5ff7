#include "font/TChaosFont.h"

#include <cmath>

#include "core/layer/Dialogs.h"
#include "core/layer/Images.h"
#include "core/layer/Numbers.h"
#include "core/layer/Streams.h"
#include "font/ChaosFontModule.h"

namespace {
constexpr int kFirstCode = 32;
constexpr int kLastCode = 254;
constexpr int kSlots = 255;

TChaosFontPtr MissingCells(const std::string& path, int count, int cellWidth, int cellHeight) {
    TChaosFont::Error("File " + DialogPath(path) + " does not hold " + IntToString(count) + " cells of " +
                      IntToString(cellWidth) + " x " + IntToString(cellHeight) + " pixels...");
    return nullptr;
}

// Numbers read from a companion file are believed only within the largest picture the layer
// loads: a space width or font height beyond it would allocate without bound, and an offset
// or advance beyond it (or not finite) has no defined truncation.
bool InPictureRange(int v) { return v >= 0 && v <= kMaxPictureSide; }
bool InPictureRange(float v) { return std::isfinite(v) && std::fabs(v) <= static_cast<float>(kMaxPictureSide); }

TChaosFontPtr Damaged(const TStreamPtr& stream, const std::string& companion) {
    CloseFileStream(stream);
    TChaosFont::Error("File " + DialogPath(companion) + " is damaged...");
    return nullptr;
}
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
        Error("File " + DialogPath(path) + " Not found...");
        return nullptr;
    }
    auto font = std::make_shared<TChaosFont>();
    font->Glyphs.assign(kSlots, nullptr);
    font->ImageFlags = imageFlags;
    font->Flags = flags;
    if (flags & kChaosFontAutoSized)
        return AutoSizedFontLoader(font, path, size, cellHeight, spaceWidth, glyphOrder, spacing);
    // The companion loaders get the companion file's path where the glyph order would be.
    if (flags == kChaosFontSucoFile) return SucoFontLoader(font, path, glyphOrder, spacing);
    if (flags == kChaosFontCandyFile) return FontCandyLoader(font, path, glyphOrder, spacing);
    return font;
}

TChaosFontPtr TChaosFont::AutoSizedFontLoader(const TChaosFontPtr& font, const std::string& path,
                                              int cellWidth, int cellHeight, int spaceWidth,
                                              const std::string& glyphOrder, int spacing) {
    const int count = static_cast<int>(glyphOrder.size());
    TImagePtr strip;
    if (count > 0) {
        strip = LoadImageStrip(path, cellWidth, cellHeight, 0, count, font->ImageFlags);
        // A strip that cannot be decoded or is too short would leave glyphs without pixels.
        if (!strip) return MissingCells(path, count, cellWidth, cellHeight);
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

int TChaosFont::Error(const TDialogText& message) {
    ShowNoticeBox("ChaosFont @ " + IntToString(static_cast<int>(MillisecondClock())) +
                      " > ERROR: " + message,
                  0);
    return 0;
}

TChaosFontPtr TChaosFont::SucoFontLoader(const TChaosFontPtr& font, const std::string& path,
                                         const std::string& companion, int spacing) {
    TStreamPtr in = OpenFileForReading(companion);
    if (!in) return nullptr;
    const int cellCount = ReadStreamInt(in), cellSize = ReadStreamInt(in);
    const int fontHeight = ReadStreamInt(in), spaceWidth = ReadStreamInt(in);
    if (in->error || cellCount < 0 || cellSize < 1 || !InPictureRange(cellSize) ||
        !InPictureRange(fontHeight) || !InPictureRange(spaceWidth))
        return Damaged(in, companion);
    font->FontHeight = fontHeight;
    CreateSpace(font, spaceWidth);
    TImagePtr strip;
    if (cellCount > 0 && !(strip = LoadImageStrip(path, cellSize, cellSize, 0, cellCount, font->ImageFlags))) {
        CloseFileStream(in);
        return MissingCells(path, cellCount, cellSize, cellSize);
    }
    int n = 0;
    while (!IsStreamAtEnd(in)) {
        const int code = ReadStreamInt(in), width = ReadStreamInt(in), height = ReadStreamInt(in);
        const float x = ReadStreamFloat(in), y = ReadStreamFloat(in), advance = ReadStreamFloat(in);
        if (in->error) return Damaged(in, companion);  // the file ends inside a record
        if (code < kFirstCode || code > kLastCode) continue;  // skipped, and uses no cell
        // Each glyph needs a cell of the strip, and its rectangle lies within that cell.
        if (n >= cellCount || width < 0 || width > cellSize || height < 0 || height > cellSize ||
            !InPictureRange(x) || !InPictureRange(y) || !InPictureRange(advance))
            return Damaged(in, companion);
        auto glyph = std::make_shared<TChaosFontGlyph>();
        font->Glyphs[code - kFirstCode] = glyph;
        glyph->G_Pixmap = CopyPixmap(LockImagePixels(strip, n, 1, 0));
        glyph->G_Width = width;
        glyph->G_Height = height;
        glyph->G_X = -TruncateToInt(x);
        glyph->G_Y = -TruncateToInt(y);
        glyph->G_Advance = advance + static_cast<float>(spacing);
        ++n;
    }
    CloseFileStream(in);
    return font;
}

TChaosFontPtr TChaosFont::FontCandyLoader(const TChaosFontPtr& font, const std::string& path,
                                          const std::string& companion, int spacing) {
    TStreamPtr in = OpenFileForReading(companion);
    if (!in) return nullptr;
    int head[9];  // two unused ints, the mask colour, count, font height, space width, one unused
    for (int& value : head) value = ReadStreamInt(in);
    const int maskRed = head[2], maskGreen = head[3], maskBlue = head[4];
    const int count = head[5], fontHeight = head[6], spaceWidth = head[7];
    auto isByte = [](int v) { return v >= 0 && v <= 255; };
    if (in->error || !isByte(maskRed) || !isByte(maskGreen) || !isByte(maskBlue) || count < -1 ||
        !InPictureRange(fontHeight) || !InPictureRange(spaceWidth))
        return Damaged(in, companion);
    font->FontHeight = fontHeight;
    CreateSpace(font, spaceWidth);
    TImagePtr sheet = LoadImageWithMaskColor(path, font->ImageFlags, maskRed, maskGreen, maskBlue);
    if (!sheet) {
        CloseFileStream(in);
        Error("File " + DialogPath(path) + " cannot be loaded...");
        return nullptr;
    }
    TPixmapPtr pixels = LockImagePixels(sheet, 0, 1, 0);
    // count + 1 records; a count beyond the file's end shows as a record cut short.
    for (long long r = 0; r <= count; ++r) {
        const int code = ReadStreamInt(in), x = ReadStreamInt(in), y = ReadStreamInt(in);
        const int width = ReadStreamInt(in);
        if (in->error) return Damaged(in, companion);
        if (code < kFirstCode || code > kLastCode) continue;
        // The glyph's rectangle must lie inside the sheet.
        TPixmapPtr window = PixmapWindow(pixels, x, y, width, fontHeight);
        if (!window) return Damaged(in, companion);
        auto glyph = std::make_shared<TChaosFontGlyph>();
        font->Glyphs[code - kFirstCode] = glyph;
        glyph->G_Pixmap = window;  // already a copy of the sheet's pixels
        glyph->G_Width = width;
        glyph->G_Height = fontHeight;
        glyph->G_X = 0;
        glyph->G_Y = 0;
        glyph->G_Advance = static_cast<float>(width) + static_cast<float>(spacing);
    }
    CloseFileStream(in);
    return font;
}
