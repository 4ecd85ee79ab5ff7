// Program lifetime: exit handlers, the end of the program, fatal errors and end signals.
#include "core/layer/Lifetime.h"

#include <fcntl.h>
#include <malloc.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "core/layer/Streams.h"

namespace {

std::recursive_mutex& HandlerMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

// Never destroyed: the handlers may still run from std::exit after static destructors began.
std::vector<void (*)()>& Handlers() {
    static auto* handlers = new std::vector<void (*)()>();
    return *handlers;
}

bool hookedIntoExit = false;
bool exiting = false;  // std::exit has begun; calling it again would be undefined

volatile sig_atomic_t endSignals = 0;

void OnExit() {
    exiting = true;
    RunExitHandlers();
}

void OnEndSignal(int sig) {
    // The first request is left to the frame loops, which end the program in good order
    // (saving the configuration). A second one means the game did not respond: end it now.
    if (endSignals > 0) {
        RemoveUnfinishedFile();  // a file half written beside the player's goes too
        signal(sig, SIG_DFL);
        raise(sig);
        return;
    }
    endSignals = endSignals + 1;
}

}  // namespace

void RegisterExitHandler(void (*handler)()) {
    if (!handler) return;
    std::lock_guard<std::recursive_mutex> lock(HandlerMutex());
    if (!hookedIntoExit) {
        hookedIntoExit = true;
        // A return from main or any std::exit runs the handlers as well.
        std::atexit(OnExit);
    }
    Handlers().push_back(handler);
}

void RunExitHandlers() {
    std::lock_guard<std::recursive_mutex> lock(HandlerMutex());
    // Each handler is taken off before it runs, so it runs once even when a handler ends the
    // program itself; the newest runs first, as with the C library's own exit functions.
    auto& handlers = Handlers();
    while (!handlers.empty()) {
        void (*handler)() = handlers.back();
        handlers.pop_back();
        handler();
    }
}

void EndProgram() {
    RunExitHandlers();
    if (exiting) {
        // Called from a handler that std::exit is running: finish the exit without re-entering it.
        fflush(nullptr);
        _exit(0);
    }
    exiting = true;
    std::exit(0);
}

void LayerFatalError(const char* message) {
    fflush(stdout);
    fprintf(stderr, "%s\n", message ? message : "fatal error");
    fflush(stderr);
    RemoveUnfinishedFile();
    // No exit handlers: the state they would save may be what failed. _exit also keeps the
    // mixer and dialog threads from racing static destructors.
    _exit(1);
}

void InstallEndSignalHandlers() {
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
        struct sigaction old = {};
        sigaction(sig, nullptr, &old);
        // Started with the signal ignored (nohup): the player asked to keep running.
        if (old.sa_handler == SIG_IGN) continue;
        sigaction(sig, &action, nullptr);
    }
}

bool EndRequestedFromOutside() { return endSignals != 0; }

int HoldLockWhileRunning(const std::string& path) {
    // Not blocking: the path may be a pipe. Read-only suffices for a lock that is already there.
    // A link is never followed, so a dangling one never makes a file wherever it points.
    const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | flags, 0600);
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | flags);
    if (fd < 0) return -1;
    // The descriptor stays open until the process ends, however it ends; the system then lets go
    // of the lock, so a crash never blocks the next start.
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return 1;
    const bool heldElsewhere = errno == EWOULDBLOCK;
    close(fd);
    return heldElsewhere ? 0 : -1;
}

void KeepLargeBlocksOutOfHeap() {
    // A fixed threshold also stops the C library from raising it after each large free, which
    // would move every later picture into the heap, where it fragments what is left.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024);
}
