// Images: pictures in video memory, one or more frames, each backed by a pixmap in memory.
#pragma once
#include <functional>
#include "Pixmaps.h"

// Image flags: 1 masked, 2 filtered, 4 mipmapped, 8 dynamic.
struct TImageFrame {
    TPixmapPtr pixmap;        // none for a blank frame, and while dropped
    unsigned texture = 0;     // GL texture name, 0 when not built
    unsigned generation = 0;  // GL context generation the texture belongs to
    bool dirty = true;        // pixmap changed since the texture was built
    bool dropped = false;     // the pixmap was let go after upload; the image's source rebuilds it
    unsigned version = 0;     // counts the changes of the pixels: a changed image is a changed frame
    unsigned long drawnIn = 0;  // the recorded drawing that last used the texture
    unsigned long drawnAt = 0;  // and the frame (a texture long unused goes, the pixmap stays)
    float texW = 1, texH = 1;   // texture coordinates of the far corner
    bool opaque = false;        // the texture has no texel below full alpha
};

// Tells images apart for as long as the program runs (addresses are reused, these are not).
uint64_t NewImageId();

struct TImage {
    int width = 0;
    int height = 0;
    float handleX = 0;
    float handleY = 0;
    int flags = 3;
    std::vector<TImageFrame> frames;
    uint64_t id = NewImageId();
    // Rebuilds a frame's pixmap as loaded (none: the pixmaps are the only copy and stay).
    std::function<TPixmapPtr(int frame)> source;
    bool keepPixels = false;  // locked, captured into or tested for overlap: the pixmaps stay
    ~TImage();
};
using TImagePtr = std::shared_ptr<TImage>;

// One-frame image from a pixmap (copied) or from a file/embedded file. Flags -1 mean 3.
TImagePtr LoadImageFromSource(const std::string& path, int flags);
TImagePtr LoadImageFromSource(const TPixmapPtr& pixmap, int flags);
// The same from a file, masked with its own colour instead of the current mask colour (which
// stays as it was).
TImagePtr LoadImageWithMaskColor(const std::string& path, int flags, int red, int green, int blue);
// A picture cut into count cells of cellW x cellH from cell first on; none when too few cells.
TImagePtr LoadImageStrip(const std::string& path, int cellW, int cellH, int first, int count, int flags);
// Frames without pixels; flags get 8 added.
TImagePtr CreateBlankImage(int width, int height, int frames, int flags);
void CentreImageHandle(const TImagePtr& image);
void SetImageHandle(const TImagePtr& image, float x, float y);
int GetImageWidth(const TImagePtr& image);
int GetImageHeight(const TImagePtr& image);
int CountImageFrames(const TImagePtr& image);
// The frame's pixmap (created as a format-6 pixmap when it has none); write marks it for upload
// and keeps it in memory. A frame only read is let go again at the unlock when the image has a
// source to rebuild it from.
TPixmapPtr LockImagePixels(const TImagePtr& image, int frame, int read, int write);
void UnlockImagePixels(const TImagePtr& image, int frame);
// 1 when an opaque (alpha >= 128) pixel of the first frame, placed as DrawImageTransformed
// would place it, covers an opaque pixel of the second.
int TestImagesOverlap(const TImagePtr& image1, float x1, float y1, int frame1, float rotation1,
                      float scaleX1, float scaleY1, const TImagePtr& image2, float x2, float y2,
                      int frame2, float rotation2, float scaleX2, float scaleY2);

// How many texture uploads have happened (for the benchmark: unchanged images never upload).
long CountTextureUploads();
