// The process entry.
#include <csignal>
#include <climits>
#include <string>
#include <unistd.h>

#include "core/StartUp.h"
#include "core/layer/Lifetime.h"

int main() {
    KeepLargeBlocksOutOfHeap();
    signal(SIGPIPE, SIG_IGN);
    InstallEndSignalHandlers();
    // The program's files are found relative to the directory that holds it.
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        std::string path(buf, static_cast<size_t>(n));
        std::string::size_type slash = path.rfind('/');
        if (slash != std::string::npos) {
            std::string dir = slash == 0 ? "/" : path.substr(0, slash);
            if (chdir(dir.c_str()) != 0) { /* stay where we are */ }
        }
    }
    return StartProgram();
}
