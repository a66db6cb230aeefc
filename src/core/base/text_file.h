#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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
// A log of 256 MiB holds about 2.4 million contacts; 4 Mi lines cost 64 MiB of index.
inline constexpr FileLimits kLogFileLimits{256 * kMebibyte, size_t{4} << 20};
// The shipped prefix file has some 16,000 lines in 800 kB.
inline constexpr FileLimits kPrefixFileLimits{16 * kMebibyte, 250'000};
// One short line per callsign ever logged; read line by line, never split.
inline constexpr FileLimits kFirstNameFileLimits{64 * kMebibyte, SIZE_MAX};
// Any other file read whole.
inline constexpr FileLimits kAnyFileLimits{256 * kMebibyte, SIZE_MAX};

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

private:
    std::filesystem::path path_;
    int fd_;
    size_t size_;
    size_t maxBytes_;
};

// Number of lines splitLines finds in `bytes`, without building them.
size_t countLines(std::string_view bytes);

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

// The one way every data file is rewritten: the complete content goes to
// `scratch`, is flushed and synced, then renamed over `target`. At any moment
// the target holds either its old content or the new one, whole; on a failure
// the scratch file is removed. Throws FileError.
void rewriteFile(const std::filesystem::path& target, const std::filesystem::path& scratch,
                 std::string_view content);

// The same rewrite for content produced piece by piece, so a large file never
// has to be held whole in memory: the pieces go to `scratch` as they come, and
// commit() syncs it and renames it over `target`. Without commit() (a failure,
// an exception on the way) the scratch file is removed and `target` keeps what
// it held. Every call throws FileError.
class SafeRewrite {
public:
    SafeRewrite(std::filesystem::path target, std::filesystem::path scratch);
    ~SafeRewrite();
    SafeRewrite(const SafeRewrite&) = delete;
    SafeRewrite& operator=(const SafeRewrite&) = delete;

    void write(std::string_view bytes);
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path scratch_;
    int fd_ = -1;
    size_t written_ = 0;
};

// Appends `line` and a CR LF to the file in one write, creating it when missing
// unless `create` is false (then a missing file is error 53). When the file's
// last line has no line end, one is written first so lines never merge. On a
// failure the file is cut back to its old length.
void appendLine(const std::filesystem::path& path, std::string_view line, bool create = true);

// Creates the file, or empties it when it exists.
void createEmptyFile(const std::filesystem::path& path);

// Joins lines with CR LF after each one.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace dxcc
