// The game window on X11 with a GLX context, software frame pacing, the desktop's display
// modes and screen captures.
#include "Window.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "Drawing.h"
#include "GlInternal.h"
#include "ImagesInternal.h"
#include "Input.h"
#include "Lifetime.h"
#include "Numbers.h"

namespace {

struct DisplayMode { int width, height, depth, hertz; };

struct WindowState {
    Display* display = nullptr;
    bool displayTried = false;
    XVisualInfo* visual = nullptr;
    GLXContext context = nullptr;
    Window window = 0;
    Colormap colormap = 0;
    Atom deleteAtom = 0;
    int width = 0, height = 0;
    bool open = false;
    bool headless = false;
    unsigned generation = 0;
    std::string title = "PlarnPuzzle";
    TFramePacer pacer;
    std::vector<DisplayMode> modes;
    bool modesRead = false;
    long shown = 0;
    bool exposed = true;  // the window lost what it showed: the next frame must be shown
    bool pictureBehind = false;  // the server paints a picture where the window is uncovered
    TImagePtr backdrop;          // what a new window shows until its first frame
};
WindowState W;

int OnXIoError(Display*) {
    // The X server went away (logout, killed server): keep the player's game before ending.
    RunExitHandlers();
    _exit(1);
    return 0;
}

Display* SharedDisplay() {
    if (!W.displayTried) {
        W.displayTried = true;
        W.display = XOpenDisplay(nullptr);
        if (W.display) XSetIOErrorHandler(OnXIoError);
    }
    return W.display;
}

void ReadDisplayModes() {
    if (W.modesRead) return;
    W.modesRead = true;
    Display* d = SharedDisplay();
    if (!d) return;
    int screen = DefaultScreen(d);
    Window root = RootWindow(d, screen);
    int depth = DefaultDepth(d, screen);
    int eventBase = 0, errorBase = 0;
    if (XRRQueryExtension(d, &eventBase, &errorBase)) {
        XRRScreenConfiguration* config = XRRGetScreenInfo(d, root);
        if (config) {
            int nsizes = 0;
            XRRScreenSize* sizes = XRRConfigSizes(config, &nsizes);
            Rotation rotation = 0;
            int current = XRRConfigCurrentConfiguration(config, &rotation);
            int rate = XRRConfigCurrentRate(config);
            if (sizes && nsizes > 0 && current >= 0 && current < nsizes) {
                W.modes.push_back({sizes[current].width, sizes[current].height, depth,
                                   rate > 0 ? rate : 60});
                for (int i = 0; i < nsizes; ++i) {
                    if (i == current) continue;
                    int nrates = 0;
                    short* rates = XRRConfigRates(config, i, &nrates);
                    if (nrates <= 0) W.modes.push_back({sizes[i].width, sizes[i].height, depth, 60});
                    for (int r = 0; r < nrates; ++r)
                        W.modes.push_back({sizes[i].width, sizes[i].height, depth,
                                           rates[r] > 0 ? rates[r] : 60});
                }
            }
            XRRFreeScreenConfigInfo(config);
        }
    }
    if (W.modes.empty()) {
        // Older servers: ask whether the video-mode extension is there before using it.
        int ev = 0, er = 0;
        if (XF86VidModeQueryExtension(d, &ev, &er)) {
            int count = 0;
            XF86VidModeModeInfo** infos = nullptr;
            if (XF86VidModeGetAllModeLines(d, screen, &count, &infos) && infos) {
                for (int i = 0; i < count; ++i) {
                    const XF86VidModeModeInfo* m = infos[i];
                    int hz = 0;
                    if (m->htotal && m->vtotal)
                        hz = static_cast<int>(m->dotclock * 1000.0 / (m->htotal * m->vtotal) + 0.5);
                    W.modes.push_back({m->hdisplay, m->vdisplay, depth, hz > 0 ? hz : 60});
                }
                XFree(infos);
            }
        }
    }
    if (W.modes.empty())
        W.modes.push_back({DisplayWidth(d, screen), DisplayHeight(d, screen), depth, 60});
}

void SetTitleOnWindow() {
    if (!W.window) return;
    XStoreName(W.display, W.window, W.title.c_str());
    // The title is Latin-1 text; window managers that read the UTF-8 property get it converted.
    std::string utf8;
    for (unsigned char c : W.title) {
        if (c < 0x80) utf8 += static_cast<char>(c);
        else { utf8 += static_cast<char>(0xC0 | (c >> 6)); utf8 += static_cast<char>(0x80 | (c & 0x3F)); }
    }
    Atom netName = XInternAtom(W.display, "_NET_WM_NAME", False);
    Atom utf8Type = XInternAtom(W.display, "UTF8_STRING", False);
    XChangeProperty(W.display, W.window, netName, utf8Type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
}

// Gives the window a background of these pixels (0xRRGGBB, rows top down), which the X server
// paints wherever the window is uncovered, until the game's next frame takes it away.
void PutPictureBehind(std::vector<uint32_t>& rgb, int width, int height) {
    const Visual* v = W.visual->visual;
    if (W.visual->c_class != TrueColor) return;
    XImage* image = XCreateImage(W.display, W.visual->visual, static_cast<unsigned>(W.visual->depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(rgb.data()), static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 32, 0);
    if (!image) return;
    if (image->bits_per_pixel == 32) {
        // The words are in this machine's order; Xlib turns them round for a server that differs.
        const uint32_t one = 1;
        image->byte_order = *reinterpret_cast<const unsigned char*>(&one) ? LSBFirst : MSBFirst;
        // Each channel's top bits into the place the visual gives it.
        auto place = [](uint32_t value8, unsigned long mask) {
            if (!mask) return 0ul;
            int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
            return bits >= 8 ? (value8 << (shift + bits - 8)) & mask : (value8 >> (8 - bits)) << shift;
        };
        const bool plain = v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
        if (!plain)
            for (uint32_t& p : rgb)
                p = static_cast<uint32_t>(place(p >> 16 & 255, v->red_mask) | place(p >> 8 & 255, v->green_mask) |
                                          place(p & 255, v->blue_mask));
        Pixmap pixmap = XCreatePixmap(W.display, W.window, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), static_cast<unsigned>(W.visual->depth));
        GC gc = XCreateGC(W.display, pixmap, 0, nullptr);
        XPutImage(W.display, pixmap, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XFreeGC(W.display, gc);
        // The window holds on to the pixmap for as long as it is its background.
        XSetWindowBackgroundPixmap(W.display, W.window, pixmap);
        XFreePixmap(W.display, pixmap);
        W.pictureBehind = true;
    }
    image->data = nullptr;  // the caller's
    XDestroyImage(image);
}

// The backdrop stretched to the window as GL's linear filter stretches it (weights in 1/256).
std::vector<uint32_t> StretchedBackdrop(int width, int height) {
    std::vector<uint32_t> out;
    const TPixmapPtr& pm = layer::FramePixels(*W.backdrop, 0);
    if (!pm || pm->format != 6 || pm->width <= 0 || pm->height <= 0) return out;
    out.resize(static_cast<size_t>(width) * height);
    struct Tap { int a, b; uint32_t t; };
    auto taps = [](int from, int to) {
        std::vector<Tap> v(static_cast<size_t>(to));
        for (int i = 0; i < to; ++i) {
            double s = (i + 0.5) * from / to - 0.5;
            if (s < 0) s = 0;
            int a = static_cast<int>(s);
            if (a > from - 1) a = from - 1;
            v[static_cast<size_t>(i)] = {a, a + 1 < from ? a + 1 : a, static_cast<uint32_t>((s - a) * 256 + 0.5)};
        }
        return v;
    };
    const std::vector<Tap> xs = taps(pm->width, width), ys = taps(pm->height, height);
    // Two channels a word at a time: red and blue, then green (alpha is not shown).
    auto mix = [](uint32_t p, uint32_t q, uint32_t t) {
        uint32_t rb = ((p & 0xFF00FF) * (256 - t) + (q & 0xFF00FF) * t) >> 8 & 0xFF00FF;
        uint32_t g = ((p & 0xFF00) * (256 - t) + (q & 0xFF00) * t) >> 8 & 0xFF00;
        return rb | g;
    };
    // Each source row stretched across once (a row serves one or two lines of the window).
    std::vector<uint32_t> across[2] = {std::vector<uint32_t>(static_cast<size_t>(width)),
                                       std::vector<uint32_t>(static_cast<size_t>(width))};
    int acrossRow[2] = {-1, -1};
    auto rowAcross = [&](int sourceRow) -> const std::vector<uint32_t>& {
        int slot = sourceRow & 1;
        if (acrossRow[slot] != sourceRow) {
            acrossRow[slot] = sourceRow;
            const uint8_t* r = &pm->pixels[static_cast<size_t>(sourceRow) * pm->pitch];
            // Words of 0xBBGGRR from the pixmap's red, green and blue bytes.
            auto word = [r](int x) { return r[x * 4] | r[x * 4 + 1] << 8 | static_cast<uint32_t>(r[x * 4 + 2]) << 16; };
            for (int x = 0; x < width; ++x) {
                const Tap& tx = xs[static_cast<size_t>(x)];
                across[slot][static_cast<size_t>(x)] = mix(word(tx.a), word(tx.b), tx.t);
            }
        }
        return across[slot];
    };
    for (int y = 0; y < height; ++y) {
        const Tap& ty = ys[static_cast<size_t>(y)];
        const std::vector<uint32_t>& top = rowAcross(ty.a);
        const std::vector<uint32_t>& bottom = rowAcross(ty.b);
        uint32_t* row = &out[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            uint32_t p = mix(top[static_cast<size_t>(x)], bottom[static_cast<size_t>(x)], ty.t);
            row[x] = (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF);
        }
    }
    return out;
}

void CloseWindow() {
    W.pictureBehind = false;
    if (!W.window) return;
    glXMakeCurrent(W.display, None, nullptr);
    XDestroyWindow(W.display, W.window);
    XFreeColormap(W.display, W.colormap);
    W.window = 0;
    W.colormap = 0;
    XSync(W.display, False);
}

void SetSwapIntervalZero() {
    typedef void (*SwapExt)(Display*, GLXDrawable, int);
    typedef int (*SwapMesa)(unsigned);
    if (auto ext = reinterpret_cast<SwapExt>(glXGetProcAddressARB(
            reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")))) {
        const char* exts = glXQueryExtensionsString(W.display, DefaultScreen(W.display));
        if (exts && strstr(exts, "GLX_EXT_swap_control")) { ext(W.display, W.window, 0); return; }
    }
    if (auto mesa = reinterpret_cast<SwapMesa>(glXGetProcAddressARB(
            reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA"))))
        mesa(0);
}

int KeyCodeFor(KeySym sym) {
    switch (sym) {
        case XK_Return: case XK_KP_Enter: return kKeyEnter;
        case XK_Escape: return kKeyEscape;
        case XK_space: return kKeySpace;
        case XK_Left: case XK_KP_Left: return kKeyLeft;
        case XK_Up: case XK_KP_Up: return kKeyUp;
        case XK_Right: case XK_KP_Right: return kKeyRight;
        case XK_Down: case XK_KP_Down: return kKeyDown;
        case XK_F1: return kKeyF1;
        case XK_Control_L: return kKeyLeftControl;
        case XK_Control_R: return kKeyRightControl;
        case XK_Alt_L: return kKeyLeftAlt;
        case XK_BackSpace: return 8;
        case XK_Tab: return 9;
        default: break;
    }
    if (sym >= XK_a && sym <= XK_z) return static_cast<int>(sym - XK_a + 'A');
    if (sym >= XK_A && sym <= XK_Z) return static_cast<int>(sym);
    if (sym >= XK_0 && sym <= XK_9) return static_cast<int>(sym);
    if (sym >= XK_F2 && sym <= XK_F12) return static_cast<int>(113 + (sym - XK_F2));
    return 0;
}

// Which of the game's keys are down on the keyboard at this moment.
void KeysDownNow(bool down[256]) {
    char map[32] = {};
    XQueryKeymap(W.display, map);
    for (int k = 0; k < 256; ++k) down[k] = false;
    for (int kc = 8; kc < 256; ++kc) {
        if (!(map[kc / 8] & (1 << (kc % 8)))) continue;
        int code = KeyCodeFor(XkbKeycodeToKeysym(W.display, static_cast<KeyCode>(kc), 0, 0));
        if (code > 0 && code < 256) down[code] = true;
    }
}

void ReleaseKeysNotDown() {
    bool down[256];
    KeysDownNow(down);
    for (int k = 0; k < 256; ++k)
        if (!down[k]) InputHoldUntilReleased(k, false);
}

void HandleEvent(XEvent& e) {
    switch (e.type) {
        case ClientMessage:
            if (static_cast<Atom>(e.xclient.data.l[0]) == W.deleteAtom) InputQuitRequest();
            break;
        case KeyPress: {
            KeySym sym = XLookupKeysym(&e.xkey, 0);
            int code = KeyCodeFor(sym);
            if (code && InputKeyHeldBack(code)) break;  // a repeat of a key held across a dialog
            if (code) InputKeyDown(code);
            char buf[16];
            KeySym typed = 0;
            int n = XLookupString(&e.xkey, buf, sizeof buf, &typed, nullptr);
            for (int i = 0; i < n; ++i) InputTypedChar(static_cast<unsigned char>(buf[i]));
            break;
        }
        case KeyRelease: {
            int code = KeyCodeFor(XLookupKeysym(&e.xkey, 0));
            if (code) InputKeyUp(code);
            break;
        }
        case MotionNotify:
            InputMouseMove(e.xmotion.x, e.xmotion.y);
            break;
        case ButtonPress:
        case ButtonRelease: {
            bool down = e.type == ButtonPress;
            InputMouseMove(e.xbutton.x, e.xbutton.y);
            switch (e.xbutton.button) {
                case Button1: InputMouseButton(1, down); break;
                case Button3: InputMouseButton(2, down); break;
                case Button2: InputMouseButton(3, down); break;
                case Button4: if (down) InputMouseWheel(1); break;
                case Button5: if (down) InputMouseWheel(-1); break;
                default: break;
            }
            break;
        }
        case Expose:
        case MapNotify:
            W.exposed = true;
            break;
        case ConfigureNotify:
            if (e.xconfigure.width != W.width || e.xconfigure.height != W.height) W.exposed = true;
            break;
        case FocusIn:
            // A key held back across a dialog may have been let go while another window had the focus.
            ReleaseKeysNotDown();
            break;
        case FocusOut:
            // Keys released while another window has the focus would otherwise stay held.
            for (int k = 0; k < 256; ++k)
                if (IsKeyHeld(k)) InputKeyUp(k);
            break;
        default: break;
    }
}

}  // namespace

namespace layer {
bool HasGl() { return W.open && !W.headless && W.context; }
unsigned GlGeneration() { return W.generation; }
}  // namespace layer

void UseHeadlessWindow(bool headless) { W.headless = headless; }

void SetWindowBackdrop(const TImagePtr& image) { W.backdrop = image; }

void layer::KeepFrameUnderDialogs() {
    if (W.pictureBehind || !HasGl() || !W.window || !ReplayFrameOnScreen()) return;
    std::vector<uint32_t> picture(static_cast<size_t>(W.width) * W.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, W.width, W.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, picture.data());
    RestoreSentDrawing();
    // GL counts rows from the bottom.
    for (int top = 0, bottom = W.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(&picture[static_cast<size_t>(top) * W.width], &picture[static_cast<size_t>(top + 1) * W.width],
                         &picture[static_cast<size_t>(bottom) * W.width]);
    for (uint32_t& p : picture) p &= 0xFFFFFF;
    PutPictureBehind(picture, W.width, W.height);
    XFlush(W.display);
}

void layer::TakePointerPosition() {
    if (!W.display || !W.window) return;
    XSync(W.display, False);
    PollWindowEvents();
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned buttons = 0;
    if (XQueryPointer(W.display, W.window, &root, &child, &rootX, &rootY, &x, &y, &buttons)) InputMouseMove(x, y);
}

unsigned TFramePacer::Advance(unsigned now) {
    if (!started) { started = true; next = now; }
    if (hertz <= 0) return 0;
    unsigned step = static_cast<unsigned>(1000 / hertz);
    remainder += 1000 % hertz;
    if (remainder >= hertz) { remainder -= hertz; ++step; }
    next += step;
    if (static_cast<int>(now - next) > 0) { next = now; return 0; }
    return next - now;
}

TGraphicsDriverPtr GetGl2dDriver() {
    static TGraphicsDriverPtr driver = std::make_shared<TGraphicsDriver>(TGraphicsDriver{"GL2D"});
    return driver;
}
void SelectGraphicsDriver(const TGraphicsDriverPtr&, int) {}

void SetWindowTitle(const std::string& title) {
    W.title = title;
    SetTitleOnWindow();
}

namespace {
// Set while a window is opened on trial: an X error is noted instead of ending the program.
bool trialError = false;
XErrorHandler trialPrevious = nullptr;
int NoteTrialError(Display*, XErrorEvent*) {
    trialError = true;
    return 0;
}

// A window that cannot be opened ends the program, or on trial gives none with no window open.
TGraphicsPtr Refuse(const char* message, bool fatal) {
    if (fatal) LayerFatalError(message);
    if (trialPrevious) XSetErrorHandler(trialPrevious);
    trialPrevious = nullptr;
    if (W.display) CloseWindow();
    W.open = false;
    return nullptr;
}

TGraphicsPtr OpenWindow(int width, int height, int depth, int hertz, int flags, bool fatal) {
    // Larger than any GL viewport or X window: refused before the old window is touched.
    if (width <= 0 || height <= 0 || width > kMaxWindowSide || height > kMaxWindowSide) {
        if (fatal) LayerFatalError("Unable to open graphics window: bad size");
        return nullptr;
    }
    layer::ResetDrawStateForNewWindow();
    ClearKeyboardState();
    ClearMouseState();
    W.pacer = TFramePacer();
    W.pacer.hertz = hertz;
    W.pacer.started = true;
    W.pacer.next = MillisecondClock();
    if (W.headless) {
        W.width = width;
        W.height = height;
        W.open = true;
        return std::make_shared<TGraphics>(TGraphics{width, height, depth, hertz, flags});
    }
    Display* d = SharedDisplay();
    if (!d) return Refuse("Unable to open graphics window: no X display", fatal);
    CloseWindow();
    int screen = DefaultScreen(d);
    if (!W.visual) {
        int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                       GLX_BLUE_SIZE, 8, None};
        W.visual = glXChooseVisual(d, screen, attrs);
        if (!W.visual) return Refuse("Unable to open graphics window: no GL visual", fatal);
    }
    Window root = RootWindow(d, screen);
    trialError = false;
    if (!fatal) trialPrevious = XSetErrorHandler(NoteTrialError);
    W.colormap = XCreateColormap(d, root, W.visual->visual, AllocNone);
    XSetWindowAttributes swa;
    memset(&swa, 0, sizeof swa);
    swa.colormap = W.colormap;
    swa.border_pixel = 0;
    swa.background_pixel = 0;
    swa.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                     PointerMotionMask | StructureNotifyMask | FocusChangeMask | ExposureMask;
    int dw = DisplayWidth(d, screen), dh = DisplayHeight(d, screen);
    W.window = XCreateWindow(d, root, (dw - width) / 2 > 0 ? (dw - width) / 2 : 0,
                             (dh - height) / 2 > 0 ? (dh - height) / 2 : 0, width, height, 0,
                             W.visual->depth, InputOutput, W.visual->visual,
                             CWColormap | CWBorderPixel | CWBackPixel | CWEventMask, &swa);
    if (!W.window) return Refuse("Unable to open graphics window", fatal);
    XSizeHints hints;
    memset(&hints, 0, sizeof hints);
    hints.flags = PSize | PMinSize | PMaxSize;
    hints.width = hints.min_width = hints.max_width = width;
    hints.height = hints.min_height = hints.max_height = height;
    XSetWMNormalHints(d, W.window, &hints);
    W.deleteAtom = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, W.window, &W.deleteAtom, 1);
    XClassHint cls;
    cls.res_name = const_cast<char*>("plarnpuzzle");
    cls.res_class = const_cast<char*>("PlarnPuzzle");
    XSetClassHint(d, W.window, &cls);
    SetTitleOnWindow();
    Bool supported = False;
    XkbSetDetectableAutoRepeat(d, True, &supported);
    // The server shows the backdrop the moment the window appears, while GL is still starting.
    if (W.backdrop) {
        std::vector<uint32_t> picture = StretchedBackdrop(width, height);
        if (!picture.empty()) PutPictureBehind(picture, width, height);
    }
    XMapRaised(d, W.window);
    // Wait (briefly) until the window is mapped so the first frame is not lost.
    for (int i = 0; i < 200; ++i) {
        XEvent e;
        if (XCheckTypedWindowEvent(d, W.window, MapNotify, &e)) break;
        SleepMilliseconds(5);
    }
    if (!W.context) {
        W.context = glXCreateContext(d, W.visual, nullptr, True);
        if (!W.context) W.context = glXCreateContext(d, W.visual, nullptr, False);
        if (!W.context) return Refuse("Unable to open graphics window: no GL context", fatal);
        ++W.generation;
    }
    if (!glXMakeCurrent(d, W.window, W.context)) return Refuse("Unable to open graphics window", fatal);
    if (!fatal) {
        XSync(d, False);
        XSetErrorHandler(trialPrevious);
        trialPrevious = nullptr;
        if (trialError) return Refuse("Unable to open graphics window", fatal);
    }
    SetSwapIntervalZero();
    W.width = width;
    W.height = height;
    W.open = true;
    W.exposed = true;
    layer::ForgetRecordedFrames();
    layer::ApplyDrawStateToGl();
    ClearBackBuffer();
    return std::make_shared<TGraphics>(TGraphics{width, height, depth, hertz, flags});
}
}  // namespace

TGraphicsPtr OpenGraphicsWindow(int width, int height, int depth, int hertz, int flags) {
    return OpenWindow(width, height, depth, hertz, flags, true);
}

TGraphicsPtr TryOpenGraphicsWindow(int width, int height, int depth, int hertz, int flags) {
    return OpenWindow(width, height, depth, hertz, flags, false);
}

void RereadDisplayModes() {
    W.modes.clear();
    W.modesRead = false;
}

int GetGraphicsWidth() { return W.open ? W.width : 0; }
int GetGraphicsHeight() { return W.open ? W.height : 0; }

void PollWindowEvents() {
    SettleMouseButtons();
    if (!W.display || !W.window) return;
    while (XPending(W.display)) {
        XEvent e;
        XNextEvent(W.display, &e);
        HandleEvent(e);
    }
}


void HoldKeysDownNow() {
    if (!W.display || !W.window) return;
    bool down[256];
    KeysDownNow(down);
    for (int k = 0; k < 256; ++k)
        if (down[k]) InputHoldUntilReleased(k, true);
}

void ReleaseKeysUpNow() {
    if (!W.display || !W.window) return;
    // The repeats that queued up while the dialog was open are dropped first.
    PollWindowEvents();
    ReleaseKeysNotDown();
}

void PresentFrame(int sync) {
    if (!W.open) return;
    // A frame equal to the one on screen is neither rendered nor swapped; the pacing, the input
    // and everything else go on as for any frame. A window uncovered since must be drawn again,
    // at once as before (the first frame after a dialog closes over it, for one).
    XEvent e;
    while (W.window && XCheckTypedWindowEvent(W.display, W.window, Expose, &e)) W.exposed = true;
    bool show = layer::HasGl() && layer::RenderRecordedFrame(W.exposed);
    if (sync == -1) {
        unsigned wait = W.pacer.Advance(MillisecondClock());
        if (wait) SleepMilliseconds(wait);
    }
    if (show) {
        glXSwapBuffers(W.display, W.window);
        ++W.shown;
        W.exposed = false;
        if (W.pictureBehind) {
            // From now on the game's frames repaint the window, as before.
            XSetWindowBackground(W.display, W.window, 0);
            W.pictureBehind = false;
        }
    }
    ClearBackBuffer();
    PollWindowEvents();
}

long CountShownFrames() { return W.shown; }

int CountDisplayModes() {
    ReadDisplayModes();
    return static_cast<int>(W.modes.size());
}

bool GetDisplayMode(int index, int& width, int& height, int& depth, int& hertz) {
    ReadDisplayModes();
    if (index < 0 || index >= static_cast<int>(W.modes.size())) return false;
    const DisplayMode& m = W.modes[index];
    width = m.width;
    height = m.height;
    depth = m.depth;
    hertz = m.hertz;
    return true;
}

TPixmapPtr CaptureScreenToPixmap(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    TPixmapPtr pm = CreateBlankPixmap(width, height, 4, 4);
    if (!pm) return nullptr;
    std::fill(pm->pixels.begin(), pm->pixels.end(), 0);
    if (!layer::HasGl()) return pm;
    // The part outside the window stays black; GL counts rows from the bottom.
    int x0 = x < 0 ? 0 : x, x1 = x + width > W.width ? W.width : x + width;
    int y0 = y < 0 ? 0 : y, y1 = y + height > W.height ? W.height : y + height;
    if (x1 <= x0 || y1 <= y0) return pm;
    layer::FlushRecordedDrawing();
    int cw = x1 - x0, ch = y1 - y0;
    std::vector<uint8_t> rgb(static_cast<size_t>(cw) * ch * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x0, W.height - y1, cw, ch, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (int row = 0; row < ch; ++row)
        memcpy(&pm->pixels[static_cast<size_t>(y0 - y + row) * pm->pitch + (x0 - x) * 3],
               &rgb[static_cast<size_t>(ch - 1 - row) * cw * 3], static_cast<size_t>(cw) * 3);
    return pm;
}

void InitGraphicsModule() {}
void InitGl2dDriverModule() {}
void InitGuiDriverModule() {}
