// PNG through libpng: the decoder of the loader chain and the encoder that saves the board.
//
// libpng reports errors by longjmp. The functions that call setjmp keep only plain values and
// pointers that do not change after it, and no C++ object with a destructor is alive in any
// frame that a jump can leave, so every jump back is well defined.
#include "Pixmaps.h"

#include "Lifetime.h"
#include "PixmapCodecs.h"
#include "Streams.h"

#include <png.h>
#include <sys/stat.h>

#include <csetjmp>
#include <cstring>
#include <memory>

namespace {

// ---- decoding ----

int64_t BigEndian32(const uint8_t* p) {
    return static_cast<int64_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t position;
};

[[noreturn]] void PngFail(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void PngIgnoreWarning(png_structp, png_const_charp) {}

void PngReadFromMemory(png_structp png, png_bytep dest, png_size_t length) {
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    // A file that ends before the decoder is done is truncated: refuse it.
    if (length > src->size - src->position) png_error(png, "truncated");
    std::memcpy(dest, src->data + src->position, length);
    src->position += length;
}

// Chunks that do not change the pixels we keep; skipping them saves work and leaves less of
// libpng exposed to a hostile file.
const png_byte kIgnoredChunks[] =
    "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0"
    "tEXt\0tIME\0zTXt";
constexpr int kIgnoredChunkCount = 17;

// Everything the decoder needs that must survive a longjmp lives here, on the heap, created
// before setjmp.
struct PngDecodeState {
    PngSource source{};
    TPixmapPtr pixmap;
    std::unique_ptr<png_bytep[]> rows;
};

// Decodes into state->pixmap; false on any failure. Runs between setjmp and the last libpng
// call, so it keeps no C++ objects of its own.
bool RunPngDecode(png_structp png, png_infop info, PngDecodeState* state) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_read_fn(png, &state->source, PngReadFromMemory);
    png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    png_set_chunk_cache_max(png, 1000);
    png_set_chunk_malloc_max(png, 8 * 1024 * 1024);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, kIgnoredChunkCount);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (!PictureSizeAllowed(width, height)) return false;

    bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    bool grey = (colorType & PNG_COLOR_MASK_COLOR) == 0;

    if (bitDepth == 16) png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (grey && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (transparency) png_set_tRNS_to_alpha(png);
    // Grey without alpha stays intensity; grey with alpha becomes RGBA, since the alpha-only
    // format would lose the grey.
    if (grey && hasAlpha) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    int format = hasAlpha ? 6 : (grey ? 1 : 4);
    int bpp = PixmapBytesPerPixel(format);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * bpp) return false;

    state->pixmap = CreateBlankPixmap(static_cast<int>(width), static_cast<int>(height), format, 1);
    if (!state->pixmap) return false;
    state->rows.reset(new png_bytep[height]);
    for (png_uint_32 y = 0; y < height; ++y)
        state->rows[y] = state->pixmap->pixels.data() + static_cast<size_t>(y) * state->pixmap->pitch;
    png_read_image(png, state->rows.get());
    // Reading on to the end chunk catches a file cut off after its image data.
    png_read_end(png, nullptr);
    return true;
}

// ---- encoding ----

struct PngSink {
    TStream* stream;
    bool writeFailed;
};

[[noreturn]] void PngEncodeFail(png_structp png, png_const_charp) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    // A full disk or a lost device is the file's failure, not the encoder's: the caller gets 0
    // and can tell the player, instead of the game ending with the puzzle unsaved.
    if (sink && sink->writeFailed) png_longjmp(png, 1);
    LayerFatalError("PNG ERROR");
}

void PngWriteToStream(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (sink->stream->Write(data, length) != length) {
        sink->writeFailed = true;
        png_error(png, "write failed");
    }
}

void PngFlushStream(png_structp) {}

// One row of the pixmap in the PNG's layout (grey, RGB or RGBA bytes).
void ConvertRow(const TPixmap& pm, int y, int channels, uint8_t* out) {
    const uint8_t* in = pm.pixels.data() + static_cast<size_t>(y) * pm.pitch;
    for (int x = 0; x < pm.width; ++x) {
        switch (pm.format) {
            case 1: out[0] = in[0]; in += 1; break;
            case 2: out[0] = out[1] = out[2] = 255; out[3] = in[0]; in += 1; break;
            case 3: out[0] = in[2]; out[1] = in[1]; out[2] = in[0]; in += 3; break;
            case 4: out[0] = in[0]; out[1] = in[1]; out[2] = in[2]; in += 3; break;
            case 5: out[0] = in[2]; out[1] = in[1]; out[2] = in[0]; out[3] = in[3]; in += 4; break;
            default: std::memcpy(out, in, 4); in += 4; break;
        }
        out += channels;
    }
}

// Writes the whole PNG; false when the stream refused bytes. Keeps no C++ objects of its own.
bool RunPngEncode(png_structp png, png_infop info, PngSink* sink, const TPixmap* pm,
                  int compression, uint8_t* rowBuffer) {
    if (setjmp(png_jmpbuf(png))) return false;
    int colorType, channels;
    switch (pm->format) {
        case 1: colorType = PNG_COLOR_TYPE_GRAY; channels = 1; break;
        case 3: case 4: colorType = PNG_COLOR_TYPE_RGB; channels = 3; break;
        default: colorType = PNG_COLOR_TYPE_RGB_ALPHA; channels = 4; break;
    }
    png_set_write_fn(png, sink, PngWriteToStream, PngFlushStream);
    // The reader's default limit on a side is far below what the format allows; any pixmap we
    // hold can be written.
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_compression_level(png, compression);
    png_set_IHDR(png, info, pm->width, pm->height, 8, colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < pm->height; ++y) {
        ConvertRow(*pm, y, channels, rowBuffer);
        png_write_row(png, rowBuffer);
    }
    png_write_end(png, nullptr);
    return true;
}

// Whether every row of the pixmap lies inside its bytes, so the encoder never reads past them.
bool PixmapBytesComplete(const TPixmap& pm) {
    int bpp = PixmapBytesPerPixel(pm.format);
    if (bpp == 0 || pm.width <= 0 || pm.height <= 0) return false;
    if (pm.pitch < static_cast<int64_t>(pm.width) * bpp) return false;
    int64_t needed = static_cast<int64_t>(pm.height - 1) * pm.pitch + static_cast<int64_t>(pm.width) * bpp;
    return needed <= static_cast<int64_t>(pm.pixels.size());
}

int EncodeToOpenStream(const TPixmap& pm, TStream* stream, int compression) {
    if (compression < 0) compression = 0;
    if (compression > 9) compression = 9;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngEncodeFail,
                                              PngIgnoreWarning);
    if (!png) LayerFatalError("PNG ERROR");
    png_infop info = png_create_info_struct(png);
    if (!info) LayerFatalError("PNG ERROR");
    PngSink sink{stream, false};
    std::unique_ptr<uint8_t[]> rowBuffer(new uint8_t[static_cast<size_t>(pm.width) * 4]);
    bool ok = RunPngEncode(png, info, &sink, &pm, compression, rowBuffer.get());
    png_destroy_write_struct(&png, &info);
    return ok ? 1 : 0;
}

}  // namespace

TPixmapPtr DecodePngPixmap(const uint8_t* data, size_t size) {
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return nullptr;
    // The library stops at a side over the bound with an error of its own, which would not tell
    // a picture too large from a damaged one: the size in the header is weighed here first.
    if (size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0 &&
        !PictureSizeAllowed(BigEndian32(data + 16), BigEndian32(data + 20)))
        return nullptr;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail,
                                             PngIgnoreWarning);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    auto state = std::make_unique<PngDecodeState>();
    state->source = PngSource{data, size, 0};
    bool ok = RunPngDecode(png, info, state.get());
    png_destroy_read_struct(&png, &info, nullptr);
    return ok ? state->pixmap : nullptr;
}

// A pixmap that cannot be a PNG (none, empty, unknown format, too few bytes) writes nothing
// and gives 0, as when the file cannot be opened. So does a file that could not be written
// whole (a full disk, a failing flush on close).
int EncodePixmapToPngFile(const TPixmapPtr& pixmap, const std::string& path, int compression) {
    if (!pixmap || !PixmapBytesComplete(*pixmap)) return 0;
    TStreamPtr stream = OpenFileForWriting(path);
    if (!stream) return 0;
    int ok = EncodeToOpenStream(*pixmap, stream.get(), compression);
    CloseFileStream(stream);
    if (stream->error) ok = 0;
    // A half-written file would pass for a saved one; leave nothing behind instead (but never
    // touch what is not a regular file, such as a device).
    struct stat st;
    if (!ok && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) RemoveFile(path);
    return ok;
}

// The stream is closed afterwards, as a file opened by path is.
int EncodePixmapToPngFile(const TPixmapPtr& pixmap, const TStreamPtr& stream, int compression) {
    if (!pixmap || !stream || !PixmapBytesComplete(*pixmap)) return 0;
    int ok = EncodeToOpenStream(*pixmap, stream.get(), compression);
    CloseFileStream(stream);
    return ok && !stream->error ? 1 : 0;
}
