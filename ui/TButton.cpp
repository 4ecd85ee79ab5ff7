#include "ui/TButton.h"

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Sound.h"
#include "ui/WindowUnits.h"

namespace {
// The buttons' sounds: entering hover, pressing, releasing. The game leaves them empty.
void PlayButtonSound(size_t which) {
    if (which < ButtonSounds.size() && ButtonSounds[which]) PlaySoundOnce(ButtonSounds[which], nullptr);
}

// One button drawn in the look of its state: hover lightens, pressed warms; idle is untinted.
void DrawInState(const TButton& b, float x, float y) {
    switch (b.State) {
        case 0:
            DrawImageTransformed(b.Image, x, y, b.Selected);
            break;
        case 1:
            SetDrawBlendMode(4);
            SetDrawColor(200, 200, 200);
            DrawImageTransformed(b.Image, x, y, b.Selected);
            SetDrawColor(255, 255, 255);
            SetDrawBlendMode(3);
            break;
        case 2:
            SetDrawColor(240, 230, 210);
            DrawImageTransformed(b.Image, x, y, b.Selected);
            SetDrawColor(255, 255, 255);
            break;
        default:
            break;
    }
}

// The run first..last clipped to the slots that exist.
bool InRange(int i) { return i >= 0 && i < static_cast<int>(Buttons.size()) && Buttons[i]; }
}  // namespace

TButtonPtr TButton::build(int left, int top, int width, int height, const std::string& path,
                          uint8_t shape, uint8_t typ, uint8_t selected, uint8_t hotKey) {
    auto b = std::make_shared<TButton>();
    b->LeftX = left;
    b->TopY = top;
    b->RightX = left + width;
    b->DownY = top + height;
    b->Shape = shape;
    b->Typ = typ;
    b->Selected = selected;
    b->HotKey = hotKey;
    b->Image = LoadImageStrip(path, width, height, 0, (typ + 3) / 2, -1);
    return b;
}

bool TButton::IsOver(int mx, int my) const {
    const int l = WindowX(LeftX), t = WindowY(TopY), r = WindowX(RightX), d = WindowY(DownY);
    if (Shape == 0) return l <= mx && mx <= r && t <= my && my <= d;
    if (Shape != 1) return false;
    const int cx = (r + l) / 2, rx = (r - l) / 2, cy = (d + t) / 2, ry = (d - t) / 2;
    // A button shrunk to no width or height has no inside to hit.
    if (rx <= 0 || ry <= 0) return false;
    const double dx = mx - cx, dy = my - cy;
    return dx * dx / (static_cast<double>(rx) * rx) + dy * dy / (static_cast<double>(ry) * ry) <= 1.0;
}

int UpdateButtons(int first, int last) {
    const int mx = ReadMouseX(), my = ReadMouseY();
    int result = -1;
    for (int i = first; i <= last; ++i) {
        if (!InRange(i)) continue;
        TButton& b = *Buttons[i];
        const bool over = b.IsOver(mx, my);
        const bool altHeld = IsKeyHeld(kKeyLeftAlt) != 0;
        const bool altHot = altHeld && b.HotKey != 0;
        const bool hotHeld = b.HotKey != 0 && IsKeyHeld(b.HotKey) != 0;
        const bool held = IsMouseButtonHeld(1) != 0;
        bool release = false;
        switch (b.State) {
            case 0:
                // A press that began elsewhere does not light the button on arrival.
                if (!held && (altHot || over)) {
                    b.State = 1;
                    PlayButtonSound(0);
                }
                break;
            case 1:
                if (altHot || over) {
                    if (held || (altHeld && hotHeld)) {
                        b.State = 2;
                        PlayButtonSound(1);
                    }
                } else {
                    b.State = 0;
                }
                break;
            case 2:
                // A press fires when the mouse button and the hot key are both up, on the
                // button or, with Alt held, wherever the pointer is. Waiting for the mouse button
                // off the button too keeps one Alt-click from firing every other frame.
                if (over || altHot)
                    release = !held && !hotHeld;
                else
                    b.State = 0;
                break;
            default:
                break;
        }
        if (release) {
            result = i;
            b.State = 1;
            PlayButtonSound(2);
            if (b.Typ > 0) {
                if (b.Selected == 0) b.Selected = 1;
                else if (b.Typ == 1) b.Selected = 0;
            }
        }
        DrawInState(b, static_cast<float>(WindowX(b.LeftX)), static_cast<float>(WindowY(b.TopY)));
    }
    return result;
}

int DrawButtonReflections(int first, int last, float squash, float alpha) {
    SetDrawScale(ScaleX, -squash * ScaleY);
    SetDrawAlpha(alpha * GlobalAlpha);
    for (int i = first; i <= last; ++i) {
        if (!InRange(i)) continue;
        const TButton& b = *Buttons[i];
        // Hung upside down from the point squash x height under the bottom edge, the mirror
        // image's top touches the button's bottom.
        const float x = ScaleX * static_cast<float>(b.LeftX);
        const float y = ScaleY * (static_cast<float>(b.DownY) + squash * static_cast<float>(b.DownY - b.TopY));
        DrawInState(b, x, y);
    }
    SetDrawAlpha(GlobalAlpha);
    SetDrawScale(ScaleX, ScaleY);
    return 0;
}
