// BMP and TGA through stb_image.
//
// The decoder is compiled here, private to this file and cut down to these two formats, so it
// never takes a GIF or PSD for a picture of ours and is built with the same checks as the rest
// of the layer. stb_image reads zeros past the end of its input instead of failing, so each
// header is checked here first: the size bound, and that the file holds all the pixel data the
// header promises.
#include "Pixmaps.h"

#include "PixmapCodecs.h"

#include <cstdlib>
#include <cstring>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS kMaxPictureSide
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

uint32_t Le16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}

// Whether a BMP header describes a picture we accept whose pixel rows all lie in the file.
bool BmpHeaderUsable(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') return false;
    int64_t offset = Le32(data + 10);
    uint32_t headerSize = Le32(data + 14);
    int64_t width, height;
    uint32_t bpp, compression = 0;
    if (headerSize == 12) {
        width = Le16(data + 18);
        height = Le16(data + 20);
        bpp = Le16(data + 24);
    } else if (headerSize == 40 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        if (size < 34) return false;
        width = static_cast<int32_t>(Le32(data + 18));
        height = static_cast<int32_t>(Le32(data + 22));  // negative: rows stored top-down
        bpp = Le16(data + 28);
        compression = Le32(data + 30);
    } else {
        return false;
    }
    if (height < 0) height = -height;
    if (!PictureSizeAllowed(width, height)) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    // Plain pixels, or bit fields for 16 and 32 bits; run-length and embedded pictures are not
    // supported by the decoder.
    if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32))) return false;
    if (offset < 14 + static_cast<int64_t>(headerSize)) return false;
    int64_t rowBytes = (width * bpp + 31) / 32 * 4;
    int64_t lastRowBytes = (width * bpp + 7) / 8;
    return offset + rowBytes * (height - 1) + lastRowBytes <= static_cast<int64_t>(size);
}

// Bytes of one stored TGA pixel (or palette index), 0 for an unusable depth.
int TgaPixelBytes(int bits) {
    switch (bits) {
        case 8: return 1;
        case 15: case 16: return 2;
        case 24: return 3;
        case 32: return 4;
        default: return 0;
    }
}

// Whether a TGA header describes a picture we accept whose pixel data lies in the file. TGA has
// no signature, so this is also what tells a TGA from other bytes.
bool TgaHeaderUsable(const uint8_t* data, size_t size) {
    if (size < 18) return false;
    int idLength = data[0];
    int colormapType = data[1];
    int imageType = data[2];
    int paletteStart = static_cast<int>(Le16(data + 3));
    int paletteLength = static_cast<int>(Le16(data + 5));
    int paletteBits = data[7];
    int64_t width = Le16(data + 12);
    int64_t height = Le16(data + 14);
    int bits = data[16];
    bool indexed = colormapType == 1;
    if (colormapType > 1) return false;
    if (indexed ? (imageType != 1 && imageType != 9)
                : (imageType != 2 && imageType != 3 && imageType != 10 && imageType != 11))
        return false;
    if (!PictureSizeAllowed(width, height)) return false;
    int pixelBytes = TgaPixelBytes(bits);
    if (pixelBytes == 0 || (indexed && bits != 8 && bits != 16)) return false;
    int64_t position = 18 + idLength;
    if (indexed) {
        int entryBytes = TgaPixelBytes(paletteBits);
        if (entryBytes == 0 || paletteLength == 0) return false;
        // The decoder skips paletteStart bytes before the palette.
        position += paletteStart + static_cast<int64_t>(paletteLength) * entryBytes;
    }
    int64_t pixels = width * height;
    if (imageType < 8) return position + pixels * pixelBytes <= static_cast<int64_t>(size);
    // Run-length packets: walk them to see that they cover the whole picture.
    for (int64_t done = 0; done < pixels;) {
        if (position >= static_cast<int64_t>(size)) return false;
        int packet = data[position++];
        int count = (packet & 127) + 1;
        position += (packet & 128) ? pixelBytes : static_cast<int64_t>(count) * pixelBytes;
        done += count;
    }
    return position <= static_cast<int64_t>(size);
}

// Decodes with stb_image and moves the result into a pixmap: grey stays intensity, colour
// becomes RGB, anything with alpha RGBA.
TPixmapPtr DecodeWithStb(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(INT32_MAX)) return nullptr;
    int len = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, len, &width, &height, &channels)) return nullptr;
    // The header check has ruled out the height of -2^31; a top-down BMP reports -height here.
    if (!PictureSizeAllowed(width, height < 0 ? -static_cast<int64_t>(height) : height)) return nullptr;
    stbi_uc* decoded = stbi_load_from_memory(data, len, &width, &height, &channels, 0);
    if (!decoded) return nullptr;
    TPixmapPtr pm;
    if (PictureSizeAllowed(width, height) && channels >= 1 && channels <= 4)
        pm = CreateBlankPixmap(width, height, channels == 1 ? 1 : channels == 3 ? 4 : 6, 1);
    if (pm) {
        size_t count = static_cast<size_t>(width) * height;
        const stbi_uc* in = decoded;
        uint8_t* out = pm->pixels.data();
        if (channels == 2) {
            for (size_t i = 0; i < count; ++i, in += 2, out += 4) {
                out[0] = out[1] = out[2] = in[0];
                out[3] = in[1];
            }
        } else {
            std::memcpy(out, in, count * channels);
        }
        // Some writers declare an alpha channel and leave it all zero; such a picture is
        // meant to be opaque, not invisible.
        if (channels == 2 || channels == 4) {
            bool anyAlpha = false;
            for (size_t i = 0; i < count && !anyAlpha; ++i) anyAlpha = pm->pixels[i * 4 + 3] != 0;
            if (!anyAlpha)
                for (size_t i = 0; i < count; ++i) pm->pixels[i * 4 + 3] = 255;
        }
    }
    stbi_image_free(decoded);
    return pm;
}

}  // namespace

TPixmapPtr DecodeBmpPixmap(const uint8_t* data, size_t size) {
    if (!data || !BmpHeaderUsable(data, size)) return nullptr;
    return DecodeWithStb(data, size);
}

TPixmapPtr DecodeTgaPixmap(const uint8_t* data, size_t size) {
    if (!data || !TgaHeaderUsable(data, size)) return nullptr;
    return DecodeWithStb(data, size);
}
