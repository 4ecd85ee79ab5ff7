// The chosen picture in the menu, fitted into a box on the design canvas. It is also the button
// that creates a puzzle: hovering lights a frame behind it with "CREATE" and "PUZZLE" beside it,
// and a press and release of the left button over it is a click.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/layer/Images.h"

class TImagePreview {
public:
    int MidX = 0;                 // picture centre, window pixels
    int MidY = 0;
    int HalfWidth = 0;            // half the shown size, design units
    int HalfHeight = 0;
    float Zoom = 0;               // design units per pixel of Image
    TImagePtr Image;              // the display-sized picture, handle at its centre
    uint8_t State = 0;            // 0 idle, 1 hover, 2 pressed
    int LeftBorder = 0;           // the frame rectangle, window pixels
    int TopBorder = 0;
    int OriginalImageWidth = 0;   // the picture file's own size
    int OriginalImageHeight = 0;
    int RectWidth = 0;
    int RectHeight = 0;
    std::vector<int> MaskColor{255, 0, 255};  // set as the layer's mask colour before each load

    // Loads the picture fitted into loadW x loadH window pixels (the window's size for 0 or
    // less) and lays it out centred on (midX, midY) in a maxW x maxH box, design units.
    // 0 when loaded. A picture that cannot be read or decoded (or is over the size bound) leaves
    // the preview exactly as it was, tells the player and gives -1.
    int Loading(const std::string& path, int midX, int midY, int maxW, int maxH, int loadW,
                int loadH, const std::vector<int>& maskColor);
    // Shows a picture already in memory, made from a file of originalW x originalH, laid out as
    // Loading lays out the picture it loads.
    void TakeImage(const TImagePtr& image, int originalW, int originalH, int midX, int midY, int maxW, int maxH);
    // Updates the hover state and draws frame, captions and picture; 1 in the frame in which a
    // click completes. Leaves the scale at the picture's zoomed scale.
    uint8_t Show();
    // A picture the player chose: loaded as the menu loads it, and kept only when its
    // display-sized version is at least 200 pixels on each side and whose name holds no line
    // break. Otherwise the preview goes back to the previous picture, the player is told, and
    // the result is 0.
    int LoadOwnPicture(const std::string& path);

private:
    void DrawFrame(int red, int green, int blue);
};
using TImagePreviewPtr = std::shared_ptr<TImagePreview>;

// The smallest display-sized picture that can be cut, pixels on each side.
constexpr int kMinPictureSide = 200;
