// The idle / hover / pressed states of a picture that is clicked by letting the left button go
// over it: the image preview and the size dialog's miniature desktop share this table.
#pragma once
#include <cstdint>

// What to light this frame: nothing, the hover look or the pressed look.
enum TPressLook { kLookNone, kLookHover, kLookPressed };

struct TPressStep {
    TPressLook look = kLookNone;
    bool clicked = false;  // the button was let go over the picture in this frame
};

// Advances state (0 idle, 1 hover, 2 pressed) by one frame.
inline TPressStep StepPressState(uint8_t& state, bool inside, bool held) {
    TPressStep step;
    switch (state) {
        case 0:
            // A button already held when the mouse comes in lights nothing.
            if (!held && inside) {
                step.look = kLookHover;
                state = 1;
            }
            break;
        case 1:
            if (inside) {
                step.look = kLookHover;
                if (held) state = 2;
            } else {
                state = 0;
            }
            break;
        case 2:
            if (inside) {
                step.look = kLookPressed;
                if (!held) {
                    state = 0;
                    step.clicked = true;
                }
            } else {
                state = 0;
            }
            break;
        default:
            state = 0;
            break;
    }
    return step;
}
