// File filters, the scripted answers and the behaviour without a display; no window opens here.
#include "core/layer/Dialogs.h"
#include "core/layer/DialogsInternal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using Exts = std::vector<std::string>;

}  // namespace

// First in the file: once a script is in use, every later dialog of the process follows it.
TEST(DialogsWithoutADisplay, AnswerNoAndCancelInsteadOfEndingTheGame) {
    unsetenv("DISPLAY");
    ShowNoticeBox("Nobody sees this", 1);
    EXPECT_EQ(AskYesNo("Quit?", 0), 0);
    EXPECT_EQ(AskForFilePath("Open a picture", "jpg", 0, "/tmp/a.jpg"), "");
}

TEST(FileFilter, GroupsOfLabelAndExtensions) {
    auto g = ParseFileFilter("Image-files:jpg,png,bmp;");
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].label, "Image-files");
    EXPECT_EQ(g[0].extensions, (Exts{"jpg", "png", "bmp"}));

    g = ParseFileFilter("Pictures:jpg,jpeg;Puzzles:puz");
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].label, "Pictures");
    EXPECT_EQ(g[0].extensions, (Exts{"jpg", "jpeg"}));
    EXPECT_EQ(g[1].label, "Puzzles");
    EXPECT_EQ(g[1].extensions, (Exts{"puz"}));

    // Spaces, dots and stars around the extensions, and empty pieces, are tolerated.
    g = ParseFileFilter(" All pictures : *.jpg, .png ,,bmp ;;");
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].label, "All pictures");
    EXPECT_EQ(g[0].extensions, (Exts{"jpg", "png", "bmp"}));
}

TEST(FileFilter, BareListsAndEmptyFilters) {
    auto g = ParseFileFilter("jpg,png");
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].label, "");
    EXPECT_EQ(g[0].extensions, (Exts{"jpg", "png"}));
    g = ParseFileFilter("puz");
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].extensions, (Exts{"puz"}));
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter(" ; ").empty());
    // A label with nothing after it offers every file.
    g = ParseFileFilter("Anything:");
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(g[0].label, "Anything");
    EXPECT_TRUE(g[0].extensions.empty());
}

TEST(FileFilter, ChooserPatterns) {
    EXPECT_EQ(FileChooserPattern(ParseFileFilter("Image-files:jpg,png,bmp;")), "Image-files (*.{jpg,png,bmp})");
    EXPECT_EQ(FileChooserPattern(ParseFileFilter("Puzzle:puz;Pictures:jpg,png")),
              "Puzzle (*.puz)\tPictures (*.{jpg,png})");
    EXPECT_EQ(FileChooserPattern(ParseFileFilter("jpg,png")), "*.{jpg,png}");
    EXPECT_EQ(FileChooserPattern(ParseFileFilter("Anything:")), "Anything (*)");
    EXPECT_EQ(FileChooserPattern({}), "");
    // Characters that would end the pattern or open a new group early are left out, and the
    // label is shown as UTF-8.
    EXPECT_EQ(FileChooserPattern({{"Bilder (alle) f\xfcr mich", {"j{p}g", "png"}}}),
              "Bilder alle f\xc3\xbcr mich (*.{jpg,png})");
}

TEST(DialogText, Latin1BecomesUtf8) {
    EXPECT_EQ(Latin1ToUtf8("Puzzle 100%"), "Puzzle 100%");
    EXPECT_EQ(Latin1ToUtf8("Gr\xfc\xdf" "e"), "Gr\xc3\xbc\xc3\x9f" "e");
    EXPECT_EQ(Latin1ToUtf8(std::string("\x80\xff", 2)), "\xc2\x80\xc3\xbf");
}

// A path from the chooser is UTF-8 already: only the game's own words around it are converted.
TEST(DialogText, PathsShowAsTheyAreAmongTheGamesWords) {
    TDialogText t = "f\xfcr \"" + DialogPath("/home/gr\xc3\xbc\xc3\x9f.png") + "\"";
    EXPECT_EQ(t.Utf8(), "f\xc3\xbcr \"/home/gr\xc3\xbc\xc3\x9f.png\"");
    EXPECT_EQ(t.Bytes(), "f\xfcr \"/home/gr\xc3\xbc\xc3\x9f.png\"");
    // Bytes that are no UTF-8 (a Latin-1 name, a cut character, an overlong "/", a surrogate)
    // are read as Latin-1; a four-byte character stays.
    EXPECT_EQ(PathBytesToUtf8("M\xfchle \xc3 \xc0\xaf \xed\xa0\x80 \xf0\x9f\x98\x80"),
              "M\xc3\xbchle \xc3\x83 \xc3\x80\xc2\xaf \xc3\xad\xc2\xa0\xc2\x80 \xf0\x9f\x98\x80");
}

// Ten pixels a character, so lines of up to 20 characters fit 200 pixels: lines that fit stay
// whole; a path breaks after a "/" where it can, else between characters (never inside one);
// words break after a space.
TEST(DialogText, LaidOutInLinesThatFitTheBox) {
    auto width = [](const std::string& s) {
        return 10 * static_cast<int>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    };
    int widest = 0;
    TDialogText question = "The original image, you selected to create the puzzle\n" + QuotedPath("/home/ann/a.jpg") +
                           "\nwas not found! Do you want to find the original image?";
    EXPECT_EQ(LayOutBoxText(question, 600, 9, width, widest), question.Utf8());
    EXPECT_EQ(widest, 540);
    const std::string name = "Gl\xc3\xbc" "ckw\xc3\xbc" "nsche-zum-Geburtstag.png";
    question = "The file\n" + QuotedPath("/home/ann/puzzles-of-the-year/" + name) +
               "\nalready exists! Do you want to replace it?";
    EXPECT_EQ(LayOutBoxText(question, 200, 9, width, widest),
              "The file\n\"/home/ann/\npuzzles-of-the-year/\nGl\xc3\xbc" "ckw\xc3\xbc" "nsche-zum-Geb\nurtstag.png\"\n"
              "already exists! Do \nyou want to replace \nit?");
    EXPECT_EQ(widest, 200);
    // Four lines cannot hold it all: the path's middle gives way to an ellipsis, as much of its
    // start as fits and the file's name stay.
    std::string folders;
    for (int i = 0; i < 10; ++i) folders += "abcdefghij/";
    question = "This file wasn't found:\n" + QuotedPath("/home/ann/" + folders + "week-12.png");
    EXPECT_EQ(LayOutBoxText(question, 200, 4, width, widest),
              "This file wasn't \nfound:\n\"/home/ann/abcdefg\xe2\x80\xa6/\nweek-12.png\"");
    EXPECT_EQ(widest, 200);
}

TEST(ScriptedDialogs, AnswersInOrderAndLogsEveryDialog) {
    UseScriptedDialogs({"1", "", "0", "/tmp/picture.jpg", "7"});
    EXPECT_EQ(AskYesNo("Quit?", 0), 1);
    ShowNoticeBox("Saved.", 0);  // takes the "" so answers stay in step with the log
    EXPECT_EQ(AskYesNo("Overwrite?", 1), 0);
    EXPECT_EQ(AskForFilePath("Open a picture", "Image-files:jpg;", 0, ""), "/tmp/picture.jpg");
    EXPECT_EQ(AskYesNo("Any number but 0 is yes", 0), 1);
    // Out of answers: questions say no, the chooser is cancelled.
    EXPECT_EQ(AskYesNo("Again?", 0), 0);
    EXPECT_EQ(AskForFilePath("Save the puzzle", "Puzzle:puz", 1, "/tmp/x.puz"), "");
    EXPECT_EQ(ScriptedDialogLog(), (Exts{"Quit?", "Saved.", "Overwrite?", "Open a picture",
                                        "Any number but 0 is yes", "Again?", "Save the puzzle"}));

    // A new script starts a new log; the game's bytes are logged unchanged.
    UseScriptedDialogs({"1"});
    EXPECT_EQ(AskYesNo("M\xfchle?", 0), 1);
    EXPECT_EQ(ScriptedDialogLog(), (Exts{"M\xfchle?"}));
}
