#include "ui/TMacDockImitat.h"

#include <algorithm>
#include <cmath>

#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Lifetime.h"
#include "core/layer/Numbers.h"

namespace {
// The zoom runs linearly over this many milliseconds, in and out alike.
constexpr int kZoomMilliseconds = 200;

bool EitherButtonHeld() { return IsMouseButtonHeld(1) != 0 || IsMouseButtonHeld(2) != 0; }
}  // namespace

int TMacDockImitat::StopAnimation() {
    Animation = 0;
    AnimationStartValue = 0;
    AnimationFactor = 0;
    return 0;
}

void TMacDockImitat::LoadEntries(const std::string& path, int frames, int cellW, int cellH) {
    Image = LoadImageStrip(path, cellW, cellH, 0, frames, -1);
    // The bars are the menu: without their pictures the game cannot be worked at all.
    if (!Image) LayerFatalError(("Unable to load " + path).c_str());
    CentreImageHandle(Image);
    FrameCount = frames - 1;
    AddZoom.assign(static_cast<size_t>(std::max(frames, 0)), 0.0f);
    MemoSelectedFrame = -1;
    SpeedControl = std::make_shared<TSpeedControl>();
}

int TMacDockImitat::Measure(int length, int full, int halfCross) {
    Interval = static_cast<float>(length) / static_cast<float>(FrameCount + 1);
    GeneralZoom = Interval / static_cast<float>(full);
    return HitDepth(halfCross, 0);
}

int TMacDockImitat::HitDepth(int halfCross, float weight) const {
    // In double precision, as the window's own sizes are: in a 400 x 300 window the main bar's
    // rest zoom 0.5833333f times 48 lies just under 28, so it rests 27 pixels deep, not 28.
    const double zoom = GeneralZoom;
    return TruncateToInt((zoom + (1.0 - zoom) * weight) * 2.0 * halfCross);
}

int TMacDockImitat::Follow(bool inside, int d, int length, int halfCross, int& cross) {
    const bool held = EitherButtonHeld();
    if (!inside) {
        if (Animation == 1) {
            // Crossing out: the zoom-out starts from wherever the zoom-in had got.
            AnimationStartValue = AnimationFactor = AnimationZoom = MemoAnimationZoom;
            Animation = 0;
            SpeedControl->Start();
        } else {
            SpeedControl->UpdateTime();
            SpeedControl->UpdateStates(kZoomMilliseconds, 0);
            AnimationZoom = AnimationStartValue - AnimationFactor * SpeedControl->GetValue(0, 0);
            MemoAnimationZoom = AnimationZoom;
        }
        cross = HitDepth(halfCross, 0);
        // A press that begins outside can never click, even when released over the bar.
        State = held ? -1 : 0;
        return -1;
    }
    if (State == -1) {
        // Arrived with a button held: everything stays as it was until both are up.
        if (!held) State = 0;
        return -1;
    }
    AddZoom.assign(static_cast<size_t>(FrameCount + 1), 0.0f);
    MemoDifference = 0;
    if (Animation == 1) {
        SpeedControl->UpdateTime();
        SpeedControl->UpdateStates(kZoomMilliseconds, 0);
        AnimationZoom = AnimationStartValue + AnimationFactor * SpeedControl->GetValue(0, 0);
        MemoAnimationZoom = AnimationZoom;
    } else {
        AnimationStartValue = MemoAnimationZoom;
        AnimationFactor = 1 - MemoAnimationZoom;
        AnimationZoom = MemoAnimationZoom;
        Animation = 1;
        SpeedControl->Start();
    }
    // The hit area keeps d strictly inside the bar; the clamp only guards the weights' array.
    const int s = std::clamp(static_cast<int>(static_cast<long long>(FrameCount + 1) * d / std::max(length, 1)), 0,
                             FrameCount);
    MemoSelectedFrame = s;
    // How many slots the pointer is from entry n's slot centre.
    const double interval = Interval;
    auto slots = [&](int n) { return std::fabs(d - (n + 0.5) * interval) / interval; };
    AddZoom[s] = static_cast<float>(1 - 0.5 * slots(s));
    // The hit area reaches the hovered entry's full depth at once, ahead of the zoom.
    cross = HitDepth(halfCross, AddZoom[s]);
    MemoDifference = static_cast<float>(d - (s + 0.5) * interval);
    for (int n : {s + 1, s + 2, s - 1, s - 2})
        if (n >= 0 && n <= FrameCount) AddZoom[n] = static_cast<float>(1 - 0.5 * std::min(2.0, slots(n)));
    if (State == 0) {
        if (held) State = 1;
        return -1;
    }
    if (held) return -1;
    // Both buttons up after a press inside: the entry under the pointer now is the choice.
    State = 0;
    return s;
}

void TMacDockImitat::DrawBrightened(const TImagePtr& image, float x, float y, int frame) {
    SetDrawBlendMode(4);
    SetDrawColor(64, 64, 64);
    DrawImageTransformed(image, x, y, frame);
    SetDrawColor(255, 255, 255);
    SetDrawBlendMode(3);
}
