// Runs a step in a child process, as on a disk that runs out of room or as an ordinary user: true
// when the step's own check, made in the child, holds.
#pragma once
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

inline bool HoldsInChild(const std::function<bool()>& step) {
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) _exit(step() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The child may write files of at most `bytes` bytes.
inline bool HoldsWithFileSizeLimit(rlim_t bytes, const std::function<bool()>& step) {
    return HoldsInChild([&] {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the child
        struct rlimit limit = {bytes, bytes};
        return setrlimit(RLIMIT_FSIZE, &limit) == 0 && step();
    });
}

// Makes the process uid and gid 65534 when it runs as root (whom no permission stops).
inline bool DropToOrdinaryUser() {
    return geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0);
}

// The step runs as an ordinary user.
inline bool HoldsAsUnprivilegedUser(const std::function<bool()>& step) {
    return HoldsInChild([&] { return DropToOrdinaryUser() && step(); });
}

// The step runs as an ordinary user and gets a fresh folder of that user's own.
inline bool HoldsAsOrdinaryUser(const std::function<bool(const std::string& folder)>& step) {
    return HoldsInChild([&] {
        char dir[] = "/tmp/plarn_user_XXXXXX";
        if (!DropToOrdinaryUser() || !mkdtemp(dir)) return false;
        const bool held = step(dir);
        chmod(dir, 0700);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        return held;
    });
}
