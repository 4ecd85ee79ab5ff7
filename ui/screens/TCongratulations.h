// The reward when the puzzle is complete: "CONGRATULATIONS" in gold letters bobbing in a wave
// over a picture, zooming in with it to music, then shrinking and fading out. A 9000 ms script;
// after it the screen draws nothing.
#pragma once
#include <memory>
#include <vector>

#include "core/TSpeedControl.h"
#include "core/layer/Images.h"
#include "core/layer/Sound.h"
#include "ui/screens/TTextLine.h"

class TCongratulations;
using TCongratulationsPtr = std::shared_ptr<TCongratulations>;

class TCongratulations {
public:
    TTextLinePtr TextLine;
    int TextHalfHeight = 0;          // not used by the screen
    TSpeedControlPtr SpeedControl;
    std::vector<int> WaitSequence;   // each letter's delay, ms
    TSoundPtr Music;
    TImagePtr C_Background;

    // Builds the screen (the bitmap font must be the current text font), starts its music,
    // which runs to its end on its own, and its clock.
    static TCongratulationsPtr start();
    // One frame at the clock's current time. The caller sets the scale to (ScaleX, ScaleY) and
    // rotation 0 first; colour and blend mode are the caller's.
    int show();
    // The same frame at the time the clock already holds (the script alone, for a driven clock).
    int showAtDuration();
};
