// Polled input: the window back end feeds events in, the game takes them out between frames.
#include "Input.h"

#include <cstddef>
#include <deque>

namespace {
constexpr int kKeys = 256;
constexpr size_t kTypedQueue = 256;

struct InputState {
    bool quit = false;
    bool held[kKeys] = {};
    int hits[kKeys] = {};
    std::deque<int> typed;
    int mouseX = 0, mouseY = 0, wheel = 0;
    bool buttons[4] = {};
    // A press and release that reach us between two frames would otherwise never be seen held:
    // the release waits until the game has read the button once.
    bool releasePending[4] = {};
    bool readSincePress[4] = {};
    // Keys that were down when a dialog opened: their repeats neither count nor type until the
    // key has been let go, so a held Escape asks its question once.
    bool waitRelease[kKeys] = {};
};
InputState S;

bool ValidKey(int key) { return key >= 0 && key < kKeys; }
}  // namespace

int TakeQuitRequest() {
    PollWindowEvents();
    bool q = S.quit;
    S.quit = false;
    return q ? 1 : 0;
}

int TakeKeyHits(int key) {
    if (!ValidKey(key)) return 0;
    int n = S.hits[key];
    S.hits[key] = 0;
    return n;
}

int IsKeyHeld(int key) { return ValidKey(key) && S.held[key] ? 1 : 0; }

int TakeTypedChar() {
    if (S.typed.empty()) return 0;
    int c = S.typed.front();
    S.typed.pop_front();
    return c;
}

void ClearKeyboardState() {
    S.typed.clear();
    for (int k = 0; k < kKeys; ++k) { S.held[k] = false; S.hits[k] = 0; }
}

int ReadMouseX() { return S.mouseX; }
int ReadMouseY() { return S.mouseY; }
int ReadMouseWheel() { return S.wheel; }
int IsMouseButtonHeld(int button) {
    if (button < 1 || button > 3) return 0;
    S.readSincePress[button] = true;
    return S.buttons[button] ? 1 : 0;
}

void ClearMouseState() {
    for (int b = 0; b < 4; ++b) S.buttons[b] = S.releasePending[b] = false;
    S.wheel = 0;
}

void SettleMouseButtons() {
    for (int b = 1; b <= 3; ++b)
        if (S.releasePending[b] && S.readSincePress[b]) S.buttons[b] = S.releasePending[b] = false;
}

void InputKeyDown(int key) {
    if (!ValidKey(key) || S.waitRelease[key]) return;
    if (!S.held[key]) ++S.hits[key];  // a transition, not an auto-repeat
    S.held[key] = true;
}
bool InputKeyHeldBack(int key) { return ValidKey(key) && S.waitRelease[key]; }
void InputKeyUp(int key) {
    if (!ValidKey(key)) return;
    S.held[key] = false;
    S.waitRelease[key] = false;
}
void InputHoldUntilReleased(int key, bool hold) {
    if (!ValidKey(key)) return;
    S.waitRelease[key] = hold;
    if (hold) S.held[key] = false;
}
void InputTypedChar(int code) {
    if (S.typed.size() < kTypedQueue) S.typed.push_back(code);
}
void InputMouseMove(int x, int y) { S.mouseX = x; S.mouseY = y; }
void InputMouseButton(int button, bool down) {
    if (button < 1 || button > 3) return;
    if (down) {
        S.buttons[button] = true;
        S.releasePending[button] = false;
        S.readSincePress[button] = false;
    } else if (S.buttons[button] && !S.readSincePress[button]) {
        S.releasePending[button] = true;
    } else {
        S.buttons[button] = false;
    }
}
void InputMouseWheel(int steps) { S.wheel += steps; }
void InputQuitRequest() { S.quit = true; }
