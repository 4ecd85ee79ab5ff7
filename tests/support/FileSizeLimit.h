// Runs a step in a child process that may write files of at most `bytes` bytes, as on a disk that
// runs out of room: true when the step's own check, made in the child, holds.
#pragma once
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

inline bool HoldsWithFileSizeLimit(rlim_t bytes, const std::function<bool()>& step) {
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the child
        struct rlimit limit = {bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(step() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
