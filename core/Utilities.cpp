#include "core/Utilities.h"

#include <algorithm>

#include "core/Globals.h"
#include "core/layer/Dialogs.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Lifetime.h"
#include "core/layer/Numbers.h"
#include "core/layer/Streams.h"

std::vector<int> RandomPermutation(int count) {
    if (count <= 0) return {0};
    SetRandomSeed(static_cast<int>(MillisecondClock()));
    std::vector<int> p(count);
    for (int k = 0; k < count; ++k) p[k] = k;
    for (int c = count - 1; c >= 1; --c) {
        int r = RandomIntInRange(0, c);
        int moved = p[r];
        for (int k = r; k < c; ++k) p[k] = p[k + 1];
        p[c] = moved;
    }
    return p;
}

int ResetDrawState() {
    SetDrawHandle(0, 0);
    SetDrawOrigin(0, 0);
    SetDrawColor(255, 255, 255);
    SetDrawRotation(0);
    SetDrawScale(ScaleX, ScaleY);
    SetDrawAlpha(1);
    return 0;
}

namespace {
// The size of a w x h picture shrunk to fit the box; false when it fits as it is.
bool ShrunkToBox(int w, int h, int boxW, int boxH, int& fitW, int& fitH) {
    fitW = w;
    fitH = h;
    float fx = static_cast<float>(boxW) / static_cast<float>(w);
    float fy = static_cast<float>(boxH) / static_cast<float>(h);
    float f = fy > fx ? fx : fy;
    if (f >= 1) return false;
    // A very long, thin picture keeps at least one pixel a side, so that it is refused as too
    // small rather than as a picture that cannot be decoded.
    fitW = std::max(1, TruncateToInt(static_cast<float>(f * static_cast<float>(w))));
    fitH = std::max(1, TruncateToInt(static_cast<float>(f * static_cast<float>(h))));
    return true;
}

// The picture at path, shrunk to fit the box when it is larger.
TPixmapPtr FittedPixmap(const std::string& path, int boxW, int boxH, int& originalW, int& originalH) {
    TPixmapPtr pm = LoadPixmapFromSource(path);
    if (!pm || pm->width <= 0 || pm->height <= 0) return nullptr;
    originalW = GetPixmapWidth(pm);
    originalH = GetPixmapHeight(pm);
    int w = 0, h = 0;
    if (!ShrunkToBox(originalW, originalH, boxW, boxH, w, h)) return pm;
    return ResizePixmapNearest(pm, w, h, 5);
}
}  // namespace

TImagePtr LoadImageFitted(const std::string& path, int boxW, int boxH, int& originalW, int& originalH) {
    TImagePtr image = LoadImageFromSource(FittedPixmap(path, boxW, boxH, originalW, originalH), -1);
    // A built-in picture never changes, so its pixels need not stay in memory once they are
    // uploaded or cut: they can be decoded and fitted again. A player's file might change.
    if (image && IsEmbeddedPath(path)) {
        const TDrawState& d = CurrentDrawState();
        const int red = d.maskRed, green = d.maskGreen, blue = d.maskBlue;
        image->source = [path, boxW, boxH, red, green, blue](int) -> TPixmapPtr {
            const TDrawState saved = CurrentDrawState();
            SetImageMaskColor(red, green, blue);
            int w = 0, h = 0;
            TImagePtr again = LoadImageFromSource(FittedPixmap(path, boxW, boxH, w, h), -1);
            SetImageMaskColor(saved.maskRed, saved.maskGreen, saved.maskBlue);
            return again ? again->frames[0].pixmap : nullptr;
        };
    }
    return image;
}

TImagePtr RefitImage(const TImagePtr& image, int originalW, int originalH, int boxW, int boxH) {
    if (!image || originalW <= 0 || originalH <= 0) return nullptr;
    int w = 0, h = 0;
    ShrunkToBox(originalW, originalH, boxW, boxH, w, h);
    TImagePtr refitted = LoadImageFromSource(ResizePixmapNearest(LockImagePixels(image, 0, 1, 0), w, h, 5), -1);
    UnlockImagePixels(image, 0);
    return refitted;
}

TPixmapPtr ResizePixmapNearest(const TPixmapPtr& src, int w, int h, int format) {
    if (!src || w <= 0 || h <= 0) return nullptr;
    TPixmapPtr dst = CreateBlankPixmap(w, h, format, 4);
    if (!dst) return nullptr;
    float stepX = static_cast<float>(src->width) / static_cast<float>(w);
    float stepY = static_cast<float>(src->height) / static_cast<float>(h);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            WritePixmapPixel(dst, x, y,
                             ReadPixmapPixel(src, TruncateToInt(static_cast<float>(x * stepX)),
                                             TruncateToInt(static_cast<float>(y * stepY))));
    return dst;
}

std::string GetSpecialDirectory(const std::string& name) {
    if (name == "Home") return GetHomeDirectory() + "/";
    if (name == "User") return ReadEnvironmentVariable("USER") + "/";
    if (name == "Fonts") return "/usr/share/fonts/";
    if (name == "Temp") {
        const std::string candidates[] = {"/tmp", "/var/tmp", ReadEnvironmentVariable("HOME"),
                                          GetWorkingDirectory()};
        for (const std::string& dir : candidates) {
            if (GetPathKind(dir) != 2) continue;
            std::string probe = dir + "/filewritingtest";
            TStreamPtr s = OpenFileForWriting(probe);
            if (!s) continue;
            CloseFileStream(s);
            RemoveFile(probe);
            return dir + "/";
        }
        ShowNoticeBox("Fehler!\nKein geeignetes temporaeres Verzeichnis auffindbar!", 0);
        return "";
    }
    return "";
}

bool HoldsLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

bool IsBuiltInPicture(const std::string& path) { return TakeLeftChars(path, 8) == "incbin::"; }

TDialogText QuotedPicture(const std::string& path) {
    if (!IsBuiltInPicture(path)) return QuotedPath(path);
    const size_t slash = path.rfind('/');
    const std::string file = path.substr(slash == std::string::npos ? 8 : slash + 1);
    return "the built-in picture \"" + file.substr(0, file.rfind('.')) + "\"";
}

float AngleDifference(float a, float b) {
    float d = FloatModulo(AbsFloat(a - b), 360);
    return d <= 180 ? d : 360 - d;
}

float VectorAngle(float x1, float y1, float x2, float y2) {
    float dx = x2 - x1, dy = y2 - y1;
    if (x1 < x2) {
        float a = ArcTangentDegrees(dy / dx);
        return y1 < y2 ? a : 360 + a;
    }
    if (x1 > x2) return 180 + ArcTangentDegrees(dy / dx);
    return y1 >= y2 ? 270 : 90;
}

uint8_t ColorAlpha(int argb) { return static_cast<uint8_t>(static_cast<uint32_t>(argb) >> 24); }
uint8_t ColorRed(int argb) { return static_cast<uint8_t>(static_cast<uint32_t>(argb) >> 16); }
uint8_t ColorGreen(int argb) { return static_cast<uint8_t>(static_cast<uint32_t>(argb) >> 8); }
uint8_t ColorBlue(int argb) { return static_cast<uint8_t>(argb); }
int ColorPack(int a, int r, int g, int b) {
    // Unmasked sums, done in unsigned arithmetic so that alpha 255 wraps into the sign bit.
    return static_cast<int>(static_cast<uint32_t>(a) * 16777216u + static_cast<uint32_t>(r) * 65536u +
                            static_cast<uint32_t>(g) * 256u + static_cast<uint32_t>(b));
}

uint8_t CheckQuitRequest(const std::string& question) {
    if (TakeQuitRequest() || EndRequestedFromOutside()) EndProgram();
    if (IsKeyHeld(kKeyEscape)) {
        if (AskYesNo(question, 0)) EndProgram();
        ClearKeyboardState();
        ClearMouseState();
        LastTypedChar = 0;
        TakeTypedChar();
        return 1;
    }
    return 0;
}

int DrawOutlinedLine(float x1, float y1, float x2, float y2) {
    SetDrawColor(0, 0, 0);
    SetDrawLineWidth(3);
    DrawLineSegment(x1, y1, x2, y2, 1);
    SetDrawColor(255, 255, 255);
    SetDrawLineWidth(1);
    DrawLineSegment(x1, y1, x2, y2, 1);
    return 0;
}

std::string FixUtf8Umlauts(const std::string& text, uint8_t direction) {
    static const unsigned char letters[7] = {0xC4, 0xE4, 0xD6, 0xF6, 0xDC, 0xFC, 0xDF};
    static const unsigned char utf8Second[7] = {0x84, 0xA4, 0x96, 0xB6, 0x9C, 0xBC, 0x9F};
    static const unsigned char macRoman[7] = {0x80, 0x8A, 0x85, 0x9A, 0x86, 0x9F, 0xA7};
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool done = false;
        for (int k = 0; k < 7 && !done; ++k) {
            if (direction == 0) {
                if (c == letters[k]) {
                    out += static_cast<char>(0xC3);
                    out += static_cast<char>(utf8Second[k]);
                    done = true;
                }
            } else if (c == 0xC3 && i + 1 < text.size() &&
                       static_cast<unsigned char>(text[i + 1]) == utf8Second[k]) {
                out += static_cast<char>(letters[k]);
                ++i;
                done = true;
            } else if (c == macRoman[k]) {
                out += static_cast<char>(letters[k]);
                done = true;
            }
        }
        if (!done) out += static_cast<char>(c);
    }
    return out;
}
