// A horizontal slider: a button the player drags along a bar with the left mouse button or moves
// with the arrow keys; its position maps linearly onto a value between two limits. The one in
// the game is the menu's piece-count slider, Sliders[0].
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/layer/Images.h"

class THorizontalBar;
using THorizontalBarPtr = std::shared_ptr<THorizontalBar>;

// The piece-count slider's limits. The top is the single-precision 23.999 rather than 24, so the
// truncated value is always an index 0..23 of the piece-count table.
constexpr float kPieceSliderMinimum = 0.0f;
constexpr float kPieceSliderMaximum = 23.999f;
constexpr float kPieceSliderStart = 7.5f;

class THorizontalBar {
public:
    int CentralX = 0;            // centre of the track, design units
    int CentralY = 0;
    int Width = 0;               // length of the track the button's centre moves over
    float MiniValue = 0;         // value at the left end
    float Value = 0;
    float MaxiValue = 0;         // value at the right end
    int MemoDistance = 0;        // taken from the mouse x while dragging; always 0
    TImagePtr ButtonImage;       // handle centred
    int HalfButtonWidth = 0;     // image pixels
    int HalfButtonHeight = 0;
    uint8_t Shape = 0;           // kept as given; nothing reads it
    float ButtonCentralX = 0;    // design units
    TImagePtr BarImage;          // handle centred
    uint8_t KeyControl = 0;      // arrow-key step in window pixels per frame; 0 turns keys off
    uint8_t State = 0;           // 0 idle, 1 hover, 2 drag

    static THorizontalBarPtr build(int centreX, int centreY, int width, float minimum, float value,
                                   float maximum, const std::string& buttonPath,
                                   const std::string& barPath, uint8_t shape, uint8_t keyStep);
};

// Updates and draws Sliders[0] for this frame: 0 when its value changed in this call, else -1.
// Draws the bar in the caller's colour and scale; returns with white, alpha GlobalAlpha and the
// scale (ScaleX, ScaleY).
float UpdateHorizontalBar();
// Sets Sliders[index]'s value (not clamped) and moves its button to match.
int SetHorizontalBarValue(int index, float value);
// The size dialog borrows the piece-count slider, Sliders[0]. Lending it keeps the piece count
// aside, so that whatever ends the game meanwhile still saves the player's count, not a size;
// giving it back puts the count on the slider again.
void LendPieceSlider();
void GiveBackPieceSlider();
// The piece count's slider value: the slider's own, or the one kept aside while it is lent.
float PieceSliderValue();
