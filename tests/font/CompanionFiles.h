// Small ".suc" and ".dat" companion files and their pictures, for the companion loaders' tests
// and their fuzz loop.
#pragma once
#include <cstring>
#include <fstream>

#include "tests/font/SyntheticStrip.h"

namespace companions {

using Bytes = std::vector<uint8_t>;

inline void PutInts(Bytes& b, std::initializer_list<int32_t> values) {
    for (int32_t v : values)
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}
inline int32_t FloatBits(float f) {
    int32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}
inline void WriteBytes(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Three 8 x 8 cells, cell i inked at (i, i); the companion of big.bold.png is big.bold.suc.
inline std::string SucoStrip() { return strips::WriteStrip("big.bold.png", 8, 8, {{{0, 0}}, {{1, 1}}, {{2, 2}}}); }
struct SucoRecord { int code, width, height; float x, y, advance; };
// "A", a line feed (skipped, using no cell), then "B" in the second cell.
const std::vector<SucoRecord> kSucoRecords = {{'A', 6, 7, 1.7f, -2.9f, 6.5f}, {10, 1, 1, 0, 0, 1}, {'B', 8, 8, 0, 8, 8}};
// `cells` cells of 8, font height 10.
inline Bytes SucoFile(const std::vector<SucoRecord>& records, int cells = 3, int spaceWidth = 5) {
    Bytes b;
    PutInts(b, {cells, 8, 10, spaceWidth});
    for (const SucoRecord& r : records) PutInts(b, {r.code, r.width, r.height, FloatBits(r.x), FloatBits(r.y), FloatBits(r.advance)});
    return b;
}

// A 20 x 6 sheet without alpha, magenta (the file's mask colour) where (x + y) % 3 == 0.
inline uint32_t SheetRgb(int x, int y) { return (x + y) % 3 ? static_cast<uint32_t>(x * 10 << 16 | y * 40 << 8 | 7) : 0xFF00FFu; }
inline std::string CandySheet() {
    TPixmapPtr pm = CreateBlankPixmap(20, 6, 4, 1);
    for (int i = 0; i < 120; ++i) WritePixmapPixel(pm, i % 20, i / 20, static_cast<int>(SheetRgb(i % 20, i / 20)));
    EncodePixmapToPngFile(pm, strips::TempDir() + "/sheet.png", 1);
    return strips::TempDir() + "/sheet.png";
}
// Mask magenta, count, font height 5, space width 4; "x" at (2, 1) 4 wide, "y" at (10, 0) 5
// wide, then `more`.
inline Bytes CandyFile(int count, std::initializer_list<int32_t> more = {}) {
    Bytes b;
    PutInts(b, {7, 7, 255, 0, 255, count, 5, 4, 0, 'x', 2, 1, 4, 'y', 10, 0, 5});
    PutInts(b, more);
    return b;
}

}  // namespace companions
