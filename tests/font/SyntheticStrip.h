// Small glyph strips written to a temporary PNG, with the ink of each cell where a test puts it.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/layer/Pixmaps.h"

namespace strips {

// One cell's ink: the pixels (column, row) to make visible, each with its alpha.
struct Ink {
    int x, y;
    unsigned alpha = 255;
};

// A temporary directory of the test process (lower-case path, as the font's existence test wants).
inline std::string TempDir() {
    static std::string dir = [] {
        std::string d = "/tmp/plarn_font_" + std::to_string(getpid());
        mkdir(d.c_str(), 0700);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all("/tmp/plarn_font_" + std::to_string(getpid()), ignored);
        });
        return d;
    }();
    return dir;
}

// A one-row strip of cells of cellW x cellH; cells[i] is the ink of cell i. Pixels without ink
// are fully transparent but coloured, so a crop that looked at colour instead of alpha shows.
inline std::string WriteStrip(const std::string& name, int cellW, int cellH,
                              const std::vector<std::vector<Ink>>& cells) {
    const int n = static_cast<int>(cells.size());
    TPixmapPtr pm = CreateBlankPixmap(cellW * n, cellH, 6, 4);
    for (int y = 0; y < cellH; ++y)
        for (int x = 0; x < cellW * n; ++x) WritePixmapPixel(pm, x, y, 0x00FFFFFF);
    for (int i = 0; i < n; ++i)
        for (const Ink& p : cells[i])
            WritePixmapPixel(pm, i * cellW + p.x, p.y, static_cast<int>((p.alpha << 24) | 0xFFFFFFu));
    std::string path = TempDir() + "/" + name;
    EncodePixmapToPngFile(pm, path, 1);
    return path;
}

// A cell with ink across columns from..to (inclusive) in one row.
inline std::vector<Ink> Span(int from, int to, int row) {
    std::vector<Ink> ink;
    for (int x = from; x <= to; ++x) ink.push_back({x, row});
    return ink;
}

}  // namespace strips
