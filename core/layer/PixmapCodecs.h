// Inside the layer only: the picture decoders that DecodePixmapFromMemory tries in turn.
#pragma once
#include "Pixmaps.h"

// Each decoder returns none at once for bytes that are not in its format, and none for a
// corrupt or truncated file or one whose picture is over the size bound.
TPixmapPtr DecodePngPixmap(const uint8_t* data, size_t size);
TPixmapPtr DecodeJpegPixmap(const uint8_t* data, size_t size);
TPixmapPtr DecodeBmpPixmap(const uint8_t* data, size_t size);
TPixmapPtr DecodeTgaPixmap(const uint8_t* data, size_t size);

// Whether a picture of that size may be decoded (1..kMaxPictureSide a side, at most
// kMaxPicturePixels in all). A picture refused for being too large is remembered for
// LastPictureRefusedForSize.
bool PictureSizeAllowed(int64_t width, int64_t height);
