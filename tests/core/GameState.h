// The game's program-wide objects set up as start-up sets them up, but without X, without frame
// pacing and with HOME in a temporary folder of the test's own, so the configuration file and the
// catalogue can be tested as logic.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "core/Configuration.h"
#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/StartUp.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Images.h"
#include "core/layer/Numbers.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"

namespace gamestate {

// A fresh folder for this process, removed at exit; HOME points at it.
inline std::string Home() {
    static std::string dir = [] {
        char pattern[] = "/tmp/plarn_config_XXXXXX";
        std::string d = mkdtemp(pattern);
        static std::string removeAtExit = d;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        setenv("HOME", d.c_str(), 1);
        return d;
    }();
    return dir;
}

inline std::string IniPath() { return Home() + "/.PlarnPuzzle.ini"; }

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The names in a folder: whatever a save leaves behind shows.
inline std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
}

// Saving over a file of mode 0600 or 0640 under the umasks 022 and 077 (which give a new file 0644
// or 0600): true when each save replaced the file and it kept its mode.
inline bool SavingKeepsModes(const std::string& path, const std::function<void()>& save) {
    bool kept = true;
    for (mode_t mask : {022, 077})
        for (mode_t mode : {0600, 0640}) {
            WriteText(path, "old");
            chmod(path.c_str(), mode);
            const mode_t before = umask(mask);
            save();
            umask(before);
            struct stat st;
            kept = kept && stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) == mode && ReadText(path) != "old";
        }
    return kept;
}

// The configuration file as start-up finds it, without reading it: what the end may replace.
inline void FoundAtStart() { CloseStreamObject(OpenConfigurationForReading()); }

// A picture file of w x h pixels with a pattern, in the test's folder.
inline std::string WritePicture(const std::string& name, int w, int h) {
    TPixmapPtr pm = CreateBlankPixmap(w, h, 4, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) WritePixmapPixel(pm, x, y, static_cast<int>(0xFF000000u | (x * 3 + y * 5)));
    std::string path = Home() + "/" + name;
    EncodePixmapToPngFile(pm, path, 1);
    return path;
}

// Fresh program-wide objects as start-up makes them before the configuration is read. The
// puzzle's sounds and bar and the slider's images are decoded once and shared.
inline void FreshObjects() {
    static TPuzzlePtr puzzleTemplate = TPuzzle::erschaffen(12);
    static THorizontalBarPtr sliderTemplate =
        THorizontalBar::build(750, 650, 400, kPieceSliderMinimum, kPieceSliderStart, kPieceSliderMaximum,
                              "incbin::medien/etc/HorizontalBarButton3.png", "incbin::medien/etc/HorizontalBar.png", 0, 2);
    auto p = std::make_shared<TPuzzle>();
    p->Mausradintervall = 10;
    p->Summe = 12;
    p->ProgressBar = puzzleTemplate->ProgressBar;
    p->Mouse_Pseudoimage = puzzleTemplate->Mouse_Pseudoimage;
    p->VerbundSound = puzzleTemplate->VerbundSound;
    p->FlyInSound = puzzleTemplate->FlyInSound;
    CurrentPuzzle = p;
    Sliders.assign(1, std::make_shared<THorizontalBar>(*sliderTemplate));
    ImagePreview = std::make_shared<TImagePreview>();
    ImagePaths.assign(2, "");
    GridPreview = std::make_shared<TGitterPreview>();
    ConfigReadStream = nullptr;
    LaunchState = 0;
}

// A window of w x h pixels without X or pacing, and the objects of a fresh start. Dialogs are
// answered from an empty script (their texts logged) unless scriptedDialogs is false.
inline void Start(int w = 1200, int h = 900, bool scriptedDialogs = true) {
    Home();
    UseHeadlessWindow(true);
    RegisterEmbeddedMedia();
    if (scriptedDialogs) UseScriptedDialogs({});
    OpenGraphicsWindow(w, h, 0, 0, 0);
    ScreenWidth = w;
    ScreenHeight = h;
    ScaleX = static_cast<float>(w) / 1500.0f;
    ScaleY = static_cast<float>(h) / 1125.0f;
    static TImagePtr background = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    BackgroundImage = background;
    BackgroundScale = {static_cast<float>(w) / GetImageWidth(background), static_cast<float>(h) / GetImageHeight(background)};
    FreshObjects();
}

// Opens the file as start-up does: lines 1 and 2 choose the window on a desktop of that size,
// and a size that does not fit makes the whole file ignored. Returns whether it was taken.
inline bool OpenAsStartUpDoes(int desktopW = 1920, int desktopH = 1080) {
    return OpenSavedConfiguration(desktopW, desktopH).savedAccepted;
}

// A puzzle cut from a picture as the menu cuts it: shown in the preview, a grid for the slider
// index laid over it and copied by the puzzle.
inline void CutPuzzle(const std::string& picture, int index) {
    ImagePreview->Loading(picture, 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                          TruncateToInt(0.8 * ScreenHeight), {});
    GridPreview->Gitter_berechnen(index, GetImageWidth(ImagePreview->Image), GetImageHeight(ImagePreview->Image));
    ImagePaths[0] = ImagePaths[1] = picture;
    CurrentPuzzle->Gitter_importieren();
    CurrentPuzzle->importieren();
}

// Everything of the game's state that a refused file must leave as it was: what the
// configuration file holds, and which pictures the puzzle and the preview show.
inline std::vector<std::string> Snapshot() {
    std::vector<std::string> s = ConfigurationLines();
    s.push_back(std::to_string(reinterpret_cast<uintptr_t>(CurrentPuzzle->Bild.get())) + " " +
                std::to_string(reinterpret_cast<uintptr_t>(ImagePreview->Image.get())) + " " +
                std::to_string(ImagePreview->OriginalImageWidth) + " " + std::to_string(ImagePreview->HalfWidth));
    return s;
}

}  // namespace gamestate
