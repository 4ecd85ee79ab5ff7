// The bitmap font: glyphs cut from a strip of equal cells, cropped to their visible columns so
// that the font comes out proportional.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/layer/Dialogs.h"
#include "core/layer/Fonts.h"
#include "font/TChaosFontGlyph.h"

class TChaosFont;
using TChaosFontPtr = std::shared_ptr<TChaosFont>;

// Font flags: which loader builds the font, and options of the auto-sized strip loader.
constexpr int kChaosFontFixedWidth = 1;       // every glyph a whole cell, not cropped
constexpr int kChaosFontAutoSized = 0x400;
constexpr int kChaosFontSucoFile = 0x800;     // ".suc" companion file
constexpr int kChaosFontCandyFile = 0x1000;   // ".dat" companion file

class TChaosFont : public TFont {
public:
    TChaosFontGlyphPtr NullGlyph = std::make_shared<TChaosFontGlyph>();
    // Slot i holds the glyph of character code i + 32; 255 slots once loaded.
    std::vector<TChaosFontGlyphPtr> Glyphs;
    int FontHeight = 0;
    int ImageFlags = 0;
    int Flags = 0;

    int Style() override;
    int Height() override;
    int CountGlyphs() override;
    int CharToGlyph(int code) override;
    TGlyphPtr LoadGlyph(int index) override;

    // Null when the path does not exist (with a notice) or the strip cannot be cut.
    static TChaosFontPtr Load(const std::string& path, int size, int cellHeight, int spaceWidth,
                              const std::string& glyphOrder, int spacing, int imageFlags, int flags);
    // Cuts the strip into the glyphs of glyphOrder; null when the strip cannot be loaded or holds
    // too few cells.
    static TChaosFontPtr AutoSizedFontLoader(const TChaosFontPtr& font, const std::string& path,
                                             int cellWidth, int cellHeight, int spaceWidth,
                                             const std::string& glyphOrder, int spacing);
    // Glyphs from a ".suc" companion file: one square cell of the strip per glyph, with the size,
    // offsets and advance the file gives. Null when the companion cannot be opened, is damaged,
    // or the strip lacks its cells.
    static TChaosFontPtr SucoFontLoader(const TChaosFontPtr& font, const std::string& path,
                                        const std::string& companion, int spacing);
    // Glyphs cut as rectangles out of one sheet, listed by a ".dat" companion file that also
    // gives the sheet's mask colour. Null as above, or when a rectangle leaves the sheet.
    static TChaosFontPtr FontCandyLoader(const TChaosFontPtr& font, const std::string& path,
                                         const std::string& companion, int spacing);
    // An invisible space glyph of the given width in the slot of character 32.
    static int CreateSpace(const TChaosFontPtr& font, int width);
    // Tells the player in a notice box.
    static int Error(const TDialogText& message);
};
