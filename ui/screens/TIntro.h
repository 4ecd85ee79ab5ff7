// The animated title at start-up: "HAVE FUN" flies in from the window's edges, "WITH" zooms up,
// "PLARN" and "PUZZLE" spin in cycling through a palette; at the end every letter turns once
// more and falls out of the window. A 10000 ms script: the entrance to 7000 ms, the exit after.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/TSpeedControl.h"
#include "core/layer/Sound.h"
#include "ui/screens/TTextLine.h"

class TIntro;
using TIntroPtr = std::shared_ptr<TIntro>;

class TIntro {
public:
    std::vector<TTextLinePtr> TextLine;
    std::vector<int> DurationSequence;   // period of each bob of line 0, ms
    std::vector<int> WaitSequence;       // offset of each bob of line 0, ms
    int TextHalfHeight = 0;              // not used by the screen
    TSpeedControlPtr SpeedControl;
    TSoundPtr Music;
    std::vector<std::array<int, 2>> SingleDistance = std::vector<std::array<int, 2>>(8, {0, 0});
    std::vector<int> Red, Green, Blue;   // the palette of lines 2 and 3

    // The entrance ends and the exit begins here; after the end the intro draws nothing more.
    static constexpr int kExitFrom = 7000;
    static constexpr int kEnd = 10000;

    // Builds the four lines in the current text font at the window's normal scale, starts the
    // music (which plays to its end on its own) and the clock.
    static TIntroPtr start(const std::vector<std::string>& lines);
    // One frame of the entrance or of the exit at the clock's current time. The caller has
    // doubled the scale; colour, alpha and blend mode stay the caller's.
    int GoIn();
    int GoOut();
    // The same frames at the time the clock already holds (the script alone, for a driven clock).
    int GoInAtDuration();
    int GoOutAtDuration();

private:
    // UpdateStates(d, o) then GetValue(c, k).
    float Phase(int period, int offset, int channel, int curve);
    // Lines 2 and 3 blend each letter from palette entry n + i to the next.
    void CycleColours(int line, int n);
    // The letters of line 0 that have a start point and a bob.
    int FlyingLetters() const;
};
