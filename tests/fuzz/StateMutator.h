// The machinery of the mutation loops over the game's state files (the configuration file and
// the puzzle file): a deterministic mutator of text lines and the checks that whatever was
// loaded leaves a game that play can go on with.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/Globals.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"

namespace statefuzz {

inline const char* const kHostile[] = {"", "-1", "0", "1", "11", "100", "101", "2147483647", "-2147483648",
                                "99999999999999", "1e39", "-1e39", "3e7", "nan", "inf", "-inf", "$FFFFFFFF",
                                "%1010", "3.5", "-0", "  7", "7 junk", ",", ",9/9,", ",0/0,0/0,", ",0/0", "0/0,",
                                ",a/b,", ",0/0,,", ",-1/0,", "incbin::medien/nothing.jpg", "incbin::medien",
                                "/", "/dev/zero", "/tmp", "\x01\x02\x7f\xff"};

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}
    int Below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string Mutate(std::vector<std::string> lines) {
        int steps = 1 + Below(3);
        std::string bytes;
        bool joined = false;
        for (int s = 0; s < steps; ++s) {
            int n = static_cast<int>(lines.size());
            switch (Below(joined ? 3 : 11)) {
                case 0:  // truncate anywhere
                    if (!joined) bytes = Join(lines), joined = true;
                    bytes.resize(static_cast<size_t>(Below(static_cast<int>(bytes.size()) + 1)));
                    break;
                case 1:  // flip bytes
                    if (!joined) bytes = Join(lines), joined = true;
                    for (int k = 0, m = 1 + Below(8); k < m && !bytes.empty(); ++k)
                        bytes[static_cast<size_t>(Below(static_cast<int>(bytes.size())))] = static_cast<char>(Below(256));
                    break;
                case 2: {  // insert binary junk (NULs and CRs included)
                    if (!joined) bytes = Join(lines), joined = true;
                    std::string junk;
                    for (int k = 0, m = 1 + Below(40); k < m; ++k) junk += static_cast<char>(Below(256));
                    bytes.insert(static_cast<size_t>(Below(static_cast<int>(bytes.size()) + 1)), junk);
                    break;
                }
                case 3:
                case 4:  // a hostile value in a line
                    lines[static_cast<size_t>(Below(n))] = kHostile[Below(sizeof kHostile / sizeof *kHostile)];
                    break;
                case 5: {  // a number a little off: sums, orders and counts that almost fit
                    std::string& line = lines[static_cast<size_t>(Below(n))];
                    line = IntToString(StringToInt(line) + (Below(2) ? 1 : -1));
                    break;
                }
                case 6:  // a line lost
                    if (n > 1) lines.erase(lines.begin() + Below(n));
                    break;
                case 7:  // a line repeated
                    lines.insert(lines.begin() + Below(n), lines[static_cast<size_t>(Below(n))]);
                    break;
                case 8:  // two lines swapped
                    std::swap(lines[static_cast<size_t>(Below(n))], lines[static_cast<size_t>(Below(n))]);
                    break;
                case 9: {  // a group string bent: a digit changed, a token added or a character lost
                    std::vector<size_t> groups;
                    for (size_t k = 0; k < lines.size(); ++k)
                        if (lines[k].find('/') != std::string::npos) groups.push_back(k);
                    if (groups.empty()) break;
                    std::string& g = lines[groups[static_cast<size_t>(Below(static_cast<int>(groups.size())))]];
                    int how = Below(3);
                    if (how == 0) {
                        size_t at = static_cast<size_t>(Below(static_cast<int>(g.size())));
                        if (g[at] >= '0' && g[at] <= '9') g[at] = static_cast<char>('0' + Below(10));
                    } else if (how == 1) {
                        g += std::to_string(Below(10)) + "/" + std::to_string(Below(10)) + ",";
                    } else if (!g.empty()) {
                        g.erase(static_cast<size_t>(Below(static_cast<int>(g.size()))), 1);
                    }
                    break;
                }
                default: {  // a large number, of any size from 10^2 to 10^9
                    double v = std::pow(10.0, 2 + 7 * std::uniform_real_distribution<double>(0, 1)(random_));
                    lines[static_cast<size_t>(Below(n))] = std::to_string(static_cast<long long>(v));
                    break;
                }
            }
        }
        return joined ? bytes : Join(lines);
    }

    // Damage a reader of whole files must refuse, from line `first` on: "nan" or "inf" in a line
    // written with a point (a float), or the text cut off short of its last line.
    std::string Damage(std::vector<std::string> lines, size_t first) {
        const size_t k = first + static_cast<size_t>(Below(static_cast<int>(lines.size() - first)));
        if (lines[k].find('.') != std::string::npos && Below(2)) {
            lines[k] = Below(2) ? "nan" : "-Infinity";
            return Join(lines);
        }
        // The last line, the finished flag, is one character.
        const std::string whole = Join(lines);
        const int from = static_cast<int>(Join({lines.begin(), lines.begin() + static_cast<long>(first)}).size());
        return whole.substr(0, static_cast<size_t>(from + Below(static_cast<int>(whole.size()) - 2 - from)));
    }

    static std::string Join(const std::vector<std::string>& lines) {
        std::string t;
        for (const std::string& l : lines) t += l + "\r\n";
        return t;
    }

private:
    std::mt19937 random_;
};

inline bool IsPermutation(const std::vector<int>& v) {
    std::vector<bool> seen(v.size(), false);
    for (int x : v) {
        if (x < 0 || x >= static_cast<int>(v.size()) || seen[static_cast<size_t>(x)]) return false;
        seen[static_cast<size_t>(x)] = true;
    }
    return true;
}

// Group strings as play writes them: "," then tokens "i/j," of pieces on the grid, no piece in
// two places; or empty.
inline bool GroupsSound(const std::vector<std::string>& groups, int C, int R) {
    std::vector<int> count(static_cast<size_t>(C * R), 0);
    for (const std::string& g : groups) {
        if (g.empty()) continue;
        if (g[0] != ',' || (g.size() - 1) % 4 != 0 || g.size() < 5) return false;
        for (size_t p = 1; p < g.size(); p += 4) {
            int i = g[p] - '0', j = g[p + 2] - '0';
            if (g[p + 1] != '/' || g[p + 3] != ',' || i < 0 || i >= C || j < 0 || j >= R) return false;
            if (++count[static_cast<size_t>(i * R + j)] > 1) return false;
        }
    }
    return true;
}

// What every load must leave behind, whatever the file held; with restored, a puzzle restored
// from it that play can go on with.
inline void ExpectPlayableGame(bool restored) {
    const float v = Sliders[0]->Value;
    EXPECT_TRUE(v >= 0 && v <= kPieceSliderMaximum) << v;
    ASSERT_FALSE(ImagePaths[0].empty());
    ASSERT_TRUE(ImagePreview->Image);
    const TGitterPreview& G = *GridPreview;
    ASSERT_TRUE(G.Spalten >= 1 && G.Spalten <= 10 && G.Reihen >= 1 && G.Reihen <= 10);
    EXPECT_EQ(G.Summe, G.Spalten * G.Reihen);
    ASSERT_EQ(static_cast<int>(G.Reihenfolge->size()), G.Summe);
    EXPECT_TRUE(IsPermutation(*G.Reihenfolge));
    const float w = static_cast<float>(GetImageWidth(ImagePreview->Image));
    const float h = static_cast<float>(GetImageHeight(ImagePreview->Image));
    for (int i = 0; i <= G.Spalten; ++i)
        for (int j = 0; j <= G.Reihen; ++j)
            ASSERT_TRUE(G.x(i, j) >= -32 && G.x(i, j) <= w + 32 && G.y(i, j) >= -32 && G.y(i, j) <= h + 32);
    if (!restored) return;
    const TPuzzle& P = *CurrentPuzzle;
    ASSERT_TRUE(P.Bild);
    ASSERT_TRUE(P.Spalten >= 1 && P.Spalten <= 10 && P.Reihen >= 1 && P.Reihen <= 10);
    EXPECT_EQ(P.Summe, P.Spalten * P.Reihen);
    ASSERT_EQ(static_cast<int>(P.Reihenfolge->size()), P.Summe);
    EXPECT_TRUE(IsPermutation(*P.Reihenfolge));
    // The puzzle was cut along a grid that lies on its picture.
    const float pw = static_cast<float>(GetImageWidth(P.Bild)), ph = static_cast<float>(GetImageHeight(P.Bild));
    for (int i = 0; i <= P.Spalten; ++i)
        for (int j = 0; j <= P.Reihen; ++j)
            ASSERT_TRUE(P.x(i, j) >= -32 && P.x(i, j) <= pw + 32 && P.y(i, j) >= -32 && P.y(i, j) <= ph + 32);
    ASSERT_EQ(P.Puzzleteil_X.Cols(), P.Spalten);
    ASSERT_EQ(P.Puzzleteil_X.Rows(), P.Reihen);
    for (int i = 0; i < P.Spalten; ++i)
        for (int j = 0; j < P.Reihen; ++j) {
            ASSERT_TRUE(P.Puzzleteil(i, j));
            ASSERT_TRUE(std::isfinite(P.Puzzleteil_X(i, j)) && std::isfinite(P.Puzzleteil_Y(i, j)) &&
                        std::isfinite(P.Puzzleteil_Drehwinkel(i, j)));
        }
    EXPECT_TRUE(GroupsSound(P.Verbund, P.Spalten, P.Reihen));
    EXPECT_LE(P.fertig, 2);
    // Play goes on with it: a frame of drawing and picking over the restored pieces.
    CurrentPuzzle->verwenden();
}

}  // namespace statefuzz
