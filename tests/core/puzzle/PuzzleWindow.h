// A 1200 x 900 game window with the backdrop, a grid preview and a fresh puzzle, as the puzzle
// tests under a display need them.
#pragma once
#include <memory>

#include "core/EmbeddedMedia.h"
#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "core/puzzle/TPuzzle.h"

inline void OpenPuzzleWindow() {
    static bool registered = false;
    if (!registered) RegisterEmbeddedMedia();
    registered = true;
    OpenGraphicsWindow(1200, 900, 0, 60, 0);
    ScreenWidth = 1200;
    ScreenHeight = 900;
    ScaleX = ScaleY = 0.8f;
    SetBackgroundClearColor(255, 255, 255);
    SetDrawBlendMode(3);
    BackgroundImage = LoadImageFromSource("incbin::medien/etc/Background.jpg", -1);
    BackgroundScale = {1200.0f / 800, 900.0f / 600};
    GridPreview = std::make_shared<TGitterPreview>();
    CurrentPuzzle = TPuzzle::erschaffen(12);
}
