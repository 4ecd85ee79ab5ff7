#include "ui/TImagePreview.h"

#include "ui/PressState.h"

#include "core/Globals.h"
#include "core/Utilities.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Streams.h"
#include "core/layer/Window.h"
#include "ui/PressState.h"
#include "ui/WindowUnits.h"

namespace {
std::string TooLargeNotice() {
    return "The selected Image could not be loaded!\nIt has to be a JPEG, PNG or BMP picture of at most " +
           IntToString(kMaxPictureSide) + " pixels on each side\nand " +
           IntToString(static_cast<int>(kMaxPicturePixels / (1024 * 1024))) + " megapixels in all.";
}

// Why a picture gave none: a file the player may not read is no fault of its format, and only a
// picture over the size bound is told about the bound (a cut-off photo is not too large).
TDialogText WhyNotLoaded(const std::string& path) {
    if (!OpenStreamForReading(path)) return "This file couldn't be read:\n" + QuotedPicture(path);
    if (LastPictureRefusedForSize()) return TooLargeNotice();
    return "This file couldn't be read as a picture:\n" + QuotedPicture(path);
}
}  // namespace

int TImagePreview::Loading(const std::string& path, int midX, int midY, int maxW, int maxH,
                           int loadW, int loadH, const std::vector<int>& maskColor) {
    if (loadW <= 0) loadW = GetGraphicsWidth();
    if (loadH <= 0) loadH = GetGraphicsHeight();
    if (maskColor.size() == 3) MaskColor = maskColor;
    SetImageMaskColor(MaskColor[0], MaskColor[1], MaskColor[2]);
    // The new picture is decoded before anything of the old one is given up, so that a picture
    // that cannot be used leaves the preview (and the puzzle cut from it) as it was.
    int originalW = 0, originalH = 0;
    TImagePtr image = LoadImageFitted(path, loadW, loadH, originalW, originalH);
    if (!image) {
        ShowNoticeBox(WhyNotLoaded(path), 0);
        return -1;
    }
    TakeImage(image, originalW, originalH, midX, midY, maxW, maxH);
    return 0;
}

void TImagePreview::TakeImage(const TImagePtr& image, int originalW, int originalH, int midX, int midY, int maxW,
                              int maxH) {
    MidX = WindowX(midX);
    MidY = WindowY(midY);
    Image = image;
    OriginalImageWidth = originalW;
    OriginalImageHeight = originalH;
    CentreImageHandle(Image);
    const int w = GetImageWidth(Image), h = GetImageHeight(Image);
    // Only the longer side is compared with its limit.
    if (w >= h) {
        if (w > maxW) {
            Zoom = static_cast<float>(maxW) / static_cast<float>(w);
            HalfWidth = TruncateToInt(0.5 * maxW);
            HalfHeight = TruncateToInt(static_cast<float>(0.5f * Zoom) * static_cast<double>(h));
        } else {
            Zoom = 1;
            HalfWidth = TruncateToInt(0.5 * w);
            HalfHeight = TruncateToInt(0.5 * h);
        }
    } else {
        if (h > maxH) {
            Zoom = static_cast<float>(maxH) / static_cast<float>(h);
            HalfHeight = TruncateToInt(0.5 * maxH);
            HalfWidth = TruncateToInt(static_cast<float>(0.5f * Zoom) * static_cast<double>(w));
        } else {
            Zoom = 1;
            HalfWidth = TruncateToInt(0.5 * w);
            HalfHeight = TruncateToInt(0.5 * h);
        }
    }
    // The frame reaches 3 pixels beyond the picture on the left and at the top, 5 on the right
    // and 4 at the bottom.
    const double sx = ScaleX, sy = ScaleY;
    LeftBorder = TruncateToInt(MidX - sx * HalfWidth - 3);
    TopBorder = TruncateToInt(MidY - sy * HalfHeight - 3);
    RectWidth = TruncateToInt(2 * sx * HalfWidth + 8);
    RectHeight = TruncateToInt(2 * sy * HalfHeight + 7);
}

void TImagePreview::DrawFrame(int red, int green, int blue) {
    SetDrawScale(1, 1);
    SetDrawColor(red, green, blue);
    FillRectangle(static_cast<float>(LeftBorder), static_cast<float>(TopBorder),
                  static_cast<float>(RectWidth), static_cast<float>(RectHeight));
    SetDrawScale(ScaleX, ScaleY);
    DrawTextString("CREATE", 220 * ScaleX, 440 * ScaleY);
    DrawTextString("PUZZLE", 990 * ScaleX, 440 * ScaleY);
    SetDrawColor(255, 255, 255);
}

uint8_t TImagePreview::Show() {
    uint8_t result = 0;
    if (!Image) return 0;
    const int mx = ReadMouseX(), my = ReadMouseY();
    const bool inside = LeftBorder < mx && mx < LeftBorder + RectWidth && TopBorder < my &&
                        my < TopBorder + RectHeight;
    const bool held = IsMouseButtonHeld(1) != 0;
    const TPressStep step = StepPressState(State, inside, held);
    if (step.look == kLookHover) DrawFrame(0, 160, 255);
    if (step.look == kLookPressed) DrawFrame(22, 222, 255);
    if (step.clicked) result = 1;
    SetDrawScale(ScaleX * Zoom, ScaleY * Zoom);
    DrawImageTransformed(Image, static_cast<float>(MidX), static_cast<float>(MidY), 0);
    return result;
}

int TImagePreview::LoadOwnPicture(const std::string& path) {
    if (HoldsLineBreak(path)) {
        ShowNoticeBox("The selected Image can't be used!\nIts name must not contain a line break:\n" +
                          QuotedPicture(path),
                      0);
        return 0;
    }
    const TImagePreview before = *this;
    if (Loading(path, 750, 410, 400, 400, TruncateToInt(0.8 * ScreenWidth),
                TruncateToInt(0.8 * ScreenHeight), {}) != 0)
        return 0;  // already told, and nothing changed
    if (GetImageWidth(Image) >= kMinPictureSide && GetImageHeight(Image) >= kMinPictureSide) return 1;
    *this = before;
    ShowNoticeBox("The selected Image is too small!\nIt has to be at least 200 pixels on each side.", 0);
    return 0;
}
