// The font loader that the module puts at the head of the layer's loader chain.
#pragma once
#include <string>

#include "core/layer/Fonts.h"

class TChaosFontLoader : public TFontLoader {
public:
    // A TChaosFont for a .png, .bmp, .tga or .jpg path, built with the staged parameters;
    // null for anything else, so the next loader of the chain is asked.
    TFontPtr LoadFont(const std::string& path, int size, int style) override;
};
