// Modal message boxes and the file chooser.
#pragma once
#include <string>
#include <vector>

void ShowNoticeBox(const std::string& text, int serious);
int AskYesNo(const std::string& text, int serious);
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
