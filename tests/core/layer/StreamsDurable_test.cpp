// Writing files so they survive: pushing a stream's bytes to the disk, and replacing a file by
// renaming another over it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/layer/Streams.h"
#include "tests/support/ChildProcess.h"

namespace {
std::string Folder() {
    static std::string dir = [] {
        char pattern[] = "/tmp/plarn_durable_XXXXXX";
        std::string d = mkdtemp(pattern);
        static std::string keep = d;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(keep, ignored);
        });
        return d;
    }();
    return dir;
}
std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
}  // namespace

TEST(StreamsDurable, FlushingToDiskReportsWhetherTheBytesAreStored) {
    const std::string path = Folder() + "/a";
    TStreamPtr out = OpenFileForWriting(path);
    ASSERT_TRUE(out);
    ASSERT_EQ(WriteTextLine(out, "hello"), 1);
    EXPECT_EQ(FlushStreamToDisk(out), 1);
    EXPECT_EQ(Read(path), "hello\r\n");  // on the disk before the stream is closed
    CloseStreamObject(out);
    EXPECT_EQ(FlushStreamToDisk(out), 0);  // closed
    EXPECT_EQ(FlushStreamToDisk(nullptr), 0);
    EXPECT_EQ(FlushStreamToDisk(OpenFileForReading(path)), 0);
    // Out of room: bytes still in the stream's buffer cannot be stored.
    EXPECT_TRUE(HoldsWithFileSizeLimit(10, [] {
        TStreamPtr s = OpenFileForWriting(Folder() + "/b");
        WriteTextLine(s, std::string(100, 'x'));
        return FlushStreamToDisk(s) == 0;
    })) << "a failed flush was reported as stored";
}

TEST(StreamsDurable, RenamingReplacesTheDestinationWhole) {
    const std::string from = Folder() + "/new", to = Folder() + "/old";
    std::ofstream(from) << "new";
    std::ofstream(to) << "old";
    EXPECT_EQ(RenamePath(from, to), 1);
    EXPECT_EQ(Read(to), "new");
    EXPECT_EQ(GetPathKind(from), 0);
    // Nothing to rename: the destination stays.
    EXPECT_EQ(RenamePath(from, to), 0);
    EXPECT_EQ(Read(to), "new");
    // A folder is not replaced by a file.
    const std::string folder = Folder() + "/folder";
    mkdir(folder.c_str(), 0700);
    EXPECT_EQ(RenamePath(to, folder), 0);
    EXPECT_EQ(GetPathKind(folder), 2);
    EXPECT_EQ(Read(to), "new");
}
