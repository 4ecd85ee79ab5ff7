// The real FLTK dialogs on the X display, answered with keys as a player would, and gone after.
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Window.h"

#include <gtest/gtest.h>  // before the toolkit's headers, whose X11 names clash with its own
#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <pwd.h>
#include <unistd.h>

void fl_open_display();  // FLTK's; its header's X11 names clash with the test framework's

namespace {

// The id of the shown window with exactly that title, or "".
std::string VisibleWindow(const std::string& title) {
    std::string cmd = "xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char line[64];
        if (fgets(line, sizeof line, p)) out = line;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

// Presses a key in the window with that title once it shows, from another thread, while the
// dialog blocks this one; again every 0.2 s while the window stays (a key that comes while
// the window is still being mapped can be lost). An xdotool action given as `first` (typing
// a name, a paste) runs once before the first press. If the dialog never returns the whole
// program gives up, rather than hanging until the test runner's limit.
class TAnswerLater {
public:
    TAnswerLater(const std::string& title, const std::string& key, const std::string& first = "")
        : worker_([this, title, key, first] {
              // Up to 10 s for the window to show, then up to 50 presses.
              for (int i = 0, presses = 0; i < 100 && presses < 50 && !done_; ++i) {
                  std::string w = VisibleWindow(title);
                  if (w.empty()) {
                      if (presses > 0) return;  // answered
                      std::this_thread::sleep_for(std::chrono::milliseconds(100));
                      continue;
                  }
                  std::string cmd = "xdotool windowfocus --sync " + w + " >/dev/null 2>&1; ";
                  if (presses == 0 && !first.empty()) cmd += "sleep 0.3; xdotool " + first + "; ";
                  cmd += "xdotool key " + key;
                  (void)std::system(cmd.c_str());
                  ++presses;
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
              }
          }),
          watchdog_([this] {
              for (int i = 0; i < 300 && !done_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
              if (!done_) {
                  std::fprintf(stderr, "the dialog was not answered within 30 s\n");
                  std::_Exit(1);
              }
          }) {}
    ~TAnswerLater() {
        done_ = true;
        worker_.join();
        watchdog_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread worker_, watchdog_;
};

bool WindowShown(const std::string& title) { return !VisibleWindow(title).empty(); }

// The text of the open box as laid out in it, read back from the box's widgets by a timeout that
// runs inside the box's wait (the widget with the longest label holds the text); and whether
// every line fits its widget, the widget the box and the box the screen.
struct TShownText {
    std::string text;
    bool fits = false;
} shownText;

void ReadShownText(void*) {
    Fl_Window* box = Fl::first_window();
    while (box && (!box->label() || std::string(box->label()).rfind("PlarnPuzzle - ", 0) != 0)) box = Fl::next_window(box);
    if (!box) return Fl::repeat_timeout(0.05, ReadShownText);
    Fl_Widget* text = nullptr;
    for (int i = 0; i < box->children(); ++i)
        if (box->child(i)->label() && (!text || std::strlen(box->child(i)->label()) > std::strlen(text->label())))
            text = box->child(i);
    if (!text) return;
    shownText.text = text->label();
    shownText.fits = text->x() + text->w() <= box->w() && box->x() >= 0 && box->x() + box->w() <= Fl::w() &&
                     text->y() + text->h() <= box->h() && box->y() >= 0 && box->y() + box->h() <= Fl::h();
    fl_font(FL_HELVETICA, 14);
    std::istringstream lines(shownText.text);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        shownText.fits = shownText.fits && fl_width(line.c_str()) <= text->w();
    shownText.fits = shownText.fits && count * fl_height() <= text->h();
}

// The name field and the size of the open chooser titled `chooserTitle`, read as the box's text.
struct TShownChooser { std::string title, name; int w = 0, h = 0; } shownChooser;

void ReadShownChooser(void*) {
    Fl_Window* win = Fl::first_window();
    auto* field = dynamic_cast<Fl_File_Input*>(Fl::focus());
    if (!win || !field || !win->label() || win->label() != shownChooser.title)
        return Fl::repeat_timeout(0.05, ReadShownChooser);
    shownChooser = {shownChooser.title, field->value(), win->w(), win->h()};
}

class RealDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::getenv("DISPLAY")) << "needs an X display, as every X test (./check brings one)";
    }
};

}  // namespace

// Typed key by key as a player types: a name in the start folder (the home folder at first),
// a full path, a name in the folder last chosen, and a pasted path all come back as typed.
// First in the program, since the start folder is the home folder only before any choice.
TEST_F(RealDialogs, ChooserTakesTypedAndPastedPaths) {
    char homePattern[] = "/tmp/plarn-home-XXXXXX", otherPattern[] = "/tmp/plarn-other-XXXXXX";
    ASSERT_TRUE(mkdtemp(homePattern) && mkdtemp(otherPattern));
    std::string home = homePattern, other = otherPattern;
    // The toolkit writes its preferences into the home folder as the program ends, so both
    // folders go after that.
    static std::string folders[2];
    folders[0] = home, folders[1] = other;
    std::atexit([] { for (const std::string& f : folders) std::filesystem::remove_all(f); });
    std::ofstream(home + "/board.png") << "x";  // the chooser offers it while "board." is typed
    const std::string title = "Save a typed puzzle";
    std::string path;
    // Started without HOME, the chooser still opens in the account's home folder.
    unsetenv("HOME");
    shownChooser.title = title;
    Fl::add_timeout(0.0, ReadShownChooser);
    {
        TAnswerLater cancel(title, "Escape");
        EXPECT_EQ(AskForFilePath(title, "PNG's + puzzle-datas:png", 1, ""), "");
    }
    const std::string account = getpwuid(getuid())->pw_dir;
    EXPECT_TRUE(shownChooser.name == account || shownChooser.name.rfind(account + "/", 0) == 0) << shownChooser.name;
    setenv("HOME", home.c_str(), 1);
    {
        TAnswerLater type(title, "Return", "type --delay 40 'board.PNG'");
        path = AskForFilePath(title, "PNG's + puzzle-datas:png", 1, "");
    }
    EXPECT_EQ(path, home + "/board.PNG");
    {
        TAnswerLater type(title, "Return", "type --delay 40 '" + other + "/Zwei Teile.png'");
        path = AskForFilePath(title, "PNG's + puzzle-datas:png", 1, "");
    }
    EXPECT_EQ(path, other + "/Zwei Teile.png");
    {
        TAnswerLater type(title, "Return", "type --delay 40 'next.png'");
        path = AskForFilePath(title, "PNG's + puzzle-datas:png", 1, "");
    }
    EXPECT_EQ(path, other + "/next.png");
    std::string pasted = home + "/pasted.png";
    fl_open_display();
    Fl::copy(pasted.c_str(), static_cast<int>(pasted.size()), 1);
    {
        TAnswerLater paste(title, "Return", "key ctrl+v");
        path = AskForFilePath(title, "PNG's + puzzle-datas:png", 1, home + "/board.png");
    }
    EXPECT_EQ(path, pasted);
}

TEST_F(RealDialogs, QuestionAnsweredWithEnterOrEscape) {
    int answer;
    {
        TAnswerLater press("PlarnPuzzle - Question", "Return");
        answer = AskYesNo("Start a new puzzle?", 0);
    }
    EXPECT_EQ(answer, 1);
    EXPECT_FALSE(WindowShown("PlarnPuzzle - Question"));
    {
        TAnswerLater press("PlarnPuzzle - Question", "Escape");
        answer = AskYesNo("Really end the game?", 1);
    }
    EXPECT_EQ(answer, 0);
    EXPECT_FALSE(WindowShown("PlarnPuzzle - Question"));
}

// A path longer than the screen is wide shows whole, over lines that fit the box, the box on the
// screen; the file's name and the game's line stay whole. Enter keeps the file.
TEST_F(RealDialogs, ReplaceQuestionShowsALongPathWholeAndEnterKeepsTheFile) {
    const std::string folders =
        "/a-rather-long-folder-name-that-a-player-might-really-use/another-quite-long-subfolder-for-puzzles";
    const TDialogText question = "The file\n" + QuotedPath("/tmp" + folders + folders + folders + "/week-12.png") +
                                 "\nalready exists! Do you want to replace it?";
    Fl::add_timeout(0.0, ReadShownText);
    int answer;
    {
        TAnswerLater press("PlarnPuzzle - Question", "Return");
        answer = AskYesNo(question, 0, 0);
    }
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(shownText.fits);
    std::string joined = shownText.text, whole = question.Utf8();
    joined.erase(std::remove(joined.begin(), joined.end(), '\n'), joined.end());
    whole.erase(std::remove(whole.begin(), whole.end(), '\n'), whole.end());
    EXPECT_EQ(joined, whole);
    EXPECT_NE(shownText.text.find("/week-12.png\"\nalready exists! Do you want to replace it?"), std::string::npos)
        << shownText.text;
}

// A path too long for the desktop's height: the box stays on the desktop, and the path shows its
// start, an ellipsis where its middle was left out, and the file's name.
TEST_F(RealDialogs, NoticeShortensAPathTooLongForTheDesktop) {
    std::string path = "/tmp/start-of-the-path";
    for (int i = 0; i < 2000; ++i) path += "/a-folder-in-the-middle";
    Fl::add_timeout(0.0, ReadShownText);
    TAnswerLater press("PlarnPuzzle - Notice", "Return");
    ShowNoticeBox("This file wasn't found:\n" + QuotedPath(path + "/the-name.png"), 0);
    EXPECT_TRUE(shownText.fits);
    EXPECT_EQ(shownText.text.rfind("This file wasn't found:\n\"/tmp/start-of-the-path/", 0), 0u) << shownText.text;
    EXPECT_NE(shownText.text.find("\xe2\x80\xa6"), std::string::npos);
    EXPECT_EQ(shownText.text.substr(shownText.text.size() - 14), "/the-name.png\"");
}

// Paths longer than the chooser holds never reach it: a pasted one is refused with a notice and
// the chooser goes on; with a HOME too long for its favorites menu it opens all the same.
TEST_F(RealDialogs, ChooserRefusesPathsLongerThanItHolds) {
    char pattern[] = "/tmp/plarn-deep-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    std::string deep = pattern, kept = std::getenv("HOME"), title = "Open a deep picture";
    for (int i = 0; i < 22; ++i) deep += "/" + std::string(99, 'd');
    std::filesystem::create_directories(deep);
    fl_open_display();
    Fl::copy(deep.c_str(), static_cast<int>(deep.size()), 1);
    Fl::add_timeout(0.0, ReadShownText);
    {
        TAnswerLater paste(title, "Escape", "key ctrl+v"), notice("PlarnPuzzle - Notice", "Return");
        EXPECT_EQ(AskForFilePath(title, "Image-files:jpg,png,bmp;", 0, ""), "");
    }
    EXPECT_NE(shownText.text.find("too long"), std::string::npos) << shownText.text;
    setenv("HOME", deep.substr(0, 1222).c_str(), 1);  // twelve folders deep
    {
        TAnswerLater cancel(title, "Escape");
        EXPECT_EQ(AskForFilePath(title, "Image-files:jpg,png,bmp;", 0, ""), "");
    }
    EXPECT_EQ(std::getenv("HOME"), deep.substr(0, 1222));
    setenv("HOME", kept.c_str(), 1);
    std::filesystem::remove_all(pattern);
}

TEST_F(RealDialogs, NoticeClosesWithEnter) {
    {
        TAnswerLater press("PlarnPuzzle - Warning", "Return");
        ShowNoticeBox("The puzzle file is damaged @ 100%.", 1);
    }
    EXPECT_FALSE(WindowShown("PlarnPuzzle - Warning"));
}

TEST_F(RealDialogs, ChooserGivesTheChosenPathOrNothing) {
    char pattern[] = "/tmp/plarn-dialogs-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    std::string dir = pattern;
    std::string picture = dir + "/sunset.jpg";
    std::ofstream(picture) << "x";
    std::string path;
    shownChooser.title = "Choose a test picture";
    Fl::add_timeout(0.0, ReadShownChooser);
    {
        TAnswerLater press("Choose a test picture", "Return");
        path = AskForFilePath("Choose a test picture", "Image-files:jpg,png,bmp;", 0, picture);
    }
    EXPECT_EQ(path, picture);
    // Its filter menu widens it for the game's label; it keeps the toolkit's height.
    Fl_File_Chooser plain(".", "*", Fl_File_Chooser::SINGLE, "plain");
    EXPECT_GT(shownChooser.w, plain.newButton->window()->w());
    EXPECT_EQ(shownChooser.h, plain.newButton->window()->h());
    EXPECT_FALSE(WindowShown("Choose a test picture"));
    {
        TAnswerLater press("Choose a test picture", "Escape");
        path = AskForFilePath("Choose a test picture", "Image-files:jpg,png,bmp;", 0, dir);
    }
    EXPECT_EQ(path, "");
    // Saving may name a file that does not exist yet.
    {
        TAnswerLater press("Save a test puzzle", "Return");
        path = AskForFilePath("Save a test puzzle", "Puzzle:puz", 1, dir + "/new.puz");
    }
    EXPECT_EQ(path, dir + "/new.puz");
    EXPECT_FALSE(WindowShown("Save a test puzzle"));
    std::remove(picture.c_str());
    rmdir(dir.c_str());
}

// A box moved over the game's window and away again, while the game waits for the answer and
// draws nothing: the window shows its last frame where the box was, not a black hole. And the
// pointer left resting on the box is where the game takes it to be once the box is gone.
TEST_F(RealDialogs, WindowKeepsItsFrameUnderABox) {
    int deskW = 0, deskH = 0, depth = 0, hertz = 0;
    ASSERT_TRUE(GetDisplayMode(0, deskW, deskH, depth, hertz));
    OpenGraphicsWindow(300, 200, 0, 60, 0);
    SetDrawColor(200, 40, 40);
    FillRectangle(0, 0, 300, 200);
    PresentFrame(0);
    const std::string at = std::to_string((deskW - 300) / 2) + " " + std::to_string((deskH - 200) / 2);
    const std::string crop = "300x200+" + std::to_string((deskW - 300) / 2) + "+" + std::to_string((deskH - 200) / 2);
    char shown[] = "/tmp/plarn-under-box-XXXXXX";
    ASSERT_GE(mkstemp(shown), 0);
    {
        TAnswerLater press("PlarnPuzzle - Notice", "Return",
                           "search --name '^PlarnPuzzle - Notice$' windowmove %@ " + at +
                               " sleep 0.5 windowmove %@ 0 0 mousemove 30 20 sleep 0.5; import -window root -crop " +
                               crop + " +repage -format '%k %[pixel:p{150,100}]' info: >" + shown);
        ShowNoticeBox("Moved about", 0);
    }
    // The pointer went onto the box, out of the window, in one move: the game knows where it is.
    EXPECT_EQ(ReadMouseX(), 30 - (deskW - 300) / 2);
    EXPECT_EQ(ReadMouseY(), 20 - (deskH - 200) / 2);
    // The same after the file chooser.
    {
        TAnswerLater cancel("Choose under the pointer", "Escape", "mousemove 40 25 sleep 0.5");
        AskForFilePath("Choose under the pointer", "Image-files:jpg,png,bmp;", 0, "");
    }
    EXPECT_EQ(ReadMouseX(), 40 - (deskW - 300) / 2);
    EXPECT_EQ(ReadMouseY(), 25 - (deskH - 200) / 2);
    std::ifstream in(shown);
    std::string colours((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(colours, "1 srgb(200,40,40)");
    std::remove(shown);
}
