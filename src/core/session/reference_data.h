#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_entries.h"
#include "core/prefixes/prefix_table.h"
#include "core/prefixes/prefix_update.h"
#include "core/session/data_folder.h"
#include "core/session/session_outcome.h"

namespace dxcc {

struct PrefixSaveOutcome : SessionOutcome {
    // What the editor's save did; none when the folder could not be held.
    std::optional<PrefixSaveResult> result;
};

struct PrefixUpdateOutcome : SessionOutcome {
    // What the country file brings; none when it could not be used.
    std::optional<PrefixUpdatePlan> plan;
    bool saved = false;      // the files now hold the plan
    bool cancelled = false;  // the operator did not want it
};

// What every callsign is looked up in: the prefix file of the data folder,
// the entities' positions, zones and time offsets, and the two ways they
// change, the prefix editor's save and the update from a country file (whose
// files are written all or none). Each change holds the data folder, and the
// lookups read the files again after it.
class ReferenceData {
public:
    explicit ReferenceData(DataFolder& folder);
    ReferenceData(const ReferenceData&) = delete;
    ReferenceData& operator=(const ReferenceData&) = delete;

    PrefixFile& prefixes() { return prefixes_; }
    // Read from the data folder on first use (empty when the file is missing).
    const EntityData& entityData();
    // The files may have changed on disk (an update finished at the start):
    // the lookups and the entity data read them again.
    void reread();

    // See LogSession::savePrefixEntry.
    PrefixSaveOutcome savePrefixEntry(PrefixEditor& editor, const PrefixFields& fields);
    // See LogSession::updatePrefixes.
    PrefixUpdateOutcome updatePrefixes(const std::filesystem::path& ctyDat,
                                       std::string_view shippedBase,
                                       const std::function<bool(const PrefixUpdatePlan&)>& confirm);

private:
    // Plans the update from the files as they are and, once `confirm`
    // accepts the plan, writes them together. False when nothing is written:
    // the plan changes nothing, or the operator did not want it.
    bool planAndWrite(const std::filesystem::path& ctyDat, std::string_view shippedBase,
                      const std::function<bool(const PrefixUpdatePlan&)>& confirm,
                      PrefixUpdateOutcome& outcome);

    DataFolder& folder_;
    PrefixFile prefixes_;
    std::optional<EntityData> entityData_;
};

}  // namespace dxcc
