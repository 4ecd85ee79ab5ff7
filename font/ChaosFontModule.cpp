#include "font/ChaosFontModule.h"

#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Streams.h"
#include "font/TChaosFont.h"
#include "font/TChaosFontLoader.h"

std::string StagedGlyphChars;
int StagedSpacing = 0;
int StagedSpaceWidth = 0;
int StagedImageFlags = 0;
int StagedFontFlags = 0;
int StagedCellHeight = 0;

void ChaosFontModuleInit() {
    static bool done = false;
    if (done) return;
    done = true;
    InitRuntimeCoreModule();
    Init2dDrawingModule();
    InitBmpLoaderModule();
    InitPngLoaderModule();
    InitTgaLoaderModule();
    InitJpegLoaderModule();
    InitStandardIoModule();
    RegisterType("TChaosFontGlyph");
    RegisterType("TChaosFont");
    RegisterType("TChaosFontLoader");
    RegisterFontLoader(std::make_shared<TChaosFontLoader>());
}

TImageFontPtr LoadAutoSizedChaosFont(const std::string& path, int cellWidth, int cellHeight,
                                     int spaceWidth, const std::string& glyphOrder, int spacing,
                                     int flags) {
    StagedGlyphChars = glyphOrder;
    StagedSpaceWidth = spaceWidth;
    StagedCellHeight = cellHeight;
    StagedImageFlags = 7;  // masked, filtered, mipmapped
    StagedFontFlags = flags | kChaosFontAutoSized;
    StagedSpacing = spacing;
    // The cell width travels as the font size; style 4 gives filtered, mipmapped glyph images.
    return TImageFont::Load(path, cellWidth, 4);
}

namespace {
TImageFontPtr LoadCompanionChaosFont(const std::string& path, const std::string& extension,
                                     int fontFlags, int style, int spacing) {
    const size_t dot = path.rfind('.');
    const std::string companion = (dot == std::string::npos ? std::string() : path.substr(0, dot)) + extension;
    // The companion's path travels in place of the glyph order.
    StagedGlyphChars = companion;
    if (ResolveFontPath(companion) == "failed") {
        TChaosFont::Error("File " + DialogPath(companion) + " Not found...");
        return nullptr;
    }
    StagedImageFlags = (style & 4) ? 7 : 1;
    StagedFontFlags = fontFlags;
    StagedSpacing = spacing;
    return TImageFont::Load(path, 0, style);
}
}  // namespace

TImageFontPtr LoadSucoChaosFont(const std::string& path, int style, int spacing) {
    return LoadCompanionChaosFont(path, ".suc", kChaosFontSucoFile, style, spacing);
}

TImageFontPtr LoadFontCandyChaosFont(const std::string& path, int style, int spacing) {
    return LoadCompanionChaosFont(path, ".dat", kChaosFontCandyFile, style, spacing);
}

std::string ResolveFontPath(const std::string& path) {
    std::string p = ToLowerCase(path);
    if (p.find("incbin::") != std::string::npos) return p;  // embedded files are not tested here
    p = NormalisePathSeparators(p, 0);
    return GetPathKind(p) != 0 ? p : "failed";
}

std::string GetFileExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot == std::string::npos ? "failed" : path.substr(dot);
}
