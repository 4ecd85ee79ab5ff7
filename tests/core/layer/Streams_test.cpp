// Streams over files and embedded files, text lines, and path queries.
#include "core/layer/Streams.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

class StreamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plarn-streams-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { ASSERT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0); }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    void WriteRaw(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string ReadRaw(const std::string& name) const {
        std::ostringstream out;
        out << std::ifstream(Path(name), std::ios::binary).rdbuf();
        return out.str();
    }
    std::string dir;
};

}  // namespace

TEST_F(StreamsTest, LinesAreBytesEndedByCarriageReturnAndLineFeed) {
    TStreamPtr out = OpenFileForWriting(Path("a.ini"));
    ASSERT_TRUE(out);
    EXPECT_EQ(WriteTextLine(out, "1500"), 1);
    EXPECT_EQ(WriteTextLine(out, std::string("\xff\0x", 3)), 1);
    CloseFileStream(out);
    EXPECT_EQ(ReadRaw("a.ini"), std::string("1500\r\n\xff\0x\r\n", 11));
    EXPECT_EQ(WriteTextLine(out, "closed"), 0);

    // Reading stops at a line feed, a zero byte or the end, and drops every carriage return.
    WriteRaw("b", std::string("a\r\nb\0c\rd\n\r\r\ne", 13));
    TStreamPtr in = OpenFileForReading(Path("b"));
    ASSERT_TRUE(in);
    for (const char* line : {"a", "b", "cd", "", "e"}) EXPECT_EQ(ReadTextLine(in), line);
    EXPECT_EQ(IsStreamAtEnd(in), 1);
    EXPECT_EQ(ReadTextLine(in), "");  // missing lines read as empty text
    SetStreamPosition(in, 3);
    EXPECT_EQ(IsStreamAtEnd(in), 0);
    EXPECT_EQ(ReadTextLine(in), "b");
    EXPECT_EQ(ReadTextLine(in), "cd");
    CloseStreamObject(in);
    EXPECT_EQ(ReadTextLine(in), "");
    EXPECT_EQ(IsStreamAtEnd(in), 1);
    EXPECT_EQ(IsStreamAtEnd(nullptr), 1);

    // A line longer than the reader wants is cut one character past the limit, the rest left for
    // the next read or passed over to the line's end.
    WriteRaw("b", "abcdef\r\nghijk\nl");
    in = OpenFileForReading(Path("b"));
    for (const char* line : {"abcd", "ef"}) EXPECT_EQ(ReadTextLineUpTo(in, 3, false), line);
    EXPECT_EQ(ReadTextLineUpTo(in, 2, true), "ghi");
    EXPECT_EQ(ReadTextLine(in), "l");
}

TEST_F(StreamsTest, ModesCreateTruncateOrKeep) {
    WriteRaw("c", "PNGDATA\nmore");
    // Reading and writing together keeps the bytes; writes land at the position, also
    // straight after reading.
    TStreamPtr both = OpenStreamFromUrl(Path("c"), 1, 1);
    ASSERT_TRUE(both);
    SetStreamPosition(both, int(GetFileByteSize(Path("c"))));
    EXPECT_EQ(WriteTextLine(both, ""), 1);
    EXPECT_EQ(WriteTextLine(both, "Added"), 1);
    SetStreamPosition(both, 0);
    EXPECT_EQ(ReadTextLine(both), "PNGDATA");
    EXPECT_EQ(ReadTextLine(both), "more");
    EXPECT_EQ(WriteTextLine(both, "Z"), 1);
    EXPECT_EQ(ReadTextLine(both), "ed");
    CloseStreamObject(both);
    EXPECT_EQ(ReadRaw("c"), "PNGDATA\nmore\r\nZ\r\ned\r\n");

    CloseFileStream(OpenFileForWriting(Path("c")));
    EXPECT_EQ(GetFileByteSize(Path("c")), 0);

    EXPECT_FALSE(OpenStreamFromUrl(Path("missing"), 1, 1));
    EXPECT_FALSE(OpenFileForWriting(Path("no/such/dir")));
    EXPECT_FALSE(OpenStreamForReading(dir));
    WriteRaw("x::y", "z");  // only "incbin::" names something other than a file
    EXPECT_EQ(ReadTextLine(OpenStreamForReading(Path("x::y"))), "z");
}

TEST_F(StreamsTest, ReadingRetriesWithComponentsMatchedWithoutCase) {
    ASSERT_EQ(mkdir(Path("Pictures").c_str(), 0755), 0);
    WriteRaw("Pictures/Rose.JPG", "rose");
    TStreamPtr in = OpenStreamForReading(Path("pictures/rose.jpg"));
    ASSERT_TRUE(in);
    EXPECT_EQ(ReadTextLine(in), "rose");
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeSource(Path("PICTURES/ROSE.jpg"), bytes));
    EXPECT_EQ(bytes.size(), 4u);
    EXPECT_FALSE(OpenStreamForReading(Path("pictures/tulip.jpg")));
    EXPECT_FALSE(OpenFileForWriting(Path("pictures/new.jpg")));  // writes never go elsewhere
}

TEST_F(StreamsTest, EmbeddedFilesOpenReadOnlyUnderTheirPrefixInAnyCase) {
    static const uint8_t bytes[] = {'l', '1', '\r', '\n', 0, 'z'};
    EXPECT_EQ(RegisterEmbeddedFile("medien/t/a.txt", bytes, sizeof bytes), 1);
    EXPECT_EQ(RegisterEmbeddedFile("medien/t/a.txt", bytes, 2), 0);
    EXPECT_EQ(RegisterEmbeddedFile("medien/t/empty", nullptr, 0), 1);
    for (const char* path : {"incbin::medien/t/a.txt", "InCbIn::medien/t/a.txt"}) {
        TStreamPtr in = OpenStreamForReading(path);
        ASSERT_TRUE(in) << path;
        for (const char* line : {"l1", "", "z"}) EXPECT_EQ(ReadTextLine(in), line);
        EXPECT_EQ(IsStreamAtEnd(in), 1);
        SetStreamPosition(in, 1);
        EXPECT_EQ(ReadTextLine(in), "1");
    }
    std::vector<uint8_t> whole;
    ASSERT_TRUE(ReadWholeSource("incbin::medien/t/a.txt", whole));
    EXPECT_EQ(whole, std::vector<uint8_t>(bytes, bytes + sizeof bytes));
    TStreamPtr empty = OpenFileForReading("incbin::medien/t/empty");
    ASSERT_TRUE(empty);
    EXPECT_EQ(IsStreamAtEnd(empty), 1);
    EXPECT_FALSE(OpenStreamFromUrl("incbin::medien/t/a.txt", 1, 1));
    EXPECT_FALSE(OpenStreamForReading("incbin::medien/t/A.txt"));
    EXPECT_FALSE(ReadWholeSource("incbin::nothing", whole));
    EXPECT_EQ(GetPathKind("incbin::medien/t/a.txt"), 0);  // entries are not files
}

TEST_F(StreamsTest, PipesAreReadWholeAndShrinkingFilesGiveWhatTheyHave) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "first\nsecond\n", 13), 13);
    close(fds[1]);
    TStreamPtr in = OpenFileForReading("/proc/self/fd/" + std::to_string(fds[0]));
    close(fds[0]);
    ASSERT_TRUE(in);
    EXPECT_EQ(ReadTextLine(in), "first");
    SetStreamPosition(in, 0);  // only possible because it was read whole
    EXPECT_EQ(ReadTextLine(in), "first");
    EXPECT_EQ(ReadTextLine(in), "second");

    std::string big;
    for (int i = 0; i < 20000; ++i) big += "line " + std::to_string(i) + "\n";
    WriteRaw("big", big);
    in = OpenStreamForReading(Path("big"));
    ASSERT_TRUE(in);
    EXPECT_EQ(ReadTextLine(in), "line 0");
    ASSERT_EQ(truncate(Path("big").c_str(), 50000), 0);
    ASSERT_EQ(unlink(Path("big").c_str()), 0);
    std::string rest;
    while (!IsStreamAtEnd(in)) rest += ReadTextLine(in) + "\n";
    EXPECT_TRUE(rest.size() < big.size() && rest.compare(0, 7, "line 1\n") == 0);
}

TEST_F(StreamsTest, PathQueries) {
    WriteRaw("f", "12345");
    ASSERT_EQ(mkdir(Path("d").c_str(), 0755), 0);
    EXPECT_EQ(GetPathKind(Path("f")), 1);
    EXPECT_EQ(GetPathKind(Path("d")), 2);
    EXPECT_EQ(GetPathKind(Path("none")), 0);
    EXPECT_EQ(GetPathKind("/dev/null"), 0);  // no file to load or overwrite
    EXPECT_EQ(GetFileByteSize(Path("f")), 5);
    EXPECT_EQ(GetFileByteSize(Path("none")), -1);
    EXPECT_EQ(GetFileByteSize(Path("d")), -1);
    EXPECT_EQ(RemoveFile(Path("f")), 1);
    EXPECT_EQ(GetPathKind(Path("f")), 0);
    EXPECT_EQ(RemoveFile(Path("f")), 1);  // nothing there afterwards
    EXPECT_EQ(RemoveFile(Path("d")), 0);  // a directory stays
    ASSERT_EQ(symlink(Path("gone").c_str(), Path("link").c_str()), 0);
    EXPECT_EQ(RemoveFile(Path("link")), 1);  // a dangling link goes, not followed

    EXPECT_EQ(NormalisePathSeparators("C:\\Bilder\\", 1), "C:/Bilder");
    EXPECT_EQ(NormalisePathSeparators("C:\\Bilder\\", 0), "C:/Bilder/");
    EXPECT_EQ(NormalisePathSeparators("\\", 1), "/");
}

TEST_F(StreamsTest, TemporaryNamesNeverRunOutAndAStartRemovesOnlyTheGamesOwnLeftovers) {
    // A hundred saves killed mid-way left their files beside the one they replace.
    for (int n = 0; n < 100; ++n) WriteRaw(".PlarnPuzzle-" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".tmp", "");
    // Names of other forms, a link, a folder and another user's file stay.
    const std::set<std::string> others = {".PlarnPuzzle-7.tmp", ".PlarnPuzzle-007.tmp", ".PlarnPuzzle-00.tmp~", "mine",
                                          ".PlarnPuzzle-100.tmp", ".PlarnPuzzle-101.tmp", ".PlarnPuzzle-102.tmp"};
    for (const std::string& name : others) WriteRaw(name, "x");
    ASSERT_EQ(unlink(Path(".PlarnPuzzle-100.tmp").c_str()) + unlink(Path(".PlarnPuzzle-101.tmp").c_str()), 0);
    const std::string written = BeginReplacingFile(Path("mine"));
    EXPECT_EQ(written, Path(".PlarnPuzzle-100.tmp"));
    EXPECT_EQ(FinishReplacingFile(Path("mine"), written, true), 1);
    ASSERT_EQ(symlink("mine", Path(".PlarnPuzzle-100.tmp").c_str()) + mkdir(Path(".PlarnPuzzle-101.tmp").c_str(), 0700) +
                  chown(Path(".PlarnPuzzle-102.tmp").c_str(), 65534, 65534),
              0);
    EXPECT_EQ(RemoveLeftoverTemporaryFiles(dir + "/"), 100);
    std::set<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir)) left.insert(e.path().filename());
    EXPECT_EQ(left, others);
}
