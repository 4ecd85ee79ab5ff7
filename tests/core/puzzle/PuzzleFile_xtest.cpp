// The PNG part of a saved puzzle is the board as play shows it, and the board is not left on the
// back buffer for the menu to present.
#include <gtest/gtest.h>

#include "core/puzzle/PuzzleFile.h"
#include "tests/core/GameState.h"
#include "PuzzleWindow.h"

using namespace gamestate;

TEST(PuzzleFileX, ThePngIsTheBoard) {
    Home();
    OpenPuzzleWindow();
    FreshObjects();
    // A picture whose channels change slowly, so filtering moves them only a little.
    TPixmapPtr source = CreateBlankPixmap(640, 480, 4, 4);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) WritePixmapPixel(source, x, y, static_cast<int>(0xFF000080u | (x / 3) << 16 | (y / 2) << 8));
    EncodePixmapToPngFile(source, Home() + "/p.png", 1);
    CutPuzzle(Home() + "/p.png", 0);
    // Piece (0, 0) upright at (200, 700), the others piled at the right.
    TPuzzle& P = *CurrentPuzzle;
    P.Puzzleteil_X = Grid2<float>(2, 2, 1000);
    P.Puzzleteil_Y = Grid2<float>(2, 2, 450);
    P.Puzzleteil_X(0, 0) = 200;
    P.Puzzleteil_Y(0, 0) = 700;
    P.Puzzleteil_Drehwinkel(0, 0) = 0;
    UseScriptedDialogs({Home() + "/board"});
    SavePuzzleFile();
    TPixmapPtr png = LoadPixmapFromSource(Home() + "/board.png");
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width * 10000 + png->height, 1200 * 10000 + 900);
    // The piece's centre shows the picture at the piece's own centre (the picture lies centred
    // in the window when solved); nothing of the board stays on the back buffer.
    const int centre = ReadPixmapPixel(source, TruncateToInt(P.Ziel_X(0, 0)) - 280, TruncateToInt(P.Ziel_Y(0, 0)) - 210);
    TPixmapPtr after = CaptureScreenToPixmap(0, 0, 1200, 900);
    for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR(ReadPixmapPixel(png, 200, 700) >> shift & 255, centre >> shift & 255, 12);
    EXPECT_EQ(ReadPixmapPixel(png, 40, 40), ReadPixmapPixel(after, 40, 40));  // the backdrop
    EXPECT_NE(ReadPixmapPixel(after, 200, 700), ReadPixmapPixel(png, 200, 700));
    EncodePixmapToPngFile(png, std::string(PLARN_BINARY_DIR) + "/puzzlefile_board.png", 6);
}
