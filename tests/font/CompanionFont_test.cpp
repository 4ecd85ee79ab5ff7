// The companion-file fonts: ".suc" cells with their own metrics, ".dat" rectangles of one sheet
// loaded with the file's mask colour, and damaged files refused without a font.
#include <gtest/gtest.h>

#include <cmath>

#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "font/ChaosFontModule.h"
#include "font/TChaosFont.h"
#include "tests/font/CompanionFiles.h"

using namespace companions;

namespace {
std::shared_ptr<TChaosFont> Source(const TImageFontPtr& font) {
    return font ? std::dynamic_pointer_cast<TChaosFont>(font->source) : nullptr;
}
TChaosFontGlyphPtr GlyphOf(const std::shared_ptr<TChaosFont>& f, char c) {
    return std::dynamic_pointer_cast<TChaosFontGlyph>(f->LoadGlyph(f->CharToGlyph(c)));
}
bool Noticed(const std::string& text) {
    return !ScriptedDialogLog().empty() && ScriptedDialogLog().back().find(text) != std::string::npos;
}
std::vector<int> Rect(const TChaosFontGlyphPtr& g) { return {g->G_X, g->G_Y, g->G_Width, g->G_Height}; }
}  // namespace

TEST(CompanionFont, SucoCellsAndCandyRectanglesMakeTheGlyphs) {
    ChaosFontModuleInit();
    UseScriptedDialogs({});
    const std::string strip = SucoStrip(), sheet = CandySheet();
    WriteBytes(strips::TempDir() + "/big.bold.suc", SucoFile(kSucoRecords));
    auto f = Source(LoadSucoChaosFont(strip, 4, 2));
    ASSERT_TRUE(f);
    EXPECT_EQ(std::vector<int>({f->Style(), f->ImageFlags, f->Height()}), std::vector<int>({2048, 7, 10}));
    EXPECT_EQ(Rect(GlyphOf(f, 'A')), std::vector<int>({-1, 2, 6, 7}));
    EXPECT_FLOAT_EQ(GlyphOf(f, 'A')->G_Advance, 8.5f);
    EXPECT_FLOAT_EQ(GlyphOf(f, ' ')->G_Advance, 5);
    // The skipped line feed used no cell: "B" has the second cell.
    EXPECT_EQ(ReadPixmapPixel(GlyphOf(f, 'B')->G_Pixmap, 1, 1) >> 24 & 255, 255);
    EXPECT_EQ(Source(LoadSucoChaosFont(strip, 0, 0))->ImageFlags, 1);
    EXPECT_FALSE(LoadFontCandyChaosFont("nodot", 4, 0));
    EXPECT_TRUE(Noticed("ERROR: File .dat Not found..."));

    SetImageMaskColor(0, 0, 0);
    WriteBytes(strips::TempDir() + "/sheet.dat", CandyFile(1));
    f = Source(LoadFontCandyChaosFont(sheet, 0, 3));
    ASSERT_TRUE(f);
    EXPECT_EQ(std::vector<int>({f->Style(), f->Height(), CurrentDrawState().maskRed}), std::vector<int>({4096, 5, 0}));
    auto x = GlyphOf(f, 'x');
    EXPECT_EQ(Rect(x), std::vector<int>({0, 0, 4, 5}));
    EXPECT_FLOAT_EQ(GlyphOf(f, 'y')->G_Advance, 8);
    // (2, 1) of the sheet is magenta, so masked; (3, 1) keeps its colour.
    EXPECT_EQ(std::vector<int>({ReadPixmapPixel(x->G_Pixmap, 0, 0), ReadPixmapPixel(x->G_Pixmap, 1, 0)}),
              std::vector<int>({0xFF00FF, static_cast<int>(0xFF000000u | SheetRgb(3, 1))}));
    WriteBytes(strips::TempDir() + "/sheet.dat", CandyFile(0));  // one record only
    f = Source(LoadFontCandyChaosFont(sheet, 0, 0));
    ASSERT_TRUE(f);
    EXPECT_EQ(GlyphOf(f, 'y'), f->NullGlyph);
}

TEST(CompanionFont, DamagedCompanionFilesGiveNoFont) {
    ChaosFontModuleInit();
    UseScriptedDialogs({});
    const std::string strip = SucoStrip(), sheet = CandySheet();
    std::vector<SucoRecord> fourGlyphs = kSucoRecords;
    fourGlyphs.insert(fourGlyphs.end(), {{'C', 1, 1, 0, 0, 1}, {'D', 1, 1, 0, 0, 1}});  // three cells only
    Bytes cut = SucoFile(kSucoRecords);
    cut.resize(cut.size() - 3);
    const Bytes sucos[] = {Bytes(cut.begin(), cut.begin() + 10), cut, SucoFile(fourGlyphs),
                           SucoFile({{'A', 9, 1, 0, 0, 1}}), SucoFile({{'A', 1, 1, std::nanf(""), 0, 1}}),
                           SucoFile({{'A', 1, 1, 0, 0, 3e9f}}), SucoFile({}, -1), SucoFile({}, 3, 1 << 30)};
    for (const Bytes& b : sucos) {
        WriteBytes(strips::TempDir() + "/big.bold.suc", b);
        EXPECT_FALSE(LoadSucoChaosFont(strip, 4, 0)) << b.size();
        EXPECT_TRUE(Noticed("big.bold.suc is damaged...")) << b.size();
    }
    const Bytes candies[] = {CandyFile(2), CandyFile(2, {'z', 17, 0, 4}), CandyFile(2, {'z', 0, 2, 1}),
                             CandyFile(1 << 30), CandyFile(-2)};
    for (const Bytes& b : candies) {
        WriteBytes(strips::TempDir() + "/sheet.dat", b);
        EXPECT_FALSE(LoadFontCandyChaosFont(sheet, 4, 0)) << b.size();
        EXPECT_TRUE(Noticed("sheet.dat is damaged...")) << b.size();
    }
}
