#include "ui/ChangeWindowSizeDialog.h"

#include <string>
#include <vector>

#include "core/Desktop.h"
#include "core/Globals.h"
#include "core/Utilities.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Window.h"
#include "core/puzzle/PuzzleState.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "font/ChaosFontModule.h"
#include "ui/PressState.h"
#include "ui/THorizontalBar.h"
#include "ui/TButton.h"
#include "ui/TImagePreview.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/TMacDockImitat_Vertikal_Left.h"
#include "ui/TMacDockImitat_Vertikal_Right.h"
#include "ui/screens/TCredits.h"
#include "ui/screens/THelp.h"

namespace {
// The smallest scale: a 400 x 300 window.
constexpr float kSmallestScale = 0.26666668f;

// The window as it stands: its size and the scales its layout uses.
struct TWindowFrame {
    int width, height;
    float scaleX, scaleY;
};

// Opens the window at w x h and redoes what depends on its size alone: the scales, the
// backdrop's scale, the font (built anew for the window) and the icon bars. On trial a window
// that cannot be opened gives false.
bool FitWindow(const TWindowFrame& to, bool onTrial) {
    TitleFont = nullptr;  // the old font goes before its window
    ScaleX = to.scaleX;
    ScaleY = to.scaleY;
    TGraphicsPtr opened = onTrial ? TryOpenGraphicsWindow(to.width, to.height, 0, 60, 0)
                                  : OpenGraphicsWindow(to.width, to.height, 0, 60, 0);
    if (!opened) return false;
    SetDrawBlendMode(3);
    ScreenWidth = GetGraphicsWidth();
    ScreenHeight = GetGraphicsHeight();
    BackgroundScale = {static_cast<float>(ScreenWidth) / static_cast<float>(GetImageWidth(BackgroundImage)),
                       static_cast<float>(ScreenHeight) / static_cast<float>(GetImageHeight(BackgroundImage))};
    TitleFont = LoadAutoSizedChaosFont("incbin::medien/etc/bitmapfont.png", 92, 95, 48, GlyphOrder, 0, 0);
    SelectTextFont(TitleFont);
    if (LeftDock) LeftDock->NewGlobalScale(928, 200, 150);
    if (RightDock) RightDock->NewGlobalScale(928, 200, 150);
    if (MainDock) MainDock->NewGlobalScale(945, 180, 184);
    return true;
}

// Back to the window the player had, and why.
int PutBack(const TWindowFrame& old) {
    FitWindow(old, false);
    ShowNoticeBox("The window could not be changed to that size!\nIt keeps its size, and the puzzle stays as it was.", 0);
    return 0;
}

// The puzzle's picture for the new window: from its file while the file still holds a picture of
// the size the puzzle was cut from; otherwise (replaced by another picture, gone, unreadable) the
// picture in memory brought to the new size, so that the pieces are cut as they were and every
// one still fits the board. None only when that picture has no pixels either.
TImagePtr PuzzlePictureFor(const TPuzzle& p, bool previewIsPuzzles, int boxW, int boxH) {
    int w = 0, h = 0;
    TImagePtr fresh;
    if (previewIsPuzzles) {
        fresh = ImagePreview->Image;
        w = ImagePreview->OriginalImageWidth;
        h = ImagePreview->OriginalImageHeight;
    } else {
        fresh = LoadImageFitted(ImagePaths[1], boxW, boxH, w, h);
        if (fresh) CentreImageHandle(fresh);
    }
    if (fresh && w == p.OriginalImageWidth && h == p.OriginalImageHeight) return fresh;
    TImagePtr kept = RefitImage(p.Bild, p.OriginalImageWidth, p.OriginalImageHeight, boxW, boxH);
    if (kept) CentreImageHandle(kept);
    return kept;
}
}  // namespace

TWindowSize WindowSizeForScale(float s) {
    // In double precision: 1500 x 0.9f is just under 1350 and gives 1348, not 1352.
    TWindowSize size;
    size.width = 4 * (TruncateToInt(1500.0 * static_cast<double>(s) + 2.0) / 4);
    size.height = 3 * (size.width / 4);
    return size;
}

float LargestWindowScale(int desktopW, int desktopH) {
    if (4LL * desktopH <= 3LL * desktopW)
        return static_cast<float>(0.9375f * static_cast<float>(desktopH) / 1125.0f);
    return static_cast<float>(0.9375f * static_cast<float>(desktopW) / 1500.0f);
}

float ScaleForSliderValue(float value, float largest) {
    // Rounded to a float once, at the end: rounding each step shifts the width by 4 at times.
    const double range = static_cast<double>(largest) - kSmallestScale;
    return static_cast<float>(kSmallestScale + range * value / 24.0);
}

int ChangeWindowSize(int w, int h) {
    const TWindowFrame old{ScreenWidth, ScreenHeight, ScaleX, ScaleY};
    TPuzzle& p = *CurrentPuzzle;
    const bool hasPuzzle = p.Bild != nullptr;
    int picW = 0, picH = 0;
    if (hasPuzzle) {
        picW = TruncateToInt(p.x(p.Spalten, 0));
        picH = TruncateToInt(p.y(0, p.Reihen));
    }
    TGitterPreview& g = *GridPreview;
    const bool hasGrid = !g.x.Empty();  // (none before a picture has been shown)
    const int gridW = hasGrid ? TruncateToInt(g.x(g.Spalten, 0)) : 0;
    const int gridH = hasGrid ? TruncateToInt(g.y(0, g.Reihen)) : 0;
    const Grid2<float> savedX = p.Puzzleteil_X, savedY = p.Puzzleteil_Y, savedAngle = p.Puzzleteil_Drehwinkel;
    const std::vector<std::string> savedGroups = p.Verbund;
    const uint8_t savedFertig = p.fertig;
    const int originalW = p.OriginalImageWidth, originalH = p.OriginalImageHeight;
    const TImagePreview previewBefore = *ImagePreview;

    const float scale = static_cast<float>(w) / 1500.0f;
    if (!FitWindow({w, h, scale, scale}, true)) return PutBack(old);
    // The preview shows the picture the player chose, loaded again at the new size, so that what
    // a create cuts is what the configuration names. Without a puzzle a picture that cannot be
    // loaded any more brings the old size back.
    const int boxW = TruncateToInt(0.8 * ScreenWidth), boxH = TruncateToInt(0.8 * ScreenHeight);
    const bool shown = !ImagePaths[0].empty() &&
                       ImagePreview->Loading(ImagePaths[0], 750, 410, 400, 400, boxW, boxH, {}) == 0;
    if (!hasPuzzle && !shown && !ImagePaths[0].empty()) return PutBack(old);

    if (hasPuzzle) {
        const TImagePtr bild = PuzzlePictureFor(p, shown && ImagePaths[0] == ImagePaths[1], boxW, boxH);
        if (!bild) {
            *ImagePreview = previewBefore;
            return PutBack(old);
        }
        p.Bild = bild;
        const float f = GridScaleFactor(old.width, old.height, picW, picH, bild);
        ScaleGrid(p.x, f);
        ScaleGrid(p.y, f);
        p.zerschneiden();
        // The cut takes the preview's record of the file's size, which may now be another
        // picture's: the puzzle keeps the size of the picture it was cut from.
        p.OriginalImageWidth = originalW;
        p.OriginalImageHeight = originalH;
        // A picture shown at its own size grows less than the window (or not at all): its pieces
        // keep their size while their places follow the window.
        p.PlaceInNewWindow(savedX, savedY, savedAngle, savedGroups, WindowScaleFactor(old.width, old.height), f);
        if (!shown) {
            // The chosen picture is gone (the player was told): the preview shows the puzzle's.
            ImagePreview->TakeImage(bild, originalW, originalH, 750, 410, 400, 400);
            ImagePaths[0] = ImagePaths[1];
        }
    }
    p.fertig = savedFertig;
    // The grid preview follows the picture it lies on; over a picture of another shape (another
    // one took the file's place) it would cut part of it, so it is made anew for the slider.
    if (hasGrid) {
        const float f = GridScaleFactor(old.width, old.height, gridW, gridH, ImagePreview->Image);
        ScaleGrid(g.x, f);
        ScaleGrid(g.y, f);
        if (!GridSpansPicture(g.x, g.y, g.Spalten, g.Reihen, ImagePreview->Image)) ComputeFreshGrid();
    }
    return 1;
}

void TChangeSizeDialog::Enter() {
    ClearKeyboardState();
    ClearMouseState();
    if (HelpScreen) CloseHelpScreen();
    if (CreditsScreen) CloseCreditsScreen();
    OldWidth = ScreenWidth;
    OldHeight = ScreenHeight;
    Corner = LoadImageFromSource("incbin::medien/etc/AppleFensterecke.png", -1);
    MiniScreen = LoadImageFromSource("incbin::medien/etc/MiniScreen.jpg", -1);
    CentreImageHandle(MiniScreen);
    MiniWindow = LoadImageFromSource("incbin::medien/etc/MiniWindow.jpg", -1);

    Size = WindowSizeForScale(ScaleX);
    // The desktop as it is now: the player may have changed its resolution since the start.
    RereadDisplayModes();
    int dw = QueryDesktopWidth(), dh = QueryDesktopHeight();
    if (dw <= 0 || dh <= 0) {
        // No mode reported: the window as it is counts as the largest.
        dw = TruncateToInt(ScreenWidth / 0.9375);
        dh = TruncateToInt(ScreenHeight / 0.9375);
    }
    A = 0.75f * static_cast<float>(dw) / static_cast<float>(dh);
    Smax = LargestWindowScale(dw, dh);
    C = (4LL * dh <= 3LL * dw ? ScaleY : ScaleX) / Smax;
    D = Smax - kSmallestScale;

    LendPieceSlider();
    // Not clamped: a window at the largest size puts the slider a hair over its top. A desktop
    // too small for any choice (no range at all) puts it at the bottom instead of nowhere.
    SetHorizontalBarValue(
        0, D > 0 ? SmallerFloat(24, static_cast<float>(24.0 * (static_cast<double>(ScaleX) - kSmallestScale) / D)) : 0);

    Buttons.resize(2);
    Buttons[0] = TButton::build(550, 750, 160, 120, "incbin::medien/etc/OKButton.png", 1, 0, 0, 0);
    Buttons[1] = TButton::build(790, 750, 160, 120, "incbin::medien/etc/CancelButton.png", 1, 0, 0, 0);
    S = ScaleX;
    HoverState = 0;
    Confirmed = 0;
}

void TChangeSizeDialog::Highlight(int red, int green, int blue) {
    SetDrawColor(red, green, blue);
    FillRectangle(ScaleX * (750 - 206 * A) - 4, 254 * ScaleY - 3, 412 + 8 / ScaleX, 312 + 6 / ScaleY);
    if (Size.width != ScreenWidth) {
        SetDrawScale(ScaleX, ScaleY);
        DrawTextString("CHANGE", 180 * ScaleX, 440 * ScaleY);
        DrawTextString("SIZE", 1030 * ScaleX, 440 * ScaleY);
        SetDrawScale(ScaleX * A, ScaleY);
    }
    SetDrawColor(255, 255, 255);
}

int TChangeSizeDialog::Frame() {
    const int mx = ReadMouseX(), my = ReadMouseY();
    SetDrawScale(BackgroundScale[0], BackgroundScale[1]);
    DrawImageTransformed(BackgroundImage, 0, 0, 0);
    SetDrawScale(2 * ScaleX, 2 * ScaleY);
    DrawImageTransformed(MenuTableImage, 111 * ScaleX, 495 * ScaleY, 0);
    SetDrawScale(ScaleX * A, ScaleY);

    // The miniature desktop is a confirm button of its own.
    const float left = ScaleX * (750 - 206 * A), right = ScaleX * (750 + 206 * A);
    const bool inside = left <= mx && mx <= right && 254 * ScaleY <= my && my <= 566 * ScaleY;
    const bool held = IsMouseButtonHeld(1) != 0;
    const TPressStep step = StepPressState(HoverState, inside, held);
    if (step.look == kLookHover) Highlight(180, 0, 0);
    if (step.look == kLookPressed) Highlight(255, 0, 0);
    if (step.clicked) Confirmed = 1;
    DrawImageTransformed(MiniScreen, 750 * ScaleX, 410 * ScaleY, 0);

    SetDrawScale(ScaleX, ScaleY);
    const int r = UpdateButtons(0, 1);
    if (r == 0 || Confirmed == 1) return 1;
    if (r == 1) return 0;
    DrawButtonReflections(0, 1, 0.5f, 0.15f);
    if (static_cast<int>(UpdateHorizontalBar()) != -1) {
        S = ScaleForSliderValue(Sliders[0]->Value, Smax);
        Size = WindowSizeForScale(S);
        S = static_cast<float>(Size.width) / 1500.0f;
    }

    // The miniature window follows the chosen size; its title bar keeps its height.
    const float windowX = ScaleX * (750 - 192 * A);
    SetDrawColor(221, 221, 221);
    FillRectangle(windowX, 265 * ScaleY, 375 * C * S / ScaleX, 12);
    SetDrawColor(255, 255, 255);
    SetDrawScale(C * S, C * S);
    DrawImageTransformed(MiniWindow, windowX, 276 * ScaleY, 0);
    SetDrawScale(ScaleX, ScaleY);
    DrawImageTransformed(Corner, windowX, 265 * ScaleY, 0);

    // The size: the width ends at x 680, " x " and the height begin there.
    const int t = MeasureTextHeight("0");
    const std::string width = IntToString(Size.width);
    DrawTextString(width, ScaleX * (680 - MeasureTextWidth(width)), ScaleY * (320 - t));
    DrawTextString(" x " + IntToString(Size.height), 680 * ScaleX, ScaleY * (320 - t));
    return -1;
}

int TChangeSizeDialog::Leave(int how) {
    GiveBackPieceSlider();
    const int result = how == 1 && Size.width != ScreenWidth ? ChangeWindowSize(Size.width, Size.height) : 0;
    ClearKeyboardState();
    ClearMouseState();
    LastTypedChar = 0;
    return result;
}

int ChangeWindowSizeDialog() {
    TChangeSizeDialog dialog;
    dialog.Enter();
    for (;;) {
        const int how = dialog.Frame();
        if (how != -1) return dialog.Leave(how);
        PresentFrame(-1);
        CheckQuitRequest("Do you really want to close?");
    }
}
