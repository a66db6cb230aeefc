#pragma once

#include <filesystem>
#include <vector>

#include "core/session/data_folder_lock.h"

namespace dxcc {

// The data folder the session works in: its lock, and what a run killed in
// the middle left there.
class DataFolder {
public:
    explicit DataFolder(std::filesystem::path dir);
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    const std::filesystem::path& dir() const { return dir_; }

    // Takes the folder's lock when it is free; never waits.
    DataFolderLock::Outcome claim() { return lock_.tryLock(); }
    bool held() const { return lock_.held(); }

    // Removes the scratch files a run killed in the middle of a rewrite left in
    // the folder. The file they were to replace is whole (old content), so
    // they hold nothing the operator was told was saved. Only while the folder
    // is held: another copy may be writing them. Those beside the file a
    // linked data file leads to go too. Answers the files removed.
    std::vector<std::filesystem::path> removeLeftoverScratchFiles() const;

private:
    std::filesystem::path dir_;
    DataFolderLock lock_;
};

}  // namespace dxcc
