// The widgets' tests work in design units: a headless window of the 1500 x 1125 canvas at scale 1
// (no X, no pacing), with the built-in media at hand.
#pragma once
#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Window.h"

inline void OpenDesignWindow() {
    UseHeadlessWindow(true);
    RegisterEmbeddedMedia();
    OpenGraphicsWindow(1500, 1125, 0, 0, 0);
    ScaleX = ScaleY = 1;
}
