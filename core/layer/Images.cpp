// Images: frames backed by pixmaps in memory, uploaded as GL textures when they change.
#include "Images.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <unordered_set>

#include "Drawing.h"
#include "Numbers.h"
#include "GlInternal.h"
#include "ImagesInternal.h"
#include "Window.h"

#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {
long Uploads = 0;
// Images holding a texture, for letting go of the ones long unused. Never destroyed: images
// held by other globals die at exit after this file's globals.
std::unordered_set<TImage*>& WithTextures = *new std::unordered_set<TImage*>;
constexpr unsigned long kIdleFrames = 120;

int NormaliseFlags(int flags) { return flags == -1 ? 3 : flags; }

bool HasNonPowerOfTwo() {
    static int known = -1;
    if (known < 0) {
        const char* v = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* e = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        known = (v && v[0] >= '2') || (e && strstr(e, "GL_ARB_texture_non_power_of_two")) ? 1 : 0;
    }
    return known == 1;
}

int NextPowerOfTwo(int v) {
    int p = 1;
    while (p < v) p <<= 1;
    return p;
}

void Upload(TImage& image, TImageFrame& f) {
    const TPixmap& pm = *f.pixmap;
    if (f.texture && f.generation != layer::GlGeneration()) f.texture = 0;  // context is gone
    WithTextures.insert(&image);
    // Drawing recorded with the old pixels must reach GL before they are replaced.
    if (f.texture && f.drawnIn == layer::RecordSerial()) layer::FlushRecordedDrawing();
    if (!f.texture) {
        GLuint t = 0;
        glGenTextures(1, &t);
        f.texture = t;
        f.generation = layer::GlGeneration();
    }
    glBindTexture(GL_TEXTURE_2D, f.texture);
    bool filtered = image.flags & 2;
    bool mipmapped = image.flags & 4;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmapped ? (filtered ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST)
                              : (filtered ? GL_LINEAR : GL_NEAREST));
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, mipmapped ? GL_TRUE : GL_FALSE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Image pixmaps are RGBA (format 6); anything else is converted on the way.
    TPixmapPtr converted = pm.format == 6 ? f.pixmap : layer::PixmapForImage(f.pixmap, 0);
    if (!converted) return;
    const uint8_t* data = converted->pixels.data();
    int rowPixels = converted->pitch / 4;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowPixels);
    int tw = pm.width, th = pm.height;
    if (!HasNonPowerOfTwo()) { tw = NextPowerOfTwo(tw); th = NextPowerOfTwo(th); }
    if (tw == pm.width && th == pm.height) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, data);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, pm.width, pm.height, GL_RGBA, GL_UNSIGNED_BYTE, data);
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    f.opaque = tw == pm.width && th == pm.height;
    for (int y = 0; y < pm.height && f.opaque; ++y)
        for (int x = 0; x < pm.width; ++x)
            if (data[static_cast<size_t>(y) * converted->pitch + x * 4 + 3] != 255) { f.opaque = false; break; }
    f.dirty = false;
    f.texW = f.texH = 1;
    if (tw != pm.width || th != pm.height) {
        f.texW = static_cast<float>(pm.width) / tw;
        f.texH = static_cast<float>(pm.height) / th;
    }
    ++Uploads;
}

// Marks a frame's pixels as changed and never to be rebuilt from the source again.
void PixelsChanged(TImage& image, TImageFrame& f) {
    image.keepPixels = true;
    f.dirty = true;
    f.dropped = false;
    ++f.version;
}

// Where a screen point falls in an image placed at (x, y) with rotation and scale: the inverse
// of the drawing transform. False when the scale is zero.
struct Placement {
    float x, y, ix, iy, jx, jy, hx, hy;
    float det;
    int w, h;
    TPixmapPtr pm;
};

bool MakePlacement(const TImagePtr& image, int frame, float x, float y, float rot, float sx,
                   float sy, Placement& p) {
    if (!image || frame < 0 || frame >= static_cast<int>(image->frames.size())) return false;
    image->keepPixels = true;
    const TPixmapPtr& pm = layer::FramePixels(*image, frame);
    if (!pm) return false;
    double r = rot * M_PI / 180.0;
    p.ix = static_cast<float>(std::cos(r) * sx);
    p.iy = static_cast<float>(-std::sin(r) * sy);
    p.jx = static_cast<float>(std::sin(r) * sx);
    p.jy = static_cast<float>(std::cos(r) * sy);
    p.det = p.ix * p.jy - p.iy * p.jx;
    if (p.det == 0) return false;
    p.x = x; p.y = y; p.hx = image->handleX; p.hy = image->handleY;
    p.w = image->width; p.h = image->height; p.pm = pm;
    return true;
}

void Bounds(const Placement& p, float& x0, float& y0, float& x1, float& y1) {
    float us[2] = {-p.hx, p.w - p.hx}, vs[2] = {-p.hy, p.h - p.hy};
    x0 = y0 = 1e30f; x1 = y1 = -1e30f;
    for (float u : us)
        for (float v : vs) {
            float sx = p.x + p.ix * u + p.iy * v, sy = p.y + p.jx * u + p.jy * v;
            x0 = std::min(x0, sx); x1 = std::max(x1, sx); y0 = std::min(y0, sy); y1 = std::max(y1, sy);
        }
}

bool OpaqueAt(const Placement& p, float sx, float sy) {
    float dx = sx - p.x, dy = sy - p.y;
    float u = (p.jy * dx - p.iy * dy) / p.det + p.hx;
    float v = (-p.jx * dx + p.ix * dy) / p.det + p.hy;
    if (!(u >= 0 && v >= 0 && u < p.w && v < p.h)) return false;
    int px = static_cast<int>(u), py = static_cast<int>(v);
    if (px >= p.pm->width || py >= p.pm->height) return false;
    return (static_cast<uint32_t>(ReadPixmapPixel(p.pm, px, py)) >> 24) >= 128;
}
}  // namespace

namespace layer {
TPixmapPtr PixmapForImage(const TPixmapPtr& source, int flags) {
    const TDrawState& d = CurrentDrawState();
    return PixmapForImage(source, flags, (static_cast<uint32_t>(d.maskRed) << 16) | (d.maskGreen << 8) | d.maskBlue);
}

TPixmapPtr PixmapForImage(const TPixmapPtr& source, int flags, uint32_t maskRgb) {
    if (!source) return nullptr;
    int w = source->width, h = source->height;
    TPixmapPtr out = CreateBlankPixmap(w, h, 6, 4);
    if (!out) return nullptr;
    bool mask = (flags & 1) && !PixmapHasAlpha(source->format);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = &out->pixels[static_cast<size_t>(y) * out->pitch];
        for (int x = 0; x < w; ++x) {
            uint32_t argb = static_cast<uint32_t>(ReadPixmapPixel(source, x, y));
            if (mask && (argb & 0xFFFFFF) == maskRgb) argb &= 0xFFFFFF;
            row[x * 4] = (argb >> 16) & 255; row[x * 4 + 1] = (argb >> 8) & 255;
            row[x * 4 + 2] = argb & 255; row[x * 4 + 3] = argb >> 24;
        }
    }
    return out;
}

const TPixmapPtr& FramePixels(TImage& image, int frame) {
    TImageFrame& f = image.frames[frame];
    if (f.dropped && !f.pixmap && image.source) f.pixmap = image.source(frame);
    f.dropped = false;
    return f.pixmap;
}

TRecordedImage TextureFor(TImage& image, int frame, float& texW, float& texH) {
    TRecordedImage drawn;
    if (frame < 0 || frame >= static_cast<int>(image.frames.size())) return drawn;
    TImageFrame& f = image.frames[frame];
    if (f.dirty || !f.texture || f.generation != GlGeneration()) {
        const TPixmapPtr& pm = FramePixels(image, frame);
        if (!pm || pm->width <= 0 || pm->height <= 0) return drawn;
        Upload(image, f);
    }
    if (!f.pixmap && !f.dropped) return drawn;
    // Pixels only ever drawn live on in the texture; the source has them should anyone look.
    if (image.source && !image.keepPixels && f.pixmap) {
        f.pixmap.reset();
        f.dropped = true;
    }
    f.drawnIn = RecordSerial();
    f.drawnAt = PresentCount();
    texW = f.texW;
    texH = f.texH;
    drawn.texture = f.texture;
    drawn.id = image.id;
    drawn.frame = frame;
    drawn.version = f.version;
    drawn.opaque = f.opaque;
    return drawn;
}

void ReleaseTexture(unsigned texture, unsigned generation) {
    if (texture && HasGl() && generation == GlGeneration()) DeleteTextureLater(texture);
}

void ReleaseIdleTextures() {
    for (auto it = WithTextures.begin(); it != WithTextures.end();) {
        bool holds = false;
        TImage& image = **it;
        // A whole picture of a megabyte or more that its source can decode again in a few
        // milliseconds (the menu's preview while the puzzle is played) need not stay either.
        const bool cheapToRebuild = image.source && image.frames.size() == 1 &&
                                    static_cast<long long>(image.width) * image.height >= 256 * 1024;
        for (TImageFrame& f : image.frames) {
            // Otherwise only where the pixmap is at hand: uploading it again is cheap, decoding
            // a strip of many frames is not.
            if (f.texture && (f.pixmap || (f.dropped && cheapToRebuild)) && PresentCount() - f.drawnAt > kIdleFrames) {
                ReleaseTexture(f.texture, f.generation);
                f.texture = 0;
            }
            holds = holds || f.texture;
        }
        it = holds ? std::next(it) : WithTextures.erase(it);
    }
}
}  // namespace layer

TImage::~TImage() {
    WithTextures.erase(this);
    for (TImageFrame& f : frames) layer::ReleaseTexture(f.texture, f.generation);
}

long CountTextureUploads() { return Uploads; }

uint64_t NewImageId() {
    static uint64_t last = 0;
    return ++last;
}

TImagePtr LoadImageFromSource(const TPixmapPtr& pixmap, int flags) {
    if (!pixmap || pixmap->width <= 0 || pixmap->height <= 0) return nullptr;
    flags = NormaliseFlags(flags);
    auto image = std::make_shared<TImage>();
    image->width = pixmap->width;
    image->height = pixmap->height;
    image->flags = flags;
    image->frames.resize(1);
    image->frames[0].pixmap = layer::PixmapForImage(pixmap, flags);
    if (!image->frames[0].pixmap) return nullptr;
    return image;
}

namespace {
// Embedded files never change, so what was loaded from one can be loaded again when needed.
bool Immutable(const std::string& path) { return ToLowerCase(path.substr(0, 8)) == "incbin::"; }

uint32_t CurrentMaskRgb() {
    const TDrawState& d = CurrentDrawState();
    return (static_cast<uint32_t>(d.maskRed) << 16) | (d.maskGreen << 8) | d.maskBlue;
}

// Cell number cell of a picture already made an image's pixmap.
TPixmapPtr CutCell(const TPixmapPtr& whole, int cell, int cellW, int cellH) {
    int across = whole->width / cellW;
    int cx = (cell % across) * cellW, cy = (cell / across) * cellH;
    TPixmapPtr pm = CreateBlankPixmap(cellW, cellH, 6, 4);
    if (!pm) return nullptr;
    for (int y = 0; y < cellH; ++y)
        memcpy(&pm->pixels[static_cast<size_t>(y) * pm->pitch],
               &whole->pixels[static_cast<size_t>(cy + y) * whole->pitch + cx * 4], static_cast<size_t>(cellW) * 4);
    return pm;
}
}  // namespace

TImagePtr LoadImageFromSource(const std::string& path, int flags) {
    TImagePtr image = LoadImageFromSource(LoadPixmapFromSource(path), flags);
    if (image && Immutable(path)) {
        uint32_t mask = CurrentMaskRgb();
        int f = image->flags;
        image->source = [path, f, mask](int) { return layer::PixmapForImage(LoadPixmapFromSource(path), f, mask); };
    }
    return image;
}

TImagePtr LoadImageWithMaskColor(const std::string& path, int flags, int red, int green, int blue) {
    const TDrawState saved = CurrentDrawState();
    SetImageMaskColor(red, green, blue);
    TImagePtr image = LoadImageFromSource(path, flags);
    SetImageMaskColor(saved.maskRed, saved.maskGreen, saved.maskBlue);
    return image;
}

TImagePtr LoadImageStrip(const std::string& path, int cellW, int cellH, int first, int count,
                         int flags) {
    if (cellW <= 0 || cellH <= 0 || first < 0 || count <= 0) return nullptr;
    TPixmapPtr sheet = LoadPixmapFromSource(path);
    if (!sheet) return nullptr;
    int across = sheet->width / cellW, down = sheet->height / cellH;
    if (static_cast<long long>(across) * down < static_cast<long long>(first) + count) return nullptr;
    flags = NormaliseFlags(flags);
    uint32_t mask = CurrentMaskRgb();
    TPixmapPtr whole = layer::PixmapForImage(sheet, flags, mask);
    if (!whole) return nullptr;
    auto image = std::make_shared<TImage>();
    image->width = cellW;
    image->height = cellH;
    image->flags = flags;
    image->frames.resize(count);
    for (int k = 0; k < count; ++k)
        if (!(image->frames[k].pixmap = CutCell(whole, first + k, cellW, cellH))) return nullptr;
    if (Immutable(path))
        image->source = [path, flags, mask, first, cellW, cellH](int frame) -> TPixmapPtr {
            TPixmapPtr again = layer::PixmapForImage(LoadPixmapFromSource(path), flags, mask);
            return again ? CutCell(again, first + frame, cellW, cellH) : nullptr;
        };
    return image;
}

TImagePtr CreateBlankImage(int width, int height, int frames, int flags) {
    auto image = std::make_shared<TImage>();
    image->width = width > 0 ? width : 0;
    image->height = height > 0 ? height : 0;
    image->flags = NormaliseFlags(flags) | 8;
    image->frames.resize(frames > 0 ? frames : 0);
    return image;
}

void CentreImageHandle(const TImagePtr& image) {
    if (!image) return;
    image->handleX = image->width * 0.5f;
    image->handleY = image->height * 0.5f;
}

void SetImageHandle(const TImagePtr& image, float x, float y) {
    if (!image) return;
    image->handleX = x;
    image->handleY = y;
}

int GetImageWidth(const TImagePtr& image) { return image ? image->width : 0; }
int GetImageHeight(const TImagePtr& image) { return image ? image->height : 0; }
int CountImageFrames(const TImagePtr& image) { return image ? static_cast<int>(image->frames.size()) : 0; }

TPixmapPtr LockImagePixels(const TImagePtr& image, int frame, int, int write) {
    if (!image || frame < 0 || frame >= static_cast<int>(image->frames.size())) return nullptr;
    TImageFrame& f = image->frames[frame];
    // Only what is written must stay: what is read can be rebuilt from the source.
    if (write || !image->source) image->keepPixels = true;
    if (!layer::FramePixels(*image, frame)) {
        f.pixmap = CreateBlankPixmap(image->width, image->height, 6, 4);
        if (f.pixmap) std::fill(f.pixmap->pixels.begin(), f.pixmap->pixels.end(), 0);
        PixelsChanged(*image, f);
    }
    if (write) PixelsChanged(*image, f);
    return f.pixmap;
}

void UnlockImagePixels(const TImagePtr& image, int frame) {
    if (!image || frame < 0 || frame >= static_cast<int>(image->frames.size())) return;
    TImageFrame& f = image->frames[frame];
    // Read and given back unchanged: the source has the pixels should anyone need them again.
    if (image->source && !image->keepPixels && f.pixmap) {
        f.pixmap.reset();
        f.dropped = true;
    }
}

void CaptureScreenToImage(const TImagePtr& image, int x, int y, int frame) {
    if (!image || frame < 0 || frame >= static_cast<int>(image->frames.size())) return;
    TPixmapPtr grab = CaptureScreenToPixmap(x, y, image->width, image->height);
    if (!grab) return;
    TImageFrame& f = image->frames[frame];
    f.pixmap = layer::PixmapForImage(grab, image->flags);
    PixelsChanged(*image, f);
}

int TestImagesOverlap(const TImagePtr& image1, float x1, float y1, int frame1, float rotation1,
                      float scaleX1, float scaleY1, const TImagePtr& image2, float x2, float y2,
                      int frame2, float rotation2, float scaleX2, float scaleY2) {
    Placement a, b;
    if (!MakePlacement(image1, frame1, x1, y1, rotation1, scaleX1, scaleY1, a)) return 0;
    if (!MakePlacement(image2, frame2, x2, y2, rotation2, scaleX2, scaleY2, b)) return 0;
    float ax0, ay0, ax1, ay1, bx0, by0, bx1, by1;
    Bounds(a, ax0, ay0, ax1, ay1);
    Bounds(b, bx0, by0, bx1, by1);
    float x0 = std::max(ax0, bx0), y0 = std::max(ay0, by0);
    float xe = std::min(ax1, bx1), ye = std::min(ay1, by1);
    if (x0 >= xe || y0 >= ye) return 0;
    // Sample the shared box at screen pixel centres, as the rasteriser would.
    for (int py = static_cast<int>(std::floor(y0)); py < static_cast<int>(std::ceil(ye)); ++py)
        for (int px = static_cast<int>(std::floor(x0)); px < static_cast<int>(std::ceil(xe)); ++px) {
            float cx = px + 0.5f, cy = py + 0.5f;
            if (OpaqueAt(a, cx, cy) && OpaqueAt(b, cx, cy)) return 1;
        }
    return 0;
}
