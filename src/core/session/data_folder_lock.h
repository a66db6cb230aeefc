#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/base/program_constants.h"

namespace dxcc {

// The lock that keeps a second writer off a data folder: two programs writing
// one log would each write over the other's contacts. It is a kernel lock on
// the file VEL_DXCC.lock (or, for what has a lock of its own, the file named
// at construction), so it goes with the process that holds it, however that
// process ends; what the file holds (the holder's process number, for
// whoever looks) never matters, so a file left empty, half written or
// overwritten locks no one out. The lock belongs to this object: a second
// object, in this process or another, is refused while it holds. Held until
// release() or the object goes.
class DataFolderLock {
public:
    explicit DataFolderLock(std::filesystem::path dataDir,
                            std::string_view lockFileName = kLockFileName);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    enum class Outcome {
        Held,        // this object holds the folder
        InUse,       // another holder (another process or object) has it
        Unavailable  // no lock file can be made there (read-only folder, ...)
    };
    // Takes the lock when it is free; never waits.
    Outcome tryLock();
    bool held() const { return fd_ >= 0; }
    void release();
    std::filesystem::path file() const;
    const std::filesystem::path& dataDir() const { return dataDir_; }

private:
    std::filesystem::path dataDir_;
    std::string lockFileName_;
    int fd_ = -1;
};

}  // namespace dxcc
