// The bitmap-font module: its start-up, the staged parameters of the next strip load and the
// entry that loads a strip as an image font of the layer.
#pragma once
#include <string>

#include "core/layer/Fonts.h"

// The layer's font loading passes a loader only a path, a size and a style; the rest of a
// strip's parameters wait here from the staging to the load that follows it.
extern std::string StagedGlyphChars;
extern int StagedSpacing;
extern int StagedSpaceWidth;
extern int StagedImageFlags;
extern int StagedFontFlags;
extern int StagedCellHeight;

// Registers the module's font loader (once).
void ChaosFontModuleInit();
// The strip at path, cut into cells of cellWidth x cellHeight, one per character of glyphOrder;
// null when no font could be made.
TImageFontPtr LoadAutoSizedChaosFont(const std::string& path, int cellWidth, int cellHeight,
                                     int spaceWidth, const std::string& glyphOrder, int spacing,
                                     int flags);
// A font whose glyph metrics come from the companion file beside the picture at path (same
// name up to the last ".", then ".suc" for square cells or ".dat" for rectangles of one sheet);
// style 4 gives filtered, mipmapped images. Null when no font could be made. The game itself
// loads neither kind.
TImageFontPtr LoadSucoChaosFont(const std::string& path, int style, int spacing);
TImageFontPtr LoadFontCandyChaosFont(const std::string& path, int style, int spacing);
// The lower-cased path when it exists (embedded paths always pass), else "failed".
std::string ResolveFontPath(const std::string& path);
// From the last "." to the end, dot included; "failed" without a dot.
std::string GetFileExtension(const std::string& path);
