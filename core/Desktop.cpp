#include "core/Desktop.h"

#include "core/layer/Numbers.h"
#include "core/layer/Pixmaps.h"
#include "core/layer/Streams.h"
#include "core/layer/Window.h"

int DesktopModuleInit() {
    static bool done = false;
    if (done) return 0;
    done = true;
    InitRuntimeCoreModule();
    InitStandardIoModule();
    InitPixmapModule();
    InitLinkedListModule();
    InitMemoryBankModule();
    InitGraphicsModule();
    return 0;
}

int QueryDesktopMode(int& width, int& height, int& depth, int& hertz) {
    CountDisplayModes();
    if (!GetDisplayMode(0, width, height, depth, hertz)) width = height = depth = hertz = 0;
    return 0;
}

namespace {
// One value of the desktop's mode, asked afresh every time: the desktop may change under us.
int DesktopValue(int which) {
    int v[4] = {0, 0, 0, 0};
    QueryDesktopMode(v[0], v[1], v[2], v[3]);
    return v[which];
}
}  // namespace

int QueryDesktopWidth() { return DesktopValue(0); }
int QueryDesktopHeight() { return DesktopValue(1); }
int QueryDesktopDepth() { return DesktopValue(2); }
int QueryDesktopHertz() { return DesktopValue(3); }

int GreatestCommonDivisor(int a, int b) {
    // Defined for positive numbers; a zero or negative first number would divide by zero.
    if (a <= 0 || b < 0) return 1;
    if (b % a > 0) return GreatestCommonDivisor(b, a % b);
    return a;
}

std::string AspectRatioOf(int width, int height) {
    int g = GreatestCommonDivisor(width, height);
    std::string s = IntToString(width / g) + ":" + IntToString(height / g);
    return s == "8:5" ? "16:10" : s;
}

std::string DesktopAspectRatio() { return AspectRatioOf(QueryDesktopWidth(), QueryDesktopHeight()); }
