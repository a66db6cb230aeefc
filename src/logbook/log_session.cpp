#include "logbook/log_session.h"

#include "logbook/program_constants.h"

namespace dxcc {

LogSession::LogSession(std::filesystem::path dataDir)
    : dataDir_(std::move(dataDir)),
      log_(dataDir_),
      prefixes_(dataDir_ / std::string(kPrefixFileName)),
      firstNames_(dataDir_) {
    log_.setStationCallsign(std::string(kNoStation));
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
