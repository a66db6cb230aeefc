#include "core/session/data_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core/base/program_constants.h"

namespace dxcc {

DataFolderLock::DataFolderLock(std::filesystem::path dataDir, std::string_view lockFileName)
    : dataDir_(std::move(dataDir)), lockFileName_(lockFileName) {}

DataFolderLock::~DataFolderLock() {
    release();
}

std::filesystem::path DataFolderLock::file() const {
    return dataDir_ / lockFileName_;
}

DataFolderLock::Outcome DataFolderLock::tryLock() {
    if (held()) return Outcome::Held;
    const std::string path = file().string();
    // The holder removes the file when it lets go: the lock taken on a file
    // that was removed meanwhile guards nothing, so try again on the new one.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) return Outcome::Unavailable;
        // flock, not fcntl: it belongs to this open file, so two objects of
        // one process exclude each other as two processes do.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            ::close(fd);
            return err == EWOULDBLOCK ? Outcome::InUse : Outcome::Unavailable;
        }
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            return Outcome::Unavailable;
        }
        if (::lstat(path.c_str(), &named) != 0 || named.st_ino != opened.st_ino ||
            named.st_dev != opened.st_dev) {
            ::close(fd);
            continue;
        }
        // For information only: which process holds the folder.
        const std::string pid = std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
        }
        fd_ = fd;
        return Outcome::Held;
    }
    return Outcome::InUse;
}

void DataFolderLock::release() {
    if (fd_ < 0) return;
    // Removed while still locked, so no one takes a lock on a file about to go.
    ::unlink(file().c_str());
    ::close(fd_);
    fd_ = -1;
}

}  // namespace dxcc
