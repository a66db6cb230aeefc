#include "logbook/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "logbook/file_error.h"

namespace dxcc {

int fileErrorCodeFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return kFileNotFound;
        case ENOSPC:
        case EDQUOT:
            return kDiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return kPermissionDenied;
        case ENOTDIR:
            return kPathNotFound;
        default:
            return kDeviceIoError;
    }
}

void throwFileError(int err, const std::string& path) {
    throw FileError(fileErrorCodeFromErrno(err), path);
}

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now so that a failing close (delayed write error) is reported.
    int release() {
        int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

void writeAll(int fd, std::string_view data, const std::string& path) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path);
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
}

}  // namespace

std::string readFileBytes(const std::filesystem::path& path) {
    std::string bytes;
    readFileInto(path, bytes);
    return bytes;
}

void readFileInto(const std::filesystem::path& path, std::string& bytes, size_t spare) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throwFileError(errno, path.string());
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throwFileError(errno, path.string());
    if (S_ISDIR(st.st_mode)) throw FileError(kPermissionDenied, path.string());
    const size_t expected = static_cast<size_t>(st.st_size);
    // Memory already touched is much cheaper to fill than fresh pages: the buffer
    // is kept while it has a quarter of the spare room left, and given back when
    // it is far too large for this file.
    const size_t wanted = expected + spare;
    if (bytes.capacity() < expected + spare / 4 || bytes.capacity() / 2 > wanted + 65536) {
        std::string().swap(bytes);
        bytes.reserve(wanted);
    }
    bytes.resize(expected);
    auto readSome = [&](char* to, size_t room) {
        for (;;) {
            ssize_t n = ::read(fd.get(), to, room);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) throwFileError(errno, path.string());
        }
    };
    size_t got = 0;
    while (got < expected) {
        size_t n = readSome(bytes.data() + got, expected - got);
        if (n == 0) break;  // the file shrank meanwhile
        got += n;
    }
    bytes.resize(got);
    if (got < expected) return;
    // The file may have grown meanwhile: read on until its real end.
    char more[65536];
    while (size_t n = readSome(more, sizeof more)) bytes.append(more, n);
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t nl = bytes.find('\n', start);
        size_t end = nl == std::string_view::npos ? bytes.size() : nl;
        size_t len = end - start;
        if (nl != std::string_view::npos && len > 0 && bytes[end - 1] == '\r') --len;
        lines.push_back(bytes.substr(start, len));
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return lines;
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::string bytes = readFileBytes(path);
    std::vector<std::string> lines;
    for (std::string_view l : splitLines(bytes)) lines.emplace_back(l);
    return lines;
}

SafeRewrite::SafeRewrite(std::filesystem::path target, std::filesystem::path scratch)
    : target_(std::move(target)), scratch_(std::move(scratch)) {
    fd_ = ::open(scratch_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throwFileError(errno, scratch_.string());
}

SafeRewrite::~SafeRewrite() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(scratch_.c_str());
}

void SafeRewrite::write(std::string_view bytes) {
    if (fd_ < 0) throw FileError(kDeviceIoError, scratch_.string());
    writeAll(fd_, bytes, scratch_.string());
#ifdef __linux__
    // Starts writing this piece to disk now, while the next one is produced,
    // so that the closing sync has little left to wait for.
    ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(bytes.size()),
                      SYNC_FILE_RANGE_WRITE);
#endif
    written_ += bytes.size();
}

void SafeRewrite::commit() {
    if (fd_ < 0) throw FileError(kDeviceIoError, scratch_.string());
    if (::fsync(fd_) != 0) throwFileError(errno, scratch_.string());
    // Closed now so that a failing close (delayed write error) is reported.
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        const int err = errno;
        ::unlink(scratch_.c_str());
        throwFileError(err, scratch_.string());
    }
    if (::rename(scratch_.c_str(), target_.c_str()) != 0) {
        const int err = errno;
        ::unlink(scratch_.c_str());
        throwFileError(err, target_.string());
    }
    // Make the rename itself durable.
    Fd dir(::open(target_.parent_path().empty() ? "." : target_.parent_path().c_str(),
                  O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

void rewriteFile(const std::filesystem::path& target, const std::filesystem::path& scratch,
                 std::string_view content) {
    SafeRewrite file(target, scratch);
    file.write(content);
    file.commit();
}

void appendLine(const std::filesystem::path& path, std::string_view line) {
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (fd.get() < 0) throwFileError(errno, path.string());
    std::string out;
    off_t size = ::lseek(fd.get(), 0, SEEK_END);
    if (size > 0) {
        char last = 0;
        if (::pread(fd.get(), &last, 1, size - 1) == 1 && last != '\n') out += kLineEnd;
    }
    out += line;
    out += kLineEnd;
    try {
        writeAll(fd.get(), out, path.string());
        if (::fsync(fd.get()) != 0) throwFileError(errno, path.string());
    } catch (...) {
        // A half-written line would corrupt the log: give the file back its old end.
        if (size >= 0 && ::ftruncate(fd.get(), size) == 0) ::fsync(fd.get());
        throw;
    }
    if (fd.release() != 0) throwFileError(errno, path.string());
}

void createEmptyFile(const std::filesystem::path& path) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) throwFileError(errno, path.string());
    if (fd.release() != 0) throwFileError(errno, path.string());
}

std::string joinLines(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + kLineEnd.size();
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += kLineEnd;
    }
    return out;
}

}  // namespace dxcc
