// The built-in pictures: which photograph each thumbnail of the two picture bars stands for, and
// choosing one for the preview.
#include <gtest/gtest.h>

#include <set>

#include "core/PictureCatalogue.h"
#include "tests/core/GameState.h"

using namespace gamestate;

TEST(PictureCatalogue, EachThumbnailNamesItsPhotograph) {
    EXPECT_EQ(BuiltInMotivePath(1, 0), "incbin::medien/Reihe1/Rose.jpg");
    EXPECT_EQ(BuiltInMotivePath(1, 3), "incbin::medien/Reihe1/Nebellandschaft.jpg");
    EXPECT_EQ(BuiltInMotivePath(1, 14), "incbin::medien/Reihe1/Loewe.jpg");
    EXPECT_EQ(BuiltInMotivePath(2, 0), "incbin::medien/Reihe1/Matterhorn.jpg");
    EXPECT_EQ(BuiltInMotivePath(2, 7), "incbin::medien/Reihe1/Berlin.jpg");
    EXPECT_EQ(BuiltInMotivePath(2, 12), "incbin::medien/Reihe1/VolvoAmazon.jpg");
    // Index 15 and any index outside 0..14 give each series' last picture.
    EXPECT_EQ(BuiltInMotivePath(1, 15), "incbin::medien/Reihe1/Elefant.jpg");
    EXPECT_EQ(BuiltInMotivePath(1, -1), "incbin::medien/Reihe1/Elefant.jpg");
    EXPECT_EQ(BuiltInMotivePath(2, 15), "incbin::medien/Reihe1/Kraene.jpg");
    EXPECT_EQ(BuiltInMotivePath(2, 16), "incbin::medien/Reihe1/Kraene.jpg");
    EXPECT_EQ(BuiltInMotivePath(3, 0), "");
    EXPECT_EQ(BuiltInMotivePath(0, 0), "");
    // The 32 entries are 32 different photographs, each linked into the game.
    RegisterEmbeddedMedia();
    std::set<std::string> names;
    for (int row = 1; row <= 2; ++row)
        for (int index = 0; index < 16; ++index) {
            const std::string path = BuiltInMotivePath(row, index);
            names.insert(path);
            const uint8_t* bytes = nullptr;
            size_t size = 0;
            EXPECT_TRUE(FindEmbeddedFile(path, bytes, size)) << path;
        }
    EXPECT_EQ(names.size(), 32u);
}

TEST(PictureCatalogue, ChoosingAThumbnailShowsItsPictureWithAFreshGrid) {
    Start();
    ImagePaths[1] = "the puzzle's own picture";
    SelectBuiltInMotive(1, 1);
    EXPECT_EQ(ImagePaths[0], "incbin::medien/Reihe1/Biene.jpg");
    EXPECT_EQ(ImagePaths[1], "the puzzle's own picture");
    // 1200 x 900 fitted into 0.8 of the 1200 x 900 window.
    ASSERT_TRUE(ImagePreview->Image);
    EXPECT_EQ(GetImageWidth(ImagePreview->Image), 960);
    EXPECT_EQ(GetImageHeight(ImagePreview->Image), 720);
    EXPECT_EQ(ImagePreview->OriginalImageWidth, 1200);
    // The slider's 7.5 is index 7: 24 pieces, 4 rows on the landscape picture.
    EXPECT_EQ(GridPreview->Summe, 24);
    EXPECT_EQ(GridPreview->Spalten, 6);
    EXPECT_EQ(GridPreview->x(6, 2), 960);
    const Grid2<float> first = GridPreview->x;
    // The same thumbnail again: the same picture, new random corners.
    SelectBuiltInMotive(1, 1);
    EXPECT_EQ(ImagePaths[0], "incbin::medien/Reihe1/Biene.jpg");
    bool moved = false;
    for (int i = 1; i < 6; ++i)
        for (int j = 0; j <= 4; ++j) moved = moved || GridPreview->x(i, j) != first(i, j);
    EXPECT_TRUE(moved);
    // Another row keeps the picture but still computes a grid, for the slider's count now.
    SetHorizontalBarValue(0, 0.5f);
    SelectBuiltInMotive(3, 2);
    EXPECT_EQ(ImagePaths[0], "incbin::medien/Reihe1/Biene.jpg");
    EXPECT_EQ(GridPreview->Summe, 4);
    EXPECT_EQ(GridPreview->x(2, 1), 960);
}
