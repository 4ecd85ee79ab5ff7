// Byte streams over files and embedded files, the embedded-file table and path queries.
#include "core/layer/Streams.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace {

const char kEmbeddedPrefix[] = "incbin::";
const size_t kEmbeddedPrefixLength = sizeof(kEmbeddedPrefix) - 1;

// Nothing the game reads legitimately comes near this; it keeps a device or a runaway pipe
// named as a picture from filling memory.
const size_t kMaxWholeRead = size_t(1) << 30;

struct EmbeddedEntry {
    const uint8_t* bytes;
    size_t size;
};

std::mutex& EmbeddedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, EmbeddedEntry>& EmbeddedTable() {
    static std::map<std::string, EmbeddedEntry> table;
    return table;
}

// The file being written beside the one it replaces, for an end that cannot wait for the writing.
// A signal handler on any thread may read the name while the game changes it: the sequence number
// is odd while the name changes, and a name read between two equal even numbers is whole.
std::atomic<unsigned> unfinishedSequence{0};
std::atomic<char> unfinishedName[PATH_MAX];

void NoteUnfinishedFile(const std::string& name) {
    const unsigned sequence = unfinishedSequence.load(std::memory_order_relaxed);
    unfinishedSequence.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    const size_t length = name.size() < PATH_MAX ? name.size() : 0;
    for (size_t k = 0; k < length; ++k) unfinishedName[k].store(name[k], std::memory_order_relaxed);
    unfinishedName[length].store(0, std::memory_order_relaxed);
    unfinishedSequence.store(sequence + 2, std::memory_order_release);
}

// Why the last save failed: the first failure after its start is its cause.
TSaveProblem saveProblem = TSaveProblem::None;
int saveProblemError = 0;

void NoteSaveProblem(TSaveProblem problem, int error = 0) {
    if (saveProblem != TSaveProblem::None) return;
    saveProblem = problem;
    saveProblemError = error;
}

// A system error while creating (a file in a folder) or writing.
void NoteSaveError(int error, bool creating) {
    switch (error) {
        case ENOSPC: case EDQUOT: case EFBIG: NoteSaveProblem(TSaveProblem::NoRoom); break;
        case EROFS: NoteSaveProblem(TSaveProblem::ReadOnlyDisk); break;
        case EACCES: case EPERM:
            NoteSaveProblem(creating ? TSaveProblem::FolderReadOnly : TSaveProblem::FileReadOnly);
            break;
        case ENOENT: case ENOTDIR: NoteSaveProblem(TSaveProblem::NoFolder); break;
        default: NoteSaveProblem(TSaveProblem::Other, error);
    }
}

// Appends everything left in a FILE; false (and nothing kept) past the cap. A file that shrinks
// or fails while read gives what came before.
bool ReadRest(FILE* file, std::vector<uint8_t>& out) {
    uint8_t chunk[65536];
    for (;;) {
        size_t got = fread(chunk, 1, sizeof chunk, file);
        if (got > 0) {
            if (out.size() + got > kMaxWholeRead) {
                std::vector<uint8_t>().swap(out);
                return false;
            }
            out.insert(out.end(), chunk, chunk + got);
        }
        if (got < sizeof chunk) return true;
    }
}

// Finds an existing path whose components match the given ones without regard to (ASCII) case,
// preferring exact matches; empty when there is none. Pictures named in an old configuration
// or puzzle file often differ from the files on disk only in case.
std::string ResolvePathIgnoringCase(const std::string& path) {
    std::string resolved = path.size() > 0 && path[0] == '/' ? "/" : "";
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        std::string part = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty()) continue;
        std::string exact = resolved + part;
        struct stat st;
        if (stat(exact.c_str(), &st) == 0) {
            resolved = exact;
        } else {
            DIR* dir = opendir(resolved.empty() ? "." : resolved.c_str());
            if (!dir) return std::string();
            std::string match;
            while (dirent* entry = readdir(dir)) {
                if (strcasecmp(entry->d_name, part.c_str()) == 0) {
                    match = entry->d_name;
                    break;
                }
            }
            closedir(dir);
            if (match.empty()) return std::string();
            resolved += match;
        }
        if (slash < path.size()) resolved += '/';
    }
    return resolved;
}

FILE* OpenFileForMode(const std::string& path, const char* mode) {
    FILE* file = fopen(path.c_str(), mode);
    if (!file) return nullptr;
    // A directory opens like a file on Linux but reads nothing but errors.
    struct stat st;
    if (fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
        fclose(file);
        return nullptr;
    }
    return file;
}

}  // namespace

TStream::~TStream() { Close(); }

size_t TStream::Read(void* dest, size_t n) {
    if (!readable || n == 0) return 0;
    if (file) {
        // Output must not run straight into input on an update stream: Write flushes after
        // itself, so reads can follow directly.
        size_t got = fread(dest, 1, n, file);
        if (got < n && ferror(file)) error = true;
        return got;
    }
    if (position >= size) return 0;
    size_t got = n < size - position ? n : size - position;
    memcpy(dest, data + position, got);
    position += got;
    return got;
}

size_t TStream::Write(const void* src, size_t n) {
    if (!writable || !file || n == 0) return 0;
    // On an update stream input must not run straight into output: repositioning in place
    // switches the direction (and drops anything pushed back by AtEnd).
    if (readable) fseek(file, 0, SEEK_CUR);
    size_t put = fwrite(src, 1, n, file);
    // The flush is where a full disk shows on an update stream: fwrite only filled the buffer.
    if (put < n || (readable && fflush(file) != 0)) {
        error = true;
        NoteSaveError(errno, false);
    }
    return put;
}

int TStream::ReadByte() {
    if (!readable) return -1;
    if (file) {
        // A stream belongs to one thread: no lock for each byte, which made scanning a long file
        // several times slower once the game's other threads run.
        int c = getc_unlocked(file);
        if (c == EOF && ferror(file)) error = true;
        return c == EOF ? -1 : c;
    }
    if (position >= size) return -1;
    return data[position++];
}

bool TStream::AtEnd() {
    if (file) {
        if (readable) {
            int c = getc(file);
            if (c == EOF) return true;
            ungetc(c, file);
            return false;
        }
        // A write-only stream is at its end when nothing lies beyond the write position.
        fflush(file);
        struct stat st;
        long at = ftell(file);
        if (at < 0 || fstat(fileno(file), &st) != 0) return true;
        return at >= st.st_size;
    }
    return position >= size;
}

bool TStream::Seek(size_t pos) {
    if (file) {
        if (pos > size_t(LONG_MAX)) return false;
        return fseek(file, long(pos), SEEK_SET) == 0;
    }
    if (!data) return false;
    if (pos > size) {
        position = size;
        return false;
    }
    position = pos;
    return true;
}

long TStream::Position() {
    if (file) return ftell(file);
    if (!data) return -1;
    return long(position);
}

void TStream::Close() {
    if (file) {
        if (fclose(file) != 0) {
            error = true;
            if (writable) NoteSaveError(errno, false);
        }
        file = nullptr;
    }
    data = nullptr;
    size = 0;
    position = 0;
    std::vector<uint8_t>().swap(owned);
    readable = writable = false;
}

int RegisterEmbeddedFile(const std::string& name, const uint8_t* bytes, size_t size) {
    if (!bytes && size > 0) return 0;
    std::lock_guard<std::mutex> lock(EmbeddedMutex());
    // The table keeps the pointer, not a copy: the bytes are linked into the program.
    return EmbeddedTable().emplace(name, EmbeddedEntry{bytes, size}).second ? 1 : 0;
}

bool IsEmbeddedPath(const std::string& path) {
    return path.size() >= kEmbeddedPrefixLength &&
           strncasecmp(path.c_str(), kEmbeddedPrefix, kEmbeddedPrefixLength) == 0;
}

bool FindEmbeddedFile(const std::string& path, const uint8_t*& bytes, size_t& size) {
    if (!IsEmbeddedPath(path)) return false;
    std::lock_guard<std::mutex> lock(EmbeddedMutex());
    auto& table = EmbeddedTable();
    auto it = table.find(path.substr(kEmbeddedPrefixLength));
    if (it == table.end()) return false;
    bytes = it->second.bytes;
    size = it->second.size;
    return true;
}

TStreamPtr OpenStreamFromUrl(const std::string& path, int readable, int writable) {
    if (!readable && !writable) return nullptr;
    if (IsEmbeddedPath(path)) {
        if (writable) return nullptr;
        const uint8_t* bytes = nullptr;
        size_t size = 0;
        if (!FindEmbeddedFile(path, bytes, size)) return nullptr;
        auto stream = std::make_shared<TStream>();
        static const uint8_t kEmpty[1] = {0};
        stream->data = bytes ? bytes : kEmpty;
        stream->size = size;
        stream->readable = true;
        return stream;
    }
    if (path.empty()) return nullptr;
    // "e": the descriptor is not inherited by programs the game or its dialogs start.
    const char* mode = readable && writable ? "r+be" : readable ? "rbe" : "wbe";
    FILE* file = OpenFileForMode(path, mode);
    if (!file && readable) {
        std::string other = ResolvePathIgnoringCase(path);
        if (!other.empty() && other != path) file = OpenFileForMode(other, mode);
    }
    if (!file) return nullptr;
    auto stream = std::make_shared<TStream>();
    stream->file = file;
    stream->readable = readable != 0;
    stream->writable = writable != 0;
    return stream;
}

TStreamPtr OpenStreamForReading(const std::string& path) { return OpenStreamFromUrl(path, 1, 0); }

TStreamPtr OpenFileForReading(const std::string& path) {
    TStreamPtr stream = OpenStreamFromUrl(path, 1, 0);
    if (!stream || !stream->file || ftell(stream->file) >= 0) return stream;
    // A pipe or similar cannot seek; read it whole so the reader can.
    std::vector<uint8_t> bytes;
    bool ok = ReadRest(stream->file, bytes);
    fclose(stream->file);
    stream->file = nullptr;
    if (!ok) return nullptr;
    stream->owned.swap(bytes);
    static const uint8_t kEmpty[1] = {0};
    stream->data = stream->owned.empty() ? kEmpty : stream->owned.data();
    stream->size = stream->owned.size();
    stream->position = 0;
    return stream;
}

TStreamPtr OpenFileForWriting(const std::string& path) { return OpenStreamFromUrl(path, 0, 1); }

bool ReadWholeSource(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    if (IsEmbeddedPath(path)) {
        const uint8_t* bytes = nullptr;
        size_t size = 0;
        if (!FindEmbeddedFile(path, bytes, size)) return false;
        if (size > 0) out.assign(bytes, bytes + size);
        return true;
    }
    TStreamPtr stream = OpenStreamFromUrl(path, 1, 0);
    if (!stream) return false;
    struct stat st;
    if (fstat(fileno(stream->file), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        size_t(st.st_size) <= kMaxWholeRead)
        out.reserve(size_t(st.st_size));
    return ReadRest(stream->file, out);
}

int IsStreamAtEnd(const TStreamPtr& stream) { return !stream || stream->AtEnd() ? 1 : 0; }

void SetStreamPosition(const TStreamPtr& stream, int position) {
    if (stream && position >= 0) stream->Seek(size_t(position));
}

void CloseFileStream(const TStreamPtr& stream) {
    if (stream) stream->Close();
}

void CloseStreamObject(const TStreamPtr& stream) {
    if (stream) stream->Close();
}

std::string ReadTextLine(const TStreamPtr& stream) { return ReadTextLineUpTo(stream, std::string::npos - 1, false); }

std::string ReadTextLineUpTo(const TStreamPtr& stream, size_t limit, bool skipRest) {
    std::string line;
    if (!stream) return line;
    for (;;) {
        int c = stream->ReadByte();
        if (c < 0 || c == 10 || c == 0) break;
        if (c == 13 || line.size() > limit) continue;
        line += char(c);
        if (line.size() > limit && !skipRest) break;
    }
    return line;
}

int WriteTextLine(const TStreamPtr& stream, const std::string& text) {
    if (!stream) return 0;
    std::string bytes = text;
    bytes += "\r\n";
    return stream->Write(bytes.data(), bytes.size()) == bytes.size() ? 1 : 0;
}

std::string ReadEnvironmentVariable(const std::string& name) {
    const char* value = getenv(name.c_str());
    return value ? std::string(value) : std::string();
}

std::string GetWorkingDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() > (size_t(1) << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetHomeDirectory() {
    std::string home = ReadEnvironmentVariable("HOME");
    if (!home.empty()) return home;
    // Started without HOME (a service, a cleared environment): the account still has its folder.
    std::vector<char> buffer(1024);
    for (;;) {
        passwd entry{}, *found = nullptr;
        const int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == 0) return found && found->pw_dir ? std::string(found->pw_dir) : std::string();
        if (error != ERANGE || buffer.size() > (size_t(1) << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

int GetPathKind(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return 0;
    if (S_ISDIR(st.st_mode)) return 2;
    // Devices, pipes and sockets are not files the game can load or overwrite.
    if (S_ISREG(st.st_mode)) return 1;
    return 0;
}

long long GetFileByteSize(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return (long long)st.st_size;
}

int RemoveFile(const std::string& path) {
    struct stat st;
    if (!path.empty() && lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return 0;
        unlink(path.c_str());
    }
    return path.empty() || (lstat(path.c_str(), &st) != 0 && errno == ENOENT) ? 1 : 0;
}

int FlushStreamToDisk(const TStreamPtr& stream) {
    if (!stream || !stream->file || !stream->writable || stream->error) return 0;
    // EINTR is retried; any other failure means the data may not be on the disk.
    int result = fflush(stream->file);
    if (result == 0) {
        do result = fsync(fileno(stream->file));
        while (result != 0 && errno == EINTR);
    }
    if (result != 0) {
        stream->error = true;
        NoteSaveError(errno, false);
        return 0;
    }
    return 1;
}

namespace {
// A rename lives in the folder: sync it too (best effort; some file systems refuse fsync on a
// folder, and the rename has happened either way).
void SyncFolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Renames without ever replacing what is at to; errno tells why not (EEXIST: something is).
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system that cannot rename so: a second link fails as well when the name is taken.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}
}  // namespace

int RenamePath(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || rename(from.c_str(), to.c_str()) != 0) return 0;
    SyncFolderOf(to);
    return 1;
}

std::string RenameToFreeName(const std::string& from, const std::string& to, TRenameFailure* failure) {
    TRenameFailure why = TRenameFailure::Other;
    for (int n = 1; !from.empty() && !to.empty() && n <= kMaxFreeNames; ++n) {
        const std::string name = n == 1 ? to : to + "-" + std::to_string(n);
        if (RenameWithoutReplacing(from, name)) {
            SyncFolderOf(name);
            if (failure) *failure = TRenameFailure::None;
            return name;
        }
        why = errno == EEXIST || errno == ENOTEMPTY || errno == EISDIR ? TRenameFailure::NoFreeName
              : errno == EACCES || errno == EPERM || errno == EROFS     ? TRenameFailure::FolderLocked
                                                                         : TRenameFailure::Other;
        if (why != TRenameFailure::NoFreeName) break;
    }
    if (failure) *failure = why;
    return std::string();
}

std::string FollowSymbolicLinks(const std::string& path) {
    // Each link read by hand, since the last one may lead to a file not made yet.
    std::string at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        char text[PATH_MAX];
        if (at.empty() || lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        const ssize_t length = readlink(at.c_str(), text, sizeof text);
        if (length <= 0 || size_t(length) >= sizeof text) return path;
        at = (text[0] == '/' ? std::string() : at.substr(0, at.rfind('/') + 1)) + std::string(text, size_t(length));
    }
    struct stat st;
    const bool exists = at != path && lstat(at.c_str(), &st) == 0;
    if (at == path || (exists && S_ISLNK(st.st_mode))) return path;
    // The canonical name, of the file or else of its folder, so that two links to one file agree.
    const size_t slash = at.rfind('/');
    const std::string folder = exists ? at : slash == std::string::npos ? "." : slash == 0 ? "/" : at.substr(0, slash);
    char* real = realpath(folder.c_str(), nullptr);
    if (!real) return at;
    std::string target(real);
    free(real);
    if (!exists) target += (target == "/" ? "" : "/") + at.substr(slash + 1);
    return target;
}

bool TFileStamp::operator==(const TFileStamp& o) const {
    return there == o.there && device == o.device && inode == o.inode && size == o.size &&
           modifiedSeconds == o.modifiedSeconds && modifiedNanoseconds == o.modifiedNanoseconds;
}

TFileStamp StampOfFile(const std::string& path) {
    TFileStamp stamp;
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return stamp;
    stamp.there = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedSeconds = st.st_mtim.tv_sec;
    stamp.modifiedNanoseconds = st.st_mtim.tv_nsec;
    return stamp;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    // Found as opening finds it: a path that names nothing may name a file spelled in other case.
    auto find = [](const std::string& path, struct stat& st) {
        return !path.empty() && !IsEmbeddedPath(path) &&
               (stat(path.c_str(), &st) == 0 || stat(ResolvePathIgnoringCase(path).c_str(), &st) == 0);
    };
    struct stat sa, sb;
    return find(a, sa) && find(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

TSaveTarget CheckSaveTarget(const std::string& path) {
    if (path.empty() || IsEmbeddedPath(path)) return TSaveTarget::NotAFile;
    struct stat st;
    // Links that go round in a loop lead to no file that could be written.
    if (stat(path.c_str(), &st) != 0) return errno == ELOOP ? TSaveTarget::NotAFile : TSaveTarget::Nothing;
    // A folder, a device, a pipe or a socket is never replaced by a file.
    if (!S_ISREG(st.st_mode)) return TSaveTarget::NotAFile;
    // Opening for writing without truncating changes nothing and asks exactly whether the player
    // may write the file (a read-only disk included); a pipe put there meanwhile does not block it.
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return TSaveTarget::ReadOnlyFile;
    close(fd);
    return TSaveTarget::WritableFile;
}

namespace {
const char kTemporaryPrefix[] = ".PlarnPuzzle-", kTemporarySuffix[] = ".tmp";

std::string TemporaryName(unsigned n) {
    char number[16];
    snprintf(number, sizeof number, "%02u", n);
    return kTemporaryPrefix + std::string(number) + kTemporarySuffix;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// Creates an empty file of a name nobody uses in folder (with its trailing slash), with the
// permission bits mode within the umask: an exclusive create never opens a player's file or
// follows a link. The names count up without end, so leftovers of saves killed mid-way never use
// them all up. Empty, and error set, when none can be made.
std::string CreateTemporaryIn(const std::string& folder, mode_t mode, int& error) {
    for (unsigned n = 0; n < 1000000; ++n) {
        const std::string beside = folder + TemporaryName(n);
        const int fd = open(beside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        error = errno;
        if (fd >= 0) {
            NoteUnfinishedFile(beside);
            close(fd);
            return beside;
        }
        if (error != EEXIST) break;
    }
    return std::string();
}
}  // namespace

std::string BeginReplacingFile(const std::string& path) {
    saveProblem = TSaveProblem::None;
    const std::string target = FollowSymbolicLinks(path);
    const TSaveTarget found = CheckSaveTarget(target);
    if (found == TSaveTarget::NotAFile) NoteSaveProblem(TSaveProblem::NotAFile);
    if (found == TSaveTarget::ReadOnlyFile) NoteSaveProblem(TSaveProblem::FileReadOnly);
    if (found != TSaveTarget::Nothing && found != TSaveTarget::WritableFile) return std::string();
    const bool exists = found == TSaveTarget::WritableFile;
    // In the same folder: a rename works only within one file system.
    int error = 0;
    const std::string beside = CreateTemporaryIn(FolderOf(target), 0666, error);
    if (!beside.empty()) return beside;
    // Nothing may be created beside it (a folder the player may not write): into the file
    // itself, as writing it always did. Any other failure (a full disk) leaves it whole.
    if (exists && (error == EACCES || error == EPERM)) return target;
    if (target != path && (error == ENOENT || error == ENOTDIR)) NoteSaveProblem(TSaveProblem::LinkIntoNowhere);
    NoteSaveError(error, true);
    return std::string();
}

std::string BeginNewFileBeside(const std::string& path) {
    saveProblem = TSaveProblem::None;
    struct stat st;
    const mode_t mode = stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? st.st_mode & 0666 : 0666;
    int error = 0;
    const std::string beside = CreateTemporaryIn(FolderOf(path), mode, error);
    if (beside.empty()) NoteSaveError(error, true);
    return beside;
}

int FinishReplacingFile(const std::string& path, const std::string& written, bool complete) {
    const std::string target = FollowSymbolicLinks(path);
    if (written.empty()) return 0;
    if (!complete) NoteSaveProblem(TSaveProblem::Other);
    // Written in place: nothing to move, and nothing to undo.
    if (written == target) return complete ? 1 : 0;
    struct stat st;
    if (complete && stat(target.c_str(), &st) == 0) {
        // The owner stays where the system allows it (root may give a file away, others not);
        // where it may not, the player's own new file is as good.
        [[maybe_unused]] const int owned = chown(written.c_str(), st.st_uid, st.st_gid);
        complete = chmod(written.c_str(), st.st_mode & 0777) == 0;
        if (!complete) NoteSaveError(errno, false);
    }
    const bool replaced = complete && RenamePath(written, target);
    if (complete && !replaced) NoteSaveError(errno, true);
    if (!replaced) RemoveFile(written);
    NoteUnfinishedFile("");
    return replaced ? 1 : 0;
}

std::string FinishNewFileAs(const std::string& written, const std::string& name, bool complete) {
    if (written.empty()) return std::string();
    if (!complete) NoteSaveProblem(TSaveProblem::Other);
    TRenameFailure failure = TRenameFailure::None;
    const std::string given = complete ? RenameToFreeName(written, name, &failure) : std::string();
    const int error = errno;
    if (failure == TRenameFailure::NoFreeName) NoteSaveProblem(TSaveProblem::NoFreeName);
    if (failure != TRenameFailure::None) NoteSaveError(error, true);
    if (given.empty()) RemoveFile(written);
    NoteUnfinishedFile("");
    return given;
}

TSaveProblem LastSaveProblem() { return saveProblem; }

std::string LastSaveProblemSystemText() { return saveProblemError != 0 ? strerror(saveProblemError) : ""; }

int RemoveLeftoverTemporaryFiles(const std::string& folder) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    // Only a name this game makes: the prefix, a number as it is written, the suffix.
    const size_t prefix = sizeof kTemporaryPrefix - 1, suffix = sizeof kTemporarySuffix - 1;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const std::string digits = name.size() > prefix + suffix ? name.substr(prefix, name.size() - prefix - suffix) : "";
        if (!digits.empty() && digits.size() < 10 && digits.find_first_not_of("0123456789") == std::string::npos &&
            TemporaryName(unsigned(std::stoul(digits))) == name)
            names.push_back(name);
    }
    int removed = 0;
    for (const std::string& name : names) {
        struct stat st;
        if (fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == geteuid() && unlinkat(dirfd(dir), name.c_str(), 0) == 0)
            ++removed;
    }
    closedir(dir);
    return removed;
}

void RemoveUnfinishedFile() {
    const unsigned before = unfinishedSequence.load(std::memory_order_acquire);
    char name[PATH_MAX];
    size_t length = 0;
    while (length < PATH_MAX && (name[length] = unfinishedName[length].load(std::memory_order_relaxed)))
        ++length;
    std::atomic_thread_fence(std::memory_order_acquire);
    const bool whole = before % 2 == 0 && unfinishedSequence.load(std::memory_order_relaxed) == before;
    if (whole && length > 0 && length < PATH_MAX) unlink(name);
}

std::string NormalisePathSeparators(const std::string& path, int stripTrailing) {
    std::string result = path;
    for (char& c : result)
        if (c == '\\') c = '/';
    if (stripTrailing && result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

// Module start-ups called by the start-up sequence; everything here is ready without them.
void InitStandardIoModule() {}
void InitLinkedListModule() {}
void InitMemoryBankModule() {}

int ReadStreamInt(const TStreamPtr& stream) {
    uint8_t b[4];
    if (!stream) return 0;
    if (stream->Read(b, 4) != 4) {
        stream->error = true;
        return 0;
    }
    return static_cast<int>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
}

float ReadStreamFloat(const TStreamPtr& stream) {
    uint32_t bits = static_cast<uint32_t>(ReadStreamInt(stream));
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}
