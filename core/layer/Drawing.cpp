// The global drawing state and the immediate-mode drawing operations on GL.
#include "Drawing.h"

#include <GL/gl.h>

#include <cmath>

#include "Fonts.h"
#include "GlInternal.h"
#include "ImagesInternal.h"
#include "Window.h"

namespace {
TDrawState D;
TImageFontPtr CurrentFont;

void RecomputeMatrix() {
    double r = D.rotation * M_PI / 180.0;
    double c = std::cos(r), s = std::sin(r);
    D.ix = static_cast<float>(c * D.scaleX);
    D.iy = static_cast<float>(-s * D.scaleY);
    D.jx = static_cast<float>(s * D.scaleX);
    D.jy = static_cast<float>(c * D.scaleY);
}

int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The colour and alpha byte of later drawing, as recorded.
uint32_t DrawRgba() {
    return static_cast<uint32_t>(AlphaByte(D.alpha)) << 24 | static_cast<uint32_t>(D.red << 16 | D.green << 8 | D.blue);
}

// Room for one untextured primitive in the current colour and blend mode.
layer::TRecordedVertex* RecordShape(layer::TRecordedKind kind, int vertices, float size = 0) {
    return layer::RecordDrawing(kind, vertices, D.blendMode, DrawRgba(), size, layer::TRecordedImage());
}

// A local point, relative to the handle, through the matrix at the drawing position.
inline void Place(float x, float y, float u, float v, float& sx, float& sy) {
    u -= D.handleX;
    v -= D.handleY;
    sx = x + D.originX + D.ix * u + D.iy * v;
    sy = y + D.originY + D.jx * u + D.jy * v;
}
}  // namespace

namespace layer {
void ResetDrawStateForNewWindow() {
    int mr = D.maskRed, mg = D.maskGreen, mb = D.maskBlue;
    D = TDrawState();
    D.maskRed = mr;
    D.maskGreen = mg;
    D.maskBlue = mb;
    RecomputeMatrix();
    CurrentFont = nullptr;
}

void ApplyDrawStateToGl() {
    if (!HasGl()) return;
    int w = GetGraphicsWidth(), h = GetGraphicsHeight();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}
}  // namespace layer

int AlphaByte(float alpha) {
    if (std::isnan(alpha) || alpha <= 0) return 0;
    if (alpha >= 1) return 255;
    return static_cast<int>(alpha * 255.0f);
}

void SetDrawColor(int red, int green, int blue) {
    D.red = Clamp255(red);
    D.green = Clamp255(green);
    D.blue = Clamp255(blue);
}
void SetDrawAlpha(float alpha) { D.alpha = alpha; }
void SetDrawBlendMode(int mode) { D.blendMode = mode; }
void SetDrawRotation(float degrees) {
    D.rotation = degrees;
    RecomputeMatrix();
}
void SetDrawScale(float scaleX, float scaleY) {
    D.scaleX = scaleX;
    D.scaleY = scaleY;
    RecomputeMatrix();
}
void SetDrawHandle(float x, float y) { D.handleX = x; D.handleY = y; }
void SetDrawOrigin(float x, float y) { D.originX = x; D.originY = y; }
void SetDrawLineWidth(float width) { D.lineWidth = width; }
void SetBackgroundClearColor(int red, int green, int blue) {
    D.clearRed = Clamp255(red);
    D.clearGreen = Clamp255(green);
    D.clearBlue = Clamp255(blue);
}
void SetImageMaskColor(int red, int green, int blue) {
    D.maskRed = Clamp255(red);
    D.maskGreen = Clamp255(green);
    D.maskBlue = Clamp255(blue);
}
void SelectTextFont(const TImageFontPtr& font) { CurrentFont = font; }
const TDrawState& CurrentDrawState() { return D; }
TImageFontPtr CurrentTextFont() { return CurrentFont ? CurrentFont : DefaultTextFont(); }

void ClearBackBuffer() {
    if (!layer::HasGl()) return;
    layer::RecordClear(D.clearRed, D.clearGreen, D.clearBlue);
}

void FillRectangle(float x, float y, float width, float height) {
    if (!layer::HasGl()) return;
    layer::TRecordedVertex* v = RecordShape(layer::TRecordedKind::Quads, 4);
    Place(x, y, 0, 0, v[0].x, v[0].y);
    Place(x, y, width, 0, v[1].x, v[1].y);
    Place(x, y, width, height, v[2].x, v[2].y);
    Place(x, y, 0, height, v[3].x, v[3].y);
}

void DrawLineSegment(float x1, float y1, float x2, float y2, int lastPixel) {
    if (!layer::HasGl()) return;
    // The line's local points are (0, 0) and the vector to the end, relative to the handle
    // like every other shape, placed at (x1, y1) through the matrix.
    float sx, sy, ex, ey;
    Place(x1, y1, 0, 0, sx, sy);
    Place(x1, y1, x2 - x1, y2 - y1, ex, ey);
    float width = D.lineWidth > 0 ? D.lineWidth : 1;
    // Half-pixel offsets put whole coordinates on pixel centres.
    layer::TRecordedVertex* v = RecordShape(layer::TRecordedKind::Lines, 2, width);
    v[0].x = sx + 0.5f;
    v[0].y = sy + 0.5f;
    v[1].x = ex + 0.5f;
    v[1].y = ey + 0.5f;
    if (lastPixel) {
        v = RecordShape(layer::TRecordedKind::Points, 1, width);
        v->x = ex + 0.5f;
        v->y = ey + 0.5f;
    }
}

void FillPolygon(const std::vector<float>& points) {
    if (!layer::HasGl() || points.size() < 6) return;
    int n = static_cast<int>(points.size() / 2);
    layer::TRecordedVertex* v = RecordShape(layer::TRecordedKind::Polygon, n);
    for (int k = 0; k < n; ++k) Place(0, 0, points[2 * k], points[2 * k + 1], v[k].x, v[k].y);
}

namespace {
// Records a texture quad whose local corners are (u0, v0) and (u0 + w, v0 + h), placed at (x, y)
// through the matrix; the caller has already taken the handle into account.
void RecordTexturedQuad(const layer::TRecordedImage& image, float x, float y, float u0, float v0, float w,
                        float h, float texW, float texH) {
    float c[4][2] = {{u0, v0}, {u0 + w, v0}, {u0 + w, v0 + h}, {u0, v0 + h}};
    float t[4][2] = {{0, 0}, {texW, 0}, {texW, texH}, {0, texH}};
    // Alpha blending of a fully opaque texture drawn at full alpha gives the texels themselves:
    // the renderer is spared reading and mixing every pixel below, the most costly part of a
    // frame that changes (the backdrop alone covers the whole window).
    const uint32_t rgba = DrawRgba();
    const int blend = D.blendMode == 3 && image.opaque && rgba >> 24 == 255 ? 2 : D.blendMode;
    layer::TRecordedVertex* v = layer::RecordDrawing(layer::TRecordedKind::Quads, 4, blend, rgba, 0, image);
    for (int i = 0; i < 4; ++i) {
        v[i].x = x + D.originX + D.ix * c[i][0] + D.iy * c[i][1];
        v[i].y = y + D.originY + D.jx * c[i][0] + D.jy * c[i][1];
        v[i].u = t[i][0];
        v[i].v = t[i][1];
    }
}
}  // namespace

void DrawImageTransformed(const TImagePtr& image, float x, float y, int frame) {
    if (!image || !layer::HasGl()) return;
    if (frame < 0 || frame >= static_cast<int>(image->frames.size())) return;
    float texW = 1, texH = 1;
    layer::TRecordedImage drawn = layer::TextureFor(*image, frame, texW, texH);
    if (!drawn.texture) return;
    RecordTexturedQuad(drawn, x, y, -image->handleX, -image->handleY, static_cast<float>(image->width),
                       static_cast<float>(image->height), texW, texH);
}

void DrawTextString(const std::string& text, float x, float y) {
    TImageFontPtr font = CurrentTextFont();
    if (!font || !layer::HasGl()) return;
    float pen = 0;
    for (unsigned char ch : text) {
        const TImageFontGlyph* g = font->GlyphFor(ch);
        if (!g) continue;
        if (g->image && !g->image->frames.empty()) {
            float texW = 1, texH = 1;
            layer::TRecordedImage drawn = layer::TextureFor(*g->image, 0, texW, texH);
            if (drawn.texture)
                RecordTexturedQuad(drawn, x, y, pen + g->x - D.handleX, g->y - D.handleY,
                                   static_cast<float>(g->image->width), static_cast<float>(g->image->height),
                                   texW, texH);
        }
        pen += g->advance;
    }
}

int MeasureTextWidth(const std::string& text) {
    TImageFontPtr font = CurrentTextFont();
    if (!font) return 0;
    int width = 0;
    for (unsigned char ch : text) {
        const TImageFontGlyph* g = font->GlyphFor(ch);
        if (g) width = static_cast<int>(width + g->advance);
    }
    return width;
}

int MeasureTextHeight(const std::string&) {
    TImageFontPtr font = CurrentTextFont();
    return font ? font->height : 0;
}

void Init2dDrawingModule() {}
