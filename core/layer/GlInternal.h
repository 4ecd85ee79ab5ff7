// Shared by the layer's own files only: the GL context's state and the window back end.
#pragma once
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
// Makes sure the frame's texture is current; returns the texture name (0 when none).
struct Frame;
}  // namespace layer
