// Polled keyboard and mouse input; the window collects events between frames.
#pragma once

// Key codes.
enum : int {
    kKeyEnter = 13, kKeyEscape = 27, kKeySpace = 32, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39,
    kKeyDown = 40, kKeyF1 = 112, kKeyLeftControl = 162, kKeyRightControl = 163, kKeyLeftAlt = 164
};

int TakeQuitRequest();
int TakeKeyHits(int key);
int IsKeyHeld(int key);
int TakeTypedChar();
void ClearKeyboardState();
int ReadMouseX();
int ReadMouseY();
int ReadMouseWheel();
int IsMouseButtonHeld(int button);
void ClearMouseState();
// Collects pending window events (PresentFrame does this too).
void PollWindowEvents();
// Lets go of buttons whose release came before the game had seen them held (each poll).
void SettleMouseButtons();

// The event sink the window back ends feed (also used by tests to play input).
void InputKeyDown(int key);
void InputKeyUp(int key);
void InputTypedChar(int code);
void InputMouseMove(int x, int y);
void InputMouseButton(int button, bool down);
void InputMouseWheel(int steps);
void InputQuitRequest();
// A key held (or no longer held) across a dialog: while held it counts again only once let go.
void InputHoldUntilReleased(int key, bool hold);
// True while such a key is held back: its presses are not counted and type nothing.
bool InputKeyHeldBack(int key);
// Around a dialog: the keys down as it opens are held back until let go; as it closes the game's
// queued events are taken in and keys let go meanwhile count again.
void HoldKeysDownNow();
void ReleaseKeysUpNow();
