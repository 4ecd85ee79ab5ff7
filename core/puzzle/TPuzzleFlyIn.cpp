// The fly-in that opens play: the pieces come in one after another from outside the window.
#include <algorithm>

#include "core/Globals.h"
#include "core/Backdrop.h"
#include "core/TSpeedControl.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Window.h"
#include "core/puzzle/TPuzzle.h"

std::function<int()> PuzzleMenuDoor;

namespace {
constexpr int kFlyInTime = 1500;   // the whole fly-in, ms
constexpr int kPieceFlight = 750;  // each piece's own flight; the starts spread over as long

void FlyInBackdrop() {
    SetDrawAlpha(1);
    SetDrawRotation(0);
    DrawBackdrop();
}
}  // namespace

void TPuzzle::FlyInStarts(Grid2<int>& startX, Grid2<int>& startY) const {
    const int cw = GetImageWidth(Bild) / Spalten, ch = GetImageHeight(Bild) / Reihen;
    startX = Grid2<int>(Spalten, Reihen);
    startY = Grid2<int>(Spalten, Reihen);
    for (int i = 0; i < Spalten; ++i)
        for (int j = 0; j < Reihen; ++j) {
            // The side first, then where along it.
            switch (RandomIntInRange(0, 3)) {
                case 0:
                    startX(i, j) = RandomIntInRange(0, ScreenWidth);
                    startY(i, j) = -ch;
                    break;
                case 1:
                    startX(i, j) = RandomIntInRange(0, ScreenWidth);
                    startY(i, j) = ScreenHeight + ch;
                    break;
                case 2:
                    startX(i, j) = -cw;
                    startY(i, j) = RandomIntInRange(0, ScreenHeight);
                    break;
                default:
                    startX(i, j) = ScreenWidth + cw;
                    startY(i, j) = RandomIntInRange(0, ScreenHeight);
                    break;
            }
        }
}

void TPuzzle::FlyInFrame(TSpeedControl& clock, const Grid2<int>& startX, const Grid2<int>& startY) const {
    FlyInBackdrop();
    FlyInPieces(clock, startX, startY);
}

void TPuzzle::FlyInPieces(TSpeedControl& clock, const Grid2<int>& startX, const Grid2<int>& startY) const {
    const int N = Spalten * Reihen;
    const int n = std::min(static_cast<int>(Reihenfolge->size()), N);
    for (int k = 0; k < n; ++k) {
        // Piece k of the draw order sets off k/N of a flight after the first.
        clock.UpdateStates(kPieceFlight, k * kPieceFlight / N);
        const float d = clock.GetValue(0, 13);
        SetDrawScale(0.5f + 0.5f * d, 0.5f + 0.5f * d);
        const int p = (*Reihenfolge)[k], i = p / Reihen, j = p % Reihen;
        // Even columns make a whole turn clockwise on the way, odd ones come the other way.
        const float s = RaiseToPower(-1, static_cast<float>(i));
        const float R = Puzzleteil_Drehwinkel(i, j);
        SetDrawRotation((1 - d) * s * (R - 360) + d * R);
        DrawImageTransformed(Puzzleteil(i, j), (1 - d) * startX(i, j) + d * Puzzleteil_X(i, j),
                             (1 - d) * startY(i, j) + d * Puzzleteil_Y(i, j), 0);
    }
}

int TPuzzle::FlyIn() {
    if (!Bild || Spalten <= 0 || Reihen <= 0) return 0;
    Grid2<int> startX, startY;
    FlyInStarts(startX, startY);
    TSpeedControl clock;
    PlaySoundOnce(FlyInSound, nullptr);
    clock.Start();
    while (clock.Duration < kFlyInTime) {
        // The clock is read after the backdrop, so the pieces stand where the frame's time puts them.
        FlyInBackdrop();
        clock.UpdateTime();
        FlyInPieces(clock, startX, startY);
        PresentFrame(-1);
        LastTypedChar = static_cast<uint8_t>(TakeTypedChar());
        if (LastTypedChar != 0) {
            // The menu takes over; when it returns, play goes on without the rest of the flight.
            if (PuzzleMenuDoor) PuzzleMenuDoor();
            break;
        }
    }
    ClearMouseState();
    ClearKeyboardState();
    return 0;
}
