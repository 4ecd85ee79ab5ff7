// Measures start-up, drawing, decoding, cutting and play costs. Usage: plarn_bench WHAT
//   startup  time from process start to the first presented splash frame, and RSS then
//   splash   ends right after the first splash frame (time it whole from outside: farm-bench)
//   draw     100 textured quads per frame; uploads of unchanged images
//   decode   decoding a 1200 x 900 JPEG
//   puzzle   cutting 100 pieces against the pacing floor, play per frame, picking, snapping, RSS
//   menu     game CPU of a menu frame with all its bars, the pointer away and on the bars
//   idle     CPU of a still screen (backdrop alone, then a board of 100 pieces), renderer included
#include <chrono>
#include <cmath>
#include <sstream>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/Backdrop.h"
#include "core/StartUp.h"
#include "core/Utilities.h"
#include "core/layer/AudioOutput.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "font/ChaosFontModule.h"
#include "core/PictureCatalogue.h"
#include "ui/MenuScreen.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/TMacDockImitat_Vertikal_Left.h"
#include "ui/TMacDockImitat_Vertikal_Right.h"

namespace {
using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

long RssKiB() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// User and system seconds of the whole process, the renderer's threads included.
double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Seconds since this process started, from the kernel's record of its start.
double SecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string s((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t close = s.rfind(')');
    std::istringstream rest(s.substr(close + 2));
    std::string field;
    unsigned long long start = 0;
    for (int k = 3; k <= 22; ++k) {
        rest >> field;
        if (k == 22) start = std::stoull(field);
    }
    std::ifstream up("/proc/uptime");
    double uptime = 0;
    up >> uptime;
    return uptime - static_cast<double>(start) / sysconf(_SC_CLK_TCK);
}

void OpenGameWindow() {
    RegisterEmbeddedMedia();
    PreferAudioOutput("silent");
    InitAudioDriverModule();
    ChaosFontModuleInit();
    TWindowChoice c = ChooseWindowSize(1920, 1080, false, 0, 0);
    ScaleX = c.scaleX;
    ScaleY = c.scaleY;
    // As the game starts: the backdrop first, which the window shows from the moment it appears.
    BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    SetWindowBackdrop(BackgroundImage);
    OpenGraphicsWindow(c.width, c.height, 0, 60, 0);
    SetBackgroundClearColor(255, 255, 255);
    ScreenWidth = GetGraphicsWidth();
    ScreenHeight = GetGraphicsHeight();
    SetDrawBlendMode(3);
    BackgroundScale = {static_cast<float>(ScreenWidth) / GetImageWidth(BackgroundImage),
                       static_cast<float>(ScreenHeight) / GetImageHeight(BackgroundImage)};
}

int Startup(bool toSplashOnly) {
    printf("at entry: %.3f s, RSS %.1f MiB\n", SecondsSinceProcessStart(), RssKiB() / 1024.0);
    RegisterEmbeddedMedia();
    int w = 0, h = 0, d = 0, hz = 0;
    GetDisplayMode(0, w, h, d, hz);
    printf("display open: %.3f s, RSS %.1f MiB\n", SecondsSinceProcessStart(), RssKiB() / 1024.0);
    OpenGraphicsWindow(1349, 1012, 0, 60, 0);
    printf("window open: %.3f s, RSS %.1f MiB\n", SecondsSinceProcessStart(), RssKiB() / 1024.0);
    OpenGameWindow();
    printf("backdrop loaded: %.3f s, RSS %.1f MiB\n", SecondsSinceProcessStart(), RssKiB() / 1024.0);
    DrawBackdrop();
    PresentFrame(-1);
    if (toSplashOnly) _exit(0);
    double t = SecondsSinceProcessStart();
    printf("start to first splash frame: %.3f s (clock ticks of 10 ms)\nRSS after the splash: %.1f MiB\n", t,
           RssKiB() / 1024.0);
    TitleFont = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    CurrentPuzzle = TPuzzle::erschaffen(12);
    ImagePreview = std::make_shared<TImagePreview>();
    ImagePreview->Loading("incbin::medien/Reihe1/Rose.jpg", 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                          TruncateToInt(0.8 * ScreenHeight), {});
    printf("RSS after start-up (font, puzzle, preview): %.1f MiB\n", RssKiB() / 1024.0);
    return 0;
}

int Draw() {
    OpenGameWindow();
    TImagePtr img = LoadImageFromSource("incbin::medien/Reihe1/Motive1.png", -1);
    CentreImageHandle(img);
    const int frames = 300;
    long uploadsBefore = 0;
    double work = 0;
    for (int f = 0; f < frames; ++f) {
        auto a = Clock::now();
        ResetDrawState();
        DrawBackdrop();
        SetDrawScale(0.25f, 0.25f);
        for (int k = 0; k < 100; ++k) {
            SetDrawRotation(static_cast<float>(k * 3.6 + f));
            DrawImageTransformed(img, 100.0f + (k % 10) * 110, 100.0f + (k / 10) * 80, 0);
        }
        PresentFrame(0);  // the swap waits for the rendering
        work += Ms(a, Clock::now());
        if (f == 0) uploadsBefore = CountTextureUploads();
    }
    printf("100 textured quads + backdrop: %.2f ms per frame (drawn and swapped, no pacing)\n", work / frames);
    printf("texture uploads after the first frame: %ld\n", CountTextureUploads() - uploadsBefore);
    return 0;
}

int Backdrop() {
    OpenGameWindow();
    const int frames = 200;
    auto a = Clock::now();
    for (int f = 0; f < frames; ++f) PresentFrame(0);
    printf("empty frame (clear and swap): %.2f ms\n", Ms(a, Clock::now()) / frames);
    a = Clock::now();
    for (int f = 0; f < frames; ++f) {
        ResetDrawState();
        DrawBackdrop();
        PresentFrame(0);
    }
    printf("backdrop frame: %.2f ms\n", Ms(a, Clock::now()) / frames);
    return 0;
}

int Decode() {
    RegisterEmbeddedMedia();
    const int runs = 50;
    auto a = Clock::now();
    for (int k = 0; k < runs; ++k) LoadPixmapFromSource("incbin::medien/Reihe1/Alpensee.jpg");
    printf("decoding a 1200 x 900 JPEG: %.2f ms\n", Ms(a, Clock::now()) / runs);
    return 0;
}

// The game window with a 100-piece grid over the Rose picture, after a few menu frames as in
// the game (the picture, its grid and captions are on screen before the player creates it).
TPuzzle& PrepareHundredPieces() {
    OpenGameWindow();
    TitleFont = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    SelectTextFont(TitleFont);
    CurrentPuzzle = TPuzzle::erschaffen(12);
    ImagePreview = std::make_shared<TImagePreview>();
    ImagePreview->Loading("incbin::medien/Reihe1/Rose.jpg", 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                          TruncateToInt(0.8 * ScreenHeight), {});
    GridPreview = std::make_shared<TGitterPreview>();
    GridPreview->Gitter_berechnen(23, GetImageWidth(ImagePreview->Image), GetImageHeight(ImagePreview->Image));
    TPuzzle& p = *CurrentPuzzle;
    p.Gitter_importieren();
    for (int f = 0; f < 30; ++f) {
        ResetDrawState();
        DrawBackdrop();
        ImagePreview->Show();
        GridPreview->Show();
        SetDrawScale(ScaleX, ScaleY);
        DrawTextString("100 PIECES", 100, 100);
        PresentFrame(-1);
    }
    return p;
}

// One frame of the board as the game's frame loop draws it.
void DrawBoardFrame(TPuzzle& p) {
    ResetDrawState();
    DrawBackdrop();
    SetDrawScale(1, 1);
    p.verwenden();
    SetDrawRotation(0);
    SetDrawColor(255, 255, 255);
}

int Puzzle() {
    TPuzzle& p = PrepareHundredPieces();
    auto a = Clock::now();
    p.importieren();
    double cut = Ms(a, Clock::now());
    double floor = 100 * 1000.0 / 60;  // one frame per piece
    printf("cutting 100 pieces: %.0f ms; pacing floor %.0f ms; ratio %.3f\n", cut, floor, cut / floor);
    printf("RSS with 100 pieces: %.1f MiB\n", RssKiB() / 1024.0);

    // Grab the topmost piece and drag it in circles, as a player would.
    int top = (*p.Reihenfolge)[99];
    int gi = top / p.Reihen, gj = top % p.Reihen;
    InputMouseMove(TruncateToInt(p.Puzzleteil_X(gi, gj)), TruncateToInt(p.Puzzleteil_Y(gi, gj)));
    ResetDrawState();
    SetDrawScale(1, 1);
    p.verwenden();
    InputMouseButton(1, true);
    p.verwenden();
    const int frames = 300;
    double cpu = 0, present = 0;
    double process0 = ProcessCpuSeconds();
    auto drag = [&](int f) {
        InputMouseMove(600 + TruncateToInt(200 * std::cos(f * 0.05)), 500 + TruncateToInt(200 * std::sin(f * 0.05)));
    };
    for (int f = 0; f < frames; ++f) {
        drag(f);
        auto b = Clock::now();
        ResetDrawState();
        DrawBackdrop();
        SetDrawScale(1, 1);
        p.verwenden();
        auto c = Clock::now();
        cpu += Ms(b, c);
        PresentFrame(0);
        present += Ms(c, Clock::now());
    }
    printf("play frame with 100 pieces, one dragged: %.3f ms of game CPU (logic and draw calls); "
           "%.2f ms to render and swap it (%.2f ms with both); %.2f ms of process CPU per frame\n",
           cpu / frames, present / frames, (cpu + present) / frames,
           (ProcessCpuSeconds() - process0) * 1000 / frames);
    // The same drag paced at 60 Hz: every frame differs, so every one must reach the screen.
    long shown0 = CountShownFrames();
    auto paced = Clock::now();
    for (int f = 0; f < 120; ++f) {
        drag(f);
        DrawBoardFrame(p);
        PresentFrame(-1);
    }
    double seconds = Ms(paced, Clock::now()) / 1000;
    printf("paced drag: %ld of 120 frames shown in %.2f s (%.1f frames per second)\n",
           CountShownFrames() - shown0, seconds, (CountShownFrames() - shown0) / seconds);
    InputMouseButton(1, false);

    // Picking: the hit test through the whole draw order where no piece lies (the worst case).
    const int picks = 2000;
    auto c = Clock::now();
    for (int k = 0; k < picks; ++k) p.HitTest(1, 1);
    printf("picking the piece under the mouse (all 100 tested): %.4f ms\n", Ms(c, Clock::now()) / picks);

    // Snapping: the analysis after a release, with the selected piece in a big group.
    p.Auswahl_i = 0;
    p.Auswahl_j = 0;
    const int snaps = 2000;
    auto d = Clock::now();
    for (int k = 0; k < snaps; ++k) p.Nachbarschaftsanalyse();
    printf("snapping check after a release: %.4f ms\n", Ms(d, Clock::now()) / snaps);
    return 0;
}
// The menu as start-up builds it (table, both picture bars, main bar, slider, preview and grid),
// drawn frame by frame with the pointer first away from everything, then sweeping over the bars.
int Menu() {
    OpenGameWindow();
    MenuTableImage = LoadImageFromSource("incbin::medien/etc/MenuTable.png", -1);
    TitleFont = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    SelectTextFont(TitleFont);
    CurrentPuzzle = TPuzzle::erschaffen(12);
    LeftDock = TMacDockImitat_Vertikal_Left::build(928, 16, "incbin::medien/Reihe1/Motive1.png", 200, 150);
    RightDock = TMacDockImitat_Vertikal_Right::build(928, 16, "incbin::medien/Reihe1/Motive2.png", 200, 150);
    MainDock = TMacDockImitat_Horizontal::build(945, 9, "incbin::medien/etc/MenuSymbols.png", 180, 184,
                                                "incbin::medien/etc/MenuTitels.png");
    Sliders.assign(1, THorizontalBar::build(750, 650, 400, kPieceSliderMinimum, kPieceSliderStart,
                                            kPieceSliderMaximum, "incbin::medien/etc/HorizontalBarButton3.png",
                                            "incbin::medien/etc/HorizontalBar.png", 0, 2));
    DockSelection.assign(3, 0);
    ImagePreview = std::make_shared<TImagePreview>();
    ImagePaths.assign(2, "");
    GridPreview = std::make_shared<TGitterPreview>();
    SelectBuiltInMotive(1, 0);
    auto run = [](const char* what, const std::function<void(int)>& pointer) {
        const int frames = 300;
        double cpu = 0;
        for (int f = 0; f < frames + 60; ++f) {  // the first second lets the bars settle
            pointer(f);
            auto a = Clock::now();
            ResetDrawState();
            DrawBackdrop();
            DrawMenuScreen();
            if (f >= 60) cpu += Ms(a, Clock::now());
            PresentFrame(-1);
        }
        printf("menu frame, %s: %.3f ms of game CPU (logic and draw calls)\n", what, cpu / frames);
    };
    run("bars still", [](int) { InputMouseMove(ScreenWidth - 2, ScreenHeight - 2); });
    // Along the main bar, then down the left bar: the icons under the pointer magnify.
    run("pointer on the bars", [](int f) {
        const float t = static_cast<float>(f % 120) / 120.0f;
        if (f % 240 < 120)
            InputMouseMove(TruncateToInt(ScaleX * (330 + 840 * t)), TruncateToInt(ScaleY * 875));
        else
            InputMouseMove(TruncateToInt(ScaleX * 37), TruncateToInt(ScaleY * (100 + 925 * t)));
    });
    return 0;
}

// Presents the same picture for 13 s and reports the process's CPU over the last 10 s.
void MeasureIdle(const char* what, const std::function<void()>& drawFrame) {
    auto start = Clock::now();
    auto runUntil = [&](double seconds) {
        while (Ms(start, Clock::now()) < seconds * 1000) {
            drawFrame();
            PresentFrame(-1);
        }
    };
    runUntil(3);
    double cpu0 = ProcessCpuSeconds();
    long shown0 = CountShownFrames();
    auto a = Clock::now();
    runUntil(13);
    double wall = Ms(a, Clock::now()) / 1000;
    printf("%s, nothing moving for 10 s from 3 s after it shows: %.1f%% of one core, %ld frames shown; "
           "RSS %.1f MiB\n", what, 100 * (ProcessCpuSeconds() - cpu0) / wall, CountShownFrames() - shown0,
           RssKiB() / 1024.0);
}

int Idle() {
    TPuzzle& p = PrepareHundredPieces();
    MeasureIdle("backdrop alone", [] {
        ResetDrawState();
        DrawBackdrop();
    });
    p.importieren();
    MeasureIdle("board with 100 pieces", [&p] { DrawBoardFrame(p); });
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    InitRuntimeCoreModule();  // as the game's start-up does first
    std::string what = argc > 1 ? argv[1] : "";
    if (what == "startup" || what == "splash") return Startup(what == "splash");
    if (what == "draw") return Draw();
    if (what == "decode") return Decode();
    if (what == "backdrop") return Backdrop();
    if (what == "puzzle") return Puzzle();
    if (what == "idle") return Idle();
    if (what == "menu") return Menu();
    fprintf(stderr, "usage: plarn_bench startup|splash|draw|decode|backdrop|puzzle|idle|menu\n");
    return 2;
}
