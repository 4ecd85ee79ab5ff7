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
#include "tests/fuzz/StateMutator.h"

using namespace gamestate;
using namespace statefuzz;

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

// What every load must leave behind, whatever the file held.
void ExpectPlayableState(uint8_t code) {
    ASSERT_LE(code, 3);
    if (code != 1) {
        EXPECT_FALSE(CurrentPuzzle->Bild);
    }
    if (code == 0) {
        EXPECT_EQ(ImagePaths[0], "incbin::medien/Reihe1/Rose.jpg");
    }
    ExpectPlayableGame(code == 1);
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
        RemoveFile(IniPath() + ".unused");  // kept aside by the case before: this is a first start again
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
