// Saving at the end of the program in the situations a test process must meet fresh: before the
// file was read, and with real dialogs but no display (as after the X server went away).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

#include "core/Configuration.h"
#include "tests/core/GameState.h"

using namespace gamestate;

TEST(ConfigurationEnd, NothingIsWrittenWhenTheGameEndsBeforeTheFileWasRead) {
    ASSERT_FALSE(ConfigurationLoaded()) << "needs a process in which nothing was loaded yet: run it first";
    // The exit handler is registered before start-up reads the file: an end in between must not
    // replace the player's saved puzzle with a half-built state.
    Start(1200, 900, false);
    WriteText(IniPath(), "1200\r\n900\r\nthe player's puzzle\r\n");
    SaveConfiguration();
    EXPECT_EQ(ReadText(IniPath()), "1200\r\n900\r\nthe player's puzzle\r\n");
}

TEST(ConfigurationEnd, TheFailureNoticeNeedsNoDisplay) {
    Start(1200, 900, false);
    ASSERT_EQ(LoadConfiguration(), 0);
    RemoveFile(IniPath());
    mkdir(IniPath().c_str(), 0700);  // a folder in the file's place: the save fails
    FoundAtStart();
    const std::string err = Home() + "/stderr.txt";
    auto begin = std::chrono::steady_clock::now();
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        unsetenv("DISPLAY");
        if (!freopen(err.c_str(), "w", stderr)) _exit(2);
        SaveConfiguration();
        fflush(stderr);  // a reopened stderr is buffered, and _exit does not flush
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(60));  // no box waits for an answer
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(ReadText(err).find("The ini-file with your personal\nconfiguration couldn't be saved.\nIt is not a regular file."),
              std::string::npos);
    rmdir(IniPath().c_str());
}
