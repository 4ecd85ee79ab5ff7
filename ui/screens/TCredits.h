// The credits overlay: seven lines typed onto a darkened screen letter by letter, each letter
// snapping into place with a click; when the last is down a falling sound plays and every letter
// spins and drops out of the window while the veil lifts. A 25600 ms script that ends itself;
// at most one runs, held in CreditsScreen.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/TSpeedControl.h"
#include "core/layer/Sound.h"
#include "ui/screens/TTextLine.h"

class TCredits;
using TCreditsPtr = std::shared_ptr<TCredits>;

class TCredits {
public:
    std::vector<TTextLinePtr> TextLine = std::vector<TTextLinePtr>(7);
    int X = 0;                                        // every line's reference x, window pixels
    std::vector<int> Y = std::vector<int>(7, 0);      // each line's reference y, window pixels
    std::vector<uint8_t> MemoClick;                   // per letter of all lines: 1 once it clicked
    TSpeedControlPtr SpeedControl;
    float Zoom = 0;
    std::vector<int> WaitSequence = std::vector<int>(8, 0);  // when each line starts; [7] the typing's end
    TSoundPtr ClickSound;
    TSoundPtr FallSound;

    // Builds the screen at the current ScaleX and ScaleY (the bitmap font must be the current
    // text font) and starts its clock.
    static TCreditsPtr start();
    // One frame at the clock's current time, drawn through the scale (ScaleX, ScaleY) the caller
    // set. After the script it clears CreditsScreen.
    int show();
    // The same frame at the time the clock already holds (the script alone, for a driven clock).
    int showAtDuration();
};

// Clears CreditsScreen; the sounds already started play on.
int CloseCreditsScreen();
