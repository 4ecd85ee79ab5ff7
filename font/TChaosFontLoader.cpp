#include "font/TChaosFontLoader.h"

#include "font/ChaosFontModule.h"
#include "font/TChaosFont.h"

TFontPtr TChaosFontLoader::LoadFont(const std::string& path, int size, int /*style*/) {
    if (path.empty()) return nullptr;
    // Exact, case-sensitive extensions: a ".PNG" is left to the next loader.
    const std::string ext = GetFileExtension(path);
    if (ext != ".png" && ext != ".bmp" && ext != ".tga" && ext != ".jpg") return nullptr;
    return TChaosFont::Load(path, size, StagedCellHeight, StagedSpaceWidth, StagedGlyphChars,
                            StagedSpacing, StagedImageFlags, StagedFontFlags);
}
