// A virtual X server of the test's own, for tests whose expected pixels and sizes were worked out
// for one desktop size: they run on that desktop whatever display the suite itself runs on.
#pragma once
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

// Starts Xvfb with one screen of `screen` (as "1920x1080x24") on a display number the server
// picks itself, waits until it takes connections and points DISPLAY at it; the server ends with
// the program. False when it did not start.
inline bool UseOwnXServer(const std::string& screen) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // gone with the test, however the test ends
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // The server writes its display number here once it is ready.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    static pid_t server;
    server = pid;
    auto stop = [] {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    };
    if (number.empty()) {
        stop();
        return false;
    }
    std::atexit(stop);
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}
