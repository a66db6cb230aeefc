#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dxcc {

// Data files are single-byte (Windows-1252) text; lines end in CR LF on writing,
// CR LF or bare LF on reading.
inline constexpr std::string_view kLineEnd = "\r\n";

// Reads the whole file as bytes. Throws FileError (53 when it does not exist).
std::string readFileBytes(const std::filesystem::path& path);

// Reads the whole file into `bytes`, reusing its memory when it is large enough.
// New memory is taken with room for `spare` more bytes, and kept while a quarter
// of that room is left, so small additions and rewrites need no new memory.
// Throws FileError; `bytes` is then unspecified.
void readFileInto(const std::filesystem::path& path, std::string& bytes, size_t spare = 0);

// Splits file bytes into lines without their line ends (CR LF or LF). A last
// line without a line end still counts; an empty text has no lines.
std::vector<std::string_view> splitLines(std::string_view bytes);

// Reads a text file as lines (see splitLines). Throws FileError.
std::vector<std::string> readLines(const std::filesystem::path& path);

// The one way every data file is rewritten: the complete content goes to
// `scratch`, is flushed and synced, then renamed over `target`. At any moment
// the target holds either its old content or the new one, whole.
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

// Appends `line` and a CR LF to the file, creating it when missing. When the
// file's last line has no line end, one is written first so lines never merge.
void appendLine(const std::filesystem::path& path, std::string_view line);

// Creates the file, or empties it when it exists.
void createEmptyFile(const std::filesystem::path& path);

// Joins lines with CR LF after each one.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace dxcc
