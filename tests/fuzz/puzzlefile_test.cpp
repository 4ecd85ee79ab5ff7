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
const char kMarker[] = "\r\nAdded PlarnPuzzle-Datas:\r\n";

int OpenFile(const std::string& path, const std::string& text) {
    WriteText(path, text);
    UseScriptedDialogs({path, "0"});  // a picture that cannot be found is not searched for
    return OpenPuzzleFile();
}

class PuzzleFileFuzz : public ::testing::TestWithParam<int> {
protected:
    // Saved by the game: 2 x 2 with a group, 3 x 4 all in one group and finished, 10 x 10.
    void SetUp() override {
        Start(300, 225);
        const std::string p1 = WritePicture("p1.png", 240, 180), p2 = WritePicture("p2.png", 135, 180);
        const std::pair<std::string, int> puzzles[] = {{p1, 0}, {p2, 3}, {p1, 23}};
        const std::vector<std::string> groups[] = {
            {",0/0,1/0,"}, {",0/0,0/1,0/2,0/3,1/0,1/1,1/2,1/3,2/0,2/1,2/2,2/3,", ""}, {",9/9,8/9,", ""}};
        for (int k = 0; k < 3; ++k) {
            CutPuzzle(puzzles[k].first, puzzles[k].second);
            CurrentPuzzle->Verbund = groups[k];
            CurrentPuzzle->fertig = static_cast<uint8_t>(k);
            UseScriptedDialogs({Home() + "/seed.png"});
            SavePuzzleFile();
            const std::string bytes = ReadText(Home() + "/seed.png");
            const size_t end = bytes.find(kMarker);
            ASSERT_NE(end, std::string::npos);
            png_.push_back(bytes.substr(0, end));
            lines_.emplace_back();
            for (size_t at = end, next; at < bytes.size(); at = next + 2)
                lines_.back().push_back(bytes.substr(at, (next = bytes.find("\r\n", at)) - at));
            ASSERT_EQ(OpenFile(Home() + "/case.png", png_[k] + Mutator::Join(lines_[k])), 1);  // sound
        }
    }
    std::vector<std::string> png_;
    std::vector<std::vector<std::string>> lines_;
};

}  // namespace

TEST_P(PuzzleFileFuzz, EveryMutatedFileOpensCleanlyOrLeavesTheGameAsItWas) {
    Mutator mutate(static_cast<unsigned>(815 + GetParam()));
    int opened = 0;
    for (int n = 0; n < kCasesPerShard; ++n) {
        SCOPED_TRACE("case " + std::to_string(n));
        const size_t k = static_cast<size_t>(mutate.Below(3));
        // Every fourth file is damaged for certain (after the picture's path): never opened.
        const bool damaged = n % 4 == 0;
        const std::string text = png_[k] + (damaged ? mutate.Damage(lines_[k], 3) : mutate.Mutate(lines_[k]));
        const std::vector<std::string> before = Snapshot();
        if (OpenFile(Home() + "/case.png", text) == 1) {
            ++opened;
            EXPECT_FALSE(damaged);
            ExpectPlayableGame(true);
            // What was opened saves as a file that opens again.
            UseScriptedDialogs({Home() + "/again.png"});
            SavePuzzleFile();
            EXPECT_EQ(OpenFile(Home() + "/again.png", ReadText(Home() + "/again.png")), 1);
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
