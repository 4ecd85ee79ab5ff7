// Pixel buffers in memory and the picture decoders/encoder that fill and write them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A pixel buffer in memory. Pixels are read and written one at a time as 32-bit ARGB words
// whatever the format: 1 intensity, 2 alpha, 3 B-G-R, 4 R-G-B, 5 B-G-R-A, 6 R-G-B-A.
struct TPixmap {
    int width = 0;
    int height = 0;
    int pitch = 0;   // bytes per row
    int format = 0;
    std::vector<uint8_t> pixels;
};
using TPixmapPtr = std::shared_ptr<TPixmap>;

struct TStream;
using TStreamPtr = std::shared_ptr<TStream>;

// Bytes per pixel of a format (0 for an unknown format).
int PixmapBytesPerPixel(int format);
// True for the formats that carry their own alpha (2, 5, 6).
bool PixmapHasAlpha(int format);

// Pitch = width x bytes per pixel rounded up to a multiple of the alignment; pixels not cleared.
TPixmapPtr CreateBlankPixmap(int width, int height, int format, int alignment);
int GetPixmapWidth(const TPixmapPtr& pixmap);
int GetPixmapHeight(const TPixmapPtr& pixmap);
// Out-of-range coordinates read 0 and write nothing.
int ReadPixmapPixel(const TPixmapPtr& pixmap, int x, int y);
void WritePixmapPixel(const TPixmapPtr& pixmap, int x, int y, int argb);
// A deep copy.
TPixmapPtr CopyPixmap(const TPixmapPtr& pixmap);
// The width x height block at (x, y) as a pixmap of its own, same format (pixmaps own their
// pixels, so a window is a copy); none unless the block lies inside the pixmap.
TPixmapPtr PixmapWindow(const TPixmapPtr& pixmap, int x, int y, int width, int height);

// Largest picture any loader accepts; bigger ones are refused before decoding.
constexpr int kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

// Decodes a PNG, JPEG, BMP or TGA file (or "incbin::" entry); none for anything else,
// for a corrupt or truncated file and for a picture over the size bound.
TPixmapPtr LoadPixmapFromSource(const std::string& path);
// The same from bytes in memory.
TPixmapPtr DecodePixmapFromMemory(const uint8_t* data, size_t size);
// Why the last of these two on this thread gave none: true when the picture (or its file) is
// over the size bound, false when it could not be read or decoded at all.
bool LastPictureRefusedForSize();

// Writes an 8-bit PNG (grey for format 1, RGB for 3 and 4, RGBA otherwise) at the compression
// level clamped to 0..9. 1 on success, 0 when nothing could be opened for writing.
int EncodePixmapToPngFile(const TPixmapPtr& pixmap, const std::string& path, int compression);
int EncodePixmapToPngFile(const TPixmapPtr& pixmap, const TStreamPtr& stream, int compression);

// Loader module start-ups (idempotent; the loaders are always available).
void InitPixmapModule();
void InitPngLoaderModule();
void InitJpegLoaderModule();
void InitBmpLoaderModule();
void InitTgaLoaderModule();
