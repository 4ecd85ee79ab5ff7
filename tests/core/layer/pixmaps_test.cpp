// Pixmaps: ARGB access in every format, row alignment, the PNG writer, and the decoders on small
// files made here byte by byte.
#include "core/layer/PixmapCodecs.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Streams.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using testpics::Bytes;

namespace {

TPixmapPtr Decode(const Bytes& b) {
    return DecodePixmapFromMemory(b.data(), b.size());
}

uint32_t Pixel(const TPixmapPtr& pm, int x, int y) {
    return static_cast<uint32_t>(ReadPixmapPixel(pm, x, y));
}

// A fresh directory for the files a test writes, removed with everything in it afterwards.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/plarn-pixmaps-XXXXXX";
        path_ = mkdtemp(pattern) ? pattern : "";
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
    return bytes;
}

// A test picture whose every pixel differs: 0xAARRGGBB from the coordinates.
uint32_t Pattern(int x, int y) {
    return static_cast<uint32_t>((40 + 50 * x + 7 * y) & 255) << 24 |
           static_cast<uint32_t>((17 * x + 3 * y) & 255) << 16 |
           static_cast<uint32_t>((90 + 31 * y) & 255) << 8 | static_cast<uint32_t>((x * y * 13) & 255);
}

}  // namespace

// ---------------------------------------------------------------- pixel access

TEST(PixmapPixels, EachFormatStoresAndReadsItsOwnChannels) {
    // Bytes as stored for ARGB 0x80C0A060 (alpha 0x80, red 0xC0, green 0xA0, blue 0x60).
    struct Case {
        int format;
        std::vector<uint8_t> stored;
        uint32_t readBack;
    } cases[] = {
        {2, {0x80}, 0x80FFFFFF},                    // alpha only, reads as white
        {3, {0x60, 0xA0, 0xC0}, 0xFFC0A060},        // B G R, opaque
        {4, {0xC0, 0xA0, 0x60}, 0xFFC0A060},        // R G B, opaque
        {5, {0x60, 0xA0, 0xC0, 0x80}, 0x80C0A060},  // B G R A
        {6, {0xC0, 0xA0, 0x60, 0x80}, 0x80C0A060},  // R G B A
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        TPixmapPtr pm = CreateBlankPixmap(3, 2, c.format, 1);
        ASSERT_TRUE(pm);
        WritePixmapPixel(pm, 2, 1, static_cast<int>(0x80C0A060u));
        int bpp = static_cast<int>(c.stored.size());
        std::vector<uint8_t> got(pm->pixels.begin() + pm->pitch + 2 * bpp,
                                 pm->pixels.begin() + pm->pitch + 3 * bpp);
        EXPECT_EQ(got, c.stored);
        EXPECT_EQ(Pixel(pm, 2, 1), c.readBack);
    }
}

TEST(PixmapPixels, IntensityStoresLuminanceAndReadsOpaqueGrey) {
    TPixmapPtr pm = CreateBlankPixmap(4, 1, 1, 1);
    ASSERT_TRUE(pm);
    WritePixmapPixel(pm, 0, 0, static_cast<int>(0x00646464u));  // grey stays exactly grey
    WritePixmapPixel(pm, 1, 0, static_cast<int>(0xFFFF0000u));  // red: 255*77/256 = 76.7 -> 77
    WritePixmapPixel(pm, 2, 0, static_cast<int>(0xFFFFFFFFu));
    WritePixmapPixel(pm, 3, 0, static_cast<int>(0xFF0000FFu));  // blue: 255*29/256 = 28.9 -> 29
    EXPECT_EQ(Pixel(pm, 0, 0), 0xFF646464u);
    EXPECT_EQ(Pixel(pm, 1, 0), 0xFF4D4D4Du);
    EXPECT_EQ(Pixel(pm, 2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(pm, 3, 0), 0xFF1D1D1Du);
    pm->pixels[0] = 0x07;
    EXPECT_EQ(Pixel(pm, 0, 0), 0xFF070707u);
}

TEST(PixmapPixels, OutsideCoordinatesReadZeroAndWriteNothing) {
    TPixmapPtr pm = CreateBlankPixmap(3, 2, 6, 8);  // pitch 16: 4 padding bytes a row
    ASSERT_TRUE(pm);
    for (auto& b : pm->pixels) b = 0x5A;
    Bytes before = pm->pixels;
    int outside[][2] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {3, 1}, {-100000, 7}, {2147483647, 0}};
    for (auto& p : outside) {
        EXPECT_EQ(ReadPixmapPixel(pm, p[0], p[1]), 0) << p[0] << "," << p[1];
        WritePixmapPixel(pm, p[0], p[1], -1);
    }
    EXPECT_EQ(pm->pixels, before);
    EXPECT_EQ(ReadPixmapPixel(nullptr, 0, 0), 0);
    WritePixmapPixel(nullptr, 0, 0, -1);
    EXPECT_EQ(GetPixmapWidth(nullptr), 0);
    EXPECT_EQ(GetPixmapHeight(nullptr), 0);
    // A pixmap put together by hand with too few bytes for its size is not overrun.
    auto broken = std::make_shared<TPixmap>();
    broken->width = 10;
    broken->height = 10;
    broken->pitch = 40;
    broken->format = 6;
    broken->pixels.resize(12);
    EXPECT_EQ(ReadPixmapPixel(broken, 5, 5), 0);
    WritePixmapPixel(broken, 5, 5, -1);
    EXPECT_EQ(Pixel(CreateBlankPixmap(1, 1, 6, 1), 0, 0), 0u);  // new pixels are zero
}

TEST(PixmapLayout, PitchIsRowBytesRoundedUpToTheAlignment) {
    struct Case {
        int w, h, format, align, pitch;
    } cases[] = {
        {5, 3, 3, 4, 16}, {5, 3, 6, 8, 24}, {3, 1, 1, 1, 3}, {4, 2, 4, 4, 12},
        {5, 3, 3, 0, 15}, {5, 3, 3, -4, 15}, {7, 2, 2, 4, 8}, {1, 1, 5, 64, 64},
        {0, 5, 6, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " f" << c.format << " a" << c.align);
        TPixmapPtr pm = CreateBlankPixmap(c.w, c.h, c.format, c.align);
        ASSERT_TRUE(pm);
        EXPECT_EQ(pm->pitch, c.pitch);
        EXPECT_EQ(pm->pixels.size(), static_cast<size_t>(c.pitch * c.h));
        EXPECT_EQ(GetPixmapWidth(pm), c.w);
        EXPECT_EQ(GetPixmapHeight(pm), c.h);
        EXPECT_EQ(pm->format, c.format);
    }
    EXPECT_FALSE(CreateBlankPixmap(4, 4, 0, 4));
    EXPECT_FALSE(CreateBlankPixmap(4, 4, 7, 4));
    EXPECT_FALSE(CreateBlankPixmap(100000, 100000, 6, 4));
    EXPECT_FALSE(CreateBlankPixmap(2147483647, 2, 6, 4));
    EXPECT_FALSE(CreateBlankPixmap(1, 1, 6, 1 << 30));
    TPixmapPtr negative = CreateBlankPixmap(-5, -5, 6, 4);
    ASSERT_TRUE(negative);
    EXPECT_EQ(GetPixmapWidth(negative), 0);
    EXPECT_EQ(negative->pixels.size(), 0u);
}

TEST(PixmapLayout, CopyIsDeep) {
    TPixmapPtr pm = CreateBlankPixmap(2, 2, 5, 4);
    WritePixmapPixel(pm, 1, 1, 0x11223344);
    TPixmapPtr copy = CopyPixmap(pm);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), pm.get());
    EXPECT_EQ(Pixel(copy, 1, 1), 0x11223344u);
    WritePixmapPixel(copy, 1, 1, 0);
    EXPECT_EQ(Pixel(pm, 1, 1), 0x11223344u);
    EXPECT_FALSE(CopyPixmap(nullptr));
}

// ---------------------------------------------------------------- PNG writer

TEST(PngEncoder, RoundTripsEveryFormat) {
    TempDir dir;
    // Format written -> format decoded, and what a pixel of ARGB p reads back as.
    struct Case {
        int format, decodedAs;
        uint32_t (*expect)(uint32_t);
    } cases[] = {
        {1, 1, [](uint32_t p) { return 0xFF000000u | (p & 255) * 0x010101u; }},
        {2, 6, [](uint32_t p) { return (p & 0xFF000000u) | 0xFFFFFFu; }},
        {3, 4, [](uint32_t p) { return p | 0xFF000000u; }},
        {4, 4, [](uint32_t p) { return p | 0xFF000000u; }},
        {5, 6, [](uint32_t p) { return p; }},
        {6, 6, [](uint32_t p) { return p; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        // Odd width and a 4-byte alignment, so rows carry padding the writer must skip.
        TPixmapPtr pm = CreateBlankPixmap(7, 5, c.format, 4);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                uint32_t p = Pattern(x, y);
                // Grey pixels for the intensity format, so what it stores is known exactly.
                if (c.format == 1) p = (p & 0xFF0000FFu) | (p & 255) * 0x010100u;
                WritePixmapPixel(pm, x, y, static_cast<int>(p));
            }
        std::string path = dir.File("f" + std::to_string(c.format) + ".png");
        ASSERT_EQ(EncodePixmapToPngFile(pm, path, 5), 1);
        TPixmapPtr back = LoadPixmapFromSource(path);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->format, c.decodedAs);
        ASSERT_EQ(GetPixmapWidth(back), 7);
        ASSERT_EQ(GetPixmapHeight(back), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(Pixel(back, x, y), c.expect(Pixel(pm, x, y))) << x << "," << y;
    }
}

TEST(PngEncoder, ClampsCompressionAndWritesThroughStreams) {
    TempDir dir;
    TPixmapPtr pm = CreateBlankPixmap(40, 30, 4, 4);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) WritePixmapPixel(pm, x, y, static_cast<int>(Pattern(x, y)));
    Bytes none, best, lowClamped, highClamped;
    ASSERT_EQ(EncodePixmapToPngFile(pm, dir.File("0.png"), 0), 1);
    ASSERT_EQ(EncodePixmapToPngFile(pm, dir.File("9.png"), 9), 1);
    ASSERT_EQ(EncodePixmapToPngFile(pm, dir.File("low.png"), -7), 1);
    ASSERT_EQ(EncodePixmapToPngFile(pm, dir.File("high.png"), 1000), 1);
    none = ReadFile(dir.File("0.png"));
    best = ReadFile(dir.File("9.png"));
    EXPECT_EQ(ReadFile(dir.File("low.png")), none);
    EXPECT_EQ(ReadFile(dir.File("high.png")), best);
    EXPECT_LT(best.size(), none.size());  // level 0 stores, level 9 compresses
    TPixmapPtr back = Decode(best);
    ASSERT_TRUE(back);
    EXPECT_EQ(Pixel(back, 39, 29), Pattern(39, 29) | 0xFF000000u);

    TStreamPtr stream = OpenFileForWriting(dir.File("stream.png"));
    ASSERT_TRUE(stream);
    ASSERT_EQ(EncodePixmapToPngFile(pm, stream, 9), 1);
    EXPECT_EQ(ReadFile(dir.File("stream.png")), best);
}

TEST(PngEncoder, ReportsWhatCannotBeWritten) {
    TempDir dir;
    TPixmapPtr pm = CreateBlankPixmap(2, 2, 6, 4);
    EXPECT_EQ(EncodePixmapToPngFile(pm, dir.File("no/such/dir/x.png"), 5), 0);
    EXPECT_EQ(EncodePixmapToPngFile(pm, TStreamPtr(), 5), 0);
    // Nothing to write: no file appears, rather than an invalid PNG or an ended program.
    EXPECT_EQ(EncodePixmapToPngFile(nullptr, dir.File("null.png"), 5), 0);
    EXPECT_EQ(EncodePixmapToPngFile(CreateBlankPixmap(0, 3, 6, 4), dir.File("empty.png"), 5), 0);
    EXPECT_FALSE(FileExists(dir.File("null.png")));
    EXPECT_FALSE(FileExists(dir.File("empty.png")));
}

TEST(PngEncoder, FullDeviceGivesZeroAndLeavesNoHalfFile) {
    TPixmapPtr pm = CreateBlankPixmap(300, 300, 6, 4);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) WritePixmapPixel(pm, x, y, static_cast<int>(Pattern(x, y)));
    // A disk that fills after 1000 bytes, far fewer than the stored picture needs: no half file.
    TempDir dir;
    const std::string half = dir.File("half.png");
    EXPECT_TRUE(HoldsWithFileSizeLimit(1000, [&] { return EncodePixmapToPngFile(pm, half, 0) == 0; }));
    EXPECT_FALSE(FileExists(half));
    ASSERT_TRUE(FileExists("/dev/full")) << "every Linux system has /dev/full";
    EXPECT_EQ(EncodePixmapToPngFile(pm, "/dev/full", 0), 0);
    EXPECT_TRUE(FileExists("/dev/full"));  // a device is not a half-written file
}

// ---------------------------------------------------------------- PNG decoder

TEST(PngDecoder, PaletteGreyAndSixteenBitVariants) {
    // Palette of six colours, 4-bit indices; tRNS makes index 0 clear and index 1 half.
    const uint32_t colours[6] = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF, 0xABCDEF, 0x7F7F7F};
    testpics::PngPlan palette;
    palette.width = 5;
    palette.height = 3;
    palette.colorType = 3;
    palette.bitDepth = 4;
    for (uint32_t c : colours) palette.palette.insert(palette.palette.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    palette.transparency = {0, 128};
    palette.sample = [](int x, int y, int) { return unsigned((x + y) % 6); };
    TPixmapPtr pm = Decode(testpics::MakePng(palette));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 6);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            int i = (x + y) % 6;
            uint32_t alpha = i == 0 ? 0 : i == 1 ? 128 : 255;
            EXPECT_EQ(Pixel(pm, x, y), alpha << 24 | colours[i]) << x << "," << y;
        }

    palette.transparency.clear();  // no tRNS: opaque colour, no alpha channel
    palette.bitDepth = 8;
    pm = Decode(testpics::MakePng(palette));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 4);
    EXPECT_EQ(Pixel(pm, 4, 2), 0xFF000000u | colours[0]);

    testpics::PngPlan grey2;  // 2-bit grey: levels 0, 85, 170, 255
    grey2.width = 7;
    grey2.height = 2;
    grey2.colorType = 0;
    grey2.bitDepth = 2;
    grey2.sample = [](int x, int y, int) { return unsigned((x + 3 * y) % 4); };
    pm = Decode(testpics::MakePng(grey2));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 1);
    EXPECT_EQ(Pixel(pm, 0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(pm, 1, 0), 0xFF555555u);
    EXPECT_EQ(Pixel(pm, 6, 0), 0xFFAAAAAAu);
    EXPECT_EQ(Pixel(pm, 0, 1), 0xFFFFFFFFu);

    testpics::PngPlan grey1;  // 1-bit grey across a byte boundary
    grey1.width = 11;
    grey1.colorType = 0;
    grey1.bitDepth = 1;
    grey1.sample = [](int x, int, int) { return unsigned(x == 0 || x == 8 || x == 10); };
    pm = Decode(testpics::MakePng(grey1));
    ASSERT_TRUE(pm);
    for (int x = 0; x < 11; ++x)
        EXPECT_EQ(Pixel(pm, x, 0), (x == 0 || x == 8 || x == 10) ? 0xFFFFFFFFu : 0xFF000000u) << x;

    testpics::PngPlan greyAlpha;  // grey + alpha comes out as RGBA
    greyAlpha.width = 3;
    greyAlpha.colorType = 4;
    greyAlpha.sample = [](int x, int, int c) { return unsigned(c == 0 ? 60 * x + 10 : 100 + x); };
    pm = Decode(testpics::MakePng(greyAlpha));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 6);
    EXPECT_EQ(Pixel(pm, 2, 0), 0x66828282u);  // alpha 102, grey 130

    testpics::PngPlan keyed;  // grey with a tRNS key: level 7 is see-through
    keyed.width = 4;
    keyed.colorType = 0;
    keyed.sample = [](int x, int, int) { return unsigned(x == 2 ? 7 : 8); };
    keyed.transparency = {0, 7};
    pm = Decode(testpics::MakePng(keyed));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 6);
    EXPECT_EQ(Pixel(pm, 2, 0), 0x00070707u);
    EXPECT_EQ(Pixel(pm, 3, 0), 0xFF080808u);

    testpics::PngPlan keyedRgb;  // RGB with a tRNS key colour
    keyedRgb.width = 2;
    keyedRgb.sample = [](int x, int, int c) { return unsigned(x == 0 ? 255 * (c != 1) : 9); };
    keyedRgb.transparency = {0, 255, 0, 0, 0, 255};
    pm = Decode(testpics::MakePng(keyedRgb));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 6);
    EXPECT_EQ(Pixel(pm, 0, 0), 0x00FF00FFu);
    EXPECT_EQ(Pixel(pm, 1, 0), 0xFF090909u);

    for (int colorType : {2, 6}) {  // 16 bits a sample, v * 257 standing for 8-bit v
        testpics::PngPlan deep;
        deep.width = 6;
        deep.height = 4;
        deep.bitDepth = 16;
        deep.colorType = colorType;
        deep.sample = [](int x, int y, int c) {
            return unsigned(((Pattern(x, y) >> (c == 3 ? 24 : 16 - 8 * c)) & 255) * 257);
        };
        pm = Decode(testpics::MakePng(deep));
        ASSERT_TRUE(pm);
        EXPECT_EQ(pm->format, colorType == 6 ? 6 : 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(Pixel(pm, x, y), colorType == 6 ? Pattern(x, y) : Pattern(x, y) | 0xFF000000u);
    }
}

TEST(PngDecoder, InterlacedPicturesComeOutWhole) {
    testpics::PngPlan rgba;  // 13 x 11: every pass partly filled
    rgba.width = 13;
    rgba.height = 11;
    rgba.colorType = 6;
    rgba.interlaced = true;
    rgba.sample = [](int x, int y, int c) { return (Pattern(x, y) >> (c == 3 ? 24 : 16 - 8 * c)) & 255; };
    TPixmapPtr pm = Decode(testpics::MakePng(rgba));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 6);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(Pixel(pm, x, y), Pattern(x, y)) << x << "," << y;

    testpics::PngPlan tiny;  // 1 x 1: six of the seven passes are empty
    tiny.colorType = 0;
    tiny.interlaced = true;
    tiny.sample = [](int, int, int) { return 200u; };
    pm = Decode(testpics::MakePng(tiny));
    ASSERT_TRUE(pm);
    EXPECT_EQ(Pixel(pm, 0, 0), 0xFFC8C8C8u);

    testpics::PngPlan packed;  // 2-bit palette, interlaced: sub-byte pixels in every pass
    packed.width = 9;
    packed.height = 7;
    packed.colorType = 3;
    packed.bitDepth = 2;
    packed.interlaced = true;
    packed.palette = {0, 0, 0, 255, 255, 255, 200, 100, 50, 1, 2, 3};
    packed.sample = [](int x, int y, int) { return unsigned((x * 3 + y) % 4); };
    pm = Decode(testpics::MakePng(packed));
    ASSERT_TRUE(pm);
    const uint32_t entries[4] = {0xFF000000, 0xFFFFFFFF, 0xFFC86432, 0xFF010203};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(Pixel(pm, x, y), entries[(x * 3 + y) % 4]) << x << "," << y;
}

TEST(PngDecoder, RefusesTruncatedAndDamagedFiles) {
    testpics::PngPlan plan;
    plan.width = 20;
    plan.height = 20;
    plan.sample = [](int x, int y, int c) { return unsigned(x * 7 + y * 13 + c * 50) & 255; };
    Bytes good = testpics::MakePng(plan);
    ASSERT_TRUE(Decode(good));
    // Cut inside the header, inside the image data, and in the end chunk (its last byte).
    for (size_t keep : {size_t(8), size_t(30), good.size() / 2, good.size() - 12, good.size() - 1}) {
        Bytes cut(good.begin(), good.begin() + static_cast<long>(keep));
        EXPECT_FALSE(Decode(cut)) << keep;
    }
    Bytes damaged = good;
    damaged[good.size() / 2] ^= 0x40;  // inside the image data: its checksum no longer matches
    EXPECT_FALSE(Decode(damaged));
    EXPECT_FALSE(LastPictureRefusedForSize());
    Bytes notPng = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!', '!', '!',
                    '!', '!', '!', '!'};
    EXPECT_FALSE(Decode(notPng));
    EXPECT_FALSE(DecodePixmapFromMemory(nullptr, 0));
    EXPECT_FALSE(DecodePixmapFromMemory(good.data(), 0));
}

// ---------------------------------------------------------------- JPEG decoder

namespace {

testpics::JpegPlan FlatBlocks(int components, const std::vector<std::array<int, 4>>& blocks) {
    testpics::JpegPlan s;
    s.width = 16;
    s.height = 16;
    s.components = components;
    s.sample = [blocks](int x, int y, int c) { return blocks[(y / 8) * 2 + x / 8][c]; };
    return s;
}

size_t ScanDataStart(const Bytes& jpeg) {
    for (size_t i = 0; i + 3 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i + 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]);
    return 0;
}

}  // namespace

TEST(JpegDecoder, FlatGreyBlocksDecodeExactly) {
    // A block of one level has only its average coefficient, 8 * (level - 128), and decodes
    // back to that level exactly.
    auto plan = FlatBlocks(1, {{10}, {100}, {200}, {250}});
    for (bool progressive : {false, true}) {
        plan.progressive = progressive;
        TPixmapPtr pm = Decode(testpics::MakeJpeg(plan));
        ASSERT_TRUE(pm) << progressive;
        EXPECT_EQ(pm->format, 1);
        EXPECT_EQ(Pixel(pm, 0, 0), 0xFF0A0A0Au);
        EXPECT_EQ(Pixel(pm, 15, 7), 0xFF646464u);
        EXPECT_EQ(Pixel(pm, 7, 8), 0xFFC8C8C8u);
        EXPECT_EQ(Pixel(pm, 15, 15), 0xFFFAFAFAu);
    }
}

TEST(JpegDecoder, ColourAndProgressiveAgree) {
    testpics::JpegPlan plan;
    plan.width = 24;
    plan.height = 16;
    plan.sample = [](int x, int y, int c) {
        return c == 0 ? 40 + 8 * x : c == 1 ? 200 - 9 * y : (x * y) % 200 + 20;
    };
    Bytes baseline = testpics::MakeJpeg(plan);
    plan.progressive = true;
    Bytes progressive = testpics::MakeJpeg(plan);
    TPixmapPtr a = Decode(baseline), b = Decode(progressive);
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(a->format, 4);
    EXPECT_EQ(b->format, 4);
    ASSERT_EQ(GetPixmapWidth(a), 24);
    ASSERT_EQ(GetPixmapHeight(a), 16);
    // The same coefficients sent in one scan or in four give the same pixels; and they are the
    // picture's within the rounding of colour conversion and the transform.
    EXPECT_EQ(a->pixels, b->pixels);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            uint32_t p = Pixel(a, x, y);
            EXPECT_NEAR(int(p >> 16 & 255), plan.sample(x, y, 0), 4) << x << "," << y;
            EXPECT_NEAR(int(p >> 8 & 255), plan.sample(x, y, 1), 4) << x << "," << y;
            EXPECT_NEAR(int(p & 255), plan.sample(x, y, 2), 4) << x << "," << y;
            EXPECT_EQ(p >> 24, 255u);
        }
}

TEST(JpegDecoder, AdobeCmykIsStoredInvertedAndBecomesRgb) {
    // Stored (inverted) inks C M Y K: red = C*K/255 and so on; white ink 255 means none.
    auto plan = FlatBlocks(4, {{255, 128, 0, 255}, {255, 255, 255, 128}, {0, 0, 0, 0}, {200, 100, 50, 255}});
    TPixmapPtr pm = Decode(testpics::MakeJpeg(plan));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 4);
    EXPECT_EQ(Pixel(pm, 3, 3), 0xFFFF8000u);
    EXPECT_EQ(Pixel(pm, 12, 3), 0xFF808080u);
    EXPECT_EQ(Pixel(pm, 3, 12), 0xFF000000u);
    EXPECT_EQ(Pixel(pm, 12, 12), 0xFFC86432u);
}

TEST(JpegDecoder, RefusesTruncatedAndCorruptData) {
    testpics::JpegPlan plan;
    plan.width = 32;
    plan.height = 32;
    plan.sample = [](int x, int y, int c) { return (x * 5 + y * 3 + c * 70) & 255; };
    for (bool progressive : {false, true}) {
        plan.progressive = progressive;
        Bytes good = testpics::MakeJpeg(plan);
        ASSERT_TRUE(Decode(good));
        size_t scan = ScanDataStart(good);
        ASSERT_GT(scan, 0u);
        for (size_t keep : {size_t(3), size_t(20), scan, scan + 10, good.size() - 40}) {
            Bytes cut(good.begin(), good.begin() + static_cast<long>(keep));
            EXPECT_FALSE(Decode(cut)) << progressive << " " << keep;
        }
        Bytes noTable = good;  // the first scan asks for a table that was never defined
        noTable[scan - 4] = 0x33;
        EXPECT_FALSE(Decode(noTable)) << progressive;
    }
    // The first code becomes 1111, which the table does not have. (The decoder's fast path for
    // long baseline scans substitutes zero there without a word, so only the progressive
    // decoder is held to noticing it.)
    Bytes bad = testpics::MakeJpeg(plan);
    size_t scan = ScanDataStart(bad);
    bad[scan] = 0xFF;
    bad.insert(bad.begin() + static_cast<long>(scan) + 1, 0x00);
    EXPECT_FALSE(Decode(bad));
}

// ---------------------------------------------------------------- BMP and TGA decoders

TEST(BmpDecoder, ReadsBottomUpTopDownAndPaletteFiles) {
    auto rgb = [](int x, int y) { return Pattern(x, y) & 0xFFFFFF; };
    TPixmapPtr pm = Decode(testpics::MakeBmp24(3, 2, rgb));  // rows of 9 bytes padded to 12
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Pixel(pm, x, y), 0xFF000000u | rgb(x, y)) << x << "," << y;

    pm = Decode(testpics::MakeBmp32TopDown(4, 3, Pattern));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 6);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(pm, x, y), Pattern(x, y)) << x << "," << y;

    // Alpha declared but zero everywhere: an opaque picture, not an invisible one.
    pm = Decode(testpics::MakeBmp32TopDown(2, 2, [](int x, int y) { return uint32_t(x * 100 + y); }));
    ASSERT_TRUE(pm);
    EXPECT_EQ(Pixel(pm, 1, 1), 0xFF000065u);

    std::vector<uint32_t> palette = {0x000000, 0xFF8000, 0x123456};
    pm = Decode(testpics::MakeBmp8(5, 3, palette, [](int x, int y) { return (x + y) % 3; }));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel(pm, x, y), 0xFF000000u | palette[(x + y) % 3]);

    Bytes full = testpics::MakeBmp24(5, 4, rgb);
    EXPECT_FALSE(Decode(Bytes(full.begin(), full.end() - 3)));  // last row's pixel missing
    EXPECT_FALSE(Decode(Bytes(full.begin(), full.begin() + 40)));
    Bytes rle = full;
    rle[30] = 1;  // run-length compression: not supported, refused
    EXPECT_FALSE(Decode(rle));
}

TEST(TgaDecoder, ReadsRawRunLengthGreyAndIndexedFiles) {
    testpics::TgaPlan raw;  // 24-bit, rows bottom-up, with an id field
    raw.width = 5;
    raw.height = 3;
    raw.id = {'p', 'l', 'a', 'r', 'n'};
    raw.value = [](int x, int y) { return Pattern(x, y) & 0xFFFFFF; };
    TPixmapPtr pm = Decode(testpics::MakeTga(raw));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel(pm, x, y), Pattern(x, y) | 0xFF000000u) << x << "," << y;

    testpics::TgaPlan rle;  // 32-bit run-length, top-down, runs crossing row ends
    rle.width = 7;
    rle.height = 4;
    rle.imageType = 10;
    rle.bits = 32;
    rle.topDown = true;
    rle.value = [](int x, int y) { return y < 2 ? 0x80FF0000u : Pattern(x, y); };
    Bytes rleFile = testpics::MakeTga(rle);
    pm = Decode(rleFile);
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 6);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(Pixel(pm, x, y), rle.value(x, y)) << x << "," << y;

    testpics::TgaPlan grey;
    grey.width = 3;
    grey.height = 2;
    grey.imageType = 3;
    grey.bits = 8;
    grey.value = [](int x, int y) { return uint32_t(40 * x + 100 * y); };
    pm = Decode(testpics::MakeTga(grey));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 1);
    EXPECT_EQ(Pixel(pm, 2, 1), 0xFFB4B4B4u);
    EXPECT_EQ(Pixel(pm, 0, 0), 0xFF000000u);

    testpics::TgaPlan indexed;
    indexed.width = 4;
    indexed.height = 2;
    indexed.imageType = 1;
    indexed.bits = 8;
    indexed.palette = {0x00FF00, 0x0000FF, 0xC0FFEE};
    indexed.value = [](int x, int y) { return uint32_t((x + y) % 3); };
    pm = Decode(testpics::MakeTga(indexed));
    ASSERT_TRUE(pm);
    EXPECT_EQ(pm->format, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(pm, x, y), 0xFF000000u | indexed.palette[(x + y) % 3]) << x << "," << y;

    Bytes rawFile = testpics::MakeTga(raw);
    EXPECT_FALSE(Decode(Bytes(rawFile.begin(), rawFile.end() - 1)));
    EXPECT_FALSE(Decode(Bytes(rleFile.begin(), rleFile.end() - 1)));
    EXPECT_FALSE(Decode(Bytes(rawFile.begin(), rawFile.begin() + 17)));
}

// ---------------------------------------------------------------- size bound and sources

TEST(PictureSize, BoundIsSixteenKiloPixelsASideAndSixtyFourMegapixels) {
    EXPECT_TRUE(PictureSizeAllowed(1, 1));
    EXPECT_TRUE(PictureSizeAllowed(16384, 4096));
    EXPECT_TRUE(PictureSizeAllowed(4096, 16384));
    EXPECT_FALSE(PictureSizeAllowed(16384, 4097));
    EXPECT_FALSE(PictureSizeAllowed(16385, 1));
    EXPECT_FALSE(PictureSizeAllowed(1, 16385));
    EXPECT_FALSE(PictureSizeAllowed(0, 10));
    EXPECT_FALSE(PictureSizeAllowed(10, -1));
}

TEST(PictureSize, HugeHeadersAreRefusedBeforeDecoding) {
    auto setBe16 = [](Bytes& b, size_t at, unsigned v) { b[at] = uint8_t(v >> 8); b[at + 1] = uint8_t(v); };
    auto setLe16 = [](Bytes& b, size_t at, unsigned v) { b[at] = uint8_t(v); b[at + 1] = uint8_t(v >> 8); };
    auto setLe32 = [&](Bytes& b, size_t at, uint32_t v) { setLe16(b, at, v & 0xFFFF); setLe16(b, at + 2, v >> 16); };

    std::vector<std::pair<std::string, Bytes>> files;
    for (unsigned side : {20000u, 16384u}) {  // 20000 too wide; 16384 x 16384 too many pixels
        std::string tag = std::to_string(side);
        testpics::PngPlan png;
        png.width = 8;
        png.height = 8;
        png.sample = [](int, int, int) { return 1u; };
        Bytes p = testpics::MakePng(png);
        for (int i = 0; i < 2; ++i) { setBe16(p, 18 + 4 * i, side); p[16 + 4 * i] = 0; p[17 + 4 * i] = 0; }
        uint32_t crc = static_cast<uint32_t>(crc32(0, p.data() + 12, 17));
        for (int i = 0; i < 4; ++i) p[29 + i] = uint8_t(crc >> (24 - 8 * i));
        files.push_back({"png " + tag, p});

        testpics::JpegPlan jpeg;
        jpeg.sample = [](int, int, int) { return 99; };
        Bytes j = testpics::MakeJpeg(jpeg);
        for (size_t i = 0; i + 8 < j.size(); ++i)
            if (j[i] == 0xFF && j[i + 1] == 0xC0) { setBe16(j, i + 5, side); setBe16(j, i + 7, side); }
        files.push_back({"jpeg " + tag, j});

        Bytes b = testpics::MakeBmp24(4, 4, [](int, int) { return 0u; });
        setLe32(b, 18, side);
        setLe32(b, 22, side);
        files.push_back({"bmp " + tag, b});
        setLe32(b, 22, static_cast<uint32_t>(-static_cast<int32_t>(side)));
        files.push_back({"bmp top-down " + tag, b});

        testpics::TgaPlan tga;
        tga.width = 2;
        tga.height = 2;
        tga.value = [](int, int) { return 0u; };
        Bytes t = testpics::MakeTga(tga);
        setLe16(t, 12, side);
        setLe16(t, 14, side);
        files.push_back({"tga " + tag, t});
    }
    Bytes bmpMinHeight = testpics::MakeBmp24(4, 4, [](int, int) { return 0u; });
    setLe32(bmpMinHeight, 22, 0x80000000u);  // a height whose magnitude does not fit
    files.push_back({"bmp height -2^31", bmpMinHeight});

    bool watch = testpics::AllocationWatch::Available();
    for (const auto& f : files) {
        if (watch) testpics::AllocationWatch::Start();
        EXPECT_FALSE(Decode(f.second)) << f.first;
        EXPECT_TRUE(LastPictureRefusedForSize()) << f.first;  // told apart from damage
        if (watch) {
            EXPECT_LT(testpics::AllocationWatch::Stop(), size_t(4) << 20) << f.first;
        }
    }
}

TEST(PixmapSources, LoadsFilesAndEmbeddedEntries) {
    TempDir dir;
    testpics::TgaPlan tga;
    tga.width = 2;
    tga.height = 2;
    tga.value = [](int x, int y) { return uint32_t(0x102030 * (x + 2 * y + 1)); };
    Bytes tgaFile = testpics::MakeTga(tga);
    std::string path = dir.File("picture.tga");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(tgaFile.data(), 1, tgaFile.size(), f);
    std::fclose(f);
    TPixmapPtr pm = LoadPixmapFromSource(path);
    ASSERT_TRUE(pm);
    EXPECT_EQ(Pixel(pm, 1, 1), 0xFF000000u | 0x102030u * 4);
    EXPECT_FALSE(LoadPixmapFromSource(dir.File("missing.png")));
    EXPECT_FALSE(LoadPixmapFromSource(""));

    static const Bytes embedded = testpics::MakeBmp24(2, 1, [](int x, int) { return x ? 0xABCDEFu : 0x010203u; });
    ASSERT_EQ(RegisterEmbeddedFile("tests/pixmaps/two.bmp", embedded.data(), embedded.size()), 1);
    pm = LoadPixmapFromSource("InCbIn::tests/pixmaps/two.bmp");
    ASSERT_TRUE(pm);
    EXPECT_EQ(Pixel(pm, 1, 0), 0xFFABCDEFu);
    EXPECT_FALSE(LoadPixmapFromSource("incbin::tests/pixmaps/none.bmp"));

    for (unsigned init = 0; init < 2; ++init) {  // start-ups change nothing, however often
        InitPixmapModule();
        InitPngLoaderModule();
        InitJpegLoaderModule();
        InitBmpLoaderModule();
        InitTgaLoaderModule();
    }
    EXPECT_TRUE(LoadPixmapFromSource(path));
}
