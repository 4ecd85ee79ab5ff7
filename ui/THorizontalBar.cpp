#include "ui/THorizontalBar.h"

#include <algorithm>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "ui/WindowUnits.h"

namespace {
// Where the button's centre sits for the slider's value, design units.
// Both ways are worked out in double precision and only the result is kept as a float, so that
// the value saved with a game is the one its place gives, not one a rounding step away.
float ButtonPlaceFor(const THorizontalBar& s) {
    const double range = static_cast<double>(s.MaxiValue) - s.MiniValue;
    if (range == 0) return static_cast<float>(s.CentralX);
    return static_cast<float>(s.CentralX + s.Width * ((s.Value - static_cast<double>(s.MiniValue)) / range - 0.5));
}

// The value for a button centre at window x bx on a track centred on cx, w pixels long.
float ValueAt(const THorizontalBar& s, float bx, int cx, int w) {
    const double mini = s.MiniValue, maxi = s.MaxiValue;
    const double v = mini + (maxi - mini) * ((static_cast<double>(bx) - cx) / w + 0.5);
    return static_cast<float>(std::min(maxi, std::max(mini, v)));
}

// The button's tints: idle, hover and held.
void TintIdle() { SetDrawColor(255, 160, 160); }
void TintHover() { SetDrawColor(240, 120, 120); }
void TintDrag() { SetDrawColor(255, 40, 40); }
}  // namespace

THorizontalBarPtr THorizontalBar::build(int centreX, int centreY, int width, float minimum, float value,
                                        float maximum, const std::string& buttonPath,
                                        const std::string& barPath, uint8_t shape, uint8_t keyStep) {
    auto s = std::make_shared<THorizontalBar>();
    s->CentralX = centreX;
    s->CentralY = centreY;
    s->Width = width;
    s->MiniValue = minimum;
    s->Value = value;
    s->MaxiValue = maximum;
    s->ButtonCentralX = ButtonPlaceFor(*s);
    s->ButtonImage = LoadImageFromSource(buttonPath, -1);
    CentreImageHandle(s->ButtonImage);
    s->HalfButtonWidth = TruncateToInt(0.5 * GetImageWidth(s->ButtonImage));
    s->HalfButtonHeight = TruncateToInt(0.5 * GetImageHeight(s->ButtonImage));
    s->Shape = shape;
    s->BarImage = LoadImageFromSource(barPath, -1);
    CentreImageHandle(s->BarImage);
    s->KeyControl = keyStep;
    return s;
}

float UpdateHorizontalBar() {
    if (Sliders.empty() || !Sliders[0]) return -1;
    THorizontalBar& s = *Sliders[0];
    const int mx = ReadMouseX(), my = ReadMouseY();
    float result = -1;
    // Everything below is in window pixels.
    const int cx = WindowX(s.CentralX);
    const int cy = WindowY(s.CentralY);
    const int hw = WindowX(s.HalfButtonWidth);
    const int hh = WindowY(s.HalfButtonHeight);
    const int w = WindowX(s.Width);
    const float left = static_cast<float>(cx) - 0.5f * static_cast<float>(w);
    const float right = static_cast<float>(cx) + 0.5f * static_cast<float>(w);
    float bx = ScaleX * s.ButtonCentralX;

    // The bar, then its reflection squashed to 0.6 of the height, one pixel under it.
    SetDrawAlpha(GlobalAlpha);
    DrawImageTransformed(s.BarImage, static_cast<float>(cx), static_cast<float>(cy), 0);
    const double sy = ScaleY;
    const int ry = TruncateToInt(1.0 + sy * s.CentralY + 0.5 * GetImageHeight(s.BarImage) * 1.6 * sy);
    SetDrawScale(ScaleX, -0.6f * ScaleY);
    SetDrawAlpha(0.15f * GlobalAlpha);
    DrawImageTransformed(s.BarImage, ScaleX * static_cast<float>(s.CentralX), static_cast<float>(ry), 0);
    SetDrawAlpha(GlobalAlpha);
    SetDrawScale(ScaleX, ScaleY);

    TintIdle();
    // The whole track plus half a button at each end, as high as the button.
    const bool inZone = left - static_cast<float>(hw) <= static_cast<float>(mx) &&
                        static_cast<float>(mx) <= right + static_cast<float>(hw) && cy - hh <= my &&
                        my <= cy + hh;
    const bool held = IsMouseButtonHeld(1) != 0;
    switch (s.State) {
        case 0:
            // With the button already held the idle slider ignores the pointer: a press that
            // began elsewhere never grabs it.
            if (!held && inZone) {
                s.State = 1;
                TintHover();
            }
            break;
        case 1:
            TintHover();
            if (inZone && held) {
                s.State = 2;
                TintDrag();
            } else if (!inZone) {
                s.State = 0;
                TintIdle();
            }
            break;
        default:
            TintDrag();
            if (held) {
                // The drag goes on wherever the pointer is; the button's centre follows its x.
                const float old = s.Value;
                bx = static_cast<float>(mx - s.MemoDistance);
                if (bx < left) {
                    bx = left;
                    s.Value = s.MiniValue;
                } else if (bx > right) {
                    bx = right;
                    s.Value = s.MaxiValue;
                } else {
                    s.Value = ValueAt(s, bx, cx, w);
                }
                if (s.Value != old) result = 0;
                s.ButtonCentralX = bx / ScaleX;
            } else {
                s.State = 1;
                TintHover();
            }
            break;
    }

    // The arrow keys move the button by KeyControl window pixels per frame while held, in every
    // state; left and down win over right and up.
    if (s.KeyControl > 0) {
        const float old = s.Value;
        bool moved = false;
        if (IsKeyHeld(kKeyLeft) || IsKeyHeld(kKeyDown)) {
            bx -= s.KeyControl;
            if (bx < left) bx = left;
            moved = true;
        } else if (IsKeyHeld(kKeyRight) || IsKeyHeld(kKeyUp)) {
            bx += s.KeyControl;
            if (bx > right) bx = right;
            moved = true;
        }
        if (moved) {
            s.Value = ValueAt(s, bx, cx, w);
            if (s.Value != old) result = 0;
            s.ButtonCentralX = bx / ScaleX;
        }
    }

    DrawImageTransformed(s.ButtonImage, bx, static_cast<float>(cy), 0);
    SetDrawScale(ScaleX, -0.6f * ScaleY);
    SetDrawAlpha(0.15f * GlobalAlpha);
    DrawImageTransformed(s.ButtonImage, ScaleX * s.ButtonCentralX, static_cast<float>(ry), 0);

    SetDrawAlpha(GlobalAlpha);
    SetDrawScale(ScaleX, ScaleY);
    SetDrawColor(255, 255, 255);
    return result;
}

namespace {
bool pieceSliderLent = false;
float keptPieceValue = 0;
}  // namespace

void LendPieceSlider() {
    keptPieceValue = PieceSliderValue();
    pieceSliderLent = true;
}

void GiveBackPieceSlider() {
    if (!pieceSliderLent) return;
    pieceSliderLent = false;
    SetHorizontalBarValue(0, keptPieceValue);
}

float PieceSliderValue() {
    if (pieceSliderLent) return keptPieceValue;
    return Sliders.empty() || !Sliders[0] ? 0.0f : Sliders[0]->Value;
}

int SetHorizontalBarValue(int index, float value) {
    if (index < 0 || index >= static_cast<int>(Sliders.size()) || !Sliders[index]) return 0;
    THorizontalBar& s = *Sliders[index];
    s.Value = value;
    s.ButtonCentralX = ButtonPlaceFor(s);
    return 0;
}
