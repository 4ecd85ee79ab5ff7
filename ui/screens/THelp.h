// The help overlay: the controls in three sentences and a return line over a dark veil, to its
// own music. Each word is a text line of its own, so the first sentence's words wobble and the
// other two sentences' words rock, each with its own period. An 18000 ms script that ends
// itself; at most one runs, held in HelpScreen.
#pragma once
#include <memory>
#include <vector>

#include "core/TSpeedControl.h"
#include "core/layer/Sound.h"
#include "ui/screens/TTextLine.h"

class THelp;
using THelpPtr = std::shared_ptr<THelp>;

class THelp {
public:
    // 0..8 the words of sentence 1, 9..14 of sentence 2, 15..20 of sentence 3, 21 the return line.
    std::vector<TTextLinePtr> TextLine = std::vector<TTextLinePtr>(22);
    std::vector<float> X = std::vector<float>(22, 0.0f);  // each entry's centre, window pixels
    TSpeedControlPtr SpeedControl;
    float Zoom = 0;                                        // the text scale of every entry
    TSoundPtr Music;
    TChannelPtr Kanal;                                     // the music's channel, for closing early
    std::vector<int> MovingWayX = std::vector<int>(9, 0);  // wobble amplitudes of sentence 1, pixels
    std::vector<int> MovingWayY = std::vector<int>(9, 0);
    std::vector<int> Duration = std::vector<int>(12, 0);   // wobble and rocking periods, ms

    // Closes a running help screen, music and all; then builds the screen at the current ScaleX
    // and ScaleY (the bitmap font must be the current text font), starts its music and its
    // clock. The caller keeps it in HelpScreen.
    static THelpPtr start();
    // One frame at the clock's current time, drawn through the scale (ScaleX, ScaleY) the caller
    // set. After the script it sets LaunchState to 1 and clears HelpScreen.
    int show();
    // The same frame at the time the clock already holds (the script alone, for a driven clock).
    int showAtDuration();
};

// Stops the running help screen's music and clears HelpScreen; nothing when none runs.
int CloseHelpScreen();
