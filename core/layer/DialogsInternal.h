// Pieces of the dialogs that need no display, shared with their tests.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "core/layer/Dialogs.h"

// The game's text is one byte per character (Latin-1); the toolkit draws UTF-8.
std::string Latin1ToUtf8(const std::string& text);
// A path's bytes for the toolkit: UTF-8 stays as it is; a byte that is no part of a UTF-8
// character (a name written in another encoding) is read as Latin-1, so nothing is lost.
std::string PathBytesToUtf8(const std::string& path);
// The file chooser's filter list: "Label (*.{a,b})" per group, separated by tabs.
std::string FileChooserPattern(const std::vector<TFileFilterGroup>& groups);
// A box's text laid out in at most maxLines lines no wider than maxWidth, as `width` measures
// UTF-8 text: a line that fits stays whole; one that does not breaks after a space in the game's
// words and after a "/" in a path where it can, else between any two characters. Only line
// breaks are added while the lines are enough; when they are not, the longest path is shortened
// in its middle (its start and the file's name kept, "\u2026" where folders were left out), then
// the next. `widest` is the width of the widest line.
std::string LayOutBoxText(const TDialogText& text, int maxWidth, int maxLines,
                          const std::function<int(const std::string&)>& width, int& widest);
