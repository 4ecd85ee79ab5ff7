// The striped progress bar shown while the puzzle is cut: a bar image with one stripe per step
// reached, filling from the left; each stripe is its own frame, so colours can change along it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/layer/Images.h"

class TProgressBar;
using TProgressBarPtr = std::shared_ptr<TProgressBar>;

class TProgressBar {
public:
    TImagePtr BarImage;     // handle at its centre
    TImagePtr StripeImage;  // Frames frames of FrameWidth x FrameHeight, handle (0, 0)
    int FrameWidth = 0;
    int FrameHeight = 0;
    int Frames = 0;         // stripes of a full bar
    int ReachedFrame = 0;   // stripes drawn by the last Show or ShowReflection

    static TProgressBarPtr build(const std::string& barPath, const std::string& stripePath,
                                 int frameWidth, int frameHeight, int frames);
    // The bar centred on (x, y) in design units with reached stripes, in the caller's scale,
    // colour and alpha.
    int Show(int x, int y, int reached);
    // The bar mirrored below a bar shown at the same place, squashed and faded, with an optional
    // caption in color.
    int ShowReflection(int x, int y, int reached, float squash, float alpha, const std::string& text,
                       const std::vector<int>& color);

private:
    void DrawStripes(int x, float y);
};
