// Mutation fuzzing of the ".suc" and ".dat" companion files made from small valid ones with a
// fixed seed: each case gives a font whose glyph rectangles fit their pixels, or none; no crash,
// no sanitizer report.
#include <gtest/gtest.h>

#include "core/layer/Dialogs.h"
#include "font/ChaosFontModule.h"
#include "font/TChaosFont.h"
#include "tests/font/CompanionFiles.h"
#include "tests/fuzz/ByteMutator.h"

using namespace companions;

namespace {

void Fuzz(const Bytes& seed, const std::string& companion, TImageFontPtr (*load)(const std::string&, int, int),
          const std::string& picture, uint32_t rngSeed) {
    // Besides the shared damage: a whole number set to an edge of what the loaders check.
    static const int32_t edges[] = {-1, 0, 255, 256, 16385, 1 << 30, INT32_MIN, 0x7FC00000 /* NaN */, 0x4F000000 /* 2^31 */};
    ChaosFontModuleInit();
    fuzzing::ByteMutator m(rngSeed);
    int loaded = 0;
    for (int i = 0; i < 4000; ++i) {
        Bytes b = seed;
        for (int n = 1 + static_cast<int>(m.Next(3)); n > 0 && b.size() >= 4; --n)
            if (!m.MutateOnce(b)) std::memcpy(&b[m.Next(static_cast<uint32_t>(b.size() / 4)) * 4], &edges[m.Next(9)], 4);
        WriteBytes(companion, b);
        UseScriptedDialogs({});
        TImageFontPtr font = load(picture, static_cast<int>(m.Next(8)), 1);
        auto f = font ? std::dynamic_pointer_cast<TChaosFont>(font->source) : nullptr;
        loaded += f != nullptr;
        for (size_t g = 0; f && g < f->Glyphs.size(); ++g) {
            if (!f->Glyphs[g] || !f->Glyphs[g]->G_Pixmap) continue;
            ASSERT_LE(f->Glyphs[g]->G_Width, GetPixmapWidth(f->Glyphs[g]->G_Pixmap)) << "case " << i;
            ASSERT_LE(f->Glyphs[g]->G_Height, GetPixmapHeight(f->Glyphs[g]->G_Pixmap)) << "case " << i;
        }
    }
    std::printf("%s: 4000 cases, %d loaded\n", companion.c_str(), loaded);
    // Both ways out are taken: the damage reaches past the checks, and the checks refuse some.
    EXPECT_GT(loaded, 200);
    EXPECT_LT(loaded, 3800);
}

}  // namespace

TEST(CompanionFuzz, Suco) { Fuzz(SucoFile(kSucoRecords), strips::TempDir() + "/big.bold.suc", LoadSucoChaosFont, SucoStrip(), 0x53554C); }
TEST(CompanionFuzz, Candy) { Fuzz(CandyFile(1), strips::TempDir() + "/sheet.dat", LoadFontCandyChaosFont, CandySheet(), 0x444154); }
