#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/awards/needed_index.h"
#include "core/logbook/first_names.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {

// What every window works on for the whole run: the station, its log, the
// prefix file and the first-name memory. Built once and handed to each window,
// so no window owns shared state.
class LogSession {
public:
    explicit LogSession(std::filesystem::path dataDir);
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;

    const std::filesystem::path& dataDir() const { return dataDir_; }
    Logbook& log() { return log_; }
    const Logbook& log() const { return log_; }
    PrefixFile& prefixes() { return prefixes_; }
    FirstNameMemory& firstNames() { return firstNames_; }

    // The needed status of every entity of the log. Kept current by
    // logChanged(), which every change of the log must reach.
    const NeededIndex& needed() const { return needed_; }
    // Follows a change the log has just made (Reset after a load or a
    // station change reads it all again).
    void logChanged(const LogChange& change) { needed_.apply(log_, change); }

    // Positions, zones and time offsets of the entities, read from the data
    // folder on first use (empty when the file is missing).
    const EntityData& entityData();

    // Removes the scratch files a run killed in the middle of a rewrite left in
    // the data folder. The file they were to replace is whole (old content), so
    // they hold nothing the operator was told was saved. Only for the one copy
    // of the program that holds the folder: another one may be writing them.
    // Answers the files removed.
    std::vector<std::filesystem::path> removeLeftoverScratchFiles() const;

    // The station callsign in stored form ("FXXXX" until one is chosen).
    const std::string& station() const { return log_.stationCallsign(); }
    void setStation(std::string callsign) { log_.setStationCallsign(std::move(callsign)); }
    bool hasStation() const;

    // Settings sections: the global one and the station's own.
    static std::string globalSection();
    std::string stationSection() const { return stationSection(station()); }
    static std::string stationSection(std::string_view station);

private:
    std::filesystem::path dataDir_;
    Logbook log_;
    PrefixFile prefixes_;
    FirstNameMemory firstNames_;
    NeededIndex needed_;
    std::optional<EntityData> entityData_;
};

}  // namespace dxcc
