// The menu's entries as a player meets them, carried out without X with the dialogs scripted.
#include <gtest/gtest.h>

#include "core/layer/AudioOutput.h"
#include "core/layer/Input.h"
#include "tests/core/GameState.h"
#include "tests/support/PieceCounts.h"
#include "ui/RunMainMenu.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/screens/TCredits.h"
#include "ui/screens/THelp.h"

namespace {
void StartMenu(const std::vector<std::string>& answers) {
    PreferAudioOutput("silent");
    InitAudioDriverModule();
    gamestate::Start();
    UseScriptedDialogs(answers);
    MainDock = TMacDockImitat_Horizontal::build(945, 9, "incbin::medien/etc/MenuSymbols.png", 180, 184, "");
    HelpScreen = nullptr;
    CreditsScreen = nullptr;
}
}  // namespace

TEST(MainMenu, ResumeHelpAndCreditsAsAPlayerClicksThem) {
    StartMenu({});
    // Nothing cut yet: resuming only tells the player, and the menu stays.
    EXPECT_EQ(MainMenuAction(kEntryResume), 0);
    ASSERT_EQ(ScriptedDialogLog().size(), 1u);
    EXPECT_EQ(ScriptedDialogLog()[0], "Please create a new puzzle!");
    // Help opens once (a second click keeps the same screen) and marks the help as seen.
    EXPECT_EQ(MainMenuAction(kEntryHelp), 0);
    std::shared_ptr<THelp> help = HelpScreen;
    ASSERT_TRUE(help);
    EXPECT_EQ(LaunchState, 1);
    MainMenuAction(kEntryHelp);
    EXPECT_EQ(HelpScreen, help);
    // Credits close the help; help closes the credits again.
    MainMenuAction(kEntryCredits);
    EXPECT_FALSE(HelpScreen);
    ASSERT_TRUE(CreditsScreen);
    MainMenuAction(kEntryHelp);
    EXPECT_TRUE(HelpScreen);
    EXPECT_FALSE(CreditsScreen);
    // With a puzzle, resuming closes both overlays and returns to play at once.
    gamestate::CutPuzzle(gamestate::WritePicture("p.png", 400, 300), 0);
    MainMenuAction(kEntryCredits);
    EXPECT_EQ(MainMenuAction(kEntryResume), 1);
    EXPECT_FALSE(HelpScreen);
    EXPECT_FALSE(CreditsScreen);
    EXPECT_EQ(ScriptedDialogLog().size(), 1u);
}

TEST(MainMenu, AnOwnPictureTooSmallOrCancelledLeavesThePreviewAsItWas) {
    const std::string tiny = gamestate::WritePicture("tiny.png", 300, 150);
    const std::string good = gamestate::WritePicture("good.png", 800, 600);
    const std::string other = gamestate::WritePicture("other.png", 640, 480);
    StartMenu({"", tiny, "", other});  // the notice takes an answer too
    ImagePaths[0] = good;
    ImagePreview->Loading(good, 750, 410, 400, 400, 960, 720, {});
    GridPreview->Gitter_berechnen(7, GetImageWidth(ImagePreview->Image), GetImageHeight(ImagePreview->Image));
    const auto before = gamestate::Snapshot();
    const TImagePreview preview = *ImagePreview;
    MainMenuAction(kEntryLoadImage);  // cancelled
    MainMenuAction(kEntryLoadImage);  // fitted to 720 x 360: too small
    EXPECT_EQ(gamestate::Snapshot(), before);
    EXPECT_EQ(ImagePreview->Image, preview.Image);
    EXPECT_EQ(ImagePreview->OriginalImageWidth, 800);
    EXPECT_EQ(ImagePreview->RectWidth, preview.RectWidth);
    EXPECT_EQ(ImagePaths[0], good);
    ASSERT_EQ(ScriptedDialogLog().size(), 3u);
    EXPECT_EQ(ScriptedDialogLog()[2],
              "The selected Image is too small!\nIt has to be at least 200 pixels on each side.");
    // A picture that fits takes the preview and a fresh grid for the slider's count.
    MainMenuAction(kEntryLoadImage);
    EXPECT_EQ(ImagePaths[0], other);
    EXPECT_EQ(ImagePreview->OriginalImageWidth, 640);
    EXPECT_EQ(GridPreview->Summe, piececounts::kSum[TruncateToInt(Sliders[0]->Value)]);
}

TEST(MainMenu, AnUnfinishedPuzzleIsReplacedOnlyWhenThePlayerSaysYes) {
    StartMenu({"0", "0", "1"});
    LaunchState = 1;
    PuzzleMenuDoor = nullptr;
    gamestate::CutPuzzle(gamestate::WritePicture("p.png", 400, 300), 0);
    const auto before = gamestate::Snapshot();
    // No (what Enter, Space and Escape answer), by the create entry and by the preview: kept.
    EXPECT_EQ(MainMenuAction(kEntryCreate) + CreatePuzzleFromPreview(false), 0);
    EXPECT_EQ(gamestate::Snapshot(), before);
    EXPECT_EQ(ScriptedDialogLog(),
              std::vector<std::string>(
                  2, "The puzzle on the board is not finished yet.\nDo you want to replace it\nwith a new one?"));
    // A finished puzzle is replaced without a question, an unfinished one after a yes.
    for (uint8_t fertig : {1, 0}) {
        CurrentPuzzle->fertig = fertig;
        const TImagePtr piece = CurrentPuzzle->Puzzleteil(0, 0);
        InputTypedChar('m');  // cuts the fly-in short
        EXPECT_TRUE(MainMenuAction(kEntryCreate) == 1 && CurrentPuzzle->Puzzleteil(0, 0) != piece);
        EXPECT_EQ(ScriptedDialogLog().size(), fertig ? 2u : 3u);
    }
}
