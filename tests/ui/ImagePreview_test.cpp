// The image preview: the layout of a loaded picture, the button's hover, press and click, and
// pictures that cannot be used.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>

#include "core/Globals.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "tests/font/SyntheticStrip.h"
#include "tests/support/ChildProcess.h"
#include "ui/TImagePreview.h"

namespace {
std::string WritePicture(const std::string& name, int w, int h) {
    TPixmapPtr pm = CreateBlankPixmap(w, h, 4, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) WritePixmapPixel(pm, x, y, static_cast<int>(0xFF000000u | (x * 7 + y)));
    std::string path = strips::TempDir() + "/" + name;
    EncodePixmapToPngFile(pm, path, 1);
    return path;
}

std::string WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes) {
    std::string path = strips::TempDir() + "/" + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return path;
}

// A PNG whose header claims 20000 x 20000 pixels and which has no image data.
std::string WriteHugeHeader() {
    std::vector<unsigned char> b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13};
    std::vector<unsigned char> chunk = {'I', 'H', 'D', 'R', 0, 0, 0x4e, 0x20, 0, 0, 0x4e, 0x20, 8, 6, 0, 0, 0};
    b.insert(b.end(), chunk.begin(), chunk.end());
    uLong crc = crc32(0, chunk.data(), static_cast<uInt>(chunk.size()));
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<unsigned char>(crc >> s));
    return WriteBytes("huge.png", b);
}

class ImagePreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseScriptedDialogs({});
        ScaleX = ScaleY = 1200.0f / 1500.0f;  // a 1200 x 900 window
        ScreenWidth = 1200;
        ScreenHeight = 900;
        InputMouseButton(1, false);
        InputMouseMove(0, 0);
    }
    static int LoadAsTheGameDoes(TImagePreview& p, const std::string& path) {
        return p.Loading(path, 750, 410, 400, 400, 960, 720, {});
    }
    // The fields a load lays out, to compare a preview before and after.
    static std::vector<long long> Layout(const TImagePreview& p) {
        return {p.MidX, p.MidY, p.HalfWidth, p.HalfHeight, p.LeftBorder, p.TopBorder,
                p.RectWidth, p.RectHeight, p.OriginalImageWidth, p.OriginalImageHeight,
                static_cast<long long>(p.Zoom * 1e6), reinterpret_cast<long long>(p.Image.get())};
    }
};
}  // namespace

TEST_F(ImagePreviewTest, LaysOutALandscapePictureInTheBox) {
    TImagePreview p;
    EXPECT_EQ(p.MaskColor, (std::vector<int>{255, 0, 255}));
    ASSERT_EQ(LoadAsTheGameDoes(p, WritePicture("960x640.png", 960, 640)), 0);
    EXPECT_EQ(GetImageWidth(p.Image), 960);
    EXPECT_FLOAT_EQ(p.Image->handleX, 480);
    EXPECT_FLOAT_EQ(p.Image->handleY, 320);
    EXPECT_EQ(p.OriginalImageWidth, 960);
    EXPECT_EQ(p.OriginalImageHeight, 640);
    EXPECT_EQ(p.MidX, 600);
    EXPECT_EQ(p.MidY, 328);
    EXPECT_FLOAT_EQ(p.Zoom, 400.0f / 960.0f);
    EXPECT_EQ(p.HalfWidth, 200);
    EXPECT_EQ(p.HalfHeight, 133);
    // 600 - 160.0000024 - 3: the window scale is a little above 0.8
    EXPECT_EQ(p.LeftBorder, 436);
    EXPECT_EQ(p.TopBorder, 218);
    EXPECT_EQ(p.RectWidth, 328);
    EXPECT_EQ(p.RectHeight, 219);
    // The first load makes magenta the layer's mask colour.
    EXPECT_EQ(CurrentDrawState().maskRed, 255);
    EXPECT_EQ(CurrentDrawState().maskGreen, 0);
    EXPECT_EQ(CurrentDrawState().maskBlue, 255);
}

TEST_F(ImagePreviewTest, FitsLargePicturesAndZoomsOnlyOnTheLongerSide) {
    TImagePreview p;
    // A small picture is shown at its own size.
    LoadAsTheGameDoes(p, WritePicture("300x200.png", 300, 200));
    EXPECT_FLOAT_EQ(p.Zoom, 1);
    EXPECT_EQ(p.HalfWidth, 150);
    EXPECT_EQ(p.HalfHeight, 100);
    // A big one is reduced to the load box first; the file's size is recorded.
    LoadAsTheGameDoes(p, WritePicture("2000x1000.png", 2000, 1000));
    EXPECT_EQ(GetImageWidth(p.Image), 960);
    EXPECT_EQ(GetImageHeight(p.Image), 480);
    EXPECT_EQ(p.OriginalImageWidth, 2000);
    EXPECT_EQ(p.OriginalImageHeight, 1000);
    EXPECT_EQ(p.HalfWidth, 200);
    // 0.5 x Zoom as a float is 0.208333328, a hair below 5 / 24: 480 of it truncate to 99.
    EXPECT_EQ(p.HalfHeight, 99);
    // Portrait: the height meets the box.
    LoadAsTheGameDoes(p, WritePicture("300x600.png", 300, 600));
    EXPECT_FLOAT_EQ(p.Zoom, 400.0f / 600.0f);
    EXPECT_EQ(p.HalfHeight, 200);
    EXPECT_EQ(p.HalfWidth, 100);
    // A square picture takes the landscape branch: in a box 400 wide and 300 high it is not
    // reduced, as its width fits.
    p.Loading(WritePicture("350x350.png", 350, 350), 750, 410, 400, 300, 960, 720, {});
    EXPECT_FLOAT_EQ(p.Zoom, 1);
    EXPECT_EQ(p.HalfHeight, 175);
    // A mask colour of three entries is kept and handed to the layer; others are ignored.
    p.Loading(WritePicture("300x200.png", 300, 200), 750, 410, 400, 400, 960, 720, {1, 2, 3});
    EXPECT_EQ(p.MaskColor, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(CurrentDrawState().maskGreen, 2);
    p.Loading(WritePicture("300x200.png", 300, 200), 750, 410, 400, 400, 960, 720, {9, 9});
    EXPECT_EQ(p.MaskColor, (std::vector<int>{1, 2, 3}));
}

TEST_F(ImagePreviewTest, UnusablePicturesLeaveThePreviousOneAndTellThePlayer) {
    TImagePreview p;
    LoadAsTheGameDoes(p, WritePicture("640x480.png", 640, 480));
    const auto before = Layout(p);
    const std::string missing = strips::TempDir() + "/m.png";
    // Only a picture too large is told about the size bound; a file that is no picture (or a
    // cut-off one) is told so.
    std::vector<std::pair<std::string, std::string>> unusable = {
        {WriteHugeHeader(), "The selected Image could not be loaded!\nIt has to be a JPEG, PNG or BMP picture of at "
                            "most 16384 pixels on each side\nand 64 megapixels in all."},
        {missing, "This file couldn't be read:\n\"" + missing + "\""}};
    for (const std::string& path : {WriteBytes("garbage.jpg", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}),
                                    WriteBytes("cut.jpg", {0xFF, 0xD8, 0xFF, 0xE0}), WriteBytes("empty.jpg", {})})
        unusable.push_back({path, "This file couldn't be read as a picture:\n\"" + path + "\""});
    size_t notices = ScriptedDialogLog().size();
    for (const auto& [path, notice] : unusable) {
        EXPECT_NE(LoadAsTheGameDoes(p, path), 0) << path;
        EXPECT_EQ(Layout(p), before) << path;
        ASSERT_EQ(ScriptedDialogLog().size(), ++notices) << path;
        EXPECT_EQ(ScriptedDialogLog().back(), notice);
    }
    // A picture the player may not read is no fault of its format.
    EXPECT_TRUE(HoldsAsOrdinaryUser([&](const std::string& dir) {
        std::ofstream(dir + "/000.png") << "x";
        chmod((dir + "/000.png").c_str(), 0);
        EXPECT_NE(LoadAsTheGameDoes(p, dir + "/000.png"), 0);
        EXPECT_EQ(ScriptedDialogLog().back(), "This file couldn't be read:\n\"" + dir + "/000.png\"");
        return !HasFailure();
    }));
    // The same through the player's own picture; one whose name the files cannot hold; and one
    // that decodes but is too small.
    EXPECT_EQ(p.LoadOwnPicture(unusable[2].first), 0);
    EXPECT_EQ(Layout(p), before);
    EXPECT_EQ(ScriptedDialogLog().size(), ++notices);
    EXPECT_EQ(p.LoadOwnPicture(WritePicture("a\rb.png", 640, 480)), 0);
    EXPECT_EQ(ScriptedDialogLog().back().rfind("The selected Image can't be used!\nIts name must not contain a line break:\n\"", 0),
              0u);
    EXPECT_EQ(Layout(p), before);
    ++notices;
    // Also one so thin that fitted it keeps less than a pixel of its height.
    for (const std::string& small : {WritePicture("500x150.png", 500, 150), WritePicture("4000x3.png", 4000, 3)}) {
        EXPECT_EQ(p.LoadOwnPicture(small), 0);
        EXPECT_EQ(Layout(p), before);
        ASSERT_EQ(ScriptedDialogLog().size(), ++notices);
        EXPECT_EQ(ScriptedDialogLog().back(),
                  "The selected Image is too small!\nIt has to be at least 200 pixels on each side.");
    }
    // Exactly 200 on a side is enough.
    EXPECT_EQ(p.LoadOwnPicture(WritePicture("200x200.png", 200, 200)), 1);
    EXPECT_EQ(p.OriginalImageWidth, 200);
    EXPECT_EQ(ScriptedDialogLog().size(), notices);
}

TEST_F(ImagePreviewTest, ClickIsAPressAndReleaseInside) {
    TImagePreview p;
    EXPECT_EQ(p.Show(), 0);  // nothing loaded: nothing at all
    LoadAsTheGameDoes(p, WritePicture("960x640.png", 960, 640));
    const int inX = p.LeftBorder + 1, inY = p.TopBorder + 1;

    // The borders themselves are outside.
    InputMouseMove(p.LeftBorder, inY);
    EXPECT_EQ(p.Show(), 0);
    EXPECT_EQ(p.State, 0);
    InputMouseMove(p.LeftBorder + p.RectWidth - 1, p.TopBorder + p.RectHeight - 1);
    EXPECT_EQ(p.Show(), 0);
    EXPECT_EQ(p.State, 1);
    InputMouseMove(p.LeftBorder + p.RectWidth, inY);
    p.Show();
    EXPECT_EQ(p.State, 0);

    // hover, press, release: one click, in the frame of the release; hover again after it
    InputMouseMove(inX, inY);
    EXPECT_EQ(p.Show(), 0);
    EXPECT_EQ(p.State, 1);
    InputMouseButton(1, true);
    EXPECT_EQ(p.Show(), 0);
    EXPECT_EQ(p.State, 2);
    EXPECT_EQ(p.Show(), 0);
    InputMouseButton(1, false);
    EXPECT_EQ(p.Show(), 1);
    EXPECT_EQ(p.State, 0);
    EXPECT_EQ(p.Show(), 0);
    EXPECT_EQ(p.State, 1);

    // Pressed outside and moved in with the button held: never lit, never a click.
    InputMouseMove(0, 0);
    p.Show();
    InputMouseButton(1, true);
    p.Show();
    InputMouseMove(inX, inY);
    EXPECT_EQ(p.Show(), 0);
    EXPECT_EQ(p.State, 0);
    InputMouseButton(1, false);
    EXPECT_EQ(p.Show(), 0);  // the release only starts the hover
    EXPECT_EQ(p.State, 1);

    // Pressed inside and released outside: no click.
    InputMouseButton(1, true);
    p.Show();
    EXPECT_EQ(p.State, 2);
    InputMouseMove(0, 0);
    EXPECT_EQ(p.Show(), 0);
    InputMouseButton(1, false);
    EXPECT_EQ(p.Show(), 0);
    InputMouseMove(inX, inY);
    EXPECT_EQ(p.Show(), 0);
    EXPECT_EQ(p.State, 1);
}
