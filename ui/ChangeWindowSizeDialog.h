// The modal screen in which the player chooses a new window size: a miniature desktop with a
// miniature window on it that follows the borrowed piece-count slider, the size in pixels, and
// OK and Cancel. On OK the window reopens at that size and everything that depends on the size
// follows it, the puzzle in progress included (re-cut, every piece keeping its place, angle
// and group).
#pragma once
#include <cstdint>

#include "core/layer/Images.h"

// 1 when the window was reopened at a new size; 0 after Cancel, after confirming the size the
// window already has, or when the window could not take the new size (the player is told and
// the window and the puzzle stay as they were).
int ChangeWindowSizeDialog();

// The dialog's sizes keep the design canvas's 4:3: a width that is a multiple of 4 and a height
// of three quarters of it.
struct TWindowSize {
    int width = 0;
    int height = 0;
};
// The size for window scale s (1 is the 1500 x 1125 canvas).
TWindowSize WindowSizeForScale(float s);
// The largest scale offered on a desktop of that size: 0.9375 of it along its limiting side.
float LargestWindowScale(int desktopW, int desktopH);
// The scale the slider's value (0 to 23.999) chooses between 400 x 300 and the largest scale.
float ScaleForSliderValue(float value, float largest);
// Puts the window at w x h and brings the scales, backdrop, font, icon bars, previews and the
// puzzle along. 1 when done; 0 when the window cannot be opened at that size, or (without a
// puzzle) the preview's picture cannot be loaded again for it: then everything is put back as it
// was and the player is told. A puzzle whose picture file no longer holds its picture is cut
// again from the picture it holds.
int ChangeWindowSize(int w, int h);

// The dialog's state while it runs, one frame at a time.
class TChangeSizeDialog {
public:
    // Clears input, closes help and credits, borrows the slider and makes fresh media and
    // buttons; the size limits come from the desktop as it is now.
    void Enter();
    // Updates and draws one frame without presenting it: -1 go on, 0 leave unchanged, 1 leave
    // with the chosen size.
    int Frame();
    // Gives the slider back and, for 1, changes the size; the dialog's result.
    int Leave(int how);

    int OldWidth = 0, OldHeight = 0;
    float A = 1;        // the desktop's proportion relative to 4:3
    float Smax = 1;     // the largest scale
    float D = 0;        // Smax - the smallest scale
    float C = 1;        // the window's scale at entry relative to Smax
    float S = 0;        // the chosen scale
    TWindowSize Size;   // the chosen size
    uint8_t HoverState = 0;  // of the miniature desktop: 0 idle, 1 hover, 2 pressed
    uint8_t Confirmed = 0;
    TImagePtr Corner, MiniScreen, MiniWindow;

private:
    void Highlight(int red, int green, int blue);
};
