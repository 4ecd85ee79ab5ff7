// Shared by the layer's own files only: textures of image frames.
#pragma once
#include "GlInternal.h"
#include "Images.h"

namespace layer {
// The frame's texture for drawing, (re)built from its pixmap when needed (no texture when the
// frame has no pixels); texW/texH receive the texture coordinates of the image's far corner
// (below 1 when the texture had to be padded).
TRecordedImage TextureFor(TImage& image, int frame, float& texW, float& texH);
// The pixmap as it enters an image: RGBA (format 6), the mask colour made transparent when the
// image is masked and the source has no alpha of its own. Without a mask colour given, the
// current one.
TPixmapPtr PixmapForImage(const TPixmapPtr& source, int flags);
TPixmapPtr PixmapForImage(const TPixmapPtr& source, int flags, uint32_t maskRgb);
// The frame's pixmap, rebuilt from the image's source when it was dropped; none for a blank frame.
const TPixmapPtr& FramePixels(TImage& image, int frame);
}  // namespace layer
