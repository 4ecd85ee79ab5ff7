// Free functions shared by the game core and the menus.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/layer/Dialogs.h"
#include "core/layer/Images.h"

// A random order of 0..count-1 (reseeds the generator from the clock); {0} for count <= 0.
std::vector<int> RandomPermutation(int count);
// Handle and origin 0, white, no rotation, the window's scale, alpha 1.
int ResetDrawState();
// The picture shrunk (never enlarged) to fit the box; its own size goes to originalW/H.
// None when it cannot be decoded.
TImagePtr LoadImageFitted(const std::string& path, int boxW, int boxH, int& originalW, int& originalH);
// The picture in memory at the size its originalW x originalH file would be fitted to in the
// box: for a picture whose file no longer holds it. None when it has no pixels.
TImagePtr RefitImage(const TImagePtr& image, int originalW, int originalH, int boxW, int boxH);
TPixmapPtr ResizePixmapNearest(const TPixmapPtr& src, int w, int h, int format);
// "Home", "User", "Fonts" or "Temp" as a directory ending in "/"; empty for other names.
std::string GetSpecialDirectory(const std::string& name);
// The smaller angle between two directions, 0..180.
float AngleDifference(float a, float b);
// The direction from one point to another: 360 due right, 90 down, 180 left, 270 up (and for
// two equal points).
float VectorAngle(float x1, float y1, float x2, float y2);
uint8_t ColorAlpha(int argb);
uint8_t ColorRed(int argb);
uint8_t ColorGreen(int argb);
uint8_t ColorBlue(int argb);
int ColorPack(int a, int r, int g, int b);
// The once-per-frame quit check of every loop: the close button ends at once, Escape asks.
uint8_t CheckQuitRequest(const std::string& question);
int DrawOutlinedLine(float x1, float y1, float x2, float y2);
// Whether a text holds a carriage return or a line feed: a path that does cannot be stored in
// the game's line-based files.
bool HoldsLineBreak(const std::string& text);
// Whether a picture path names a picture linked into the game: it begins exactly as the game
// writes such paths, "incbin::". One that only looks alike ("Incbin::...") is a path of the
// player's, named and searched for as any other.
bool IsBuiltInPicture(const std::string& path);
// A picture as a notice names it: a player's file by its path in double quotes, a picture
// linked into the game as the player knows it (the built-in picture "Rose"), never by the
// internal name it is loaded by.
TDialogText QuotedPicture(const std::string& path);
// Direction 0: the seven German letters to UTF-8; otherwise back (also from Mac Roman).
std::string FixUtf8Umlauts(const std::string& text, uint8_t direction);
