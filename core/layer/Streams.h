// Byte streams over files and embedded files, the embedded-file table, and path queries.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct TStream {
    FILE* file = nullptr;                  // a file stream
    const uint8_t* data = nullptr;         // an in-memory stream (embedded file or read whole)
    size_t size = 0;
    size_t position = 0;
    std::vector<uint8_t> owned;            // bytes owned by a read-whole stream
    bool readable = false, writable = false;
    bool error = false;
    ~TStream();
    // Reads up to n bytes; returns how many were read.
    size_t Read(void* dest, size_t n);
    size_t Write(const void* src, size_t n);
    // -1 at the end of the stream.
    int ReadByte();
    bool AtEnd();
    bool Seek(size_t pos);
    long Position();
    void Close();
};
using TStreamPtr = std::shared_ptr<TStream>;

int RegisterEmbeddedFile(const std::string& name, const uint8_t* bytes, size_t size);
// The entry for an "incbin::" path (prefix in any case), or null.
bool FindEmbeddedFile(const std::string& path, const uint8_t*& bytes, size_t& size);
// Whether a path names an embedded file (starts with "incbin::" in any case).
bool IsEmbeddedPath(const std::string& path);

// A path with the "incbin::" prefix opens a built-in file; every other one, "::" in it or not, a file.
TStreamPtr OpenStreamFromUrl(const std::string& path, int readable, int writable);
TStreamPtr OpenStreamForReading(const std::string& path);
TStreamPtr OpenFileForReading(const std::string& path);
TStreamPtr OpenFileForWriting(const std::string& path);
// All bytes of a file or embedded file; false when it cannot be opened.
bool ReadWholeSource(const std::string& path, std::vector<uint8_t>& out);
int IsStreamAtEnd(const TStreamPtr& stream);
void SetStreamPosition(const TStreamPtr& stream, int position);
void CloseFileStream(const TStreamPtr& stream);
void CloseStreamObject(const TStreamPtr& stream);
std::string ReadTextLine(const TStreamPtr& stream);
// The next line as ReadTextLine reads it, but never more than limit characters of it: a longer
// line gives its first limit + 1 characters (so the caller can tell) and leaves the stream right
// after them, or with skipRest after the line's end, the rest read but not kept.
std::string ReadTextLineUpTo(const TStreamPtr& stream, size_t limit, bool skipRest);
// A 4-byte little-endian integer or IEEE single float; 0 when fewer than 4 bytes are left, and
// the stream's error flag then tells the short read from a real 0.
int ReadStreamInt(const TStreamPtr& stream);
float ReadStreamFloat(const TStreamPtr& stream);
int WriteTextLine(const TStreamPtr& stream, const std::string& text);

std::string ReadEnvironmentVariable(const std::string& name);
std::string GetWorkingDirectory();
// The account's home folder: HOME, or when that is unset or empty the folder the system records
// for the account; empty when neither is known.
std::string GetHomeDirectory();
int GetPathKind(const std::string& path);
long long GetFileByteSize(const std::string& path);
int RemoveFile(const std::string& path);
// Pushes everything written to a file stream through to the disk (flush and fsync): 1 when the
// bytes are safely stored, 0 on any failure (a full disk, an I/O error, not a file stream).
int FlushStreamToDisk(const TStreamPtr& stream);
// Renames a file, replacing what is at the destination in one step, and then syncs the
// destination's folder so the new name survives a crash: 1 when the rename took place.
int RenamePath(const std::string& from, const std::string& to);
// Why a file could not be given a free name.
enum class TRenameFailure { None, NoFreeName, FolderLocked, Other };
// The most names RenameToFreeName tries.
constexpr int kMaxFreeNames = 99;
// Renames a file to `to`, or, when that name is taken (by a file, a folder, anything), to the
// first free one of to-2, to-3 ... to-99, never replacing what is there, even when another
// program takes a name meanwhile; then syncs the folder. The name it now has, or empty (and
// why in failure) when it keeps its own.
std::string RenameToFreeName(const std::string& from, const std::string& to, TRenameFailure* failure = nullptr);
// The file that path names once symbolic links are followed, also when a link leads to a file not
// made yet (a dotfile manager's); path itself when it is no link, or its links go round in a loop.
std::string FollowSymbolicLinks(const std::string& path);
// What the file system says of the file at a path, links followed: whether anything is there, and
// its device, inode, size and modification time. An equal stamp later means the same file, unchanged.
struct TFileStamp {
    bool there = false;
    unsigned long long device = 0, inode = 0;
    long long size = 0, modifiedSeconds = 0, modifiedNanoseconds = 0;
    bool operator==(const TFileStamp& o) const;
    bool operator!=(const TFileStamp& o) const { return !(*this == o); }
};
TFileStamp StampOfFile(const std::string& path);
// Whether two paths name one file once links are followed (hard links to it included, and a
// path found only in other letter case as opening finds it); false when either names nothing or
// a built-in file.
bool IsSameFile(const std::string& a, const std::string& b);
// What saving at a path finds there, links followed: nothing, a regular file the player may write,
// something that is not a regular file (a folder, a device, a pipe, a socket, a built-in file), or
// a file the player may not write.
enum class TSaveTarget { Nothing, WritableFile, NotAFile, ReadOnlyFile };
TSaveTarget CheckSaveTarget(const std::string& path);
// Saving over a file keeps what writing into it would keep. The path to write the new content of
// the file at path to: a new file beside it (links followed), which FinishReplacingFile puts in
// its place once whole; or, when nothing can be created beside it, the file itself. Empty when it
// may not be replaced: no regular file, a file the player may not write, or a new file in a
// folder the player may not write. The file beside has a short name of its own, so that any name
// the folder allows can be replaced, and it is removed however the game ends, short of a kill.
std::string BeginReplacingFile(const std::string& path);
// A new empty file in path's own folder (links not followed) under such a short name, for content
// that FinishNewFileAs gives a free name; empty when none can be made. It takes the permission bits
// of the file at path, if any, within the umask.
std::string BeginNewFileBeside(const std::string& path);
// After the content at written (from BeginNewFileBeside) is complete, on the disk and closed: gives
// it the name `name`, or the first free one of name-2 ... as RenameToFreeName does, never replacing
// anything. The name it has, or empty (the file removed) when it is not complete or none is free.
std::string FinishNewFileAs(const std::string& written, const std::string& name, bool complete);
// Why the last save begun with BeginReplacingFile or BeginNewFileBeside failed, as the player can
// act on it: its folder is missing or may not be written, the file may not be written or is no
// regular file, the disk is full or read-only, a link leads into a folder that is missing, every
// name is taken, or something else (for which the system's own words are given).
enum class TSaveProblem {
    None, NoFolder, FolderReadOnly, FileReadOnly, NotAFile, NoRoom, ReadOnlyDisk, LinkIntoNowhere, NoFreeName, Other
};
TSaveProblem LastSaveProblem();
std::string LastSaveProblemSystemText();
// Removes the files a save killed mid-way left in folder: only names of the temporary form
// BeginReplacingFile uses, regular files, owned by this user. For a start that holds the lock on
// what is saved there, so no save of another run is under way. How many it removed.
int RemoveLeftoverTemporaryFiles(const std::string& folder);
// After the content at written (from BeginReplacingFile) is complete, on the disk and closed:
// puts it in path's place with the old file's owner and permission bits; 1 when path holds it.
// When it is not complete or cannot be moved, the file beside is removed and path stays.
int FinishReplacingFile(const std::string& path, const std::string& written, bool complete);
// Removes the file that BeginReplacingFile made beside another and that is not finished yet, if
// any: for an end of the program that cannot wait for the writing (safe in a signal handler).
void RemoveUnfinishedFile();
std::string NormalisePathSeparators(const std::string& path, int stripTrailing);

void InitStandardIoModule();
void InitLinkedListModule();
void InitMemoryBankModule();
