// Hostile puzzle files: the configuration loop's mutations applied to the lines behind the PNG of
// files the game saved itself. Every case is restored into a game that play can go on with, or
// refused with the game exactly as it was; none may crash, hang or allocate without bound.
#include <gtest/gtest.h>

#include "core/puzzle/PuzzleFile.h"
#include "tests/core/GameState.h"
#include "tests/fuzz/StateMutator.h"

using namespace gamestate;
using namespace statefuzz;

namespace {

const int kShards = 4;
const int kCasesPerShard = 1000;

struct PuzzleSeed {
    std::string png;                 // the bytes up to the text part
    std::vector<std::string> lines;  // the text part, from its empty first line on
};

class PuzzleFileFuzz : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        Start(300, 225);
        const std::string p1 = WritePicture("p1.png", 240, 180), p2 = WritePicture("p2.png", 135, 180);
        const std::vector<std::string> groups[] = {{",0/0,1/0,"}, {"", ""}, {",9/9,8/9,", ""}};
        const std::pair<std::string, int> puzzles[] = {{p1, 0}, {p2, 3}, {p1, 23}};
        for (int k = 0; k < 3; ++k) {
            CutPuzzle(puzzles[k].first, puzzles[k].second);
            CurrentPuzzle->Verbund = groups[k];
            CurrentPuzzle->fertig = static_cast<uint8_t>(k);
            if (k == 1)  // 3 x 4, all in one group
                CurrentPuzzle->Verbund[0] = ",0/0,0/1,0/2,0/3,1/0,1/1,1/2,1/3,2/0,2/1,2/2,2/3,";
            const std::string path = Home() + "/seed" + std::to_string(k) + ".png";
            UseScriptedDialogs({path});
            SavePuzzleFile();
            const std::string bytes = ReadText(path);
            const size_t end = bytes.find("\r\nAdded PlarnPuzzle-Datas:\r\n");
            ASSERT_NE(end, std::string::npos);
            PuzzleSeed seed{bytes.substr(0, end), {}};
            for (size_t at = end; at < bytes.size();) {
                const size_t next = bytes.find("\r\n", at);
                seed.lines.push_back(bytes.substr(at, next - at));
                at = next + 2;
            }
            seeds_.push_back(seed);
        }
        // Every seed is itself a file the game opens.
        for (const PuzzleSeed& seed : seeds_) {
            WriteText(Home() + "/case.png", seed.png + Mutator::Join(seed.lines));
            UseScriptedDialogs({Home() + "/case.png"});
            ASSERT_EQ(OpenPuzzleFile(), 1);
        }
    }
    std::vector<PuzzleSeed> seeds_;
};

}  // namespace

TEST_P(PuzzleFileFuzz, EveryMutatedFileOpensCleanlyOrLeavesTheGameAsItWas) {
    Mutator mutate(static_cast<unsigned>(815 + GetParam()));
    const std::string path = Home() + "/case.png";
    int opened = 0;
    for (int n = 0; n < kCasesPerShard; ++n) {
        SCOPED_TRACE("case " + std::to_string(n));
        const PuzzleSeed& seed = seeds_[static_cast<size_t>(mutate.Below(static_cast<int>(seeds_.size())))];
        const std::string text = seed.png + mutate.Mutate(seed.lines);
        WriteText(path, text);
        const std::vector<std::string> before = Snapshot();
        // A picture that cannot be found is not searched for.
        UseScriptedDialogs({path, "0"});
        if (OpenPuzzleFile() == 1) {
            ++opened;
            ExpectPlayableGame(true);
            // What was opened saves as a file that opens again.
            UseScriptedDialogs({Home() + "/again.png"});
            SavePuzzleFile();
            UseScriptedDialogs({Home() + "/again.png"});
            EXPECT_EQ(OpenPuzzleFile(), 1);
        } else {
            EXPECT_EQ(Snapshot(), before);
        }
        if (HasFailure()) {
            WriteText(Home() + "/../plarn_puzzlefile_failure.png", text);
            FAIL() << "the file is kept in /tmp/plarn_puzzlefile_failure.png";
        }
    }
    std::printf("opened %d of %d\n", opened, kCasesPerShard);
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, kCasesPerShard);
}

INSTANTIATE_TEST_SUITE_P(Shards, PuzzleFileFuzz, ::testing::Range(0, kShards));
