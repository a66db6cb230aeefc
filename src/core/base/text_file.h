#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/byte_buffer.h"

namespace dxcc {

// Data files are single-byte (Windows-1252) text; lines end in CR LF on writing,
// CR LF or bare LF on reading.
inline constexpr std::string_view kLineEnd = "\r\n";

// The most a data file may hold before it is refused unread, so that loading it
// never exhausts memory: far beyond any real file of its kind.
struct FileLimits {
    size_t maxBytes;
    size_t maxLines;
};
inline constexpr size_t kMebibyte = size_t{1} << 20;
// A log of 256 MiB holds about 2.4 million contacts; 4 Mi lines cost 16 MiB of index.
inline constexpr FileLimits kLogFileLimits{256 * kMebibyte, size_t{4} << 20};
// The shipped prefix file has some 16,000 lines in 800 kB.
inline constexpr FileLimits kPrefixFileLimits{16 * kMebibyte, 250'000};
// One short line per callsign ever logged; read line by line, never split.
inline constexpr FileLimits kFirstNameFileLimits{64 * kMebibyte, SIZE_MAX};
// Any other file read whole.
inline constexpr FileLimits kAnyFileLimits{256 * kMebibyte, SIZE_MAX};

// One state of a file: which file a name leads to (device and inode, through
// links), its size and modification time. Another program's change, whether
// written in place or renamed over the name, gives another identity.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = -1;  // -1: no file
    int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file `path` leads to; the default one when there is none.
FileIdentity fileIdentity(const std::filesystem::path& path);

// Opens a data file for reading without waiting (a named pipe without a
// writer cannot hang the program) and checks that it is a plain file: FileError
// 53 when missing, 75 for a folder (EISDIR), a pipe or a device. Answers the
// descriptor (the caller closes it) and the file's identity.
int openPlainFileForReading(const std::filesystem::path& path, FileIdentity* identity = nullptr);

// Reads the whole file as bytes. Throws FileError: 53 when it does not exist, 75
// when it is a folder or no plain file, 7 when it holds more than `limits` allow.
std::string readFileBytes(const std::filesystem::path& path,
                          const FileLimits& limits = kAnyFileLimits);

// Reads the whole file into `bytes`, reusing its memory when it is large enough.
// New memory is taken with room for `spare` more bytes, and kept while a quarter
// of that room is left, so small additions and rewrites need no new memory.
// Throws FileError as readFileBytes (lines are not counted). When the file cannot
// be opened or is refused, `bytes` is left as it was; after a failure while
// reading it is unspecified.
void readFileInto(const std::filesystem::path& path, std::string& bytes, size_t spare = 0,
                  size_t maxBytes = kAnyFileLimits.maxBytes);

// A data file open for reading, checked to be a plain file of at most
// `maxBytes` (FileError as readFileBytes), so a caller knows it can be read
// before touching what it holds in memory.
class InputFile {
public:
    InputFile(const std::filesystem::path& path, size_t maxBytes);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Reads the whole file into `bytes` as readFileInto does. Throws FileError;
    // `bytes` is then unspecified.
    void readInto(std::string& bytes, size_t spare = 0);
    // The same into memory that is not cleared first, calling
    // `appended(from, to)` each time the bytes from `from` to `to` have just
    // been read (what lies after `to` in `bytes` is not read yet). A large file
    // is read by two processors, each into its half, the second half given to
    // `appended` once both are read; the first's pieces while they are still in
    // the cache.
    void readInto(ByteBuffer& bytes, size_t spare,
                  const std::function<void(size_t from, size_t to)>& appended);

    // The file as it was when opened.
    const FileIdentity& identity() const { return identity_; }

private:
    // The file's first bytes read by two processors into `bytes`; answers how
    // many were read (fewer when the file shrank meanwhile).
    size_t readHalves(ByteBuffer& bytes,
                      const std::function<void(size_t from, size_t to)>& appended);
    // Reads [from, to) of the file into `into` until done or the file's end;
    // answers the bytes read.
    size_t readRange(char* into, size_t from, size_t to,
                     const std::function<void(size_t from, size_t to)>& appended) const;

    std::filesystem::path path_;
    int fd_;
    FileIdentity identity_;
    size_t size_;
    size_t maxBytes_;
};

// Number of lines splitLines finds in `bytes`, without building them.
size_t countLines(std::string_view bytes);

// How many times `c` stands in `bytes` (sixteen bytes compared at once: the
// line ends of a 100 MB log are counted at every load).
size_t countByte(std::string_view bytes, char c);

// Calls `f` with each line of `bytes` as splitLines cuts them, without building a
// list of them.
template <typename F>
void forEachLine(std::string_view bytes, F&& f) {
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t nl = bytes.find('\n', start);
        const size_t end = nl == std::string_view::npos ? bytes.size() : nl;
        size_t length = end - start;
        if (nl != std::string_view::npos && length > 0 && bytes[end - 1] == '\r') --length;
        f(bytes.substr(start, length));
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
}

// Splits file bytes into lines without their line ends (CR LF or LF). A last
// line without a line end still counts; an empty text has no lines.
std::vector<std::string_view> splitLines(std::string_view bytes);

// Reads a text file as lines (see splitLines). Throws FileError.
std::vector<std::string> readLines(const std::filesystem::path& path);

// The file a name finally leads to, through every symbolic link on the way
// (a link may point to a file not created yet); the name itself when it is no
// link. A link chain that loops or is too deep is error 75.
std::filesystem::path followLinks(const std::filesystem::path& path);

// Where the scratch file of a rewrite of `target` goes: `scratch` itself when
// the file `target` leads to lies in the scratch's folder, else beside that
// file (a rename never crosses disks), named after it.
std::filesystem::path scratchBeside(const std::filesystem::path& target,
                                    const std::filesystem::path& scratch);

// The one way every data file is rewritten: the complete content goes to
// `scratch`, is flushed and synced, then renamed over `target`. At any moment
// the target holds either its old content or the new one, whole; on a failure
// the scratch file is removed. Throws FileError. See SafeRewrite for links,
// modes, targets that are no plain file and `expected`. Answers the identity
// of the file written.
FileIdentity rewriteFile(const std::filesystem::path& target, const std::filesystem::path& scratch,
                         std::string_view content,
                         const std::optional<FileIdentity>& expected = std::nullopt);

// The same rewrite for content produced piece by piece, so a large file never
// has to be held whole in memory: the pieces go to `scratch` as they come, and
// commit() syncs it and renames it over `target`. Without commit() (a failure,
// an exception on the way) the scratch file is removed and `target` keeps what
// it held. Every call throws FileError.
//
// A target that is a symbolic link is rewritten through it: the file it leads
// to gets the new content (see scratchBeside) and the link stays. The new file
// keeps the old one's permissions and, where the system allows, its owner. A
// target that exists and is no plain file (a folder, a pipe, a device) is
// refused with error 75 and never replaced. With `expected`, the target must
// still be that file, unchanged, right before the rename: otherwise the
// rewrite is abandoned (FileProblem::ChangedWhileWriting) and the other
// writer's change kept.
class SafeRewrite {
public:
    SafeRewrite(std::filesystem::path target, std::filesystem::path scratch,
                std::optional<FileIdentity> expected = std::nullopt);
    ~SafeRewrite();
    SafeRewrite(const SafeRewrite&) = delete;
    SafeRewrite& operator=(const SafeRewrite&) = delete;

    void write(std::string_view bytes);
    // Answers the identity of the file written.
    FileIdentity commit();
    // Syncs and closes the scratch file and leaves it there, whole, for the
    // caller to rename (see rewriteTogether); it is no longer removed when the
    // object goes. Answers the identity of the file written.
    FileIdentity seal();

    // The file actually replaced, and the scratch file used.
    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& scratch() const { return scratch_; }

private:
    std::filesystem::path target_;
    std::filesystem::path scratch_;
    std::optional<FileIdentity> expected_;
    int fd_ = -1;
    size_t written_ = 0;
    FileIdentity sealed_;
};

// Renames `from` over `to` and syncs the folder of `to`, so the rename
// survives a power cut. Throws FileError.
void renameOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes the file `path` (not a folder) and syncs its folder. Throws FileError;
// a file already gone is no failure.
void removeFile(const std::filesystem::path& path);

// Appends `line` and a CR LF to the file in one write, creating it when missing
// unless `create` is false (then a missing file is error 53). When the file's
// last line has no line end, one is written first so lines never merge. On a
// failure the file is cut back to its old length. With `expected`, a file that
// is no longer that one, unchanged, is left alone
// (FileProblem::ChangedWhileWriting). Answers the identity of the file written.
FileIdentity appendLine(const std::filesystem::path& path, std::string_view line,
                        bool create = true,
                        const std::optional<FileIdentity>& expected = std::nullopt);

// Creates the file, or empties it when it exists.
void createEmptyFile(const std::filesystem::path& path);

// Joins lines with CR LF after each one.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace dxcc
