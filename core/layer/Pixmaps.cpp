// Pixel buffers in memory: creation, ARGB access for every format, and the loader chain.
#include "Pixmaps.h"

#include "PixmapCodecs.h"
#include "Streams.h"

#include <climits>
#include <cstring>

namespace {

// A buffer bigger than this is refused outright: the largest picture a loader accepts, at four
// bytes a pixel, needs 256 MiB, and rows padded to any sane alignment add little to it.
constexpr int64_t kMaxPixmapBytes = 320LL << 20;
// Row alignments the graphics library and the file formats use are small powers of two.
constexpr int kMaxAlignment = 4096;

// Files are read whole before decoding; nothing we accept can be bigger than this.
constexpr long long kMaxPictureFileBytes = 1LL << 30;

// Byte offset of pixel (x, y), or -1 when it lies outside the pixmap or its bytes.
int64_t PixelOffset(const TPixmap& pm, int x, int y, int bpp) {
    if (bpp == 0 || x < 0 || y < 0 || x >= pm.width || y >= pm.height) return -1;
    int64_t offset = static_cast<int64_t>(y) * pm.pitch + static_cast<int64_t>(x) * bpp;
    if (offset < 0 || offset + bpp > static_cast<int64_t>(pm.pixels.size())) return -1;
    return offset;
}

// Whether the last load on this thread gave none because the picture is over the size bound.
thread_local bool refusedForSize = false;

}  // namespace

bool PictureSizeAllowed(int64_t width, int64_t height) {
    if (width < 1 || height < 1) return false;  // no picture at all: damage, not size
    const bool allowed = width <= kMaxPictureSide && height <= kMaxPictureSide && width * height <= kMaxPicturePixels;
    if (!allowed) refusedForSize = true;
    return allowed;
}

bool LastPictureRefusedForSize() { return refusedForSize; }

int PixmapBytesPerPixel(int format) {
    switch (format) {
        case 1: case 2: return 1;
        case 3: case 4: return 3;
        case 5: case 6: return 4;
        default: return 0;
    }
}

bool PixmapHasAlpha(int format) {
    return format == 2 || format == 5 || format == 6;
}

TPixmapPtr CreateBlankPixmap(int width, int height, int format, int alignment) {
    int bpp = PixmapBytesPerPixel(format);
    if (bpp == 0) return nullptr;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (alignment <= 0) alignment = 1;
    if (alignment > kMaxAlignment) return nullptr;
    int64_t pitch = static_cast<int64_t>(width) * bpp;
    pitch = (pitch + alignment - 1) / alignment * alignment;
    if (pitch > INT_MAX || pitch * height > kMaxPixmapBytes) return nullptr;
    auto pm = std::make_shared<TPixmap>();
    pm->width = width;
    pm->height = height;
    pm->pitch = static_cast<int>(pitch);
    pm->format = format;
    pm->pixels.resize(static_cast<size_t>(pitch * height));
    return pm;
}

int GetPixmapWidth(const TPixmapPtr& pixmap) {
    return pixmap ? pixmap->width : 0;
}

int GetPixmapHeight(const TPixmapPtr& pixmap) {
    return pixmap ? pixmap->height : 0;
}

int ReadPixmapPixel(const TPixmapPtr& pixmap, int x, int y) {
    if (!pixmap) return 0;
    int64_t at = PixelOffset(*pixmap, x, y, PixmapBytesPerPixel(pixmap->format));
    if (at < 0) return 0;
    const uint8_t* p = pixmap->pixels.data() + at;
    uint32_t a = 255, r = 0, g = 0, b = 0;
    switch (pixmap->format) {
        case 1: r = g = b = p[0]; break;
        case 2: r = g = b = 255; a = p[0]; break;
        case 3: b = p[0]; g = p[1]; r = p[2]; break;
        case 4: r = p[0]; g = p[1]; b = p[2]; break;
        case 5: b = p[0]; g = p[1]; r = p[2]; a = p[3]; break;
        case 6: r = p[0]; g = p[1]; b = p[2]; a = p[3]; break;
        default: return 0;
    }
    return static_cast<int>(a << 24 | r << 16 | g << 8 | b);
}

void WritePixmapPixel(const TPixmapPtr& pixmap, int x, int y, int argb) {
    if (!pixmap) return;
    int64_t at = PixelOffset(*pixmap, x, y, PixmapBytesPerPixel(pixmap->format));
    if (at < 0) return;
    uint8_t* p = pixmap->pixels.data() + at;
    uint32_t word = static_cast<uint32_t>(argb);
    uint8_t a = word >> 24, r = word >> 16 & 255, g = word >> 8 & 255, b = word & 255;
    switch (pixmap->format) {
        // Intensity keeps the colour's luminance (weights 77/150/29 of 256, rounded), so a grey
        // colour is stored exactly and reads back unchanged; alpha is dropped.
        case 1: p[0] = static_cast<uint8_t>((77 * r + 150 * g + 29 * b + 128) >> 8); break;
        // An alpha-only pixmap keeps just the alpha; it reads back as white.
        case 2: p[0] = a; break;
        case 3: p[0] = b; p[1] = g; p[2] = r; break;
        case 4: p[0] = r; p[1] = g; p[2] = b; break;
        case 5: p[0] = b; p[1] = g; p[2] = r; p[3] = a; break;
        case 6: p[0] = r; p[1] = g; p[2] = b; p[3] = a; break;
        default: break;
    }
}

TPixmapPtr CopyPixmap(const TPixmapPtr& pixmap) {
    if (!pixmap) return nullptr;
    return std::make_shared<TPixmap>(*pixmap);
}

TPixmapPtr PixmapWindow(const TPixmapPtr& pixmap, int x, int y, int width, int height) {
    if (!pixmap || x < 0 || y < 0 || width < 0 || height < 0 ||
        static_cast<int64_t>(x) + width > pixmap->width || static_cast<int64_t>(y) + height > pixmap->height)
        return nullptr;
    const int bpp = PixmapBytesPerPixel(pixmap->format);
    TPixmapPtr out = CreateBlankPixmap(width, height, pixmap->format, 4);
    if (!out || bpp == 0 || pixmap->pixels.size() < static_cast<size_t>(pixmap->pitch) * pixmap->height) return nullptr;
    for (int row = 0; row < height && width > 0; ++row)
        memcpy(out->pixels.data() + static_cast<size_t>(row) * out->pitch,
               pixmap->pixels.data() + static_cast<size_t>(y + row) * pixmap->pitch + static_cast<size_t>(x) * bpp,
               static_cast<size_t>(width) * bpp);
    return out;
}

TPixmapPtr DecodePixmapFromMemory(const uint8_t* data, size_t size) {
    refusedForSize = false;
    if (!data || size == 0) return nullptr;
    // Each loader recognises its own format by the first bytes and declines anything else, so
    // the order only matters for speed; TGA has no signature and comes last.
    static TPixmapPtr (*const loaders[])(const uint8_t*, size_t) = {
        DecodePngPixmap, DecodeJpegPixmap, DecodeBmpPixmap, DecodeTgaPixmap};
    for (auto loader : loaders) {
        if (TPixmapPtr pm = loader(data, size)) return pm;
    }
    return nullptr;
}

TPixmapPtr LoadPixmapFromSource(const std::string& path) {
    // A huge file (a film, a disk image picked by mistake) is not read into memory at all.
    refusedForSize = !IsEmbeddedPath(path) && GetFileByteSize(path) > kMaxPictureFileBytes;
    if (refusedForSize) return nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadWholeSource(path, bytes)) return nullptr;
    return DecodePixmapFromMemory(bytes.data(), bytes.size());
}

// The loaders are plain functions linked in with the layer, so there is nothing to start.
void InitPixmapModule() {}
void InitPngLoaderModule() {}
void InitJpegLoaderModule() {}
void InitBmpLoaderModule() {}
void InitTgaLoaderModule() {}
