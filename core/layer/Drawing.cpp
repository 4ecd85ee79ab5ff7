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

void ApplyBlendMode() {
    if (!layer::HasGl()) return;
    switch (D.blendMode) {
        case 1:  // mask: no blending, pixels below half alpha are not drawn
            glDisable(GL_BLEND);
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GEQUAL, 0.5f);
            break;
        case 3:
            glEnable(GL_BLEND);
            glDisable(GL_ALPHA_TEST);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            break;
        case 4:
            glEnable(GL_BLEND);
            glDisable(GL_ALPHA_TEST);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            break;
        case 5:
            glEnable(GL_BLEND);
            glDisable(GL_ALPHA_TEST);
            glBlendFunc(GL_DST_COLOR, GL_ZERO);
            break;
        default:  // solid, and every unknown mode
            glDisable(GL_BLEND);
            glDisable(GL_ALPHA_TEST);
            break;
    }
}

void ApplyColor() {
    glColor4ub(static_cast<GLubyte>(D.red), static_cast<GLubyte>(D.green),
               static_cast<GLubyte>(D.blue), static_cast<GLubyte>(AlphaByte(D.alpha)));
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
    glClearColor(D.clearRed / 255.0f, D.clearGreen / 255.0f, D.clearBlue / 255.0f, 1.0f);
    ApplyBlendMode();
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
void SetDrawBlendMode(int mode) {
    D.blendMode = mode;
    ApplyBlendMode();
}
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
    if (layer::HasGl())
        glClearColor(D.clearRed / 255.0f, D.clearGreen / 255.0f, D.clearBlue / 255.0f, 1.0f);
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
    glClear(GL_COLOR_BUFFER_BIT);
}

void FillRectangle(float x, float y, float width, float height) {
    if (!layer::HasGl()) return;
    float px[4], py[4];
    Place(x, y, 0, 0, px[0], py[0]);
    Place(x, y, width, 0, px[1], py[1]);
    Place(x, y, width, height, px[2], py[2]);
    Place(x, y, 0, height, px[3], py[3]);
    glDisable(GL_TEXTURE_2D);
    ApplyColor();
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) glVertex2f(px[i], py[i]);
    glEnd();
}

void DrawLineSegment(float x1, float y1, float x2, float y2, int lastPixel) {
    if (!layer::HasGl()) return;
    // The line's local points are (0, 0) and the vector to the end, relative to the handle
    // like every other shape, placed at (x1, y1) through the matrix.
    float sx, sy, ex, ey;
    Place(x1, y1, 0, 0, sx, sy);
    Place(x1, y1, x2 - x1, y2 - y1, ex, ey);
    glDisable(GL_TEXTURE_2D);
    ApplyColor();
    glLineWidth(D.lineWidth > 0 ? D.lineWidth : 1);
    // Half-pixel offsets put whole coordinates on pixel centres.
    glBegin(GL_LINES);
    glVertex2f(sx + 0.5f, sy + 0.5f);
    glVertex2f(ex + 0.5f, ey + 0.5f);
    glEnd();
    if (lastPixel) {
        glPointSize(D.lineWidth > 0 ? D.lineWidth : 1);
        glBegin(GL_POINTS);
        glVertex2f(ex + 0.5f, ey + 0.5f);
        glEnd();
    }
}

void FillPolygon(const std::vector<float>& points) {
    if (!layer::HasGl() || points.size() < 6) return;
    glDisable(GL_TEXTURE_2D);
    ApplyColor();
    glBegin(GL_POLYGON);
    for (size_t k = 0; k + 1 < points.size(); k += 2) {
        float sx, sy;
        Place(0, 0, points[k], points[k + 1], sx, sy);
        glVertex2f(sx, sy);
    }
    glEnd();
}

namespace layer {
// Draws a texture quad whose local corners are (u0, v0) and (u0 + w, v0 + h), placed at (x, y)
// through the matrix; the caller has already taken the handle into account.
void DrawTexturedQuad(unsigned texture, float x, float y, float u0, float v0, float w, float h,
                      float texW, float texH) {
    float c[4][2] = {{u0, v0}, {u0 + w, v0}, {u0 + w, v0 + h}, {u0, v0 + h}};
    float t[4][2] = {{0, 0}, {texW, 0}, {texW, texH}, {0, texH}};
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    ApplyColor();
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        float sx = x + D.originX + D.ix * c[i][0] + D.iy * c[i][1];
        float sy = y + D.originY + D.jx * c[i][0] + D.jy * c[i][1];
        glTexCoord2f(t[i][0], t[i][1]);
        glVertex2f(sx, sy);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}
}  // namespace layer

void DrawImageTransformed(const TImagePtr& image, float x, float y, int frame) {
    if (!image || !layer::HasGl()) return;
    if (frame < 0 || frame >= static_cast<int>(image->frames.size())) return;
    float texW = 1, texH = 1;
    unsigned tex = layer::TextureFor(*image, frame, texW, texH);
    if (!tex) return;
    layer::DrawTexturedQuad(tex, x, y, -image->handleX, -image->handleY,
                            static_cast<float>(image->width), static_cast<float>(image->height),
                            texW, texH);
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
            unsigned tex = layer::TextureFor(*g->image, 0, texW, texH);
            if (tex)
                layer::DrawTexturedQuad(tex, x, y, pen + g->x - D.handleX, g->y - D.handleY,
                                        static_cast<float>(g->image->width),
                                        static_cast<float>(g->image->height), texW, texH);
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
