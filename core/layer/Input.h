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
