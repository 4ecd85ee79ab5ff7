// The 32 photographs linked into the game, offered in the two picture bars of the menu: series 1
// in the left bar, series 2 in the right. The thumbnail strips hold them in this same order.
#pragma once
#include <string>

// The default picture of the preview when nothing was saved.
extern const char kDefaultPicture[];

// "incbin::medien/Reihe1/" and the name of entry index of series row (1 or 2); index 15 and any
// index outside 0..14 give the series' last picture. Empty for any other row.
std::string BuiltInMotivePath(int row, int index);
// Makes that picture the preview picture (any other row keeps the current one, but still
// reloads it) and computes a fresh piece grid for it and the slider's piece count. Returns 0.
int SelectBuiltInMotive(int row, int index);
