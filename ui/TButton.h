// The image buttons of the dialogs: immediate-mode widgets kept in the program-wide Buttons. One
// UpdateButtons call per frame updates a run of them from the mouse and the keyboard, draws them
// and reports the one released; DrawButtonReflections then mirrors the run beneath them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/layer/Images.h"

class TButton;
using TButtonPtr = std::shared_ptr<TButton>;

class TButton {
public:
    TImagePtr Image;        // frame 0 unselected, frame 1 selected
    int LeftX = 0;          // design units
    int TopY = 0;
    int RightX = 0;         // LeftX + width
    int DownY = 0;          // TopY + height
    uint8_t Shape = 0;      // 0 rectangle, 1 the ellipse inside it; others are never hit
    uint8_t Typ = 0;        // 0 push button, 1 toggle, 2 or more radio-like
    uint8_t Selected = 0;   // the frame drawn
    uint8_t State = 0;      // 0 idle, 1 hover, 2 pressed
    uint8_t HotKey = 0;     // key code worked together with the left Alt key; 0 none

    // The picture strip has one frame for a push button and two otherwise, each as many pixels
    // as the button has design units.
    static TButtonPtr build(int left, int top, int width, int height, const std::string& path,
                            uint8_t shape, uint8_t typ, uint8_t selected, uint8_t hotKey);
    // Whether the pointer at window pixel (mx, my) is on the button at the current scale.
    bool IsOver(int mx, int my) const;
};

// Updates and draws Buttons[first..last] under the caller's scale and alpha; the index of the
// button released in this call (the higher one when two are), else -1.
int UpdateButtons(int first, int last);
// Draws the same buttons mirrored under their bottom edge, squashed by squash and at
// alpha x GlobalAlpha; returns with the alpha at GlobalAlpha and the scale (ScaleX, ScaleY).
int DrawButtonReflections(int first, int last, float squash, float alpha);
