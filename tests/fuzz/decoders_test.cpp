// Mutation fuzzing of the picture decoders: thousands of damaged PNG, JPEG, BMP and TGA files
// made from small valid ones with a fixed seed. Every case must decode or be refused cleanly:
// no crash, no sanitizer report, no hang, no allocation beyond the picture size bound.
#include "core/layer/Pixmaps.h"
#include "tests/fuzz/ByteMutator.h"
#include "tests/support/TestPictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>

using testpics::Bytes;

namespace {

constexpr int kCasesPerFormat = 20000;

enum class Format { Png, Jpeg, Bmp, Tga };

uint32_t Pattern(int x, int y, int c) {
    return static_cast<uint32_t>((x * 37 + y * 11 + c * 71 + (x * y) % 13) & 255);
}

std::vector<Bytes> PngSeeds() {
    std::vector<Bytes> seeds;
    testpics::PngPlan s;
    s.width = 16;
    s.height = 12;
    s.sample = [](int x, int y, int c) { return Pattern(x, y, c); };
    seeds.push_back(testpics::MakePng(s));  // RGB, all five row filters
    s.colorType = 6;
    s.interlaced = true;
    seeds.push_back(testpics::MakePng(s));  // RGBA, interlaced
    s.colorType = 0;
    s.bitDepth = 16;
    s.interlaced = false;
    s.sample = [](int x, int y, int) { return Pattern(x, y, 0) * 257; };
    seeds.push_back(testpics::MakePng(s));  // 16-bit grey
    s.colorType = 4;
    s.bitDepth = 8;
    s.sample = [](int x, int y, int c) { return Pattern(x, y, c); };
    seeds.push_back(testpics::MakePng(s));  // grey + alpha
    s.colorType = 3;
    s.bitDepth = 4;
    s.interlaced = true;
    for (int i = 0; i < 16; ++i) s.palette.insert(s.palette.end(), {uint8_t(i * 16), uint8_t(255 - i), uint8_t(i * 7)});
    s.transparency = {0, 64, 128};
    s.sample = [](int x, int y, int) { return Pattern(x, y, 0) % 16; };
    seeds.push_back(testpics::MakePng(s));  // 4-bit palette, tRNS, interlaced
    return seeds;
}

std::vector<Bytes> JpegSeeds() {
    std::vector<Bytes> seeds;
    testpics::JpegPlan s;
    s.width = 24;
    s.height = 16;
    s.quant = 2;
    s.sample = [](int x, int y, int c) { return static_cast<int>(Pattern(x, y, c)); };
    seeds.push_back(testpics::MakeJpeg(s));
    s.progressive = true;
    seeds.push_back(testpics::MakeJpeg(s));
    s.components = 1;
    seeds.push_back(testpics::MakeJpeg(s));
    s.progressive = false;
    seeds.push_back(testpics::MakeJpeg(s));
    s.components = 4;
    s.width = 16;
    seeds.push_back(testpics::MakeJpeg(s));
    return seeds;
}

std::vector<Bytes> BmpSeeds() {
    auto rgb = [](int x, int y) { return Pattern(x, y, 0) << 16 | Pattern(x, y, 1) << 8 | Pattern(x, y, 2); };
    return {
        testpics::MakeBmp24(7, 5, rgb),
        testpics::MakeBmp32TopDown(6, 4, [&](int x, int y) { return rgb(x, y) | Pattern(x, y, 3) << 24; }),
        testpics::MakeBmp8(9, 3, {0x000000, 0xFFFFFF, 0x804020, 0x1020FF}, [](int x, int y) { return (x + y) % 4; }),
    };
}

std::vector<Bytes> TgaSeeds() {
    std::vector<Bytes> seeds;
    testpics::TgaPlan s;
    s.width = 9;
    s.height = 5;
    s.value = [](int x, int y) { return Pattern(x, y, 0) << 16 | Pattern(x, y, 1) << 8 | Pattern(x, y, 2); };
    seeds.push_back(testpics::MakeTga(s));  // raw 24-bit
    s.imageType = 10;
    s.bits = 32;
    s.topDown = true;
    s.value = [](int x, int y) { return y < 2 ? 0xFF336699u : (Pattern(x, y, 0) | 0x80000000u); };
    seeds.push_back(testpics::MakeTga(s));  // run-length 32-bit
    s.imageType = 3;
    s.bits = 8;
    s.id = {'i', 'd'};
    s.value = [](int x, int y) { return Pattern(x, y, 0); };
    seeds.push_back(testpics::MakeTga(s));  // grey
    s.imageType = 9;
    s.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    s.value = [](int x, int y) { return uint32_t(y < 3 ? 2 : (x + y) % 5); };
    seeds.push_back(testpics::MakeTga(s));  // run-length indexed
    return seeds;
}

// Sizes that probe the bound and the arithmetic around it.
const uint32_t kHugeSizes[] = {0, 1, 2, 16383, 16384, 16385, 20000, 65535, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

class Mutator : public fuzzing::ByteMutator {
public:
    explicit Mutator(uint32_t seed) : ByteMutator(seed) {}

    Bytes Mutate(const Bytes& seed, Format format) {
        Bytes b = seed;
        // Damage inside the compressed image data mostly ends at zlib's checksum, so a share of
        // the PNG cases damages the rows themselves (filter bytes, samples, row count) and
        // compresses them again.
        if (format == Format::Png && Next(4) == 0) return MutatePngRows(b);
        int count = 1 + static_cast<int>(Next(3));
        for (int i = 0; i < count && !b.empty(); ++i)
            if (!MutateOnce(b)) SetHugeSize(b, format);
        // Most PNG damage would end at the first checksum; mending the checksums of half the
        // cases lets the damage reach the chunk parser and the image data.
        if (format == Format::Png && Next(2) == 0) FixPngChecksums(b);
        return b;
    }

private:
    uint32_t HugeSize() { return kHugeSizes[Next(sizeof kHugeSizes / sizeof kHugeSizes[0])]; }

    void SetHugeSize(Bytes& b, Format format) {
        auto be16 = [&](size_t at, uint32_t v) { if (at + 2 <= b.size()) { b[at] = uint8_t(v >> 8); b[at + 1] = uint8_t(v); } };
        auto be32 = [&](size_t at, uint32_t v) { be16(at, v >> 16); be16(at + 2, v & 0xFFFF); };
        auto le16 = [&](size_t at, uint32_t v) { if (at + 2 <= b.size()) { b[at] = uint8_t(v); b[at + 1] = uint8_t(v >> 8); } };
        auto le32 = [&](size_t at, uint32_t v) { le16(at, v & 0xFFFF); le16(at + 2, v >> 16); };
        bool both = Next(2) == 0;
        switch (format) {
            case Format::Png:
                if (both || Next(2)) be32(16, HugeSize());
                if (both || Next(2)) be32(20, HugeSize());
                FixPngChecksums(b);
                break;
            case Format::Jpeg:
                for (size_t i = 0; i + 9 < b.size(); ++i) {
                    if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
                        if (both || Next(2)) be16(i + 5, HugeSize());
                        if (both || Next(2)) be16(i + 7, HugeSize());
                        break;
                    }
                }
                break;
            case Format::Bmp:
                if (both || Next(2)) le32(18, HugeSize());
                if (both || Next(2)) le32(22, Next(2) ? HugeSize() : 0u - HugeSize());  // or a top-down height
                if (Next(4) == 0) le32(10, HugeSize());  // pixel data offset
                break;
            case Format::Tga:
                if (both || Next(2)) le16(12, HugeSize());
                if (both || Next(2)) le16(14, HugeSize());
                if (Next(4) == 0) le16(5, HugeSize());  // palette length
                break;
        }
    }

    Bytes MutatePngRows(const Bytes& png) {
        Bytes head, idat, tail;
        size_t at = 8;
        while (at + 12 <= png.size()) {
            size_t len = static_cast<size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
            Bytes& part = std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT" ? idat
                          : idat.empty() ? head : tail;
            if (&part == &idat)
                idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + len);
            else
                part.insert(part.end(), png.begin() + at, png.begin() + at + 12 + len);
            at += len + 12;
        }
        Bytes rows(1 << 16);
        uLongf rowsSize = static_cast<uLongf>(rows.size());
        if (uncompress(rows.data(), &rowsSize, idat.data(), static_cast<uLong>(idat.size())) != Z_OK) return png;
        rows.resize(rowsSize);
        for (int n = 1 + static_cast<int>(Next(3)); n > 0; --n) {
            uint32_t size = static_cast<uint32_t>(rows.size());
            switch (Next(4)) {
                case 0: rows[Next(size)] = static_cast<uint8_t>(Next(256)); break;
                case 1: rows[Next(size)] = static_cast<uint8_t>(Next(8)); break;  // filter-like values
                case 2: rows.resize(Next(size)); break;
                default: rows.resize(size + 1 + Next(64), static_cast<uint8_t>(Next(256))); break;
            }
            if (rows.empty()) break;
        }
        uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
        Bytes packed(packedSize);
        compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), 6);
        packed.resize(packedSize);
        Bytes out(png.begin(), png.begin() + 8);
        out.insert(out.end(), head.begin(), head.end());
        testpics::PutPngChunk(out, "IDAT", packed);
        out.insert(out.end(), tail.begin(), tail.end());
        return out;
    }

    static void FixPngChecksums(Bytes& b) {
        size_t at = 8;
        while (at + 12 <= b.size()) {
            size_t len = static_cast<size_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
            if (len > b.size() - at - 12) break;
            uint32_t crc = static_cast<uint32_t>(crc32(0, b.data() + at + 4, static_cast<uInt>(len + 4)));
            for (int i = 0; i < 4; ++i) b[at + 8 + len + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
            at += len + 12;
        }
    }
};

void Fuzz(Format format, const std::vector<Bytes>& seeds, uint32_t rngSeed, const char* name) {
    for (const Bytes& s : seeds) ASSERT_TRUE(DecodePixmapFromMemory(s.data(), s.size())) << name << " seed";
    Mutator mutator(rngSeed);
    int decoded = 0;
    double slowest = 0;
    bool watch = testpics::AllocationWatch::Available();
    size_t largest = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCasesPerFormat; ++i) {
        Bytes input = mutator.Mutate(seeds[i % seeds.size()], format);
        if (watch) testpics::AllocationWatch::Start();
        auto t0 = std::chrono::steady_clock::now();
        TPixmapPtr pm = DecodePixmapFromMemory(input.data(), input.size());
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (watch) largest = std::max(largest, testpics::AllocationWatch::Stop());
        slowest = std::max(slowest, seconds);
        if (!pm) continue;
        ++decoded;
        // What comes out is a whole, consistent pixmap within the bound.
        ASSERT_GE(pm->width, 1) << name << " case " << i;
        ASSERT_GE(pm->height, 1) << name << " case " << i;
        ASSERT_LE(pm->width, kMaxPictureSide) << name << " case " << i;
        ASSERT_LE(pm->height, kMaxPictureSide) << name << " case " << i;
        ASSERT_LE(static_cast<int64_t>(pm->width) * pm->height, kMaxPicturePixels) << name << " case " << i;
        ASSERT_GE(pm->pitch, pm->width * PixmapBytesPerPixel(pm->format)) << name << " case " << i;
        ASSERT_GE(pm->pixels.size(), static_cast<size_t>(pm->pitch) * pm->height) << name << " case " << i;
        ReadPixmapPixel(pm, pm->width - 1, pm->height - 1);
    }
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %d cases, %d decoded, %d refused, %.2f s, slowest case %.3f s, largest allocation %s\n",
                name, kCasesPerFormat, decoded, kCasesPerFormat - decoded, total, slowest,
                watch ? (std::to_string(largest >> 10) + " KiB").c_str() : "not watched");
    // A hang guard only: the inputs are all under a few kilobytes, and each takes milliseconds.
    EXPECT_LT(slowest, 60.0) << name;
    if (watch) {
        EXPECT_LE(largest, static_cast<size_t>(kMaxPicturePixels) * 4 + (16u << 20)) << name;
    }
}

}  // namespace

TEST(DecoderFuzz, Png) { Fuzz(Format::Png, PngSeeds(), 0x504E47u, "PNG"); }
TEST(DecoderFuzz, Jpeg) { Fuzz(Format::Jpeg, JpegSeeds(), 0x4A5047u, "JPEG"); }
TEST(DecoderFuzz, Bmp) { Fuzz(Format::Bmp, BmpSeeds(), 0x424D50u, "BMP"); }
TEST(DecoderFuzz, Tga) { Fuzz(Format::Tga, TgaSeeds(), 0x544741u, "TGA"); }
