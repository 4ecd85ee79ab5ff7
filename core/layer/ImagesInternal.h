// Shared by the layer's own files only: textures of image frames.
#pragma once
#include "Images.h"

namespace layer {
// The frame's texture, (re)built from its pixmap when needed; texW/texH receive the texture
// coordinates of the image's far corner (below 1 when the texture had to be padded).
unsigned TextureFor(TImage& image, int frame, float& texW, float& texH);
void DrawTexturedQuad(unsigned texture, float x, float y, float u0, float v0, float w, float h,
                      float texW, float texH);
// The pixmap as it enters an image: RGBA (format 6), the mask colour made transparent when the
// image is masked and the source has no alpha of its own.
TPixmapPtr PixmapForImage(const TPixmapPtr& source, int flags);
}  // namespace layer
