#include "core/session/log_session.h"

#include "core/base/program_constants.h"
#include "core/base/text_file.h"

namespace dxcc {

LogSession::LogSession(std::filesystem::path dataDir)
    : dataDir_(std::move(dataDir)),
      log_(dataDir_),
      prefixes_(dataDir_ / std::string(kPrefixFileName)),
      firstNames_(dataDir_) {
    log_.setStationCallsign(std::string(kNoStation));
}

std::vector<std::filesystem::path> LogSession::removeLeftoverScratchFiles() const {
    std::vector<std::filesystem::path> removed;
    auto removeScratch = [&](const std::filesystem::path& file) {
        std::error_code ec;
        // Only plain files: a folder or a link of that name is no scratch file of ours.
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(file, ec)) &&
            std::filesystem::remove(file, ec))
            removed.push_back(file);
    };
    for (const char* name : kScratchFileNames) removeScratch(dataDir_ / name);
    // A data file that is a link is rewritten beside the file it leads to,
    // with a scratch file named after that file.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir_, ec)) {
        const std::string name = entry.path().filename().string();
        const bool dataFile =
            name.ends_with(kLogFileSuffix) || name == kPrefixFileName || name == kFirstNameFileName;
        std::error_code linkEc;
        if (!dataFile || !entry.is_symlink(linkEc)) continue;
        for (const char* scratchName : kScratchFileNames) {
            try {
                const std::filesystem::path beside =
                    scratchBeside(entry.path(), dataDir_ / scratchName);
                if (beside != dataDir_ / scratchName) removeScratch(beside);
            } catch (const std::exception&) {
                // A link that loops: nothing was ever written beside it.
            }
        }
    }
    return removed;
}

bool LogSession::hasStation() const {
    return station() != kNoStation;
}

std::string LogSession::globalSection() {
    return std::string(kGlobalSection);
}

std::string LogSession::stationSection(std::string_view station) {
    return std::string(kStationSectionPrefix) + std::string(station);
}

}  // namespace dxcc
