// The PNG part of a saved puzzle is the board as play shows it, and the board is not left on the
// back buffer for the menu to present.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/puzzle/PuzzleFile.h"
#include "tests/core/GameState.h"
#include "PuzzleWindow.h"

using namespace gamestate;

namespace {
// Channel by channel within a little filtering.
bool Near(int a, int b) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs((a >> shift & 255) - (b >> shift & 255)) > 12) return false;
    return true;
}
}  // namespace

TEST(PuzzleFileX, ThePngIsTheBoard) {
    Home();
    OpenPuzzleWindow();
    FreshObjects();
    // A picture whose channels change slowly, so filtering moves them only a little.
    TPixmapPtr source = CreateBlankPixmap(640, 480, 4, 4);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) WritePixmapPixel(source, x, y, static_cast<int>(0xFF000080u | (x / 3) << 16 | (y / 2) << 8));
    const std::string picture = Home() + "/p.png";
    EncodePixmapToPngFile(source, picture, 1);
    CutPuzzle(picture, 0);
    TPuzzle& P = *CurrentPuzzle;
    // Piece (0, 0) upright away from everything else; the rest piled at the right.
    for (int k = 1; k < 4; ++k) {
        P.Puzzleteil_X(k / 2, k % 2) = 1000;
        P.Puzzleteil_Y(k / 2, k % 2) = 450;
    }
    P.Puzzleteil_X(0, 0) = 200;
    P.Puzzleteil_Y(0, 0) = 700;
    P.Puzzleteil_Drehwinkel(0, 0) = 0;
    UseScriptedDialogs({Home() + "/board"});
    SavePuzzleFile();
    const std::string bytes = ReadText(Home() + "/board.png");
    TPixmapPtr png = DecodePixmapFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width * 10000 + png->height, 1200 * 10000 + 900);
    // The piece's centre shows the picture's pixel at the piece's own centre.
    const int centre = ReadPixmapPixel(source, TruncateToInt(P.Ziel_X(0, 0)) - 280, TruncateToInt(P.Ziel_Y(0, 0)) - 210);
    EXPECT_TRUE(Near(ReadPixmapPixel(png, 200, 700), centre)) << std::hex << ReadPixmapPixel(png, 200, 700);
    // The backdrop around it, and nothing of the board left to be presented.
    TPixmapPtr after = CaptureScreenToPixmap(0, 0, 1200, 900);
    EXPECT_EQ(ReadPixmapPixel(png, 40, 40), ReadPixmapPixel(after, 40, 40));
    EXPECT_FALSE(Near(ReadPixmapPixel(after, 200, 700), centre));
    EncodePixmapToPngFile(png, std::string(PLARN_BINARY_DIR) + "/puzzlefile_board.png", 6);
}
