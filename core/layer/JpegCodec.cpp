// JPEG through libjpeg: baseline and progressive, grey, colour and CMYK.
//
// libjpeg's default error handler ends the process; ours jumps back to the decoder, which then
// returns none. The function that calls setjmp keeps only pointers that do not change after it,
// and no C++ object with a destructor is alive in a frame that a jump can leave.
#include "Pixmaps.h"

#include "PixmapCodecs.h"

#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <csetjmp>
#include <jpeglib.h>
#include <jerror.h>  // after jpeglib.h: which messages exist depends on its configuration

#include <memory>
#include <vector>

namespace {

// A real progressive file has about ten scans; thousands of tiny scans over a large picture
// would only keep the decoder busy for minutes.
constexpr int kMaxScans = 500;

struct JpegErrorManager {
    jpeg_error_mgr base;  // first, so libjpeg's pointer to it is also a pointer to us
    std::jmp_buf jump;
};

[[noreturn]] void JpegFail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings that mean the picture data is damaged or missing fail the load; the rest (an odd
// marker, stray bytes between segments) leave a whole picture and are ignored, silently.
void JpegMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    switch (cinfo->err->msg_code) {
        case JWRN_ARITH_BAD_CODE:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_JPEG_EOF:
        case JWRN_MUST_RESYNC:
            JpegFail(cinfo);
        default:
            break;
    }
}

void JpegProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        JpegFail(cinfo);
}

struct JpegDecodeState {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager error{};
    jpeg_progress_mgr progress{};
    TPixmapPtr pixmap;
    std::vector<uint8_t> cmykRow;
    bool created = false;
};

// Turns one CMYK scanline into RGB. Files with an Adobe marker store the inks inverted
// (0 = full ink), as the program that writes most CMYK JPEGs does.
void CmykRowToRgb(const uint8_t* cmyk, uint8_t* rgb, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k;
        }
        rgb[0] = static_cast<uint8_t>((c * k + 127) / 255);
        rgb[1] = static_cast<uint8_t>((m * k + 127) / 255);
        rgb[2] = static_cast<uint8_t>((y * k + 127) / 255);
    }
}

bool RunJpegDecode(JpegDecodeState* s, const uint8_t* data, size_t size) {
    j_decompress_ptr cinfo = &s->cinfo;
    cinfo->err = jpeg_std_error(&s->error.base);
    s->error.base.error_exit = JpegFail;
    s->error.base.emit_message = JpegMessage;
    if (setjmp(s->error.jump)) return false;

    s->created = true;  // destroying a struct whose creation failed is harmless
    jpeg_create_decompress(cinfo);
    s->progress.progress_monitor = JpegProgress;
    cinfo->progress = &s->progress;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (!PictureSizeAllowed(cinfo->image_width, cinfo->image_height)) return false;

    bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
    cinfo->out_color_space = cmyk ? JCS_CMYK : (grey ? JCS_GRAYSCALE : JCS_RGB);
    jpeg_start_decompress(cinfo);
    int width = static_cast<int>(cinfo->output_width);
    int height = static_cast<int>(cinfo->output_height);
    int channels = cinfo->output_components;
    if (width != static_cast<int>(cinfo->image_width) ||
        height != static_cast<int>(cinfo->image_height) || channels != (cmyk ? 4 : grey ? 1 : 3))
        return false;

    s->pixmap = CreateBlankPixmap(width, height, grey ? 1 : 4, 1);
    if (!s->pixmap) return false;
    if (cmyk) s->cmykRow.resize(static_cast<size_t>(width) * 4);
    bool inverted = cinfo->saw_Adobe_marker != 0;
    while (cinfo->output_scanline < cinfo->output_height) {
        uint8_t* dest = s->pixmap->pixels.data() +
                        static_cast<size_t>(cinfo->output_scanline) * s->pixmap->pitch;
        JSAMPROW row = cmyk ? s->cmykRow.data() : dest;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
        if (cmyk) CmykRowToRgb(s->cmykRow.data(), dest, width, inverted);
    }
    return true;
}

}  // namespace

TPixmapPtr DecodeJpegPixmap(const uint8_t* data, size_t size) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF) return nullptr;
    auto state = std::make_unique<JpegDecodeState>();
    bool ok = RunJpegDecode(state.get(), data, size);
    // Destroying without finishing is allowed at any stage and frees everything libjpeg holds.
    if (state->created) jpeg_destroy_decompress(&state->cinfo);
    return ok ? state->pixmap : nullptr;
}
