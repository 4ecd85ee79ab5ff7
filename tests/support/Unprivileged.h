// Runs a step in a child process as an ordinary user (root passes every permission check, so root
// drops to uid and gid 65534 first): true when the step's own check, made in the child, holds.
#pragma once
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

inline bool HoldsAsUnprivilegedUser(const std::function<bool()>& step) {
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(step() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
