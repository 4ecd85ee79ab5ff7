// Starts the game and watches the screen as a player sees it: prints the seconds from the start
// to its window appearing and to the first look at the window that shows more than one colour,
// and whether the first look already did. Then ends the game (SIGKILL: nothing to keep).
// Usage: first_picture COMMAND [ARGS...]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {
double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

Window FindGame(Display* d) {
    Window root, parent, *children = nullptr, found = 0;
    unsigned n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n)) return 0;
    for (unsigned i = 0; i < n && !found; ++i) {
        XClassHint hint{};
        if (!XGetClassHint(d, children[i], &hint)) continue;
        if (hint.res_name && !strcmp(hint.res_name, "plarnpuzzle")) found = children[i];
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    if (children) XFree(children);
    return found;
}

// Whether the part of the screen where the window lies holds more than one colour.
bool ShowsAPicture(Display* d, const XWindowAttributes& a) {
    XImage* image = XGetImage(d, DefaultRootWindow(d), a.x, a.y, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) return false;
    bool more = false;
    const unsigned long first = XGetPixel(image, 0, 0);
    for (int y = 0; y < a.height && !more; y += 3)
        for (int x = 0; x < a.width && !more; x += 3) more = XGetPixel(image, x, y) != first;
    XDestroyImage(image);
    return more;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: first_picture COMMAND [ARGS...]\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    const double start = Now();
    pid_t game = fork();
    if (game == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    Window w = 0;
    double shown = -1, picture = -1;
    bool firstLook = false;
    while (picture < 0 && Now() - start < 30 && waitpid(game, nullptr, WNOHANG) == 0) {
        if (!w) w = FindGame(d);
        XWindowAttributes a{};
        if (w && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) {
            bool more = ShowsAPicture(d, a);
            if (shown < 0) shown = Now() - start, firstLook = more;
            if (more) picture = Now() - start;
        }
        if (picture < 0) usleep(1000);
    }
    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    printf("window shown: %.3f s\nfirst picture: %.3f s\nfirst look one colour: %s\n", shown, picture,
           firstLook ? "no" : "yes");
    return picture < 0 ? 1 : 0;
}
