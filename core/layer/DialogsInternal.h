// Pieces of the dialogs that need no display, shared with their tests.
#pragma once
#include <string>
#include <vector>

#include "core/layer/Dialogs.h"

// The game's text is one byte per character (Latin-1); the toolkit draws UTF-8.
std::string Latin1ToUtf8(const std::string& text);
// The file chooser's filter list: "Label (*.{a,b})" per group, separated by tabs.
std::string FileChooserPattern(const std::vector<TFileFilterGroup>& groups);
