// Frames equal to the one on screen are not shown again: what the window shows must not change
// for it, after the window was covered and uncovered too, and every change must still show.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/Globals.h"
#include "core/Backdrop.h"
#include "core/StartUp.h"
#include "core/Utilities.h"
#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"
#include "core/layer/Window.h"
#include "tests/core/puzzle/PuzzleWindow.h"
// Last: the X headers' macros would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
constexpr char kTitle[] = "PlarnPuzzle frame test";

Window FindTitled(Display* d, Window w) {
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        bool match = !strcmp(name, kTitle);
        XFree(name);
        if (match) return w;
    }
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &kids, &n))
        for (unsigned k = 0; k < n && !found; ++k) found = FindTitled(d, kids[k]);
    if (kids) XFree(kids);
    return found;
}

// What the player sees: the game window's pixels as the X server holds them.
struct Viewer {
    Display* d = XOpenDisplay(nullptr);
    Window game = FindTitled(d, DefaultRootWindow(d));
    ~Viewer() { XCloseDisplay(d); }
    std::vector<unsigned long> Look() {
        XSync(d, False);
        XImage* im = XGetImage(d, game, 0, 0, 1200, 900, AllPlanes, ZPixmap);
        std::vector<unsigned long> px;
        for (int y = 0; y < 900; y += 3)
            for (int x = 0; x < 1200; x += 3) px.push_back(XGetPixel(im, x, y) & 0xFFFFFF);
        XDestroyImage(im);
        return px;
    }
    // Another window over the game's, then gone again: the server sends the game an Expose.
    void CoverAndUncover() {
        Window cover = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1920, 1080, 0, 0, 0xFF00FF);
        XMapRaised(d, cover);
        XSync(d, False);
        XDestroyWindow(d, cover);
        XSync(d, False);
    }
};

// Plays the same script of frames and returns what the window showed after each.
std::vector<std::vector<unsigned long>> PlayScript(bool skip, long& shown) {
    SetWindowTitle(kTitle);
    OpenPuzzleWindow();
    SkipUnchangedFrames(skip);
    SetRandomSeed(15);  // the same grid each time
    GridPreview->Gitter_berechnen(0, 400, 300);  // 2 x 2 pieces
    TPuzzle& p = *CurrentPuzzle;
    p.Gitter_importieren();
    TPixmapPtr grey = CreateBlankPixmap(400, 300, 4, 4);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) WritePixmapPixel(grey, x, y, static_cast<int>(0xFF808080u));
    p.Bild = LoadImageFromSource(grey, 0);
    p.zerschneiden();
    for (int i = 0; i < 2; ++i)  // and the pieces in the same places
        for (int j = 0; j < 2; ++j) {
            p.Puzzleteil_X(i, j) = 200.0f + 400 * i;
            p.Puzzleteil_Y(i, j) = 200.0f + 400 * j;
            p.Puzzleteil_Drehwinkel(i, j) = 30.0f * i + 10 * j;
        }
    *p.Reihenfolge = {0, 1, 2, 3};
    TImagePtr dot = LoadImageFromSource(CreateBlankPixmap(8, 8, 6, 4), 0);
    Viewer viewer;
    std::vector<std::vector<unsigned long>> seen;
    long shown0 = CountShownFrames();
    for (int f = 0; f < 12; ++f) {
        if (f == 4) p.Puzzleteil_X(0, 0) += 37;  // a piece moves
        if (f == 7) WritePixmapPixel(LockImagePixels(dot, 0, 0, 1), 3, 3, static_cast<int>(0xFF00FF00u));
        if (f == 9) viewer.CoverAndUncover();
        // After an uncovering the same frame twice: the window may learn of it only at the second.
        for (int twice = f == 9 ? 2 : 1; twice > 0; --twice) {
            ResetDrawState();
            DrawBackdrop();
            SetDrawScale(4, 4);
            DrawImageTransformed(dot, 20, 20, 0);
            SetDrawScale(1, 1);
            p.verwenden();
            PresentFrame(0);
        }
        seen.push_back(viewer.Look());
    }
    shown = CountShownFrames() - shown0;
    CurrentPuzzle = nullptr;
    SkipUnchangedFrames(true);
    return seen;
}
}  // namespace

TEST(FrameSkip, TheWindowShowsTheSameFramesWithAndWithoutSkipping) {
    long shownAll = 0, shownChanged = 0;
    auto all = PlayScript(false, shownAll);
    auto changed = PlayScript(true, shownChanged);
    ASSERT_EQ(all.size(), changed.size());
    for (size_t f = 0; f < all.size(); ++f) EXPECT_TRUE(all[f] == changed[f]) << "frame " << f;
    // The moved piece, the changed pixel and the uncovered window each show; still frames do not.
    EXPECT_NE(all[3], all[4]);
    EXPECT_NE(all[6], all[7]);
    EXPECT_EQ(shownAll, 13);
    EXPECT_GE(shownChanged, 4);
    EXPECT_LE(shownChanged, 5);
}

TEST(FrameSkip, ImagesLetGoOfCopiesTheyCanGetBack) {
    OpenPuzzleWindow();
    PresentFrame(0);  // from now on frames start white
    const std::string path = "incbin::medien/etc/MenuTable.png";
    TImagePtr table = LoadImageFromSource(path, -1);
    auto draw = [&] {
        DrawImageTransformed(table, 0, 0, 0);
        return CaptureScreenToPixmap(0, 0, 640, 268)->pixels;
    };
    auto first = draw();
    PresentFrame(0);
    EXPECT_FALSE(table->frames[0].pixmap);  // only drawn so far: the texture has the pixels
    // Looked at, it is loaded again exactly as at first.
    TPixmapPtr again = LockImagePixels(table, 0, 1, 0);
    TPixmapPtr decoded = LoadPixmapFromSource(path);
    ASSERT_TRUE(again);
    for (int x = 0; x < 640; x += 7) EXPECT_EQ(ReadPixmapPixel(again, x, 130), ReadPixmapPixel(decoded, x, 130));
    // A texture unused for a while goes; the next draw uploads it once and looks the same.
    PresentFrame(0);
    long uploads = CountTextureUploads();
    for (int f = 0; f < 200; ++f) PresentFrame(0);
    EXPECT_EQ(table->frames[0].texture, 0u);
    EXPECT_EQ(draw(), first);
    EXPECT_EQ(CountTextureUploads(), uploads + 1);
    // A fitted built-in picture read (as the cutter reads it) and given back lets go of its copy
    // and gets the same pixels back, whatever the mask colour is by then; one written keeps its own.
    int ow = 0, oh = 0;
    TImagePtr pic = LoadImageFitted("incbin::medien/Reihe1/Rose.jpg", 600, 450, ow, oh);
    auto read = LockImagePixels(pic, 0, 1, 0)->pixels;
    UnlockImagePixels(pic, 0);
    EXPECT_FALSE(pic->frames[0].pixmap);
    // Drawn, then long unused, a picture this large lets go of its texture as well, and comes
    // back the same.
    auto show = [&] {
        DrawImageTransformed(pic, 0, 0, 0);
        return CaptureScreenToPixmap(0, 0, 600, 450)->pixels;
    };
    auto shown = show();
    for (int f = 0; f < 200; ++f) PresentFrame(0);
    EXPECT_EQ(pic->frames[0].texture, 0u);
    EXPECT_EQ(show(), shown);
    SetImageMaskColor(255, 255, 255);
    EXPECT_EQ(LockImagePixels(pic, 0, 1, 0)->pixels, read);
    UnlockImagePixels(pic, 0);
    WritePixmapPixel(LockImagePixels(pic, 0, 1, 1), 0, 0, 0x12345678);
    UnlockImagePixels(pic, 0);
    EXPECT_EQ(ReadPixmapPixel(LockImagePixels(pic, 0, 1, 0), 0, 0), 0x12345678);
}
