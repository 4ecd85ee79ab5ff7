// Modal message boxes and the file chooser.
#pragma once
#include <string>
#include <utility>
#include <vector>

// The text of a box: the game's own words (one byte per character) and paths (the bytes the file
// system holds, UTF-8 from the chooser), in order. Words convert implicitly; a path is marked
// with DialogPath, so "This file wasn't found:\n" + DialogPath(path) shows the path as it is.
class TDialogText {
public:
    TDialogText() = default;
    TDialogText(const std::string& words) : parts_{{words, false}} {}
    TDialogText(const char* words) : TDialogText(std::string(words)) {}
    TDialogText& operator+=(const TDialogText& more);
    friend TDialogText operator+(TDialogText a, const TDialogText& b) { return a += b; }
    // The bytes it was made of, words and paths alike (logs, the terminal).
    std::string Bytes() const;
    // As the toolkit draws it: words converted to UTF-8, paths kept as they are.
    std::string Utf8() const;
    // The same in its parts, each marked true when it is a path.
    std::vector<std::pair<std::string, bool>> Utf8Parts() const;

private:
    friend TDialogText DialogPath(const std::string& path);
    struct Part { std::string bytes; bool path; };
    std::vector<Part> parts_;
};
// A path shown in a box as it is.
TDialogText DialogPath(const std::string& path);
// The same between double quotes, as the game's notices name a file.
TDialogText QuotedPath(const std::string& path);

// Once the program is asked to end from outside (a logout), an open box closes as if cancelled
// and later ones are not shown, so the game gets back to a frame loop that ends it in good order.
void ShowNoticeBox(const TDialogText& text, int serious);
// Enter gives enterAnswer: Yes for most questions, No where Yes would lose a file.
int AskYesNo(const TDialogText& text, int serious, int enterAnswer = 1);
// The chosen path, or the empty string when cancelled.
std::string AskForFilePath(const std::string& title, const std::string& filter, int save,
                           const std::string& initialPath);

// A filter group as the chooser offers it: label and extensions.
struct TFileFilterGroup { std::string label; std::vector<std::string> extensions; };
std::vector<TFileFilterGroup> ParseFileFilter(const std::string& filter);

// Scripted answers instead of real dialogs (tests, headless runs): each dialog takes the next
// answer ("1"/"0" for questions, a path or "" for the chooser) and records its text.
void UseScriptedDialogs(const std::vector<std::string>& answers);
const std::vector<std::string>& ScriptedDialogLog();
