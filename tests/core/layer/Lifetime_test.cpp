// Exit handlers, the end of the program, fatal errors and end signals. Every case ends a
// process, so it runs in a forked child and reports through a log file or its exit.
#include "core/layer/Lifetime.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/layer/Streams.h"
#include "tests/support/ChildProcess.h"

namespace {

std::string logPath;

void Append(const char* what) {
    if (FILE* f = fopen(logPath.c_str(), "a")) {
        fputs(what, f);
        fclose(f);
    }
}
void SaveA() { Append("A"); }
void SaveB() { Append("B"); }
void EndsInside() {
    Append("E");
    EndProgram();
}

class LifetimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plarn-lifetime-XXXXXX";
        int fd = mkstemp(pattern);
        ASSERT_GE(fd, 0);
        close(fd);
        logPath = pattern;
    }
    void TearDown() override { unlink(logPath.c_str()); }
    std::string Log() const {
        std::ostringstream out;
        out << std::ifstream(logPath).rdbuf();
        return out.str();
    }
};

}  // namespace

TEST_F(LifetimeTest, EveryEndRunsEachHandlerOnce) {
    EXPECT_EXIT((RegisterExitHandler(SaveA), RegisterExitHandler(SaveB), EndProgram()),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Log(), "BA");
    EXPECT_EXIT((RegisterExitHandler(SaveA), RunExitHandlers(), RunExitHandlers(), EndProgram()),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Log(), "BAA");
    EXPECT_EXIT((RegisterExitHandler(SaveA), std::exit(3)), ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(Log(), "BAAA");
    // A handler that ends the program itself does not cut the others short.
    EXPECT_EXIT((RegisterExitHandler(SaveA), RegisterExitHandler(EndsInside), std::exit(0)),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Log(), "BAAAEA");
}

TEST_F(LifetimeTest, FatalErrorsPrintAndFailWithoutRunningHandlers) {
    EXPECT_EXIT((RegisterExitHandler(SaveA), LayerFatalError("PNG ERROR")),
                ::testing::ExitedWithCode(1), "PNG ERROR");
    EXPECT_EQ(Log(), "");
}

TEST_F(LifetimeTest, TheFirstEndSignalIsAFlagTheSecondEndsTheProcess) {
    EXPECT_EXIT((InstallEndSignalHandlers(), raise(SIGTERM),
                 _exit(EndRequestedFromOutside() ? 7 : 8)),
                ::testing::ExitedWithCode(7), "");
    EXPECT_EXIT((InstallEndSignalHandlers(), raise(SIGHUP), raise(SIGHUP), _exit(9)),
                ::testing::KilledBySignal(SIGHUP), "");
    // Ctrl+C in the terminal the game was started from is an end request like the others.
    EXPECT_EXIT((signal(SIGINT, SIG_DFL), InstallEndSignalHandlers(), raise(SIGINT),
                 _exit(EndRequestedFromOutside() ? 7 : 8)),
                ::testing::ExitedWithCode(7), "");
    // Started with hang-ups ignored (nohup), it keeps ignoring them.
    EXPECT_EXIT((signal(SIGHUP, SIG_IGN), InstallEndSignalHandlers(), raise(SIGHUP),
                 _exit(EndRequestedFromOutside() ? 8 : 7)),
                ::testing::ExitedWithCode(7), "");
}

TEST_F(LifetimeTest, ALockHeldHereIsRefusedElsewhereAndAReadOnlyLockFileStillLocks) {
    const std::string lock = logPath + ".lock";
    EXPECT_TRUE(HoldsInChild([&] { return HoldLockWhileRunning(lock) == 1; }));
    chmod(lock.c_str(), 0644);  // another user's now
    EXPECT_TRUE(HoldsAsUnprivilegedUser([&] { return HoldLockWhileRunning(lock) == 1; }));
    EXPECT_EQ(HoldLockWhileRunning(lock), 1);
    EXPECT_TRUE(HoldsInChild([&] { return HoldLockWhileRunning(lock) == 0; }));
    EXPECT_EQ(HoldLockWhileRunning(logPath + ".missing/x.lock"), -1);  // none can be made
    unlink(lock.c_str());
    // A dangling link in its place is not followed: no file is made where it points.
    ASSERT_EQ(symlink((logPath + ".elsewhere").c_str(), lock.c_str()), 0);
    EXPECT_EQ(HoldLockWhileRunning(lock), -1);
    EXPECT_EQ(GetPathKind(logPath + ".elsewhere"), 0);
    unlink(lock.c_str());
}

TEST_F(LifetimeTest, ASecondEndSignalTakesAFileHalfWrittenBesideThePlayersWithIt) {
    char pattern[] = "/tmp/plarn-lifetime-XXXXXX";
    const std::string folder = mkdtemp(pattern), mine = folder + "/mine.png";
    std::ofstream(mine) << "mine";
    EXPECT_EXIT((InstallEndSignalHandlers(), raise(SIGTERM),
                 BeginReplacingFile(mine) != mine ? raise(SIGTERM) : (_exit(8), 0)),
                ::testing::KilledBySignal(SIGTERM), "");
    std::ifstream in(mine);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    std::filesystem::remove_all(folder);
}
