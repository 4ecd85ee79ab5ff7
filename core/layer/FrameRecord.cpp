// The frame being drawn, kept as a list of GL operations until it has to reach GL: a still
// picture then costs neither rendering nor a swap, and a changed one goes out in few runs.
#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "GlInternal.h"
#include "Window.h"

namespace {
using layer::TRecordedKind;
using layer::TRecordedVertex;

// One run of drawing that GL takes in one go. Compared as bytes, so it has no padding.
struct Op {
    uint64_t image;    // whose pixels the texture holds (0 untextured)
    uint32_t kind;
    int32_t blend;
    uint32_t texture;  // 0 untextured
    int32_t frame;     // image frame and the version of its pixels
    uint32_t version;
    uint32_t rgba;     // colour and alpha byte, or the colour of a clear
    float size;        // line width or point size
    uint32_t first;    // vertices
    uint32_t count;
    uint32_t unused;
};
static_assert(sizeof(Op) == 48, "operations are compared as bytes");

struct Recording {
    std::vector<Op> ops;
    std::vector<TRecordedVertex> vertices;
    bool operator==(const Recording& o) const {
        return ops.size() == o.ops.size() && vertices.size() == o.vertices.size() &&
               (ops.empty() || !memcmp(ops.data(), o.ops.data(), ops.size() * sizeof(Op))) &&
               (vertices.empty() ||
                !memcmp(vertices.data(), o.vertices.data(), vertices.size() * sizeof(TRecordedVertex)));
    }
    void Clear() {
        ops.clear();
        vertices.clear();
    }
};

Recording Drawn;           // the frame being drawn
Recording OnScreen;        // the last frame shown
bool OnScreenKnown = false;
size_t Sent = 0;           // operations of Drawn already sent to GL
unsigned long Serial = 1;  // names the drawing not yet sent
unsigned long Presents = 0;
bool RecordingEnabled = true;
// Images held by other globals die at exit after this file's globals, so this list never dies.
std::vector<unsigned>& DoomedTextures = *new std::vector<unsigned>;

void ApplyBlend(int mode) {
    switch (mode) {
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

GLenum Primitive(uint32_t kind) {
    switch (static_cast<TRecordedKind>(kind)) {
        case TRecordedKind::Lines: return GL_LINES;
        case TRecordedKind::Points: return GL_POINTS;
        case TRecordedKind::Polygon: return GL_POLYGON;
        default: return GL_QUADS;
    }
}

bool Uses(const Recording& r, unsigned texture) {
    for (const Op& op : r.ops)
        if (op.texture == texture) return true;
    return false;
}

// A texture that the frame on screen or the frame being drawn still uses stays until they no
// longer do: either may have to be sent to GL again (the screen repainted under a dialog).
void DeleteDoomedTextures() {
    if (DoomedTextures.empty()) return;
    if (!layer::HasGl()) {
        DoomedTextures.clear();
        return;
    }
    std::vector<unsigned> now;
    auto kept = std::remove_if(DoomedTextures.begin(), DoomedTextures.end(), [&now](unsigned t) {
        if (Uses(OnScreen, t) || Uses(Drawn, t)) return false;
        now.push_back(t);
        return true;
    });
    DoomedTextures.erase(kept, DoomedTextures.end());
    if (!now.empty()) glDeleteTextures(static_cast<GLsizei>(now.size()), now.data());
}

// Sends the recording's operations from..to-1.
void SendOps(const Recording& r, size_t from, size_t to) {
    int blend = INT_MIN;
    unsigned texture = UINT_MAX;
    for (size_t k = from; k < to; ++k) {
        const Op& op = r.ops[k];
        if (op.kind == static_cast<uint32_t>(TRecordedKind::Clear)) {
            glClearColor((op.rgba >> 16 & 255) / 255.0f, (op.rgba >> 8 & 255) / 255.0f, (op.rgba & 255) / 255.0f,
                         1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            continue;
        }
        if (op.blend != blend) ApplyBlend(blend = op.blend);
        if (op.texture != texture) {
            if (op.texture) {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, op.texture);
            } else {
                glDisable(GL_TEXTURE_2D);
            }
            texture = op.texture;
        }
        if (op.kind == static_cast<uint32_t>(TRecordedKind::Lines)) glLineWidth(op.size);
        if (op.kind == static_cast<uint32_t>(TRecordedKind::Points)) glPointSize(op.size);
        glColor4ub(op.rgba >> 16 & 255, op.rgba >> 8 & 255, op.rgba & 255, op.rgba >> 24);
        const TRecordedVertex* v = &r.vertices[op.first];
        glBegin(Primitive(op.kind));
        for (uint32_t i = 0; i < op.count; ++i) {
            if (op.texture) glTexCoord2f(v[i].u, v[i].v);
            glVertex2f(v[i].x, v[i].y);
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
}

void SendPending() {
    if (Sent >= Drawn.ops.size() || !layer::HasGl()) return;
    SendOps(Drawn, Sent, Drawn.ops.size());
    Sent = Drawn.ops.size();
    ++Serial;
    DeleteDoomedTextures();
}
}  // namespace

namespace layer {
TRecordedVertex* RecordDrawing(TRecordedKind kind, int vertices, int blend, uint32_t rgba, float size,
                               const TRecordedImage& image) {
    Op* last = Drawn.ops.size() > Sent ? &Drawn.ops.back() : nullptr;
    // A run grows while nothing that GL needs between primitives changes; polygons stand alone.
    bool extend = last && kind != TRecordedKind::Polygon && last->kind == static_cast<uint32_t>(kind) &&
                  last->blend == blend && last->rgba == rgba && last->size == size &&
                  last->texture == image.texture && last->image == image.id && last->frame == image.frame &&
                  last->version == image.version;
    if (!extend) {
        Op op;
        memset(&op, 0, sizeof op);
        op.image = image.id;
        op.kind = static_cast<uint32_t>(kind);
        op.blend = blend;
        op.texture = image.texture;
        op.frame = image.frame;
        op.version = image.version;
        op.rgba = rgba;
        op.size = size;
        op.first = static_cast<uint32_t>(Drawn.vertices.size());
        Drawn.ops.push_back(op);
        last = &Drawn.ops.back();
    }
    last->count += static_cast<uint32_t>(vertices);
    Drawn.vertices.resize(Drawn.vertices.size() + vertices);
    return &Drawn.vertices[Drawn.vertices.size() - vertices];
}

void RecordClear(int red, int green, int blue) {
    Op op;
    memset(&op, 0, sizeof op);
    op.kind = static_cast<uint32_t>(TRecordedKind::Clear);
    op.rgba = static_cast<uint32_t>(red << 16 | green << 8 | blue);
    op.first = static_cast<uint32_t>(Drawn.vertices.size());
    Drawn.ops.push_back(op);
}

void FlushRecordedDrawing() { SendPending(); }

unsigned long RecordSerial() { return Serial; }

unsigned long PresentCount() { return Presents; }

bool RenderRecordedFrame(bool forced) {
    bool show = forced || !RecordingEnabled || !OnScreenKnown || !(Drawn == OnScreen);
    if (show) {
        SendPending();
        std::swap(Drawn, OnScreen);
        OnScreenKnown = true;
    }
    Drawn.Clear();
    Sent = 0;
    ++Serial;
    if (++Presents % 64 == 0) ReleaseIdleTextures();
    DeleteDoomedTextures();
    return show;
}

bool ReplayFrameOnScreen() {
    if (!OnScreenKnown || !HasGl()) return false;
    SendOps(OnScreen, 0, OnScreen.ops.size());
    return true;
}

void RestoreSentDrawing() {
    // Drawn begins with the clear that follows every presented frame, so this rebuilds the
    // back buffer as the frame being drawn had it.
    if (HasGl()) SendOps(Drawn, 0, Sent);
}

void ForgetRecordedFrames() {
    Drawn.Clear();
    OnScreen.Clear();
    OnScreenKnown = false;
    Sent = 0;
    ++Serial;
}

void DeleteTextureLater(unsigned texture) { DoomedTextures.push_back(texture); }
}  // namespace layer

void SkipUnchangedFrames(bool skip) { RecordingEnabled = skip; }

std::vector<std::pair<uint64_t, int>> ShownFrameImages() {
    std::vector<std::pair<uint64_t, int>> images;
    for (const Op& op : OnScreen.ops)
        if (op.image) images.emplace_back(op.image, static_cast<int>(op.rgba >> 24));
    return images;
}
