// Small picture files written byte by byte for the decoder tests: PNG (zlib only), baseline and
// progressive JPEG (a plain DCT encoder), BMP and TGA. They are independent of the decoders'
// libraries, so a test compares the layer against the file formats, not a library against itself.
#pragma once
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace testpics {

using Bytes = std::vector<uint8_t>;

// The largest single allocation made while a watch is on, where the sanitizer runtime can tell
// (an address-sanitizer build); Available() is false elsewhere.
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*malloc_hook)(const volatile void*, size_t),
    void (*free_hook)(const volatile void*)) __attribute__((weak));

class AllocationWatch {
public:
    static bool Available() {
        static bool installed = __sanitizer_install_malloc_and_free_hooks != nullptr &&
                                __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
        return installed;
    }
    static void Start() {
        Largest() = 0;
        On() = true;
    }
    static size_t Stop() {
        On() = false;
        return Largest();
    }

private:
    static std::atomic<bool>& On() {
        static std::atomic<bool> on{false};
        return on;
    }
    static std::atomic<size_t>& Largest() {
        static std::atomic<size_t> largest{0};
        return largest;
    }
    static void OnMalloc(const volatile void*, size_t size) {
        if (!On()) return;
        size_t seen = Largest();
        while (size > seen && !Largest().compare_exchange_weak(seen, size)) {
        }
    }
    static void OnFree(const volatile void*) {}
};

inline void Put8(Bytes& b, unsigned v) { b.push_back(static_cast<uint8_t>(v)); }
inline void PutBe16(Bytes& b, unsigned v) { Put8(b, v >> 8); Put8(b, v); }
inline void PutBe32(Bytes& b, uint32_t v) { PutBe16(b, v >> 16); PutBe16(b, v & 0xFFFF); }
inline void PutLe16(Bytes& b, unsigned v) { Put8(b, v); Put8(b, v >> 8); }
inline void PutLe32(Bytes& b, uint32_t v) { PutLe16(b, v & 0xFFFF); PutLe16(b, v >> 16); }

// ---------------------------------------------------------------- PNG

struct PngPlan {
    int width = 1, height = 1;
    int bitDepth = 8;
    int colorType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    bool interlaced = false;
    // Sample c of pixel (x, y), already in the bit depth's range (a palette index for type 3).
    std::function<unsigned(int x, int y, int c)> sample;
    Bytes palette;       // PLTE contents (RGB triples)
    Bytes transparency;  // tRNS contents, written when not empty
};

inline int PngChannels(int colorType) {
    switch (colorType) {
        case 0: case 3: return 1;
        case 2: return 3;
        case 4: return 2;
        default: return 4;
    }
}

inline void PutPngChunk(Bytes& out, const char* type, const Bytes& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBe32(out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

inline int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// Appends the filtered rows of a (sub)image whose pixel (i, j) is picture pixel
// (x0 + i*dx, y0 + j*dy); the filter type cycles through all five row by row.
inline void PutPngRows(const PngPlan& s, Bytes& raw, int x0, int y0, int dx, int dy) {
    int channels = PngChannels(s.colorType);
    int cols = s.width > x0 ? (s.width - x0 + dx - 1) / dx : 0;
    int rows = s.height > y0 ? (s.height - y0 + dy - 1) / dy : 0;
    if (cols == 0 || rows == 0) return;
    int bitsPerPixel = channels * s.bitDepth;
    size_t rowBytes = (static_cast<size_t>(cols) * bitsPerPixel + 7) / 8;
    int bpp = (bitsPerPixel + 7) / 8;
    Bytes previous(rowBytes, 0);
    for (int j = 0; j < rows; ++j) {
        Bytes row(rowBytes, 0);
        size_t bit = 0;
        for (int i = 0; i < cols; ++i) {
            for (int c = 0; c < channels; ++c) {
                unsigned v = s.sample(x0 + i * dx, y0 + j * dy, c);
                if (s.bitDepth == 16) {
                    row[bit / 8] = static_cast<uint8_t>(v >> 8);
                    row[bit / 8 + 1] = static_cast<uint8_t>(v);
                } else if (s.bitDepth == 8) {
                    row[bit / 8] = static_cast<uint8_t>(v);
                } else {
                    int shift = 8 - s.bitDepth - static_cast<int>(bit % 8);
                    row[bit / 8] |= static_cast<uint8_t>(v << shift);
                }
                bit += s.bitDepth;
            }
        }
        int filter = j % 5;
        raw.push_back(static_cast<uint8_t>(filter));
        for (size_t k = 0; k < rowBytes; ++k) {
            int a = k >= static_cast<size_t>(bpp) ? row[k - bpp] : 0;
            int b = previous[k];
            int c = k >= static_cast<size_t>(bpp) ? previous[k - bpp] : 0;
            int predicted = filter == 0 ? 0 : filter == 1 ? a : filter == 2 ? b
                          : filter == 3 ? (a + b) / 2 : Paeth(a, b, c);
            raw.push_back(static_cast<uint8_t>(row[k] - predicted));
        }
        previous = row;
    }
}

inline Bytes MakePng(const PngPlan& s) {
    Bytes raw;
    if (s.interlaced) {
        static const int pass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                       {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (const auto& p : pass) PutPngRows(s, raw, p[0], p[1], p[2], p[3]);
    } else {
        PutPngRows(s, raw, 0, 0, 1, 1);
    }
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBe32(header, s.width);
    PutBe32(header, s.height);
    Put8(header, s.bitDepth);
    Put8(header, s.colorType);
    Put8(header, 0);
    Put8(header, 0);
    Put8(header, s.interlaced ? 1 : 0);
    PutPngChunk(out, "IHDR", header);
    if (!s.palette.empty()) PutPngChunk(out, "PLTE", s.palette);
    if (!s.transparency.empty()) PutPngChunk(out, "tRNS", s.transparency);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);
    // Two IDAT chunks, as large files have them.
    size_t half = packed.size() / 2;
    PutPngChunk(out, "IDAT", Bytes(packed.begin(), packed.begin() + half));
    PutPngChunk(out, "IDAT", Bytes(packed.begin() + half, packed.end()));
    PutPngChunk(out, "IEND", Bytes());
    return out;
}

// ---------------------------------------------------------------- JPEG

struct JpegPlan {
    int width = 8, height = 8;
    int components = 3;   // 1 grey, 3 YCbCr (4:4:4), 4 CMYK with an Adobe marker
    bool progressive = false;
    int quant = 1;        // every quantiser step
    // Component c of pixel (x, y), 0..255: grey, R/G/B (converted to YCbCr here), or the four
    // stored ink values.
    std::function<int(int x, int y, int c)> sample;
};

class JpegBitWriter {
public:
    explicit JpegBitWriter(Bytes& out) : out_(out) {}
    void Put(uint32_t bits, int count) {
        for (int i = count - 1; i >= 0; --i) {
            acc_ = static_cast<uint8_t>(acc_ << 1 | ((bits >> i) & 1));
            if (++n_ == 8) Flush8();
        }
    }
    void Finish() {
        while (n_ != 0) Put(1, 1);
    }

private:
    void Flush8() {
        out_.push_back(acc_);
        if (acc_ == 0xFF) out_.push_back(0);
        acc_ = 0;
        n_ = 0;
    }
    Bytes& out_;
    uint8_t acc_ = 0;
    int n_ = 0;
};

// The tables: all 12 DC categories with 4-bit codes, all 162 AC symbols with 8-bit codes.
inline Bytes JpegAcSymbols() {
    Bytes symbols = {0x00, 0xF0};
    for (int run = 0; run < 16; ++run)
        for (int size = 1; size <= 10; ++size) symbols.push_back(static_cast<uint8_t>(run << 4 | size));
    return symbols;
}

inline int JpegCategory(int v) {
    int n = 0;
    for (v = std::abs(v); v; v >>= 1) ++n;
    return n;
}

inline void JpegPutValue(JpegBitWriter& w, int v, int category) {
    if (category) w.Put(static_cast<uint32_t>(v < 0 ? v + (1 << category) - 1 : v), category);
}

inline const int* JpegZigzag() {
    static int zigzag[64];
    static bool made = false;
    if (!made) {
        int i = 0;
        for (int s = 0; s < 15; ++s) {
            for (int k = 0; k <= s; ++k) {
                int r = (s % 2) ? k : s - k;
                int c = s - r;
                if (r < 8 && c < 8) zigzag[i++] = r * 8 + c;
            }
        }
        made = true;
    }
    return zigzag;
}

inline Bytes MakeJpeg(const JpegPlan& s) {
    const int nc = s.components;
    int bw = (s.width + 7) / 8, bh = (s.height + 7) / 8;
    // Quantised coefficients in zigzag order, per component and block.
    std::vector<std::vector<std::array<int, 64>>> coef(nc, std::vector<std::array<int, 64>>(bw * bh));
    const double pi = 3.14159265358979323846;
    const int* zz = JpegZigzag();
    for (int by = 0; by < bh; ++by) {
        for (int bx = 0; bx < bw; ++bx) {
            double level[4][8][8];
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    int px = std::min(bx * 8 + x, s.width - 1), py = std::min(by * 8 + y, s.height - 1);
                    double v[4];
                    for (int c = 0; c < nc; ++c) v[c] = s.sample(px, py, c);
                    if (nc == 3) {
                        double r = v[0], g = v[1], b = v[2];
                        v[0] = 0.299 * r + 0.587 * g + 0.114 * b;
                        v[1] = -0.168736 * r - 0.331264 * g + 0.5 * b + 128;
                        v[2] = 0.5 * r - 0.418688 * g - 0.081312 * b + 128;
                    }
                    for (int c = 0; c < nc; ++c) level[c][y][x] = v[c] - 128;
                }
            }
            for (int c = 0; c < nc; ++c) {
                for (int k = 0; k < 64; ++k) {
                    int u = zz[k] % 8, v = zz[k] / 8;
                    double sum = 0;
                    for (int y = 0; y < 8; ++y)
                        for (int x = 0; x < 8; ++x)
                            sum += level[c][y][x] * std::cos((2 * x + 1) * u * pi / 16) *
                                   std::cos((2 * y + 1) * v * pi / 16);
                    double cu = u ? 1 : std::sqrt(0.5), cv = v ? 1 : std::sqrt(0.5);
                    coef[c][by * bw + bx][k] = static_cast<int>(std::lround(sum * cu * cv / 4 / s.quant));
                }
            }
        }
    }

    Bytes out = {0xFF, 0xD8};
    if (nc == 4) {  // Adobe marker, transform 0: inks stored inverted, no colour transform
        Bytes adobe = {0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0};
        out.insert(out.end(), adobe.begin(), adobe.end());
    }
    out.insert(out.end(), {0xFF, 0xDB, 0, 67, 0});
    for (int k = 0; k < 64; ++k) Put8(out, s.quant);
    out.insert(out.end(), {0xFF, static_cast<uint8_t>(s.progressive ? 0xC2 : 0xC0)});
    PutBe16(out, 8 + 3 * nc);
    Put8(out, 8);
    PutBe16(out, s.height);
    PutBe16(out, s.width);
    Put8(out, nc);
    for (int c = 0; c < nc; ++c) {
        Put8(out, c + 1);
        Put8(out, 0x11);
        Put8(out, 0);
    }
    Bytes ac = JpegAcSymbols();
    out.insert(out.end(), {0xFF, 0xC4});
    PutBe16(out, 2 + 17 + 12 + 17 + static_cast<unsigned>(ac.size()));
    Put8(out, 0x00);
    for (int len = 1; len <= 16; ++len) Put8(out, len == 4 ? 12 : 0);
    for (int v = 0; v < 12; ++v) Put8(out, v);
    Put8(out, 0x10);
    for (int len = 1; len <= 16; ++len) Put8(out, len == 8 ? static_cast<unsigned>(ac.size()) : 0);
    out.insert(out.end(), ac.begin(), ac.end());
    int acCode[256] = {};
    for (size_t i = 0; i < ac.size(); ++i) acCode[ac[i]] = static_cast<int>(i);

    auto putScanHeader = [&](int first, int count, int ss, int se) {
        out.insert(out.end(), {0xFF, 0xDA});
        PutBe16(out, 6 + 2 * count);
        Put8(out, count);
        for (int c = first; c < first + count; ++c) {
            Put8(out, c + 1);
            Put8(out, 0x00);
        }
        Put8(out, ss);
        Put8(out, se);
        Put8(out, 0);
    };
    auto putDc = [&](JpegBitWriter& w, int diff) {
        int cat = JpegCategory(diff);
        w.Put(static_cast<uint32_t>(cat), 4);
        JpegPutValue(w, diff, cat);
    };
    auto putAc = [&](JpegBitWriter& w, const std::array<int, 64>& block) {
        int run = 0;
        for (int k = 1; k < 64; ++k) {
            if (block[k] == 0) {
                ++run;
                continue;
            }
            while (run >= 16) {
                w.Put(static_cast<uint32_t>(acCode[0xF0]), 8);
                run -= 16;
            }
            int cat = JpegCategory(block[k]);
            w.Put(static_cast<uint32_t>(acCode[run << 4 | cat]), 8);
            JpegPutValue(w, block[k], cat);
            run = 0;
        }
        if (run > 0) w.Put(static_cast<uint32_t>(acCode[0x00]), 8);
    };

    if (!s.progressive) {
        putScanHeader(0, nc, 0, 63);
        JpegBitWriter w(out);
        std::vector<int> predictor(nc, 0);
        for (int b = 0; b < bw * bh; ++b) {
            for (int c = 0; c < nc; ++c) {
                putDc(w, coef[c][b][0] - predictor[c]);
                predictor[c] = coef[c][b][0];
                putAc(w, coef[c][b]);
            }
        }
        w.Finish();
    } else {
        putScanHeader(0, nc, 0, 0);
        {
            JpegBitWriter w(out);
            std::vector<int> predictor(nc, 0);
            for (int b = 0; b < bw * bh; ++b) {
                for (int c = 0; c < nc; ++c) {
                    putDc(w, coef[c][b][0] - predictor[c]);
                    predictor[c] = coef[c][b][0];
                }
            }
            w.Finish();
        }
        for (int c = 0; c < nc; ++c) {
            putScanHeader(c, 1, 1, 63);
            JpegBitWriter w(out);
            for (int b = 0; b < bw * bh; ++b) putAc(w, coef[c][b]);
            w.Finish();
        }
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

// ---------------------------------------------------------------- BMP

// A 24-bit BMP with rows stored bottom-up; pixel (x, y) is rgb(x, y) as 0xRRGGBB.
inline Bytes MakeBmp24(int width, int height, const std::function<uint32_t(int, int)>& rgb) {
    int rowBytes = (width * 3 + 3) / 4 * 4;
    Bytes out = {'B', 'M'};
    PutLe32(out, 54 + rowBytes * height);
    PutLe32(out, 0);
    PutLe32(out, 54);
    PutLe32(out, 40);
    PutLe32(out, static_cast<uint32_t>(width));
    PutLe32(out, static_cast<uint32_t>(height));
    PutLe16(out, 1);
    PutLe16(out, 24);
    for (int i = 0; i < 6; ++i) PutLe32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            uint32_t c = rgb(x, y);
            Put8(out, c & 255);
            Put8(out, c >> 8 & 255);
            Put8(out, c >> 16 & 255);
        }
        for (int k = width * 3; k < rowBytes; ++k) Put8(out, 0);
    }
    return out;
}

// A 32-bit BMP with a version-4 header (masks for B, G, R, A), rows stored top-down;
// pixel (x, y) is argb(x, y).
inline Bytes MakeBmp32TopDown(int width, int height, const std::function<uint32_t(int, int)>& argb) {
    Bytes out = {'B', 'M'};
    PutLe32(out, 14 + 108 + width * height * 4);
    PutLe32(out, 0);
    PutLe32(out, 14 + 108);
    PutLe32(out, 108);
    PutLe32(out, static_cast<uint32_t>(width));
    PutLe32(out, static_cast<uint32_t>(-height));
    PutLe16(out, 1);
    PutLe16(out, 32);
    PutLe32(out, 3);  // bit fields
    for (int i = 0; i < 5; ++i) PutLe32(out, 0);
    PutLe32(out, 0x00FF0000);
    PutLe32(out, 0x0000FF00);
    PutLe32(out, 0x000000FF);
    PutLe32(out, 0xFF000000);
    PutLe32(out, 0x73524742);  // 'sRGB'
    for (int i = 0; i < 12; ++i) PutLe32(out, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) PutLe32(out, argb(x, y));
    return out;
}

// An 8-bit palette BMP, bottom-up; index(x, y) picks from palette (0xRRGGBB entries).
inline Bytes MakeBmp8(int width, int height, const std::vector<uint32_t>& palette,
                      const std::function<int(int, int)>& index) {
    int rowBytes = (width + 3) / 4 * 4;
    int offset = 54 + 4 * static_cast<int>(palette.size());
    Bytes out = {'B', 'M'};
    PutLe32(out, offset + rowBytes * height);
    PutLe32(out, 0);
    PutLe32(out, offset);
    PutLe32(out, 40);
    PutLe32(out, static_cast<uint32_t>(width));
    PutLe32(out, static_cast<uint32_t>(height));
    PutLe16(out, 1);
    PutLe16(out, 8);
    PutLe32(out, 0);
    PutLe32(out, 0);
    PutLe32(out, 0);
    PutLe32(out, 0);
    PutLe32(out, static_cast<uint32_t>(palette.size()));
    PutLe32(out, 0);
    for (uint32_t c : palette) PutLe32(out, c & 0xFFFFFF);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) Put8(out, index(x, y));
        for (int k = width; k < rowBytes; ++k) Put8(out, 0);
    }
    return out;
}

// ---------------------------------------------------------------- TGA

struct TgaPlan {
    int width = 1, height = 1;
    int imageType = 2;     // 1 indexed, 2 true colour, 3 grey; +8 run-length
    int bits = 24;         // bits per stored pixel (or index)
    bool topDown = false;  // descriptor bit 5; otherwise rows are stored bottom-up
    std::vector<uint32_t> palette;  // 0xAARRGGBB, written as 24-bit B, G, R entries
    Bytes id;
    // The stored value of pixel (x, y): 0xAARRGGBB for true colour, grey level, or index.
    std::function<uint32_t(int x, int y)> value;
};

inline void PutTgaPixel(Bytes& out, uint32_t v, int bytes) {
    if (bytes == 1) {
        Put8(out, v);
        return;
    }
    Put8(out, v & 255);
    Put8(out, v >> 8 & 255);
    if (bytes >= 3) Put8(out, v >> 16 & 255);
    if (bytes == 4) Put8(out, v >> 24);
}

inline Bytes MakeTga(const TgaPlan& s) {
    bool indexed = (s.imageType & 7) == 1;
    Bytes out;
    Put8(out, static_cast<unsigned>(s.id.size()));
    Put8(out, indexed ? 1 : 0);
    Put8(out, s.imageType);
    PutLe16(out, 0);
    PutLe16(out, indexed ? static_cast<unsigned>(s.palette.size()) : 0);
    Put8(out, indexed ? 24 : 0);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, s.width);
    PutLe16(out, s.height);
    Put8(out, s.bits);
    Put8(out, (s.topDown ? 0x20 : 0) | (s.bits == 32 ? 8 : 0));
    out.insert(out.end(), s.id.begin(), s.id.end());
    if (indexed)
        for (uint32_t c : s.palette) PutTgaPixel(out, c, 3);
    int bytes = s.bits / 8;
    std::vector<uint32_t> stored;
    for (int j = 0; j < s.height; ++j) {
        int y = s.topDown ? j : s.height - 1 - j;
        for (int x = 0; x < s.width; ++x) stored.push_back(s.value(x, y));
    }
    if (s.imageType < 8) {
        for (uint32_t v : stored) PutTgaPixel(out, v, bytes);
        return out;
    }
    // Run-length: runs of equal pixels as repeat packets, the rest as raw packets (at most 128
    // pixels each, running across row ends as the format allows).
    for (size_t i = 0; i < stored.size();) {
        size_t run = 1;
        while (i + run < stored.size() && run < 128 && stored[i + run] == stored[i]) ++run;
        if (run >= 2) {
            Put8(out, static_cast<unsigned>(0x80 | (run - 1)));
            PutTgaPixel(out, stored[i], bytes);
            i += run;
        } else {
            size_t raw = 1;
            while (i + raw < stored.size() && raw < 128 &&
                   !(i + raw + 1 < stored.size() && stored[i + raw] == stored[i + raw + 1]))
                ++raw;
            Put8(out, static_cast<unsigned>(raw - 1));
            for (size_t k = 0; k < raw; ++k) PutTgaPixel(out, stored[i + k], bytes);
            i += raw;
        }
    }
    return out;
}

}  // namespace testpics
