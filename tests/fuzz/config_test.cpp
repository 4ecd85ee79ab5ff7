// Hostile configuration files: a deterministic mutation loop over valid files (truncations, huge
// counts, infinities, bad orders, bad group tokens, binary junk, lines lost or repeated). Every case
// must be restored cleanly or refused as a whole, leaving a state the game can go on with; none
// may crash, hang or allocate without bound. Run in 8 shards of 1250 cases so ctest can spread
// them.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/Configuration.h"
#include "core/layer/Numbers.h"
#include "tests/core/GameState.h"

using namespace gamestate;

namespace {

const int kShards = 8;
const int kCasesPerShard = 1250;
const int kWindowW = 300, kWindowH = 225;

struct Seed {
    int C, R;                 // the puzzle's grid (0 x 0: none)
    std::string picture;      // line 13
    int picW, picH;
    std::string preview;      // line 14
    int prevW, prevH;
    int c, r;                 // the grid preview
    std::vector<std::string> groups;
    int fertig;
    int slider;
};

// A valid file for a seed, in the game's own number format.
std::vector<std::string> Build(const Seed& s) {
    std::vector<std::string> l;
    auto i2s = [&](int v) { l.push_back(IntToString(v)); };
    auto f2s = [&](float v) { l.push_back(FloatToString(v)); };
    auto corners = [&](int cols, int rows, int w, int h) {
        for (int i = 0; i <= cols; ++i)
            for (int j = 0; j <= rows; ++j) {
                // Inner corners moved a little, border corners on the border.
                float jx = (i > 0 && i < cols) ? static_cast<float>((i * 7 + j * 3) % 5 - 2) : 0.0f;
                float jy = (j > 0 && j < rows) ? static_cast<float>((i * 3 + j * 5) % 5 - 2) : 0.0f;
                f2s(static_cast<float>(i * w) / cols + jx);
                f2s(static_cast<float>(j * h) / rows + jy);
            }
    };
    i2s(kWindowW);
    i2s(kWindowH);
    i2s(s.slider);
    i2s(s.C > 0 ? s.C * s.R : 12);
    i2s(s.c * s.r);
    i2s(s.C);
    i2s(s.c);
    i2s(s.R);
    i2s(s.r);
    for (int k = 0; k < s.C * s.R; ++k) i2s(s.C * s.R - 1 - k);
    for (int k = 0; k < s.c * s.r; ++k) i2s((k + 1) % (s.c * s.r));
    if (s.C > 0) corners(s.C, s.R, s.picW, s.picH);
    l.push_back(s.picture);
    l.push_back(s.preview);
    for (int i = 0; i < s.C; ++i)
        for (int j = 0; j < s.R; ++j) {
            f2s(20.5f + 13 * i + 7 * j);
            f2s(15.25f + 5 * i + 11 * j);
            f2s(static_cast<float>((i * 37 + j * 11) % 360) + 0.5f);
        }
    corners(s.c, s.r, s.prevW, s.prevH);
    i2s(static_cast<int>(s.groups.size()));
    for (const std::string& g : s.groups) l.push_back(g);
    i2s(s.fertig);
    return l;
}

std::string AllTokens(int C, int R) {
    std::string g = ",";
    for (int i = 0; i < C; ++i)
        for (int j = 0; j < R; ++j) g += std::to_string(i) + "/" + std::to_string(j) + ",";
    return g;
}

const char* const kHostile[] = {"", "-1", "0", "1", "11", "100", "101", "2147483647", "-2147483648",
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

    static std::string Join(const std::vector<std::string>& lines) {
        std::string t;
        for (const std::string& l : lines) t += l + "\r\n";
        return t;
    }

private:
    std::mt19937 random_;
};

bool IsPermutation(const std::vector<int>& v) {
    std::vector<bool> seen(v.size(), false);
    for (int x : v) {
        if (x < 0 || x >= static_cast<int>(v.size()) || seen[static_cast<size_t>(x)]) return false;
        seen[static_cast<size_t>(x)] = true;
    }
    return true;
}

// Group strings as play writes them: "," then tokens "i/j," of pieces on the grid, no piece in
// two places; or empty.
bool GroupsSound(const std::vector<std::string>& groups, int C, int R) {
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

// What every load must leave behind, whatever the file held.
void ExpectPlayableState(uint8_t code) {
    ASSERT_LE(code, 3);
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
    const TPuzzle& P = *CurrentPuzzle;
    if (code != 1) {
        EXPECT_FALSE(P.Bild);
        if (code == 0) {
            EXPECT_EQ(ImagePaths[0], "incbin::medien/Reihe1/Rose.jpg");
        }
        return;
    }
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

class ConfigFuzz : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        // Every refused file brings the default picture back. A small stand-in, registered under
        // its name before the game's media, keeps that quick; the loading is the same.
        static std::vector<uint8_t> rose;
        if (rose.empty()) {
            ASSERT_TRUE(ReadWholeSource(WritePicture("rose.png", 240, 180), rose));
            ASSERT_EQ(RegisterEmbeddedFile("medien/Reihe1/Rose.jpg", rose.data(), rose.size()), 1);
        }
        Start(kWindowW, kWindowH);
        const std::string p1 = WritePicture("p1.png", 240, 180), p2 = WritePicture("p2.png", 135, 180);
        seeds_ = {
            Build({2, 2, p1, 240, 180, p1, 240, 180, 6, 4, {",0/0,1/0,"}, 0, 7}),
            Build({10, 10, p1, 240, 180, p2, 135, 180, 4, 6, {",3/4,3/5,4/5,", "", ",9/9,8/9,"}, 0, 23}),
            Build({0, 0, "", 0, 0, p1, 240, 180, 3, 3, {}, 0, 2}),
            Build({3, 4, p2, 135, 180, p2, 135, 180, 3, 4, {AllTokens(3, 4), ""}, 2, 3}),
        };
        // Every seed is itself a file the game takes.
        for (size_t k = 0; k < seeds_.size(); ++k) {
            FreshObjects();
            WriteText(IniPath(), Mutator::Join(seeds_[k]));
            OpenAsStartUpDoes();
            ASSERT_EQ(LoadConfiguration(), k == 2 ? 3 : 1) << "seed " << k;
        }
    }
    std::vector<std::vector<std::string>> seeds_;
};

}  // namespace

TEST_P(ConfigFuzz, EveryMutatedFileLoadsCleanlyOrIsRefused) {
    Mutator mutate(static_cast<unsigned>(4711 + GetParam()));
    int codes[4] = {0, 0, 0, 0};
    for (int n = 0; n < kCasesPerShard; ++n) {
        SCOPED_TRACE("case " + std::to_string(n));
        const std::string text = mutate.Mutate(seeds_[static_cast<size_t>(mutate.Below(static_cast<int>(seeds_.size())))]);
        FreshObjects();
        UseScriptedDialogs({});
        WriteText(IniPath(), text);
        OpenAsStartUpDoes(1920, 1080);
        const uint8_t code = LoadConfiguration();
        ExpectPlayableState(code);
        if (HasFatalFailure() || HasFailure()) {
            WriteText(Home() + "/../plarn_config_failure.ini", text);
            FAIL() << "the file is kept in /tmp/plarn_config_failure.ini";
        }
        ++codes[code <= 3 ? code : 0];
        // The game never writes a file that it would refuse itself, and a restored puzzle is
        // restored again from what it writes.
        if (n % 8 == 0) {
            SaveConfiguration();
            FreshObjects();
            OpenAsStartUpDoes(1920, 1080);
            const uint8_t again = LoadConfiguration();
            EXPECT_NE(again, 0);
            if (code == 1) {
                EXPECT_EQ(again, 1);
            }
            ExpectPlayableState(again);
        }
    }
    std::printf("codes 0/1/2/3: %d %d %d %d\n", codes[0], codes[1], codes[2], codes[3]);
    // The loop reaches every outcome, not only refusals.
    EXPECT_GT(codes[0], 0);
    EXPECT_GT(codes[1], 0);
    EXPECT_GT(codes[3], 0);
}

INSTANTIATE_TEST_SUITE_P(Shards, ConfigFuzz, ::testing::Range(0, kShards));
