// Modal message boxes, yes/no questions and the file chooser, drawn by FLTK on its own display
// connection beside the game's window; or answered from a script in tests and headless runs.
#include "core/layer/Dialogs.h"

#include "core/layer/DialogsInternal.h"
#include "core/layer/GlInternal.h"
#include "core/layer/Input.h"
#include "core/layer/Lifetime.h"
#include "core/layer/Streams.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/filename.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xft/Xft.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sys/stat.h>

// The toolkit's current face, which its headers offer only to its own sources.
extern void* fl_xftfont;

namespace {

// ---- scripted answers ----

struct TScript {
    bool active = false;
    std::deque<std::string> answers;
    std::vector<std::string> log;
};

TScript& Script() {
    static TScript script;
    return script;
}

// Logs the dialog's text and takes the next answer; false when none is left.
bool TakeScriptedAnswer(const std::string& text, std::string& answer) {
    TScript& s = Script();
    s.log.push_back(text);
    if (s.answers.empty()) return false;
    answer = s.answers.front();
    s.answers.pop_front();
    return true;
}

// ---- filters ----

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

std::vector<std::string> Split(const std::string& s, const std::string& separators) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = s.find_first_of(separators, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// "jpg", ".jpg" and "*.jpg" all mean the extension jpg. Characters that the chooser's patterns
// or its filter menu would read as syntax are dropped.
std::string CleanExtension(const std::string& raw) {
    std::string e = Trim(raw);
    if (e.rfind("*.", 0) == 0) e.erase(0, 2);
    else if (e.rfind(".", 0) == 0) e.erase(0, 1);
    std::string out;
    for (char c : e)
        if (std::string("{}[](),*?\t|\\/").find(c) == std::string::npos) out += c;
    return out;
}

std::vector<std::string> ParseExtensions(const std::string& list) {
    std::vector<std::string> out;
    for (const std::string& part : Split(list, ",")) {
        std::string e = CleanExtension(part);
        if (!e.empty()) out.push_back(e);
    }
    return out;
}

// ---- FLTK ----

// FLTK ends the program when it cannot open its display; ask first, so a game run without
// one answers its dialogs on stderr instead.
bool FltkDisplayReady() {
    if (fl_display) return true;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    fl_open_display(d);
    return true;
}

// Why no box can be shown now (the game is ending, or there is no display), or null when one can.
const char* WhyNoBox() {
    if (EndRequestedFromOutside()) return "the game is ending";
    return FltkDisplayReady() ? nullptr : "no display";
}

// Lets FLTK unmap the closed window and the X server see it before the game draws again.
void SettleFltk() {
    for (int i = 0; i < 5; ++i) {
        Fl::flush();
        Fl::check();
    }
    if (fl_display) XSync(fl_display, False);
    Fl::check();
}

// The toolkit draws a text in one font, which shows what it lacks (a name in Chinese letters) as
// empty squares: a text with letters the usual face lacks is drawn in a face that has them all,
// as the font configuration picks it.
Fl_Font BoxFont(const std::string& utf8) {
    fl_font(FL_HELVETICA, 14);
    auto* usual = static_cast<XftFont*>(fl_xftfont);
    if (!usual || !fl_display) return FL_HELVETICA;
    FcCharSet* lacking = FcCharSetCreate();
    bool lacks = false;
    for (const char *p = utf8.c_str(), *end = p + utf8.size(); p < end;) {
        int length = 0;
        const unsigned letter = fl_utf8decode(p, end, &length);
        p += std::max(length, 1);
        if (letter > 0x20 && !XftCharExists(fl_display, usual, letter)) lacks = FcCharSetAddChar(lacking, letter);
    }
    if (!lacks) {  // the usual face has every letter: no font to look for
        FcCharSetDestroy(lacking);
        return FL_HELVETICA;
    }
    Fl_Font font = FL_HELVETICA;
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>("sans"));
    FcPatternAddCharSet(wanted, FC_CHARSET, lacking);
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, wanted, &result);
    FcChar8* family = nullptr;
    FcCharSet* has = nullptr;  // a face that has none of them either would gain nothing
    if (found && FcPatternGetCharSet(found, FC_CHARSET, 0, &has) == FcResultMatch &&
        FcCharSetIntersectCount(lacking, has) > 0 && FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch) {
        static std::string name;  // the toolkit keeps the pointer; " " asks for the plain face
        name = " " + std::string(reinterpret_cast<const char*>(family));
        Fl::set_font(FL_FREE_FONT, name.c_str());
        font = FL_FREE_FONT;
    }
    if (found) FcPatternDestroy(found);
    FcPatternDestroy(wanted);
    FcCharSetDestroy(lacking);
    fl_font(font, 14);
    return font;
}

// Draws its label as it is, in the lines it was laid out in: the toolkit's own label drawing
// would read "@" as the start of a symbol name.
class TPlainText : public Fl_Widget {
public:
    TPlainText(int x, int y, int w, int h, const std::string& text, Fl_Font font) : Fl_Widget(x, y, w, h) {
        copy_label(text.c_str());
        labelfont(font);
        align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE);
    }
    void draw() override {
        fl_font(labelfont(), 14);
        fl_color(FL_FOREGROUND_COLOR);
        fl_draw(label(), x(), y(), w(), h(), align(), nullptr, 0);
    }
};

// Each button carries its answer as its argument; the window's user data is where it goes.
void AnswerCallback(Fl_Widget* button, long answer) {
    Fl_Window* win = button->window();
    *static_cast<int*>(win->user_data()) = static_cast<int>(answer);
    win->hide();
}

// A message box that ignores the keys that were already down when it opened until they have
// been let go: the Escape held to ask the question must not answer it through key repeat.
class TMessageWindow : public Fl_Double_Window {
public:
    TMessageWindow(int w, int h) : Fl_Double_Window(w, h) { XQueryKeymap(fl_display, held_); }
    // Called between events: a key let go may act from now on.
    void ForgetReleasedKeys() {
        char now[32] = {};
        XQueryKeymap(fl_display, now);
        for (int i = 0; i < 32; ++i) held_[i] = static_cast<char>(held_[i] & now[i]);
    }
    int handle(int event) override {
        // The toolkit may hand a repeat on with the release that came just before it.
        if ((event == FL_KEYBOARD || event == FL_SHORTCUT) && fl_xevent &&
            (fl_xevent->type == KeyPress || fl_xevent->type == KeyRelease)) {
            unsigned kc = fl_xevent->xkey.keycode;
            if (kc < 256 && (held_[kc / 8] & (1 << (kc % 8)))) return 1;
        }
        return Fl_Double_Window::handle(event);
    }

private:
    char held_[32] = {};
};

// A modal box with an icon, the text and its buttons; returns the answer of the pressed button,
// enterAnswer for Enter, or cancelAnswer for Escape and the close button.
int RunMessageWindow(const char* title, const char* icon, Fl_Color iconColor, const TDialogText& text,
                     const std::vector<std::pair<const char*, int>>& buttons, int cancelAnswer, int enterAnswer) {
    // The box is as wide as its widest line, up to the desktop's width less a margin: the
    // game's lines stay as written and a path shows whole, over as many lines as it needs.
    const Fl_Font font = BoxFont(text.Utf8());
    auto width = [](const std::string& s) {
        return static_cast<int>(std::ceil(fl_width(s.c_str(), static_cast<int>(s.size()))));
    };
    // The box stays on the desktop: as many lines as its height leaves room for, under the
    // window manager's title bar, beside the icon and above the buttons.
    int widest = 0, measuredW = 0, textH = 0;
    const int maxLines = std::max(1, (Fl::h() - 150) / fl_height());
    const std::string utf8 = LayOutBoxText(text, std::max(200, Fl::w() - 130), maxLines, width, widest);
    fl_measure(utf8.c_str(), measuredW, textH, 0);  // a width of 0 measures the lines as they are
    const int textW = std::max({widest, measuredW, 200});
    textH = std::max(textH, 24);
    const int buttonW = 90, buttonH = 28;
    int winW = 70 + textW + 20, winH = std::max(textH, 50) + 20 + buttonH + 20;

    HoldKeysDownNow();
    layer::KeepFrameUnderDialogs();
    TMessageWindow win(winW, winH);
    win.copy_label(title);
    int answer = cancelAnswer;
    auto* iconBox = new Fl_Box(10, 10, 50, 50, icon);
    iconBox->box(FL_THIN_UP_BOX);
    iconBox->labelfont(FL_TIMES_BOLD);
    iconBox->labelsize(34);
    iconBox->color(FL_WHITE);
    iconBox->labelcolor(iconColor);
    new TPlainText(70, 15, textW, textH, utf8, font);
    Fl_Button* focused = nullptr;
    int x = winW - 10 - static_cast<int>(buttons.size()) * (buttonW + 10) + 10;
    for (size_t i = 0; i < buttons.size(); ++i) {
        bool isDefault = buttons[i].second == enterAnswer;
        Fl_Button* b = isDefault ? new Fl_Return_Button(x, winH - 10 - buttonH, buttonW, buttonH, buttons[i].first)
                                 : new Fl_Button(x, winH - 10 - buttonH, buttonW, buttonH, buttons[i].first);
        b->callback(AnswerCallback, static_cast<long>(buttons[i].second));
        // "y" and "n" answer a question as well as the mouse does.
        if (std::string(buttons[i].first) == "Yes") b->shortcut('y');
        if (std::string(buttons[i].first) == "No") b->shortcut('n');
        x += buttonW + 10;
        // The space bar presses the focused button: the default one, as Enter does.
        if (isDefault) focused = b;
    }
    win.end();
    win.callback([](Fl_Widget* w, void*) { w->hide(); });
    win.user_data(&answer);
    win.set_modal();
    win.position(std::max(0, (Fl::w() - winW) / 2), std::max(0, (Fl::h() - winH) / 3));
    win.show();
    if (focused) focused->take_focus();
    while (win.shown()) {
        if (EndRequestedFromOutside()) {
            answer = cancelAnswer;
            win.hide();
            break;
        }
        Fl::wait(0.05);
        win.ForgetReleasedKeys();
    }
    SettleFltk();
    ReleaseKeysUpNow();
    layer::TakePointerPosition();
    return answer;
}

// Debian 12's chooser makes a typed relative name absolute against the process's working folder
// rather than the folder it shows, and after rewriting the field leaves the cursor at its
// start, so every later key lands in front of the path. Its name field's callback is wrapped:
// a relative name is completed against the shown folder before the chooser sees it, and a
// rewrite that leaves the cursor at the start moves it to the end. The chooser's own
// completion (the guessed rest selected after the cursor) is left as it is.
struct TNameFieldMend {
    Fl_File_Chooser* chooser = nullptr;
    Fl_File_Input* field = nullptr;
    Fl_Callback* original = nullptr;
    void* originalData = nullptr;
    std::string accepted;  // the field's text when the chooser last took it
    int depth = 0;         // the chooser's completion calls back into the field
};

// The chooser works on paths in buffers of a fixed size, and its favorites menu builds the entry
// of the home folder in a smaller one: a longer path would overrun them.
constexpr size_t kChooserPathLimit = FL_PATH_MAX - 16;
constexpr size_t kChooserMenuLimit = 1000;

// The path itself when it is no longer than the limit, else its nearest parent folder that is.
std::string FolderWithin(std::string path, size_t limit) {
    while (path.size() > limit) {
        size_t slash = path.rfind('/', limit);
        path = slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
    }
    return path;
}

// The first widget of that kind in the group, at any depth: the chooser keeps its parts private.
template <class TWidget>
TWidget* FindWidget(Fl_Group* group) {
    for (int i = 0; group && i < group->children(); ++i) {
        Fl_Widget* child = group->child(i);
        if (auto* found = dynamic_cast<TWidget*>(child)) return found;
        if (auto* found = FindWidget<TWidget>(child->as_group())) return found;
    }
    return nullptr;
}

void MendedNameCallback(Fl_Widget* widget, void* data) {
    auto* mend = static_cast<TNameFieldMend*>(data);
    Fl_File_Input* field = mend->field;
    if (mend->depth > 4) return;  // a completion that keeps rewriting itself ends here
    std::string text = field->value();
    // "~" and "$" start names the chooser expands itself.
    if (!text.empty() && text[0] != '/' && text[0] != '~' && text[0] != '$') {
        const char* shown = mend->chooser->directory();
        std::string folder = shown ? shown : "";  // "" is the root
        if (folder.empty() || folder.back() != '/') folder += '/';
        int shift = static_cast<int>(folder.size());
        int position = field->position() + shift, mark = field->mark() + shift;
        text = folder + text;
        if (text.size() <= kChooserPathLimit) {
            field->value(text.c_str());
            field->position(position, mark);
        }
    }
    if (text.size() > kChooserPathLimit) {
        // What the chooser cannot hold never reaches it: the field goes back to what it held.
        field->value(mend->accepted.c_str());
        field->position(field->size());
        ShowNoticeBox("This path is too long!\nThe file chooser takes paths of up to " +
                          std::to_string(kChooserPathLimit) + " bytes.",
                      0);
        return;
    }
    ++mend->depth;
    mend->original(widget, mend->originalData);
    --mend->depth;
    if (field->value() != text && field->size() > 0 && field->position() == 0 && field->mark() == 0)
        field->position(field->size());
    mend->accepted = field->value();
}

void MendNameField(Fl_File_Chooser& chooser, TNameFieldMend& mend) {
    mend.chooser = &chooser;
    mend.field = FindWidget<Fl_File_Input>(chooser.newButton->window());
    if (!mend.field || !mend.field->callback()) return;
    mend.original = mend.field->callback();
    mend.originalData = mend.field->user_data();
    mend.accepted = mend.field->value() ? mend.field->value() : "";
    mend.field->callback(MendedNameCallback, &mend);
}

// The chooser lists the home folder among the favorites from HOME: while a chooser is open, a
// HOME too long for that menu names its nearest parent that fits.
class THomeTheMenuHolds {
public:
    THomeTheMenuHolds() {
        const char* home = std::getenv("HOME");
        if (!home || std::strlen(home) <= kChooserMenuLimit) return;
        saved_ = home;
        changed_ = true;
        setenv("HOME", FolderWithin(saved_, kChooserMenuLimit).c_str(), 1);
    }
    ~THomeTheMenuHolds() {
        if (changed_) setenv("HOME", saved_.c_str(), 1);
    }

private:
    std::string saved_;
    bool changed_ = false;
};

// The chooser's filter menu is laid out narrower than the game's labels ("Image-files
// (*.{jpg,png,bmp})"), which it would cut off. Being what stretches in its row, it takes what
// the window grows by, which is what the widest label needs, as far as the desktop allows.
void WidenFilterMenu(Fl_File_Chooser& chooser) {
    Fl_Window* win = chooser.newButton->window();
    Fl_Choice* menu = FindWidget<Fl_Choice>(win);
    if (!menu || !menu->menu()) return;
    int widest = 0, ignored = 0;
    for (int i = 0; i < menu->size(); ++i)
        if (menu->menu()[i].label()) widest = std::max(widest, menu->menu()[i].measure(&ignored, menu));
    // Beside the label: the frame, the arrow's button and a little air.
    const int room = menu->w() - Fl::box_dw(menu->box()) - 20 - 16;
    const int grow = std::min(widest - room, Fl::w() - 40 - win->w());
    if (grow > 0) win->size(win->w() + grow, win->h());
}

// The folder last chosen in this run while it still exists; before the first choice, the
// player's home folder (the game's own folder never holds the player's pictures).
std::string& LastChosenFolder() {
    static std::string folder;
    return folder;
}

std::string StartFolder() {
    struct stat st {};
    const std::string& last = LastChosenFolder();
    if (!last.empty() && stat(last.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return last;
    const std::string home = GetHomeDirectory();
    return home.empty() ? "." : FolderWithin(home, kChooserPathLimit);
}

}  // namespace

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string PathBytesToUtf8(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    const auto* b = reinterpret_cast<const unsigned char*>(path.data());
    const size_t n = path.size();
    for (size_t i = 0; i < n;) {
        // The length of a well-formed character here (0: none), and the range of its second
        // byte, which rules out overlong forms, surrogates and values beyond U+10FFFF.
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b[i] < 0x80) len = 1;
        else if (b[i] >= 0xC2 && b[i] <= 0xDF) len = 2;
        else if (b[i] >= 0xE0 && b[i] <= 0xEF) len = 3, lo = b[i] == 0xE0 ? 0xA0 : 0x80, hi = b[i] == 0xED ? 0x9F : 0xBF;
        else if (b[i] >= 0xF0 && b[i] <= 0xF4) len = 4, lo = b[i] == 0xF0 ? 0x90 : 0x80, hi = b[i] == 0xF4 ? 0x8F : 0xBF;
        bool whole = len > 0 && i + len <= n && (len == 1 || (b[i + 1] >= lo && b[i + 1] <= hi));
        for (size_t k = 2; whole && k < len; ++k) whole = b[i + k] >= 0x80 && b[i + k] <= 0xBF;
        if (whole) {
            out.append(path, i, len);
            i += len;
        } else {
            out += Latin1ToUtf8(std::string(1, path[i]));
            ++i;
        }
    }
    return out;
}

TDialogText& TDialogText::operator+=(const TDialogText& more) {
    parts_.insert(parts_.end(), more.parts_.begin(), more.parts_.end());
    return *this;
}

std::string TDialogText::Bytes() const {
    std::string out;
    for (const Part& p : parts_) out += p.bytes;
    return out;
}

std::string TDialogText::Utf8() const {
    std::string out;
    for (const auto& part : Utf8Parts()) out += part.first;
    return out;
}

std::vector<std::pair<std::string, bool>> TDialogText::Utf8Parts() const {
    std::vector<std::pair<std::string, bool>> out;
    for (const Part& p : parts_) out.emplace_back(p.path ? PathBytesToUtf8(p.bytes) : Latin1ToUtf8(p.bytes), p.path);
    return out;
}

namespace {

using TTextParts = std::vector<std::pair<std::string, bool>>;

// The parts laid out in lines no wider than maxWidth (see LayOutBoxText), nothing left out.
std::string LayOutLines(const TTextParts& parts, int maxWidth, const std::function<int(const std::string&)>& width,
                        int& widest) {
    // Where a line may break, before each of its bytes: not inside a character, rather after a
    // space in words or a "/" in a path, anywhere else when it must.
    enum : char { kNever, kMay, kRather };
    std::string out, line;
    std::vector<char> breaks;
    widest = 0;
    auto shown = [&](size_t from, size_t to) {  // trailing spaces take no room on a line
        while (to > from && line[to - 1] == ' ') --to;
        return width(line.substr(from, to - from));
    };
    auto layOutLine = [&] {
        size_t start = 0;
        for (;;) {
            // The longest stretch from start that fits, found by doubling and then halving its
            // length, so a very long line costs about its own length, not its square.
            size_t good = start, bad = line.size() + 1;
            for (size_t step = 1; good + step < bad; step *= 2) {
                if (shown(start, good + step) > maxWidth) bad = good + step;
                else good += step;
            }
            while (bad - good > 1) {
                const size_t mid = good + (bad - good) / 2;
                (shown(start, mid) <= maxWidth ? good : bad) = mid;
            }
            size_t at = line.size();
            if (good < line.size()) {
                size_t rather = 0, may = 0;
                for (size_t i = std::max(good, start + 1); i > start && !rather; --i) {
                    if (i < line.size() && breaks[i] == kRather) rather = i;
                    if (i < line.size() && breaks[i] != kNever && !may) may = i;
                }
                at = rather ? rather : may;
                // One character wider than the box still gets a line of its own.
                for (at = at ? at : start + 1; at < line.size() && breaks[at] == kNever;) ++at;
            }
            widest = std::max(widest, shown(start, at));
            out.append(line, start, at - start);
            if (at == line.size()) break;
            out += '\n';
            start = at;
        }
        line.clear();
        breaks.clear();
    };
    bool afterMark = false;
    for (const auto& [bytes, path] : parts) {
        for (char c : bytes) {
            if (c == '\n') {
                layOutLine();
                out += '\n';
                afterMark = false;
                continue;
            }
            bool inside = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
            breaks.push_back(line.empty() || inside ? kNever : afterMark ? kRather : kMay);
            line += c;
            if (!inside) afterMark = c == (path ? '/' : ' ');
        }
    }
    layOutLine();
    return out;
}

}  // namespace

std::string LayOutBoxText(const TDialogText& text, int maxWidth, int maxLines,
                          const std::function<int(const std::string&)>& width, int& widest) {
    TTextParts parts = text.Utf8Parts();
    std::string out = LayOutLines(parts, maxWidth, width, widest);
    auto fits = [&](const std::string& laidOut) {
        return std::count(laidOut.begin(), laidOut.end(), '\n') < maxLines;
    };
    // Too long for the box: the longest path gives way first, in its middle. Its start and the
    // file's name stay; as much of the rest as fits, around a mark where it was shortened.
    std::vector<size_t> paths;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i].second) paths.push_back(i);
    std::stable_sort(paths.begin(), paths.end(),
                     [&](size_t a, size_t b) { return parts[a].first.size() > parts[b].first.size(); });
    for (size_t i : paths) {
        if (fits(out)) break;
        const std::string whole = parts[i].first;
        const size_t name = std::min(whole.rfind('/'), whole.size());
        std::vector<size_t> cuts;  // where a character of the folders starts
        for (size_t at = 1; at < name; ++at)
            if ((static_cast<unsigned char>(whole[at]) & 0xC0) != 0x80) cuts.push_back(at);
        if (cuts.empty()) continue;
        auto shortened = [&](size_t keep) {
            parts[i].first = whole.substr(0, cuts[keep]) + "\xe2\x80\xa6" + whole.substr(name);
            return LayOutLines(parts, maxWidth, width, widest);
        };
        size_t good = 0, bad = cuts.size();  // the most characters of the start that still fit
        while (bad - good > 1) {
            const size_t mid = good + (bad - good) / 2;
            (fits(shortened(mid)) ? good : bad) = mid;
        }
        out = shortened(good);
    }
    return out;
}

TDialogText DialogPath(const std::string& path) {
    TDialogText text;
    text.parts_.push_back({path, true});
    return text;
}

TDialogText QuotedPath(const std::string& path) { return "\"" + DialogPath(path) + "\""; }

std::vector<TFileFilterGroup> ParseFileFilter(const std::string& filter) {
    std::vector<TFileFilterGroup> groups;
    if (filter.find(':') == std::string::npos) {
        // A bare list of extensions, one group without a label; ";" separates as "," does.
        TFileFilterGroup g;
        for (const std::string& part : Split(filter, ";")) {
            auto more = ParseExtensions(part);
            g.extensions.insert(g.extensions.end(), more.begin(), more.end());
        }
        if (!g.extensions.empty()) groups.push_back(g);
        return groups;
    }
    for (const std::string& part : Split(filter, ";")) {
        if (Trim(part).empty()) continue;
        size_t colon = part.find(':');
        TFileFilterGroup g;
        if (colon == std::string::npos) {
            g.extensions = ParseExtensions(part);
            if (g.extensions.empty()) continue;
        } else {
            g.label = Trim(part.substr(0, colon));
            g.extensions = ParseExtensions(part.substr(colon + 1));
        }
        groups.push_back(g);
    }
    return groups;
}

std::string FileChooserPattern(const std::vector<TFileFilterGroup>& groups) {
    std::string pattern;
    for (const TFileFilterGroup& g : groups) {
        // Groups may be made by hand, so their extensions are cleaned here too.
        std::vector<std::string> exts;
        for (const std::string& e : g.extensions)
            if (!CleanExtension(e).empty()) exts.push_back(CleanExtension(e));
        std::string p;
        if (exts.empty()) {
            p = "*";
        } else if (exts.size() == 1) {
            p = "*." + exts[0];
        } else {
            p = "*.{";
            for (size_t i = 0; i < exts.size(); ++i) p += (i ? "," : "") + exts[i];
            p += "}";
        }
        // The chooser takes the pattern from between the first "(" and the last ")" and
        // splits the list at tabs, so the label may hold none of these.
        std::string label;
        for (char c : Latin1ToUtf8(g.label))
            if (c != '(' && c != ')' && c != '\t') label += c;
        label = Trim(label);
        if (!pattern.empty()) pattern += '\t';
        pattern += label.empty() ? p : label + " (" + p + ")";
    }
    return pattern;
}

void UseScriptedDialogs(const std::vector<std::string>& answers) {
    TScript& s = Script();
    s.active = true;
    s.answers.assign(answers.begin(), answers.end());
    s.log.clear();
}

const std::vector<std::string>& ScriptedDialogLog() { return Script().log; }

void ShowNoticeBox(const TDialogText& text, int serious) {
    std::string ignored;
    if (Script().active) {
        TakeScriptedAnswer(text.Bytes(), ignored);  // keeps answers in step with the log
        return;
    }
    if (WhyNoBox()) {
        std::fprintf(stderr, "PlarnPuzzle: %s\n", text.Bytes().c_str());
        return;
    }
    if (serious)
        RunMessageWindow("PlarnPuzzle - Warning", "!", FL_RED, text, {{"OK", 1}}, 0, 1);
    else
        RunMessageWindow("PlarnPuzzle - Notice", "i", FL_BLUE, text, {{"OK", 1}}, 0, 1);
}

int AskYesNo(const TDialogText& text, int serious, int enterAnswer) {
    if (Script().active) {
        std::string answer;
        if (!TakeScriptedAnswer(text.Bytes(), answer)) return 0;
        return std::atoi(answer.c_str()) != 0 ? 1 : 0;
    }
    if (const char* why = WhyNoBox()) {
        std::fprintf(stderr, "PlarnPuzzle: %s (answered No: %s)\n", text.Bytes().c_str(), why);
        return 0;
    }
    // Escape and the window's close button answer No, the safe choice.
    return RunMessageWindow("PlarnPuzzle - Question", serious ? "!" : "?", serious ? FL_RED : FL_BLUE, text,
                            {{"No", 0}, {"Yes", 1}}, 0, enterAnswer != 0 ? 1 : 0);
}

std::string AskForFilePath(const std::string& title, const std::string& filter, int save,
                           const std::string& initialPath) {
    if (Script().active) {
        std::string answer;
        return TakeScriptedAnswer(title, answer) ? answer : std::string();
    }
    if (const char* why = WhyNoBox()) {
        std::fprintf(stderr, "PlarnPuzzle: %s (cancelled: %s)\n", title.c_str(), why);
        return std::string();
    }
    // Paths are bytes on disk and pass through unconverted; only the title is game text.
    // A path longer than the chooser holds is not offered to it.
    const std::string initial = initialPath.size() <= kChooserPathLimit ? initialPath : std::string();
    std::string directory = initial.empty() ? StartFolder() : initial, file;
    struct stat st {};
    if (!initial.empty() && !(stat(initial.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
        size_t slash = initial.rfind('/');
        directory = slash == std::string::npos ? std::string(".") : initial.substr(0, slash + 1);
        file = initial;
    }
    if (directory.empty()) directory = ".";
    std::string titleUtf8 = Latin1ToUtf8(title);  // the chooser keeps a pointer to it
    std::string pattern = FileChooserPattern(ParseFileFilter(filter));
    std::string chosen;
    {
        THomeTheMenuHolds home;
        Fl_File_Chooser chooser(directory.c_str(), pattern.empty() ? "*" : pattern.c_str(),
                                save ? Fl_File_Chooser::CREATE : Fl_File_Chooser::SINGLE, titleUtf8.c_str());
        chooser.preview(0);
        if (!file.empty()) chooser.value(file.c_str());
        TNameFieldMend mend;
        MendNameField(chooser, mend);
        WidenFilterMenu(chooser);
        layer::KeepFrameUnderDialogs();
        chooser.show();
        // A signal breaks the wait, but one that comes just before it would not: hence the limit.
        bool ending = false;
        while (chooser.shown() && !(ending = EndRequestedFromOutside())) Fl::wait(0.05);
        chooser.hide();
        const char* value = !ending && chooser.count() > 0 ? chooser.value(1) : nullptr;
        if (value) chosen = value;
    }
    size_t slash = chosen.rfind('/');
    if (slash != std::string::npos) LastChosenFolder() = chosen.substr(0, slash + 1);
    SettleFltk();
    layer::TakePointerPosition();
    return chosen;
}
