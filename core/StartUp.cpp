#include "core/StartUp.h"

#include "core/Backdrop.h"
#include "core/Configuration.h"
#include "core/Desktop.h"
#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/Utilities.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Lifetime.h"
#include "core/layer/Numbers.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Sound.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "font/ChaosFontModule.h"
#include "ui/MenuScreen.h"
#include "ui/RunMainMenu.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/TMacDockImitat_Vertikal_Left.h"
#include "ui/TMacDockImitat_Vertikal_Right.h"
#include "ui/screens/TCredits.h"
#include "ui/screens/THelp.h"
#include "ui/screens/TIntro.h"

namespace {
void SaveConfigurationHandler() { SaveConfiguration(); }

const char kAlreadyRunningNotice[] =
    "PlarnPuzzle is already running.\nThis second start ends here, so that neither game\nloses the other's puzzle.";

// Each game saves its puzzle over the configuration at its end, so two at once would lose one
// of them: a second start, with the first still running, tells the player and ends before it
// has read or written anything. Where no lock can be made (a read-only home) this run goes on, and
// its end keeps a file that another game saved meanwhile. With the lock held, no save of another
// game is under way: what a save killed mid-way left behind can go.
void EndIfAlreadyRunning() {
    const int lock = HoldLockWhileRunning(ConfigurationPath() + ".lock");
    if (lock == 1) RemoveLeftoversOfSaves();
    if (lock != 0) return;
    ShowNoticeBox(kAlreadyRunningNotice, 0);
    EndProgram();
}
}  // namespace

TWindowChoice ChooseWindowSize(int desktopW, int desktopH, bool haveSaved, int savedW, int savedH) {
    TWindowChoice c;
    // A saved size is taken only when it fits the desktop (and is a size at all).
    if (haveSaved && savedW > 0 && savedH > 0 &&
        static_cast<float>(savedW) <= 0.9375f * static_cast<float>(desktopW) &&
        static_cast<float>(savedH) <= 0.9375f * static_cast<float>(desktopH)) {
        c.savedAccepted = true;
        c.scaleX = static_cast<float>(savedW) / 1500.0f;
        c.scaleY = static_cast<float>(savedH) / 1125.0f;
        c.width = savedW;
        c.height = savedH;
        return c;
    }
    float s;
    if (4LL * desktopH > 3LL * desktopW)
        s = SmallerFloat(1, static_cast<float>(0.9375 * desktopW / 1500));
    else
        s = SmallerFloat(1, static_cast<float>(0.9375 * desktopH / 1125));
    c.scaleX = c.scaleY = s;
    // The products in double precision: 1500 x 0.9f is just below 1350 and gives 1349.
    c.width = TruncateToInt(1500.0 * static_cast<double>(c.scaleX));
    c.height = TruncateToInt(1125.0 * static_cast<double>(c.scaleY));
    if (c.width < 1) c.width = 1;
    if (c.height < 1) c.height = 1;
    return c;
}

int ToggleHelpScreen() {
    if (HelpScreen) return CloseHelpScreen();
    // Asked for by the player: the menu need not show it again by itself.
    LaunchState = 1;
    if (CreditsScreen) CloseCreditsScreen();
    HelpScreen = THelp::start();
    return 0;
}

void PlayIntro(const TIntroPtr& intro) {
    // Holding either mouse button or typing a character ends the rest of the intro.
    auto goesOn = [&intro](int until) {
        return intro->SpeedControl->Duration < until && !IsMouseButtonHeld(1) && !IsMouseButtonHeld(2) &&
               LastTypedChar == 0;
    };
    // The intro draws at twice the window scale.
    auto introFrame = [&intro](int (TIntro::*part)()) {
        ScaleX = 2 * ScaleX;
        ScaleY = ScaleX;
        ((*intro).*part)();
        ScaleX = ScaleX / 2;
        ScaleY = ScaleX;
        PresentFrame(-1);
        CheckQuitRequest("Do you really want to end the program?");
    };
    while (goesOn(TIntro::kExitFrom)) {
        LastTypedChar = static_cast<uint8_t>(TakeTypedChar());
        ResetDrawState();
        DrawBackdrop();
        introFrame(&TIntro::GoIn);
    }
    const bool menuFollows = LaunchState != 1 || CurrentPuzzle->fertig == 2;
    while (goesOn(TIntro::kEnd)) {
        LastTypedChar = static_cast<uint8_t>(TakeTypedChar());
        ResetDrawState();
        DrawBackdrop();
        if (menuFollows) {
            // The menu fades in under the falling letters.
            const float t = static_cast<float>(intro->SpeedControl->Duration - TIntro::kExitFrom) /
                            static_cast<float>(TIntro::kEnd - TIntro::kExitFrom);
            GlobalAlpha = RaiseToPower(t, 2);
            SetDrawAlpha(GlobalAlpha);
            DrawMenuScreen();
            SetDrawAlpha(1);
        }
        introFrame(&TIntro::GoOut);
    }
    // However the intro ended, the menu is drawn opaque from now on.
    GlobalAlpha = 1.0f;
}

int StartProgram() {
    static bool started = false;
    if (started) return 0;
    started = true;
    InitRuntimeCoreModule();
    Main();
    return 0;
}

TWindowChoice OpenSavedConfiguration(int desktopW, int desktopH) {
    ConfigReadStream = OpenConfigurationForReading();
    bool haveSaved = static_cast<bool>(ConfigReadStream);
    int w = 0, h = 0;
    if (haveSaved) {
        w = StringToInt(ReadTextLine(ConfigReadStream));
        h = StringToInt(ReadTextLine(ConfigReadStream));
    }
    TWindowChoice c = ChooseWindowSize(desktopW, desktopH, haveSaved, w, h);
    if (haveSaved && !c.savedAccepted) {
        // A size that does not fit: the whole file is ignored, and the player told why. The
        // largest window this desktop allows, as whole pixels.
        CloseStreamObject(ConfigReadStream);
        ConfigReadStream = nullptr;
        NoteRefusedWindowSize(w, h, TruncateToInt(0.9375f * static_cast<float>(desktopW)),
                              TruncateToInt(0.9375f * static_cast<float>(desktopH)));
    }
    return c;
}

namespace {
void ChooseAndOpenWindow() {
    const TWindowChoice c = OpenSavedConfiguration(QueryDesktopWidth(), QueryDesktopHeight());
    ScaleX = c.scaleX;
    ScaleY = c.scaleY;
    OpenGraphicsWindow(c.width, c.height, 0, 60, 0);
}

void FrameLoop() {
    for (;;) {
        ResetDrawState();
        DrawBackdrop();
        SetDrawScale(1, 1);
        CurrentPuzzle->verwenden();
        SetDrawRotation(0);
        SetDrawColor(255, 255, 255);
        // At most one overlay, the help before the credits. A screen may end itself in show,
        // so it is held here while it draws.
        if (THelpPtr help = HelpScreen) {
            SetDrawScale(ScaleX, ScaleY);
            help->show();
        } else if (TCreditsPtr credits = CreditsScreen) {
            SetDrawScale(ScaleX, ScaleY);
            credits->show();
        }
        PresentFrame(-1);
        if (TakeKeyHits(kKeyF1) != 0) {
            ToggleHelpScreen();
        } else if (LastTypedChar != 0) {
            RunMainMenu();  // returns when play goes on
        }
        CheckQuitRequest("Do you really want to close?");
        LastTypedChar = static_cast<uint8_t>(TakeTypedChar());
    }
}
}  // namespace

void Main() {
    static bool entered = false;
    if (entered) return;
    entered = true;
    // 1. The media linked into the program.
    RegisterEmbeddedMedia();
    // 2. The layers.
    InitRuntimeCoreModule();
    InitGuiDriverModule();
    InitRandomModule();
    InitJpegLoaderModule();
    InitPngLoaderModule();
    ChaosFontModuleInit();
    DesktopModuleInit();
    InitStringFunctionsModule();
    InitOggLoaderModule();
    InitAudioDriverModule();
    InitGl2dDriverModule();
    // One game at a time keeps the configuration; decided before it is read and the window opens.
    EndIfAlreadyRunning();
    // 3.
    SelectGraphicsDriver(GetGl2dDriver(), 2);
    SetRandomSeed(static_cast<int>(MillisecondClock()));
    SetWindowTitle("PlarnPuzzle");
    // 4. The backdrop is decoded first, so that the window shows it from the moment it appears.
    BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    if (!BackgroundImage) LayerFatalError("Unable to load incbin::medien/etc/Background.jpg");
    SetWindowBackdrop(BackgroundImage);
    ChooseAndOpenWindow();
    // 5.
    SetBackgroundClearColor(255, 255, 255);
    ScreenWidth = GetGraphicsWidth();
    ScreenHeight = GetGraphicsHeight();
    SetDrawBlendMode(3);
    RegisterExitHandler(SaveConfigurationHandler);
    // 6. Splash: the backdrop shows while the rest loads.
    BackgroundScale = {static_cast<float>(ScreenWidth) / static_cast<float>(GetImageWidth(BackgroundImage)),
                       static_cast<float>(ScreenHeight) / static_cast<float>(GetImageHeight(BackgroundImage))};
    DrawBackdrop();
    PresentFrame(-1);
    // 7.
    MenuTableImage = LoadImageFromSource("incbin::medien/etc/MenuTable.png", -1);
    // 8. The bitmap font becomes the text font.
    TitleFont = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    SelectTextFont(TitleFont);
    // 9.
    Buttons.assign(2, nullptr);
    ButtonSounds.assign(3, nullptr);
    // 10. The one puzzle, still without a picture.
    CurrentPuzzle = TPuzzle::erschaffen(12);
    // 11. The icon bars: the two picture series and the main entries.
    LeftDock = TMacDockImitat_Vertikal_Left::build(928, 16, "incbin::medien/Reihe1/Motive1.png", 200, 150);
    RightDock = TMacDockImitat_Vertikal_Right::build(928, 16, "incbin::medien/Reihe1/Motive2.png", 200, 150);
    MainDock = TMacDockImitat_Horizontal::build(945, 9, "incbin::medien/etc/MenuSymbols.png", 180, 184,
                                                "incbin::medien/etc/MenuTitels.png");
    // 12. The piece-count slider.
    Sliders.assign(1, nullptr);
    Sliders[0] = THorizontalBar::build(750, 650, 400, kPieceSliderMinimum, kPieceSliderStart, kPieceSliderMaximum,
                                       "incbin::medien/etc/HorizontalBarButton3.png",
                                       "incbin::medien/etc/HorizontalBar.png", 0, 2);
    // 13.
    DockSelection.assign(3, 0);
    ImagePreview = std::make_shared<TImagePreview>();
    ImagePaths.assign(2, "");
    GridPreview = std::make_shared<TGitterPreview>();
    // 14. The rest of the configuration file; a saved unfinished puzzle is cut here.
    LaunchState = LoadConfiguration();
    // A character typed during a fly-in opens the menu; the puzzle reaches it only through here.
    PuzzleMenuDoor = RunMainMenu;
    // 15. The intro, its music and clock start.
    TIntroPtr intro = TIntro::start({"HAVE FUN", "WITH", "PLARN", "PUZZLE"});
    LastTypedChar = static_cast<uint8_t>(TakeTypedChar());
    // 16. The intro, then resume or menu.
    PlayIntro(intro);
    intro.reset();
    SetDrawColor(255, 255, 255);
    if (LaunchState == 1 && CurrentPuzzle->fertig != 2) {
        // A restored unfinished puzzle: its pieces fly in and play goes on.
        ClearKeyboardState();
        CurrentPuzzle->FlyIn();
    } else {
        RunMainMenu();
    }
    FrameLoop();
}
