// What the three icon bars share: the 200 ms zoom, the magnification weights of the entry under
// the pointer and its neighbours, the click state, and the order in which the entries are laid
// out along the bar. The bars themselves only add their geometry across the bar and their look.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/TSpeedControl.h"
#include "core/layer/Images.h"

class TMacDockImitat {
public:
    int FrameCount = 0;               // number of entries - 1
    TImagePtr Image;                  // icon strip, one frame per entry, handle centred
    float GeneralZoom = 0;            // zoom of an entry at rest
    float Interval = 0;               // length of one entry's slot, window pixels
    TSpeedControlPtr SpeedControl;    // clock of the zoom
    uint8_t Animation = 0;            // 1 zooming in or zoomed, 0 zooming out or flat
    float AnimationZoom = 0;          // 0 flat .. 1 fully magnified
    float MemoAnimationZoom = 0;      // zoom of the last update: where the next transition starts
    float AnimationFactor = 0;        // span of the running transition
    float AnimationStartValue = 0;
    std::vector<float> AddZoom;       // per entry, its weight 0..1 from the pointer
    int MemoSelectedFrame = -1;       // entry under the pointer at the last inside update
    float MemoDifference = 0;         // pointer's offset from that entry's slot centre, pixels
    int State = 0;                    // -1 blocked, 0 ready, 1 pressed

    // Forces the outside state: the next update outside lands flat at once.
    int StopAnimation();

protected:
    // Loads the icon strip and sets up the fields that do not depend on the scale.
    void LoadEntries(const std::string& path, int frames, int cellW, int cellH);
    // The slot length and rest zoom for a bar `length` pixels long whose entries are `full`
    // pixels long when magnified; gives the resting depth of the hit area.
    int Measure(int length, int full, int halfCross);
    // The hit area's depth across the bar for an entry of this weight.
    int HitDepth(int halfCross, float weight) const;
    // One frame's update from the pointer: `inside` the hit area, `d` pixels along the bar from
    // its start. `cross` is the bar's hit-area depth, updated here. The entry clicked, else -1.
    int Follow(bool inside, int d, int length, int halfCross, int& cross);
    // Lays the entries along the bar from its start (window pixels), each `full` pixels long at
    // zoom 1, and calls draw(entry, centre along the bar, zoom) for each in drawing order.
    template <class Draw>
    void ForEachEntry(float start, int full, Draw draw) const;
    // The pressed look: the same picture added once more, dimmed.
    static void DrawBrightened(const TImagePtr& image, float x, float y, int frame);
};

template <class Draw>
void TMacDockImitat::ForEachEntry(float start, int full, Draw draw) const {
    const float k = 1 - GeneralZoom;
    const float grow = AnimationZoom * k * static_cast<float>(full);
    // The row is laid out from the end farther from the hovered entry, so that end stays put.
    const bool forward = static_cast<float>(MemoSelectedFrame) > 0.5f * static_cast<float>(FrameCount);
    float pos = forward ? start - grow
                        : start + GeneralZoom * static_cast<float>(FrameCount + 1) * static_cast<float>(full) + grow;
    const float dir = forward ? 1.0f : -1.0f;
    for (int n = 0; n <= FrameCount; ++n) {
        const int i = forward ? n : FrameCount - n;
        const float weight = i < static_cast<int>(AddZoom.size()) ? AddZoom[i] : 0.0f;
        const float z = GeneralZoom + k * AnimationZoom * weight;
        const float half = 0.5f * z * static_cast<float>(full);
        pos += dir * half;
        draw(i, pos, z);
        pos += dir * half;
    }
}
