#include "core/base/text_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/base/file_error.h"
#include "core/base/two_processors.h"
#include "core/base/write_faults.h"

namespace dxcc {

int fileErrorCodeFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return kFileNotFound;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kDiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return kPermissionDenied;
        case EISDIR:
        case EEXIST:  // a folder where the scratch file goes
        case ELOOP:
            return kPathFileAccessError;
        case ENOTDIR:
            return kPathNotFound;
        default:
            return kDeviceIoError;
    }
}

void throwFileError(int err, const std::string& path) {
    int code = fileErrorCodeFromErrno(err);
    // A missing folder (a data folder that vanished) is not a missing file.
    if (err == ENOENT) {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        std::error_code ec;
        if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) code = kPathNotFound;
    }
    throw FileError(code, path, err);
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
    int take() { return std::exchange(fd_, -1); }
    // Closes now so that a failing close (delayed write error) is reported.
    int release(const std::filesystem::path& path) {
        int rc = ::close(fd_);
        fd_ = -1;
        if (int fault = injectedWriteFault(WriteStep::Close, path)) {
            errno = fault;
            return -1;
        }
        return rc;
    }

private:
    int fd_;
};

// The writing system calls, each with its test seam (write_faults.h).
int openForWriting(const std::filesystem::path& path, int flags, mode_t mode = 0644) {
    if (int fault = injectedWriteFault(WriteStep::Open, path)) {
        errno = fault;
        return -1;
    }
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

ssize_t writeSome(int fd, std::string_view data, const std::filesystem::path& path) {
    if (int fault = injectedWriteFault(WriteStep::Write, path)) {
        // A disk fills up part of the way through.
        if (data.size() > 1 && ::write(fd, data.data(), data.size() / 2) < 0) return -1;
        errno = fault;
        return -1;
    }
    return ::write(fd, data.data(), data.size());
}

int syncFile(int fd, const std::filesystem::path& path) {
    if (int fault = injectedWriteFault(WriteStep::Sync, path)) {
        errno = fault;
        return -1;
    }
    return ::fsync(fd);
}

int renameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (int fault = injectedWriteFault(WriteStep::Rename, to)) {
        errno = fault;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

int truncateFile(int fd, off_t size, const std::filesystem::path& path) {
    if (int fault = injectedWriteFault(WriteStep::Truncate, path)) {
        errno = fault;
        return -1;
    }
    return ::ftruncate(fd, size);
}

void writeAll(int fd, std::string_view data, const std::filesystem::path& path) {
    while (!data.empty()) {
        ssize_t n = writeSome(fd, data, path);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path.string());
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
}

[[noreturn]] void refuseTooLarge(const std::filesystem::path& path) {
    throw FileError(kOutOfMemory, path.string());
}

[[noreturn]] void refuseNonPlain(const struct stat& st, const std::filesystem::path& path) {
    if (S_ISDIR(st.st_mode)) throw FileError(kPathFileAccessError, path.string(), EISDIR);
    throw FileError(kPathFileAccessError, path.string());
}

[[noreturn]] void refuseChanged(const std::filesystem::path& path) {
    throw FileError(kPathFileAccessError, path.string(), 0, FileProblem::ChangedWhileWriting);
}

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
            static_cast<int64_t>(st.st_size),
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

}  // namespace

FileIdentity fileIdentity(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return identityOf(st);
}

int openPlainFileForReading(const std::filesystem::path& path, FileIdentity* identity) {
    // Non-blocking, so that a named pipe put where the file should be cannot
    // hang the program; it is refused below with every other kind of non-file.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) throwFileError(errno, path.string());
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throwFileError(errno, path.string());
    // A device would never end (or never answer).
    if (!S_ISREG(st.st_mode)) refuseNonPlain(st, path);
    // Reads of a plain file never wait; the flag is dropped all the same.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    if (identity) *identity = identityOf(st);
    return fd.take();
}

std::string readFileBytes(const std::filesystem::path& path, const FileLimits& limits) {
    std::string bytes;
    readFileInto(path, bytes, 0, limits.maxBytes);
    if (limits.maxLines != SIZE_MAX && countLines(bytes) > limits.maxLines) refuseTooLarge(path);
    return bytes;
}

void readFileInto(const std::filesystem::path& path, std::string& bytes, size_t spare,
                  size_t maxBytes) {
    InputFile(path, maxBytes).readInto(bytes, spare);
}

InputFile::InputFile(const std::filesystem::path& path, size_t maxBytes)
    : path_(path), fd_(-1), size_(0), maxBytes_(maxBytes) {
    Fd fd(openPlainFileForReading(path, &identity_));
    size_ = static_cast<size_t>(identity_.size);
    if (size_ > maxBytes) refuseTooLarge(path);
    fd_ = fd.take();
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {

// Files are read a piece of this size at a time, which stays in the cache.
constexpr size_t kReadPiece = 256 * 1024;
// Below this, a second thread costs more than it saves.
constexpr size_t kTwoReadersFrom = 16 * kMebibyte;

// Fresh memory costs the kernel a page fault and a cleared page for every 4 KiB
// touched: for a log of 100 MB that is more than reading the file. The kernel
// is asked to prepare the pages of a new large buffer beforehand, half on
// another thread, so the two processors clear them at once. Where the kernel
// cannot (before Linux 5.14), the pages come one fault at a time as before.
void preparePages(char* start, size_t size) {
#if defined(__linux__)
    constexpr int kPopulateWrite = 23;  // MADV_POPULATE_WRITE
    constexpr size_t kWorthAThread = 16 * kMebibyte;
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + size) & ~(page - 1);
    if (end <= first || end - first < kWorthAThread) return;
    const uintptr_t middle = first + ((end - first) / 2 & ~(page - 1));
    auto populate = [](uintptr_t from, uintptr_t to) {
        ::madvise(reinterpret_cast<void*>(from), to - from, kPopulateWrite);
    };
    onTwoProcessors([&] { populate(first, middle); }, [&] { populate(middle, end); });
#else
    (void)start;
    (void)size;
#endif
}

}  // namespace

void InputFile::readInto(std::string& bytes, size_t spare) {
    const size_t expected = size_;
    // Memory already touched is much cheaper to fill than fresh pages: the buffer
    // is kept while it has a quarter of the spare room left, and given back when
    // it is far too large for this file.
    const size_t wanted = expected + spare;
    if (bytes.capacity() < expected + spare / 4 || bytes.capacity() / 2 > wanted + 65536) {
        std::string().swap(bytes);
        bytes.reserve(wanted);
        preparePages(bytes.data(), bytes.capacity());
    }
    bytes.clear();
    // Read through a small buffer that stays in the cache and appended from
    // there: the memory is then written once, by the copy, instead of being
    // cleared first and filled after.
    const std::unique_ptr<char[]> piece(new char[kReadPiece]);
    for (;;) {
        ssize_t n = ::read(fd_, piece.get(), kReadPiece);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path_.string());
        }
        if (n == 0) break;
        // The file may have grown meanwhile: read on until its real end, within the limit.
        if (bytes.size() + static_cast<size_t>(n) > maxBytes_) refuseTooLarge(path_);
        bytes.append(piece.get(), static_cast<size_t>(n));
    }
}

size_t InputFile::readRange(char* into, size_t from, size_t to,
                            const std::function<void(size_t from, size_t to)>& appended) const {
    size_t at = from;
    while (at < to) {
        const ssize_t n =
            ::pread(fd_, into + (at - from), std::min(kReadPiece, to - at), static_cast<off_t>(at));
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path_.string());
        }
        if (n == 0) break;
        if (appended) appended(at, at + static_cast<size_t>(n));
        at += static_cast<size_t>(n);
    }
    return at - from;
}

size_t InputFile::readHalves(ByteBuffer& bytes,
                             const std::function<void(size_t from, size_t to)>& appended) {
    // Each processor takes the page faults of its own half of the fresh memory.
    bytes.resize(size_);
    char* data = bytes.data();
    const size_t half = size_ / 2 / kReadPiece * kReadPiece;
    size_t firstGot = 0, secondGot = 0;
    // The first half is indexed while its pieces are in the cache.
    onTwoProcessors([&] { firstGot = readRange(data, 0, half, appended); },
                    [&] { secondGot = readRange(data + half, half, size_, {}); });
    // A file that shrank meanwhile: what was read up to its new end.
    const size_t got = firstGot < half ? firstGot : half + secondGot;
    bytes.resize(got);
    if (appended)
        for (size_t at = half; at < got; at += kReadPiece)
            appended(at, std::min(got, at + kReadPiece));
    return got;
}

void InputFile::readInto(ByteBuffer& bytes, size_t spare,
                         const std::function<void(size_t from, size_t to)>& appended) {
    const size_t wanted = size_ + spare;
    // Memory already touched is cheaper to fill than fresh pages: kept while it
    // has a quarter of the spare room left, given back when far too large.
    if (bytes.capacity() < size_ + spare / 4 || bytes.capacity() / 2 > wanted + 65536) {
        bytes.release();
        bytes.reserve(wanted);
    }
    bytes.clear();
    if (size_ >= kTwoReadersFrom && twoProcessors()) {
        const size_t got = readHalves(bytes, appended);
        if (::lseek(fd_, static_cast<off_t>(got), SEEK_SET) < 0)
            throwFileError(errno, path_.string());
    }
    // The rest (all of a small file, or what the file gained since it was
    // opened) read in place piece by piece, until the file's real end.
    char probe[4096];
    for (;;) {
        const size_t room = std::min(bytes.capacity() - bytes.size(), kReadPiece);
        char* into = room > 0 ? bytes.data() + bytes.size() : probe;
        const ssize_t n = ::read(fd_, into, room > 0 ? room : sizeof probe);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path_.string());
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<size_t>(n) > maxBytes_) refuseTooLarge(path_);
        const size_t from = bytes.size();
        if (into == probe)
            bytes.append({probe, static_cast<size_t>(n)});
        else
            bytes.resize(from + static_cast<size_t>(n));
        if (appended) appended(from, bytes.size());
    }
}

size_t countByte(std::string_view bytes, char c) {
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    size_t count = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    // Each byte lane counts up to 255 matches before the lanes are summed.
    constexpr size_t kBlocksPerSum = 255;
    while (end - at >= 16) {
        __m128i lanes = _mm_setzero_si128();
        for (size_t block = 0; block < kBlocksPerSum && end - at >= 16; ++block, at += 16) {
            const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(bytes16, wanted));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<size_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    for (; at < end; ++at) count += *at == c;
    return count;
}

size_t countLines(std::string_view bytes) {
    size_t lines = 0;
    const char* at = bytes.data();
    const char* end = at + bytes.size();
    while (at < end) {
        const void* nl = std::memchr(at, '\n', static_cast<size_t>(end - at));
        ++lines;
        if (nl == nullptr) break;
        at = static_cast<const char*>(nl) + 1;
    }
    return lines;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    forEachLine(bytes, [&](std::string_view line) { lines.push_back(line); });
    return lines;
}

std::vector<std::string> readLines(const std::filesystem::path& path) {
    std::string bytes = readFileBytes(path);
    std::vector<std::string> lines;
    for (std::string_view l : splitLines(bytes)) lines.emplace_back(l);
    return lines;
}

std::filesystem::path followLinks(const std::filesystem::path& path) {
    // As deep as the system itself follows.
    constexpr int kMaxLinks = 40;
    std::filesystem::path at = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(at, ec)) || ec) return at;
        const std::filesystem::path to = std::filesystem::read_symlink(at, ec);
        if (ec) throwFileError(ec.value(), at.string());
        at = to.is_absolute() ? to : at.parent_path() / to;
    }
    throw FileError(kPathFileAccessError, path.string(), ELOOP);
}

std::filesystem::path scratchBeside(const std::filesystem::path& target,
                                    const std::filesystem::path& scratch) {
    const std::filesystem::path real = followLinks(target);
    auto folderOf = [](const std::filesystem::path& p) {
        return p.parent_path().empty() ? std::filesystem::path(".") : p.parent_path();
    };
    if (folderOf(real) == folderOf(scratch)) return scratch;
    std::error_code ec;
    // A folder that cannot be looked at fails the rewrite with its own error.
    if (std::filesystem::equivalent(folderOf(real), folderOf(scratch), ec) || ec) return scratch;
    return folderOf(real) / (real.filename().string() + "." + scratch.filename().string());
}

SafeRewrite::SafeRewrite(std::filesystem::path target, std::filesystem::path scratch,
                         std::optional<FileIdentity> expected)
    : expected_(expected) {
    // Looked at through the name given, as the system follows it.
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A pipe, a device or a folder is never replaced by a plain file.
    if (exists && !S_ISREG(old.st_mode)) refuseNonPlain(old, target);
    target_ = followLinks(target);
    scratch_ = scratchBeside(target, scratch);
    // A scratch file left by a crash, or a link put in its place, is removed
    // first: the new one is created afresh and never written through a link.
    ::unlink(scratch_.c_str());
    // Kept private until it has the old file's permissions.
    fd_ = openForWriting(scratch_, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, exists ? 0600 : 0644);
    if (fd_ < 0) throwFileError(errno, scratch_.string());
    if (exists) {
        // The owner may only be given back by a privileged user; the group
        // often can be. Neither failure harms the content.
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0) (void)!::fchown(fd_, -1, old.st_gid);
        (void)!::fchmod(fd_, old.st_mode & 07777);
    }
}

SafeRewrite::~SafeRewrite() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(scratch_.c_str());
}

void SafeRewrite::write(std::string_view bytes) {
    if (fd_ < 0) throw FileError(kDeviceIoError, scratch_.string());
    writeAll(fd_, bytes, scratch_);
#ifdef __linux__
    // Starts writing this piece to disk now, while the next one is produced,
    // so that the closing sync has little left to wait for.
    ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(bytes.size()),
                      SYNC_FILE_RANGE_WRITE);
#endif
    written_ += bytes.size();
}

namespace {

// Syncs a folder so that a rename or a removal in it survives a power cut. A
// failure here is no failure of what was done: the change is in place.
void syncFolderOf(const std::filesystem::path& file) {
    Fd dir(::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
                  O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

}  // namespace

FileIdentity SafeRewrite::seal() {
    if (fd_ < 0) throw FileError(kDeviceIoError, scratch_.string());
    if (syncFile(fd_, scratch_) != 0) throwFileError(errno, scratch_.string());
    // The rename keeps the file, its size and its time.
    struct stat written {};
    if (::fstat(fd_, &written) != 0) throwFileError(errno, scratch_.string());
    // Closed now so that a failing close (delayed write error) is reported.
    Fd fd(std::exchange(fd_, -1));
    if (fd.release(scratch_) != 0) {
        const int err = errno;
        ::unlink(scratch_.c_str());
        throwFileError(err, scratch_.string());
    }
    sealed_ = identityOf(written);
    return sealed_;
}

FileIdentity SafeRewrite::commit() {
    seal();
    // Looked at as late as possible: a change made by another program after
    // this one read the file would otherwise be lost under the rename.
    struct stat now {};
    const bool exists = ::lstat(target_.c_str(), &now) == 0;
    if (exists && !S_ISREG(now.st_mode)) {
        ::unlink(scratch_.c_str());
        refuseNonPlain(now, target_);
    }
    if (expected_ && (exists ? identityOf(now) : FileIdentity{}) != *expected_) {
        ::unlink(scratch_.c_str());
        refuseChanged(target_);
    }
    if (renameFile(scratch_, target_) != 0) {
        const int err = errno;
        ::unlink(scratch_.c_str());
        throwFileError(err, target_.string());
    }
    // Make the rename itself durable. The new content is in place already, so a
    // failure here is no failure of the rewrite.
    syncFolderOf(target_);
    return sealed_;
}

void renameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (renameFile(from, to) != 0) throwFileError(errno, to.string());
    syncFolderOf(to);
}

void removeFile(const std::filesystem::path& path) {
    if (int fault = injectedWriteFault(WriteStep::Remove, path))
        throwFileError(fault, path.string());
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throwFileError(errno, path.string());
    syncFolderOf(path);
}

FileIdentity rewriteFile(const std::filesystem::path& target, const std::filesystem::path& scratch,
                         std::string_view content, const std::optional<FileIdentity>& expected) {
    SafeRewrite file(target, scratch, expected);
    file.write(content);
    return file.commit();
}

FileIdentity appendLine(const std::filesystem::path& path, std::string_view line, bool create,
                        const std::optional<FileIdentity>& expected) {
    Fd fd(openForWriting(path, O_RDWR | O_APPEND | O_NONBLOCK | (create ? O_CREAT : 0)));
    if (fd.get() < 0) throwFileError(errno, path.string());
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throwFileError(errno, path.string());
    if (!S_ISREG(st.st_mode)) refuseNonPlain(st, path);
    if (expected && identityOf(st) != *expected) refuseChanged(path);
    std::string out;
    off_t size = ::lseek(fd.get(), 0, SEEK_END);
    if (size > 0) {
        char last = 0;
        if (::pread(fd.get(), &last, 1, size - 1) == 1 && last != '\n') out += kLineEnd;
    }
    out += line;
    out += kLineEnd;
    try {
        writeAll(fd.get(), out, path);
        if (syncFile(fd.get(), path) != 0) throwFileError(errno, path.string());
    } catch (...) {
        // A half-written line would corrupt the log: give the file back its old end.
        if (size >= 0 && truncateFile(fd.get(), size, path) == 0) ::fsync(fd.get());
        throw;
    }
    if (::fstat(fd.get(), &st) != 0) st.st_size = -1;
    // The line is on disk once synced: a failing close loses nothing, and
    // reporting it would tell of a failure that left the line in the log.
    fd.release(path);
    return st.st_size < 0 ? FileIdentity{} : identityOf(st);
}

void createEmptyFile(const std::filesystem::path& path) {
    Fd fd(openForWriting(path, O_WRONLY | O_CREAT | O_TRUNC));
    if (fd.get() < 0) throwFileError(errno, path.string());
    // Emptied by the open itself: nothing written can be lost by the close.
    fd.release(path);
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
