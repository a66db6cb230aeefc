#include "core/session/data_folder.h"

#include <exception>
#include <string>

#include "core/base/program_constants.h"
#include "core/base/text_file.h"

namespace dxcc {

DataFolder::DataFolder(std::filesystem::path dir) : dir_(std::move(dir)), lock_(dir_) {}

std::vector<std::filesystem::path> DataFolder::removeLeftoverScratchFiles() const {
    std::vector<std::filesystem::path> removed;
    if (!held()) return removed;
    auto removeScratch = [&](const std::filesystem::path& file) {
        std::error_code ec;
        // Only plain files: a folder or a link of that name is no scratch file of ours.
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(file, ec)) &&
            std::filesystem::remove(file, ec))
            removed.push_back(file);
    };
    for (const char* name : kScratchFileNames) removeScratch(dir_ / name);
    // A data file that is a link is rewritten beside the file it leads to,
    // with a scratch file named after that file.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir_, ec)) {
        const std::string name = entry.path().filename().string();
        const bool dataFile = isRewrittenDataFileName(name);
        std::error_code linkEc;
        if (!dataFile || !entry.is_symlink(linkEc)) continue;
        for (const char* scratchName : kScratchFileNames) {
            try {
                const std::filesystem::path beside =
                    scratchBeside(entry.path(), dir_ / scratchName);
                if (beside != dir_ / scratchName) removeScratch(beside);
            } catch (const std::exception&) {
                // A link that loops: nothing was ever written beside it.
            }
        }
    }
    return removed;
}

}  // namespace dxcc
