// The one global drawing state and the immediate-mode drawing operations.
#pragma once
#include <string>
#include <vector>
#include "Images.h"

struct TImageFont;
using TImageFontPtr = std::shared_ptr<TImageFont>;

// Blend modes: 1 mask, 2 solid, 3 alpha, 4 light, 5 shade; others act as solid.
void SetDrawColor(int red, int green, int blue);
void SetDrawAlpha(float alpha);
void SetDrawBlendMode(int mode);
void SetDrawRotation(float degrees);
void SetDrawScale(float scaleX, float scaleY);
void SetDrawHandle(float x, float y);
void SetDrawOrigin(float x, float y);
void SetDrawLineWidth(float width);
void SetBackgroundClearColor(int red, int green, int blue);
void SetImageMaskColor(int red, int green, int blue);
void SelectTextFont(const TImageFontPtr& font);

// A snapshot of the drawing state (for code that must look, such as tests).
struct TDrawState {
    int red = 255, green = 255, blue = 255;
    float alpha = 1;
    int blendMode = 1;
    float rotation = 0;
    float scaleX = 1, scaleY = 1;
    float handleX = 0, handleY = 0;
    float originX = 0, originY = 0;
    float lineWidth = 1;
    int clearRed = 0, clearGreen = 0, clearBlue = 0;
    int maskRed = 0, maskGreen = 0, maskBlue = 0;
    // the transform matrix
    float ix = 1, iy = 0, jx = 0, jy = 1;
};
const TDrawState& CurrentDrawState();
TImageFontPtr CurrentTextFont();
// The alpha byte that drawing uses: the truncation of the clamped alpha x 255 (NaN counts as 0).
int AlphaByte(float alpha);

void ClearBackBuffer();
void FillRectangle(float x, float y, float width, float height);
void DrawLineSegment(float x1, float y1, float x2, float y2, int lastPixel);
void FillPolygon(const std::vector<float>& points);
void DrawImageTransformed(const TImagePtr& image, float x, float y, int frame);
void DrawTextString(const std::string& text, float x, float y);
int MeasureTextWidth(const std::string& text);
int MeasureTextHeight(const std::string& text);

void Init2dDrawingModule();
