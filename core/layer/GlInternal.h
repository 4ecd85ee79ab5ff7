// Shared by the layer's own files only: the GL context's state and the window back end.
#pragma once
#include <cstdint>
#include <string>

namespace layer {
// Whether a GL context is current (drawing is a no-op without one, e.g. headless runs).
bool HasGl();
// Changes whenever a new GL context is made; textures of an older generation are rebuilt.
unsigned GlGeneration();
// Puts the GL state in line with the drawing state after a new window opens.
void ApplyDrawStateToGl();
// Resets the drawing state to a new window's defaults (the mask colour stays).
void ResetDrawStateForNewWindow();
// Frees a texture if it belongs to the current context.
void ReleaseTexture(unsigned texture, unsigned generation);

// The frame being drawn is recorded and reaches GL only when it has to: at PresentFrame when
// it differs from the frame on screen (or the window was exposed), before the screen is read,
// and before a texture that it uses changes.
enum class TRecordedKind : uint32_t { Clear, Quads, Lines, Points, Polygon };
struct TRecordedVertex { float x, y, u, v; };
// Which pixels a texture holds: the image, its frame and the version of that frame's pixels.
struct TRecordedImage {
    unsigned texture = 0;
    uint64_t id = 0;
    int frame = 0;
    unsigned version = 0;
    bool opaque = false;  // every texel has full alpha
};
// Room for the vertices of one more primitive, to be filled by the caller.
TRecordedVertex* RecordDrawing(TRecordedKind kind, int vertices, int blend, uint32_t rgba, float size,
                               const TRecordedImage& image);
void RecordClear(int red, int green, int blue);
// Sends what was recorded and not yet sent to GL.
void FlushRecordedDrawing();
// Names the drawing not yet sent to GL; changes whenever it is sent.
unsigned long RecordSerial();
// Sends the frame to GL unless it equals the frame on screen and nothing forces it; true when
// the caller is to swap. Either way the next frame starts empty.
bool RenderRecordedFrame(bool forced);
// A new window shows nothing of the frames before.
void ForgetRecordedFrames();
// Draws the frame last shown into the back buffer again; false when none was shown in this
// window. RestoreSentDrawing then puts back what the frame being drawn had sent to GL.
bool ReplayFrameOnScreen();
void RestoreSentDrawing();
// Until the window's next frame, the X server repaints whatever a dialog uncovers from the frame
// on screen, without waiting for the game (which is blocked in the dialog or busy after it).
void KeepFrameUnderDialogs();
// Takes in the window's queued events, then the pointer's place as the mouse position: no
// motion reaches the window while the pointer is over a dialog, and as the dialog closes the
// pointer may rest anywhere, inside the window or out of it.
void TakePointerPosition();
// Deletes a texture once no recorded drawing can use it any more.
void DeleteTextureLater(unsigned texture);
// Counts the frames presented, shown or not.
unsigned long PresentCount();
// Lets go of the textures not drawn for a while whose pixmaps are at hand to upload again.
void ReleaseIdleTextures();
}  // namespace layer
