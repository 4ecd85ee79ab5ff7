// The game window, frame presentation, display modes and screen captures.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "Images.h"

struct TGraphicsDriver { std::string name; };
using TGraphicsDriverPtr = std::shared_ptr<TGraphicsDriver>;
struct TGraphics { int width = 0, height = 0, depth = 0, hertz = 0, flags = 0; };
using TGraphicsPtr = std::shared_ptr<TGraphics>;

TGraphicsDriverPtr GetGl2dDriver();
void SelectGraphicsDriver(const TGraphicsDriverPtr& driver, int defaultFlags);
void SetWindowTitle(const std::string& title);
// The picture a window shows, stretched to its size, from the moment it appears until its first
// frame (the game's backdrop); set before the window opens.
void SetWindowBackdrop(const TImagePtr& image);
// Closes the window opened before (if any) and opens one of that client size (never full
// screen), paced by software at hertz. Drawing state goes back to its defaults, except the
// mask colour; images, fonts and sounds stay usable.
TGraphicsPtr OpenGraphicsWindow(int width, int height, int depth, int hertz, int flags);
// The same, but a window that cannot be opened gives none instead of ending the program. A size
// over kMaxWindowSide is refused with the old window still open; a later failure leaves no
// window open (GetGraphicsWidth 0) for the caller to open one it knows.
TGraphicsPtr TryOpenGraphicsWindow(int width, int height, int depth, int hertz, int flags);
constexpr int kMaxWindowSide = 16384;
int GetGraphicsWidth();
int GetGraphicsHeight();
// Shows the back buffer; with -1 sleeps to keep the window's frame rate.
void PresentFrame(int sync);
// How many frames reached the screen (for the benchmark).
long CountShownFrames();
// The images drawn in the frame last shown, bottom first, each with the alpha byte it was drawn
// at: what reached the screen, for tests.
std::vector<std::pair<uint64_t, int>> ShownFrameImages();
// On (the default): a frame equal to the one on screen is neither rendered nor swapped, unless
// the window was exposed or resized since. Off: every frame is shown (for comparison in tests).
void SkipUnchangedFrames(bool skip);
int CountDisplayModes();
// The mode list is read once and kept; this makes the next query read the desktop afresh (its
// resolution may have changed since).
void RereadDisplayModes();
// Mode 0 is the desktop's current mode. Returns false for an index out of range.
bool GetDisplayMode(int index, int& width, int& height, int& depth, int& hertz);
void CaptureScreenToImage(const TImagePtr& image, int x, int y, int frame);
TPixmapPtr CaptureScreenToPixmap(int x, int y, int width, int height);

// Without an X display (logic tests): a window that only keeps its size and frame pacing.
void UseHeadlessWindow(bool headless);

void InitGraphicsModule();
void InitGl2dDriverModule();
void InitGuiDriverModule();

// The pacing schedule of PresentFrame(-1), kept apart so it can be checked without a window.
struct TFramePacer {
    int hertz = 0;
    unsigned next = 0;       // next frame time (millisecond clock)
    int remainder = 0;       // summed remainders of 1000 / hertz
    bool started = false;
    // Advances the schedule at clock value now; returns the ms to sleep (0 when late).
    unsigned Advance(unsigned now);
};
