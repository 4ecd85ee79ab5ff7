// Checks the 56 media files that the game links into itself: every one must
// exist, decode, and have the format, pixel size, frame grid, channel count,
// sample rate and length that the loaders and widgets rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <vorbis/vorbisfile.h>

#include "core/EmbeddedMedia.h"
#include "core/layer/Streams.h"

namespace {

enum class Kind { Png, PngRgb, Jpeg, Ogg };

struct Media {
    const char* name;  // below medien/
    Kind kind;
    int width, height;            // images
    int cellWidth, cellHeight;    // frame grid, 0 when the image is one frame
    int frames;
    int channels;                 // sounds
    double seconds;
};

constexpr Media kMedia[] = {
    {"etc/Background.jpg", Kind::Jpeg, 800, 600, 0, 0, 1, 0, 0},
    {"etc/Congratulationsbackground.png", Kind::Png, 440, 140, 0, 0, 1, 0, 0},
    {"etc/MenuTable.png", Kind::Png, 640, 268, 0, 0, 1, 0, 0},
    {"etc/bitmapfont.png", Kind::Png, 3588, 95, 92, 95, 39, 0, 0},
    {"Reihe1/Motive1.png", Kind::Png, 800, 600, 200, 150, 16, 0, 0},
    {"Reihe1/Motive2.png", Kind::Png, 800, 600, 200, 150, 16, 0, 0},
    {"etc/MenuSymbols.png", Kind::Png, 540, 552, 180, 184, 9, 0, 0},
    {"etc/MenuTitels.png", Kind::Png, 540, 552, 180, 184, 9, 0, 0},
    {"etc/HorizontalBarButton3.png", Kind::Png, 28, 28, 0, 0, 1, 0, 0},
    {"etc/HorizontalBar.png", Kind::Png, 432, 29, 0, 0, 1, 0, 0},
    {"Reihe1/Elefant.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Fische.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Haflinger.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Kirchtuerme.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Matterhorn.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Nashorn.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Rathaus.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Robbe.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Rose.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Schiff.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Windmuehlen.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Zebras.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Alpengluehen.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Alpensee.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Berghuette.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Biene.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Baer.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Loewe.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Nebellandschaft.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/ParkPortal.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Riff.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/RoteLok.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Shuttle.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Steinbock.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Berlin.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Kraene.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Eiswald.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Giraffen.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Schloss.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Dichterhaus.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/VolvoAmazon.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Reihe1/Strandszene.jpg", Kind::Jpeg, 1200, 900, 0, 0, 1, 0, 0},
    {"Sounds/CongratulationsMusic.ogg", Kind::Ogg, 0, 0, 0, 0, 0, 2, 11.5},
    {"Sounds/HelpMusic.ogg", Kind::Ogg, 0, 0, 0, 0, 0, 2, 18.0},
    {"Sounds/CreditsClickSound.ogg", Kind::Ogg, 0, 0, 0, 0, 0, 1, 0.07},
    {"Sounds/CreditsFallSound.ogg", Kind::Ogg, 0, 0, 0, 0, 0, 2, 5.3},
    {"Sounds/IntroMusic.ogg", Kind::Ogg, 0, 0, 0, 0, 0, 1, 15.0},
    {"etc/ProgressBar.png", Kind::Png, 320, 24, 0, 0, 1, 0, 0},
    {"etc/ProgressStripe.png", Kind::Png, 300, 12, 6, 12, 50, 0, 0},
    {"Sounds/PuzzleVerbund.ogg", Kind::Ogg, 0, 0, 0, 0, 0, 1, 0.19},
    {"Sounds/FlyIn.ogg", Kind::Ogg, 0, 0, 0, 0, 0, 1, 1.44},
    {"etc/AppleFensterecke.png", Kind::PngRgb, 78, 11, 0, 0, 1, 0, 0},
    {"etc/MiniScreen.jpg", Kind::Jpeg, 412, 312, 0, 0, 1, 0, 0},
    {"etc/MiniWindow.jpg", Kind::Jpeg, 375, 282, 0, 0, 1, 0, 0},
    {"etc/OKButton.png", Kind::Png, 160, 120, 0, 0, 1, 0, 0},
    {"etc/CancelButton.png", Kind::Png, 160, 120, 0, 0, 1, 0, 0},
};

std::string PathOf(const char* name) { return std::string(PLARN_SOURCE_DIR) + "/medien/" + name; }

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

struct Image {
    int width = 0, height = 0;
    int bitDepth = 0, colorType = -1;
    std::vector<unsigned char> rgba;  // decoded pixels, 4 bytes each
    std::string error;
};

Image DecodePng(const std::vector<unsigned char>& bytes) {
    Image img;
    // The header says what the file stores; the loader needs 8-bit RGB(A).
    if (bytes.size() < 33 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        img.error = "not a PNG";
        return img;
    }
    img.bitDepth = bytes[24];
    img.colorType = bytes[25];
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
        img.error = png.message;
        return img;
    }
    png.format = PNG_FORMAT_RGBA;
    img.width = static_cast<int>(png.width);
    img.height = static_cast<int>(png.height);
    img.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, img.rgba.data(), 0, nullptr)) img.error = png.message;
    png_image_free(&png);
    return img;
}

// True when the frame header of the JPEG stream is SOF0 (baseline).
bool IsBaselineJpeg(const std::vector<unsigned char>& b) {
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return false;
    size_t i = 2;
    while (i + 4 <= b.size()) {
        if (b[i] != 0xFF) return false;
        unsigned char marker = b[i + 1];
        if (marker == 0xFF) { ++i; continue; }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return marker == 0xC0;
        if (marker == 0xDA) return false;  // scan data before any frame header
        i += 2 + (static_cast<size_t>(b[i + 2]) << 8 | b[i + 3]);
    }
    return false;
}

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    unsigned char* row = nullptr;  // kept here, in memory, so a longjmp cannot lose it
};

void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void QuietJpegMessage(j_common_ptr) {}

// Decodes every scanline; returns false when libjpeg reports an error or a
// warning (a truncated file only warns and is filled up with grey).
bool DecodeJpeg(const std::vector<unsigned char>& bytes, int* width, int* height, int* components) {
    jpeg_decompress_struct info;
    JpegError err;
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.output_message = QuietJpegMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(err.row);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    *width = static_cast<int>(info.output_width);
    *height = static_cast<int>(info.output_height);
    *components = info.output_components;
    err.row = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(info.output_width) * info.output_components));
    while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, &err.row, 1);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::free(err.row);
    return err.mgr.num_warnings == 0;
}

TEST(Media, TableHoldsEveryEmbeddedFileOnce) {
    EXPECT_EQ(std::size(kMedia), 56u);
    for (size_t i = 0; i < std::size(kMedia); ++i)
        for (size_t j = i + 1; j < std::size(kMedia); ++j)
            EXPECT_NE(std::string(kMedia[i].name), kMedia[j].name);
    // The game links and registers these files, in this order, each with the bytes of its file.
    RegisterEmbeddedMedia();
    ASSERT_EQ(EmbeddedMediaCount(), 56);
    for (int i = 0; i < 56; ++i) {
        const uint8_t* bytes = nullptr;
        size_t size = 0;
        ASSERT_EQ(EmbeddedMediaName(i), "medien/" + std::string(kMedia[i].name));
        ASSERT_TRUE(FindEmbeddedFile(std::string("incbin::") + EmbeddedMediaName(i), bytes, size));
        EXPECT_TRUE(std::vector<unsigned char>(bytes, bytes + size) == ReadFile(PathOf(kMedia[i].name))) << kMedia[i].name;
    }
}

TEST(Media, ImagesDecodeWithTheirSizeFormatAndFrameGrid) {
    for (const Media& m : kMedia) {
        if (m.kind == Kind::Ogg) continue;
        SCOPED_TRACE(m.name);
        std::vector<unsigned char> bytes = ReadFile(PathOf(m.name));
        ASSERT_FALSE(bytes.empty()) << "missing or empty";
        int w = 0, h = 0;
        if (m.kind == Kind::Jpeg) {
            EXPECT_TRUE(IsBaselineJpeg(bytes)) << "not a baseline (SOF0) JPEG";
            int components = 0;
            ASSERT_TRUE(DecodeJpeg(bytes, &w, &h, &components));
            EXPECT_EQ(components, 3);
        } else {
            Image img = DecodePng(bytes);
            ASSERT_EQ(img.error, "");
            w = img.width;
            h = img.height;
            EXPECT_EQ(img.bitDepth, 8);
            EXPECT_EQ(img.colorType, m.kind == Kind::Png ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
        }
        EXPECT_EQ(w, m.width);
        EXPECT_EQ(h, m.height);
        if (m.cellWidth > 0) {
            EXPECT_EQ(w % m.cellWidth, 0);
            EXPECT_EQ(h % m.cellHeight, 0);
            EXPECT_EQ((w / m.cellWidth) * (h / m.cellHeight), m.frames);
        }
    }
}

// The picture bars show the thumbnails as they are: no see-through holes.
TEST(Media, ThumbnailStripsAreOpaque) {
    for (const char* name : {"Reihe1/Motive1.png", "Reihe1/Motive2.png"}) {
        SCOPED_TRACE(name);
        Image img = DecodePng(ReadFile(PathOf(name)));
        ASSERT_EQ(img.error, "");
        size_t holes = 0;
        for (size_t i = 3; i < img.rgba.size(); i += 4) holes += img.rgba[i] != 255;
        EXPECT_EQ(holes, 0u);
    }
}

// The font loader crops each cell by its visible pixels (alpha above 0), so a
// stray faint pixel widens the glyph.  Every glyph must have ink, start near
// the left of its cell, and keep inside columns 4..79 and rows 12..84; the
// letters and signs that players misread must keep the shapes that tell them apart.
TEST(Media, FontGlyphsAreLeftAlignedOnTransparentCells) {
    Image img = DecodePng(ReadFile(PathOf("etc/bitmapfont.png")));
    ASSERT_EQ(img.error, "");
    ASSERT_EQ(img.width, 39 * 92);
    ASSERT_EQ(img.height, 95);
    const char* order = "HAVEFUNWITPLRZDGOCSMBYK0123456789(,)Jx.";
    for (int cell = 0; cell < 39; ++cell) {
        SCOPED_TRACE(std::string("glyph ") + order[cell]);
        int left = 92, right = -1, top = 95, bottom = -1;
        for (int y = 0; y < 95; ++y)
            for (int x = 0; x < 92; ++x)
                if (img.rgba[(static_cast<size_t>(y) * img.width + cell * 92 + x) * 4 + 3] > 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, 0) << "cell has no ink";
        EXPECT_GE(left, 4);
        EXPECT_LE(left, 8) << "glyph is not left-aligned";
        EXPECT_LE(right, 79);
        EXPECT_GE(top, 12);
        EXPECT_LE(bottom, 84);
    }
    // Faces are the opaque light pixels (outline and shadow are dark).  Found in its box: the face
    // and how much of the box's 4 x 4 top-left corner it fills.
    auto face = [&](char c, int& top, int& bottom) {
        const int cell = static_cast<int>(std::string(order).find(c));
        int left = 92, corner = 0;
        top = 95, bottom = -1;
        auto lit = [&](int x, int y) {
            const uint8_t* p = &img.rgba[(static_cast<size_t>(y) * img.width + cell * 92 + x) * 4];
            return p[3] == 255 && std::min({p[0], p[1], p[2]}) > 128;
        };
        for (int y = 0; y < 95; ++y)
            for (int x = 0; x < 92; ++x)
                if (lit(x, y)) left = std::min(left, x), top = std::min(top, y), bottom = std::max(bottom, y);
        for (int y = top; y < top + 4; ++y)
            for (int x = left; x < left + 4; ++x) corner += lit(x, y);
        return corner;
    };
    // An R or a B round at its top-left reads as an a or an 8: their stems stand square there.
    int top, bottom, dotTop, dotBottom;
    EXPECT_GE(face('R', top, bottom), 12);
    EXPECT_GE(face('B', top, bottom), 12);
    // A comma hangs below the line the full stop sits on; one set higher reads as an apostrophe.
    face('.', dotTop, dotBottom);
    face(',', top, bottom);
    EXPECT_GT(bottom, dotBottom + 2);
}

TEST(Media, SoundsAreVorbisWithTheirChannelsRateAndLength) {
    for (const Media& m : kMedia) {
        if (m.kind != Kind::Ogg) continue;
        SCOPED_TRACE(m.name);
        OggVorbis_File vf;
        ASSERT_EQ(ov_fopen(PathOf(m.name).c_str(), &vf), 0) << "missing or not Ogg Vorbis";
        vorbis_info* info = ov_info(&vf, -1);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->channels, m.channels);
        EXPECT_EQ(info->rate, 44100);
        // Decode it all: the stream must be readable to its end, and the
        // sample count is what the player hears.
        long long frames = 0;
        char buffer[8192];
        int section = 0;
        long got;
        while ((got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section)) > 0)
            frames += got / (2 * info->channels);
        EXPECT_EQ(got, 0) << "decoding error";
        EXPECT_NEAR(frames / 44100.0, m.seconds, 0.020);
        ov_clear(&vf);
    }
}

}  // namespace
