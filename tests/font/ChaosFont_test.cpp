// The bitmap font: cropping glyphs out of a strip, the generated space, characters without a
// glyph, the loader's refusals and the game's own strip.
#include <gtest/gtest.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "font/ChaosFontModule.h"
#include "font/TChaosFont.h"
#include "tests/font/SyntheticStrip.h"

using strips::Ink;
using strips::Span;

namespace {
class ChaosFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        ChaosFontModuleInit();
        UseScriptedDialogs({});
    }
    void TearDown() override { SelectTextFont(nullptr); }
    static std::shared_ptr<TChaosFont> Source(const TImageFontPtr& font) {
        return font ? std::dynamic_pointer_cast<TChaosFont>(font->source) : nullptr;
    }
    static std::shared_ptr<TChaosFontGlyph> GlyphOf(const std::shared_ptr<TChaosFont>& f, char c) {
        return std::dynamic_pointer_cast<TChaosFontGlyph>(
            f->LoadGlyph(f->CharToGlyph(static_cast<unsigned char>(c))));
    }
    // Cells of 10 x 8. The order repeats "A" (its later cell counts), has a space of its own
    // (replacing the generated one) and a control character whose cell is skipped without
    // shifting the cells after it.
    static std::string MixedStrip() {
        std::vector<Ink> a1 = {{2, 1}, {6, 5}};
        std::vector<Ink> empty = {};
        std::vector<Ink> space = Span(3, 5, 4);
        std::vector<Ink> c = {{0, 7, 1}, {9, 0}};  // touches both edges; a faint pixel counts
        std::vector<Ink> skipped = Span(0, 9, 3);
        std::vector<Ink> a2 = {{6, 2}, {1, 6}, {4, 4}};
        std::vector<Ink> d = {{5, 0}, {5, 7}};
        return strips::WriteStrip("mixed.png", 10, 8, {a1, empty, space, c, skipped, a2, d});
    }
    static std::string MixedOrder() { return std::string("AB C") + '\x1f' + "AD"; }
};
}  // namespace

TEST_F(ChaosFontTest, CropsEachGlyphToItsOutermostVisibleColumns) {
    TImageFontPtr font = LoadAutoSizedChaosFont(MixedStrip(), 10, 8, 48, MixedOrder(), 3, 0);
    auto f = Source(font);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Style(), 1024);
    EXPECT_EQ(f->Height(), 8);
    EXPECT_EQ(f->CountGlyphs(), 255);
    struct Want { char c; int x, width; float advance; };
    // spacing 3 is added to every cropped glyph's advance
    const Want wants[] = {
        {'A', -1, 5, 8},  // the later cell: columns 1..6
        {'B', 0, 0, 3},   // no visible pixel (only transparent colour)
        {' ', -3, 2, 5},  // the strip's own space: columns 3..5
        {'C', 0, 9, 12},  // columns 0..9
        {'D', -5, 0, 3},  // a single column
    };
    for (const Want& w : wants) {
        auto g = GlyphOf(f, w.c);
        ASSERT_TRUE(g) << w.c;
        EXPECT_EQ(g->G_X, w.x) << w.c;
        EXPECT_EQ(g->G_Y, -8) << w.c;
        EXPECT_EQ(g->G_Width, w.width) << w.c;
        EXPECT_EQ(g->G_Height, 8) << w.c;
        EXPECT_EQ(g->G_Advance, w.advance) << w.c;
        ASSERT_TRUE(g->G_Pixmap) << w.c;
        EXPECT_EQ(GetPixmapWidth(g->G_Pixmap), 10) << w.c;  // the whole cell is kept
    }
    // The control character has no glyph, nor does any letter the order lacks.
    EXPECT_EQ(f->CharToGlyph(0x1f), -1);
    EXPECT_EQ(f->LoadGlyph(f->CharToGlyph('Q')), f->NullGlyph);
    EXPECT_FALSE(f->NullGlyph->G_Pixmap);
    SelectTextFont(font);
    EXPECT_EQ(MeasureTextWidth("A C"), 8 + 5 + 12);
    EXPECT_EQ(MeasureTextWidth("QAQ\x1f"), 8);
    EXPECT_EQ(MeasureTextHeight("anything"), 8);
}

TEST_F(ChaosFontTest, FixedWidthFlagKeepsWholeCells) {
    TImageFontPtr font = LoadAutoSizedChaosFont(MixedStrip(), 10, 8, 48, MixedOrder(), 3, 1);
    auto f = Source(font);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Style(), 1025);
    for (char c : std::string("AB CD")) {
        auto g = GlyphOf(f, c);
        EXPECT_EQ(g->G_X, 0) << c;
        EXPECT_EQ(g->G_Y, -8) << c;
        EXPECT_EQ(g->G_Width, 10) << c;
        EXPECT_EQ(g->G_Advance, 10) << c;  // spacing is not added
    }
}

TEST_F(ChaosFontTest, GeneratedSpaceIsInvisibleAndHasTheGivenWidth) {
    std::string path = strips::WriteStrip("nospace.png", 10, 8, {Span(2, 4, 1), Span(0, 9, 2)});
    TImageFontPtr font = LoadAutoSizedChaosFont(path, 10, 8, 48, "AB", 0, 0);
    auto f = Source(font);
    ASSERT_TRUE(f);
    auto space = GlyphOf(f, ' ');
    EXPECT_EQ(space->G_Advance, 48);
    EXPECT_EQ(space->G_X, 0);
    EXPECT_EQ(space->G_Y, 0);
    EXPECT_EQ(space->G_Width, 48);
    EXPECT_EQ(space->G_Height, 1);
    ASSERT_TRUE(space->G_Pixmap);
    ASSERT_EQ(GetPixmapWidth(space->G_Pixmap), 48);
    for (int x = 0; x < 48; ++x)
        EXPECT_EQ(static_cast<unsigned>(ReadPixmapPixel(space->G_Pixmap, x, 0)) >> 24, 0u) << x;
    SelectTextFont(font);
    EXPECT_EQ(MeasureTextWidth("A B"), 2 + 48 + 9);
}

TEST_F(ChaosFontTest, LoaderRefusesOtherExtensionsQuietlyAndMissingFilesWithANotice) {
    const size_t base = ScriptedDialogLog().size();
    auto notices = [base] { return ScriptedDialogLog().size() - base; };
    std::string path = MixedStrip();
    std::string upper = path.substr(0, path.size() - 4) + ".PNG";
    EXPECT_FALSE(LoadAutoSizedChaosFont(upper, 10, 8, 48, "A", 0, 0));
    EXPECT_FALSE(LoadAutoSizedChaosFont("", 10, 8, 48, "A", 0, 0));
    EXPECT_EQ(notices(), 0u);

    std::string missing = strips::TempDir() + "/none.png";
    EXPECT_FALSE(LoadAutoSizedChaosFont(missing, 10, 8, 48, "A", 0, 0));
    ASSERT_EQ(notices(), 1u);
    const std::string& notice = ScriptedDialogLog().back();
    EXPECT_EQ(notice.rfind("ChaosFont @ ", 0), 0u) << notice;
    const std::string tail = " > ERROR: File " + missing + " Not found...";
    ASSERT_GE(notice.size(), tail.size());
    EXPECT_EQ(notice.substr(notice.size() - tail.size()), tail);

    // The existence test looks at the lower-cased path, so a file with capitals is not found.
    std::string mixedCase = strips::WriteStrip("Capital.png", 10, 8, {Span(0, 3, 0)});
    EXPECT_FALSE(LoadAutoSizedChaosFont(mixedCase, 10, 8, 48, "A", 0, 0));
    EXPECT_EQ(notices(), 2u);

    // An embedded name that does not exist passes the existence test, and the strip then
    // cannot be cut: no font, and the player is told.
    EXPECT_EQ(ResolveFontPath("INCBIN::medien/etc/Nothing.png"), "incbin::medien/etc/nothing.png");
    EXPECT_FALSE(LoadAutoSizedChaosFont("incbin::medien/etc/nothing.png", 10, 8, 48, "A", 0, 0));
    EXPECT_EQ(notices(), 3u);
    // So is a strip with fewer cells than the order has characters.
    std::string shortStrip = strips::WriteStrip("short.png", 10, 8, {Span(0, 3, 0)});
    EXPECT_FALSE(LoadAutoSizedChaosFont(shortStrip, 10, 8, 48, "AB", 0, 0));
    EXPECT_EQ(notices(), 4u);
}

TEST_F(ChaosFontTest, FileExtensionRule) {
    EXPECT_EQ(GetFileExtension("incbin::medien/etc/bitmapfont.png"), ".png");
    EXPECT_EQ(GetFileExtension("/a/b.c/strip"), ".c/strip");
    EXPECT_EQ(GetFileExtension("strip"), "failed");
}

TEST_F(ChaosFontTest, GamesStripGivesFortyGlyphs) {
    RegisterEmbeddedMedia();
    TImageFontPtr font =
        LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    auto f = Source(font);
    ASSERT_TRUE(f);
    int filled = 0;
    for (const auto& g : f->Glyphs) filled += g ? 1 : 0;
    EXPECT_EQ(filled, 40);
    EXPECT_EQ(f->Height(), 95);
    EXPECT_EQ(f->CountGlyphs(), 255);
    EXPECT_EQ(f->CharToGlyph(31), -1);
    EXPECT_EQ(f->CharToGlyph(255), -1);
    EXPECT_EQ(f->CharToGlyph(32), 0);
    EXPECT_EQ(f->CharToGlyph(254), 222);
    // No glyph of the strip touches its cell's left column.
    for (char c : GlyphOrder) {
        auto g = GlyphOf(f, c);
        EXPECT_LE(g->G_X, -4) << c;
        EXPECT_LE(g->G_Width, 75) << c;
    }
    SelectTextFont(font);
    // The ink of the committed strip spans (C 4..44, R 4..44, E 4..41, A 4..45, T 4..48,
    // I 4..37, N 4..46, G 4..44): 40 + 40 + 37 + 41 + 44 + 33 + 42 + 40.
    EXPECT_EQ(MeasureTextWidth("CREATING"), 317);
    EXPECT_EQ(MeasureTextWidth("HAVE FUN"), 43 + 41 + 44 + 37 + 48 + 38 + 44 + 42);
    EXPECT_EQ(MeasureTextWidth("Q"), 0);
    EXPECT_EQ(MeasureTextHeight(""), 95);
}
