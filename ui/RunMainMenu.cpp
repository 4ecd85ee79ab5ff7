#include "ui/RunMainMenu.h"

#include "core/Globals.h"
#include "core/PictureCatalogue.h"
#include "core/Backdrop.h"
#include "core/Utilities.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Images.h"
#include "core/layer/Input.h"
#include "core/layer/Lifetime.h"
#include "core/layer/Numbers.h"
#include "core/layer/Streams.h"
#include "core/layer/Window.h"
#include "core/puzzle/PuzzleFile.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/ChangeWindowSizeDialog.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/TMacDockImitat_Vertikal_Left.h"
#include "ui/TMacDockImitat_Vertikal_Right.h"
#include "ui/screens/TCredits.h"
#include "ui/screens/THelp.h"

bool CreatePuzzleFromPreview(bool closeCredits) {
    // A stray key in play opens the menu, and one click here would throw away a puzzle the
    // player may have worked on for an hour: an unfinished one is replaced only when the player
    // says so. Enter, like Escape, keeps it.
    if (CurrentPuzzle->Bild && CurrentPuzzle->fertig == 0) {
        MainDock->StopAnimation();
        if (AskYesNo("The puzzle on the board is not finished yet.\nDo you want to replace it\nwith a new one?",
                     0, 0) == 0) {
            // The menu goes on; the keys and the click that answered belong to the box.
            ClearMouseState();
            ClearKeyboardState();
            LastTypedChar = 0;
            return false;
        }
    }
    ImagePaths[1] = ImagePaths[0];
    CurrentPuzzle->Gitter_importieren();
    CurrentPuzzle->importieren();
    MainDock->StopAnimation();
    CloseHelpScreen();
    // A click on the preview leaves running credits over the game; the create entry does not.
    if (closeCredits) CloseCreditsScreen();
    CurrentPuzzle->FlyIn();
    // A player who started without a saved game sees the help once play has begun.
    if (LaunchState == 0) HelpScreen = THelp::start();
    return true;
}

namespace {
void CloseScreensForModal() {
    MainDock->StopAnimation();
    CloseHelpScreen();
    CloseCreditsScreen();
}

void LoadOwnImage() {
    std::string path = AskForFilePath("Load image", "Image-files:jpg,png,bmp;", 0, "");
    CloseHelpScreen();
    CloseCreditsScreen();
    MainDock->StopAnimation();
    ClearMouseState();
    ClearKeyboardState();
    if (GetPathKind(path) != 1) return;  // cancelled, missing or a folder
    // The preview keeps the previous picture (and tells the player) when this one is unusable.
    if (ImagePreview->LoadOwnPicture(path) != 1) return;
    GridPreview->Gitter_berechnen(TruncateToInt(Sliders[0]->Value), GetImageWidth(ImagePreview->Image),
                                  GetImageHeight(ImagePreview->Image));
    ImagePaths[0] = path;
}

void PickBuiltInPicture() {
    int row = 0;
    if (DockSelection[0] != -1)
        row = 1;
    else if (DockSelection[1] != -1)
        row = 2;
    if (row == 0) return;
    MotiveRow = row;
    MotiveIndex = DockSelection[row - 1];
    SelectBuiltInMotive(MotiveRow, MotiveIndex);
}

void FollowSlider() {
    SliderChanged = TruncateToInt(UpdateHorizontalBar());
    if (SliderChanged == -1) return;
    int index = TruncateToInt(Sliders[0]->Value);
    if (CurrentPuzzle->Possible_Sum[index] != GridPreview->Summe)
        GridPreview->Gitter_berechnen(index, GetImageWidth(ImagePreview->Image),
                                      GetImageHeight(ImagePreview->Image));
}

void DrawPieceCaption() {
    SetDrawScale(ScaleX, ScaleY);
    std::string n = IntToString(GridPreview->Summe);
    DrawTextString(n + " PIECES", ScaleX * (640 - MeasureTextWidth(n)), 220 * ScaleY);
}
}  // namespace

int MainMenuAction(int entry) {
    switch (entry) {
    case -1:
        return 0;
    case kEntryResume:
        if (!CurrentPuzzle->Bild) {
            ShowNoticeBox("Please create a new puzzle!", 0);
            return 0;
        }
        CloseScreensForModal();
        ClearMouseState();
        ClearKeyboardState();
        return 1;
    case kEntryCreate:
        return CreatePuzzleFromPreview(true) ? 1 : 0;
    case kEntryOpen:
        CloseScreensForModal();
        return OpenPuzzleFile() == 1 ? 1 : 0;
    case kEntrySave:
        CloseScreensForModal();
        SavePuzzleFile();
        return 0;
    case kEntryLoadImage:
        LoadOwnImage();
        return 0;
    case kEntryChangeSize:
        MainDock->StopAnimation();
        return ChangeWindowSizeDialog() == 1 && CurrentPuzzle->Bild && CurrentPuzzle->fertig == 0 ? 1 : 0;
    case kEntryHelp:
        if (!HelpScreen) {
            LaunchState = 1;
            if (CreditsScreen) CloseCreditsScreen();
            HelpScreen = THelp::start();
        }
        return 0;
    case kEntryCredits:
        if (!CreditsScreen) {
            if (HelpScreen) CloseHelpScreen();
            CreditsScreen = TCredits::start();
        }
        return 0;
    default:
        EndProgram();  // no question: the configuration is saved on the way out
    }
}

int RunMainMenu() {
    // Opening the menu answers the character that asked for it: play that goes on afterwards
    // (from a fly-in, from the start, from the frame loop) must not read it again.
    LastTypedChar = 0;
    ClearKeyboardState();
    ClearMouseState();
    // A congratulations screen still running is not drawn under the menu any more.
    if (CurrentPuzzle->Congratulations) CurrentPuzzle->Congratulations = nullptr;
    for (;;) {
        ResetDrawState();
        DrawBackdrop();
        SetDrawScale(2 * ScaleX, 2 * ScaleY);
        DrawImageTransformed(MenuTableImage, 111 * ScaleX, 495 * ScaleY, 0);
        SetDrawScale(ScaleX, ScaleY);
        DockSelection[0] = LeftDock->show(6, 563);
        DockSelection[1] = RightDock->show(1494, 563);
        PickBuiltInPicture();
        DockSelection[2] = MainDock->show(750, 900);
        if (ImagePreview->Show() == 1 && CreatePuzzleFromPreview(false)) return 0;
        GridPreview->Show();
        FollowSlider();
        DrawPieceCaption();
        if (MainMenuAction(DockSelection[2]) == 1) return 0;
        SetDrawScale(ScaleX, ScaleY);
        if (HelpScreen) HelpScreen->show();
        if (CreditsScreen) CreditsScreen->show();
        PresentFrame(-1);
        CheckQuitRequest("Do you really want to close?");
    }
}
