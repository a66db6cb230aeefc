#include "core/session/log_session.h"

#include "core/base/program_constants.h"

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
    for (const char* name : kScratchFileNames) {
        const std::filesystem::path file = dataDir_ / name;
        std::error_code ec;
        // Only plain files: a folder of that name is no scratch file of ours.
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(file, ec)) &&
            std::filesystem::remove(file, ec))
            removed.push_back(file);
    }
    return removed;
}

const EntityData& LogSession::entityData() {
    if (!entityData_) entityData_ = EntityData::load(dataDir_ / std::string(kEntityDataFileName));
    return *entityData_;
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
