// Play: drawing the pieces, picking the one under the mouse, dragging and turning it.
#include <cmath>

#include "core/Globals.h"
#include "core/Utilities.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/screens/TCongratulations.h"

int TPuzzle::HitTest(int mx, int my) {
    Auswahl_i = -1;
    hitPosition_ = -1;
    const std::vector<int>& order = *Reihenfolge;
    int n = std::min(static_cast<int>(order.size()), Spalten * Reihen);
    for (int k = n - 1; k >= 0; --k) {
        int p = order[k], i = p / Reihen, j = p % Reihen;
        if (TestImagesOverlap(Mouse_Pseudoimage, static_cast<float>(mx), static_cast<float>(my), 0, 0.0f,
                              1.0f, 1.0f, Puzzleteil(i, j), static_cast<float>(TruncateToInt(Puzzleteil_X(i, j))),
                              static_cast<float>(TruncateToInt(Puzzleteil_Y(i, j))), 0,
                              Puzzleteil_Drehwinkel(i, j), 1.0f, 1.0f)) {
            Auswahl_i = i;
            Auswahl_j = j;
            hitPosition_ = k;
            break;
        }
    }
    return Auswahl_i;
}

void TPuzzle::BringToFront(int h) {
    std::vector<int>& order = *Reihenfolge;
    if (h < 0 || h >= Summe - 1 || h >= static_cast<int>(order.size())) return;
    std::string key = PieceKey(Auswahl_i, Auswahl_j);
    for (const std::string& group : Verbund)
        if (FindSubstring(group, key, 1)) return;  // grouped pieces keep their place
    int last = std::min(Summe, static_cast<int>(order.size())) - 1;
    int moved = order[h];
    for (int k = h; k < last; ++k) order[k] = order[k + 1];
    order[last] = moved;
}

void TPuzzle::GroupFollows() {
    std::string key = PieceKey(Auswahl_i, Auswahl_j);
    for (size_t g = 0; g < Verbund.size(); ++g)
        if (FindSubstring(Verbund[g], key, 1)) {
            Abgehandelter_Verbund = key;
            Verbund_positionieren(Auswahl_i, Auswahl_j, static_cast<int>(g));
            return;
        }
}

void TPuzzle::RememberGrab(int mx, int my) {
    float X = Puzzleteil_X(Auswahl_i, Auswahl_j), Y = Puzzleteil_Y(Auswahl_i, Auswahl_j);
    MemoX = TruncateToInt(static_cast<float>(mx) - X);
    MemoY = TruncateToInt(static_cast<float>(my) - Y);
    MemoWinkel = TruncateToInt(VectorAngle(X, Y, static_cast<float>(mx), static_cast<float>(my)) -
                               Puzzleteil_Drehwinkel(Auswahl_i, Auswahl_j));
}

int TPuzzle::verwenden() {
    int mx = ReadMouseX(), my = ReadMouseY();
    if (!Bild) return 0;
    DrawImageTransformed(Mouse_Pseudoimage, static_cast<float>(mx), static_cast<float>(my), 0);
    SetDrawColor(255, 255, 255);
    const int n = std::min(static_cast<int>(Reihenfolge->size()), Spalten * Reihen);
    for (int k = 0; k < n; ++k) {
        int p = (*Reihenfolge)[k], i = p / Reihen, j = p % Reihen;
        SetDrawRotation(Puzzleteil_Drehwinkel(i, j));
        DrawImageTransformed(Puzzleteil(i, j), Puzzleteil_X(i, j), Puzzleteil_Y(i, j), 0);
    }

    bool left = IsMouseButtonHeld(1), right = IsMouseButtonHeld(2);
    switch (Aktiv_Sensor) {
        case 0:
            if (HitTest(mx, my) >= 0 && !left) {
                Mausradwert = ReadMouseWheel();
                Aktiv_Sensor = 1;
            }
            break;
        case 1:
            if (HitTest(mx, my) < 0) {
                Aktiv_Sensor = 0;
            } else if (left || right) {
                BringToFront(hitPosition_);
                RememberGrab(mx, my);
                Aktiv_Sensor = 2;
            } else if (ReadMouseWheel() != Mausradwert) {
                int w = ReadMouseWheel();
                BringToFront(hitPosition_);
                float& R = Puzzleteil_Drehwinkel(Auswahl_i, Auswahl_j);
                int step = Mausradintervall;
                R = static_cast<float>(step * (TruncateToInt(R - static_cast<float>(step * (w - Mausradwert))) / step));
                Mausradwert = w;
                Nachbarschaftsanalyse();
                GroupFollows();
            }
            break;
        case 2: {
            bool control = IsKeyHeld(kKeyLeftControl) || IsKeyHeld(kKeyRightControl);
            float& X = Puzzleteil_X(Auswahl_i, Auswahl_j);
            float& Y = Puzzleteil_Y(Auswahl_i, Auswahl_j);
            if ((left || right) && (right || control)) {
                Control_Key = 1;
                Puzzleteil_Drehwinkel(Auswahl_i, Auswahl_j) =
                    VectorAngle(X, Y, static_cast<float>(mx), static_cast<float>(my)) - MemoWinkel;
                GroupFollows();
            } else if (left) {
                int nx = mx - MemoX, ny = my - MemoY;
                if (Control_Key == 0 && 0 < nx && nx < ScreenWidth && 0 < ny && ny < ScreenHeight) {
                    X = static_cast<float>(mx) - MemoX;
                    Y = static_cast<float>(my) - MemoY;
                    GroupFollows();
                } else {
                    Control_Key = 0;
                    RememberGrab(mx, my);
                }
            } else {
                Nachbarschaftsanalyse();
                GroupFollows();
                Aktiv_Sensor = 0;
            }
            break;
        }
        default:
            Aktiv_Sensor = 0;
            break;
    }

    if (Congratulations) {
        SetDrawScale(ScaleX, ScaleY);
        SetDrawRotation(0);
        Congratulations->show();
    }
    return 0;
}
