// The 24 piece counts the player can choose, with the smaller side of each one's grid, written
// out once by hand so that the tests hold the game's own table against them.
#pragma once

namespace piececounts {
constexpr int kSum[24] = {4, 6, 9, 12, 15, 16, 20, 24, 25, 30, 35, 36, 42, 48, 49, 54, 56, 63, 64, 72, 80, 81, 90, 100};
constexpr int kFactor[24] = {2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 6, 7, 7, 8, 8, 8, 9, 9, 10};
}  // namespace piececounts
