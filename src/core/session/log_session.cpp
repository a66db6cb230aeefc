#include "core/session/log_session.h"

#include "core/adif/adif_messages.h"
#include "core/awards/dxcc_table.h"
#include "core/base/export_target.h"
#include "core/base/program_constants.h"
#include "core/logbook/log_messages.h"
#include "core/record/qso_record.h"
#include "core/record/station_callsign.h"
#include "core/session/recompute_messages.h"
#include "core/session/session_messages.h"

namespace dxcc {

LogSession::LogSession(std::filesystem::path dataDir, std::shared_ptr<SessionSettings> settings)
    : folder_(dataDir),
      reference_(folder_),
      settings_(std::move(settings)),
      log_(dataDir),
      firstNames_(dataDir) {
    setStation(std::string(kNoStation));
}

void LogSession::setStation(std::string callsign) {
    settings_.follow(callsign);
    log_.setStationCallsign(std::move(callsign));
}

bool LogSession::hasStation() const {
    return station() != kNoStation;
}

FolderOutcome LogSession::openDataFolder(const std::vector<ShippedFile>& shipped) {
    FolderOutcome outcome = folder_.open(shipped);
    reference_.reread();
    return outcome;
}

StartUpOutcome LogSession::startUp(const std::vector<ShippedFile>& shipped) {
    StartUpOutcome outcome;
    outcome.lock = folder_.claim();
    static_cast<FolderOutcome&>(outcome) = openDataFolder(shipped);
    setStation(settings_.chosenStation());
    outcome.firstInstallation = !hasStation();
    settings_.setProgramDirectory(dataDir());
    return outcome;
}

template <typename Operation>
void LogSession::changeLog(SessionOutcome& outcome, Operation&& operation) {
    if (!folder_.holdFor(outcome)) return;
    try {
        const LogChange change = operation();
        outcome.change = change;
        if (change.reloaded) outcome.messages.emplace_back(log_messages::kFileChangedReloaded);
        noteChange(change);
    } catch (const FileError& e) {
        outcome.failedOn(e);
        // The copy may have been read again: the needed status follows it.
        needed_.rebuild(log_);
    } catch (const LogLineChanged&) {
        outcome.failure = SessionOutcome::Failure::LineChanged;
        outcome.messages.emplace_back(log_messages::kLineChanged);
        needed_.rebuild(log_);
    }
}

void LogSession::noteChange(const LogChange& change) {
    ++revision_;
    needed_.apply(log_, change);
}

LoadOutcome LogSession::loadLog() {
    log_.clear();
    LoadOutcome outcome;
    try {
        log_.load();
    } catch (const FileError& e) {
        outcome.kind =
            e.code() == kFileNotFound ? LoadOutcome::Kind::MissingLog : LoadOutcome::Kind::Failed;
        outcome.error = e;
    }
    noteChange(LogChange{});
    return outcome;
}

SessionOutcome LogSession::openStation(const std::optional<std::string>& given) {
    SessionOutcome outcome;
    const std::string chosen = given ? storedForm(*given) : settings_.chosenStation();
    if (!given && chosen == kNoStation) {
        outcome.refused(std::string(station_messages::kNoStationChosen));
        return outcome;
    }
    if (checkStationCallsign(chosen) != StationCheck::Ok) {
        outcome.refused(std::string(station_messages::kBadStation) + (given ? *given : chosen));
        return outcome;
    }
    setStation(chosen);
    return outcome;
}

SessionOutcome LogSession::switchStation(const std::string& callsign) {
    SessionOutcome outcome;
    std::error_code ec;
    if (!std::filesystem::exists(logFilePath(dataDir(), callsign), ec)) {
        if (!folder_.holdFor(outcome)) return outcome;
        try {
            log_.createEmptyLog(callsign);
        } catch (const FileError& e) {
            // Switching to a station without a log would only lead to the
            // missing-log window: the current station stays.
            outcome.failedOn(e);
            return outcome;
        }
        settings_.setChosenStation(callsign);
        settings_.startNewStation(callsign);
    } else {
        settings_.setChosenStation(callsign);
    }
    // What the settings now say, so the session and the next start agree.
    setStation(settings_.chosenStation());
    return outcome;
}

CommitOutcome LogSession::commitEntry(const CommitAction& action, std::string_view record,
                                      std::string_view callsign, std::string_view firstName) {
    CommitOutcome outcome;
    changeLog(outcome, [&] {
        switch (action.kind) {
            case CommitAction::Kind::Modify:
                return log_.modifyAt(action.opened.row, action.opened.record, record);
            case CommitAction::Kind::Insert:
                return log_.insertInDateOrder(record);
            case CommitAction::Kind::Append:
                break;
        }
        return log_.appendRecord(record);
    });
    // The first name is remembered only for a contact that is in the log.
    if (!outcome.ok()) return outcome;
    try {
        firstNames_.update(callsign, firstName);
    } catch (const FileError& e) {
        outcome.firstNameError = e;
    }
    return outcome;
}

SessionOutcome LogSession::deleteContact(size_t row, std::string_view record) {
    SessionOutcome outcome;
    changeLog(outcome, [&] { return log_.removeAt(row, record); });
    return outcome;
}

SessionOutcome LogSession::resetLog() {
    SessionOutcome outcome;
    changeLog(outcome, [&] {
        log_.createEmptyLog(log_.stationCallsign());
        log_.clear();
        log_.load();
        return LogChange{};
    });
    return outcome;
}

bool LogSession::mayImport(SessionOutcome& outcome) {
    if (!folder_.holdFor(outcome)) return false;
    // Every QSO would be stored without its entity, for good. (A folder that
    // vanished is told by the import's own error.)
    std::error_code ec;
    if (prefixes().unreadable() && std::filesystem::is_directory(dataDir(), ec)) {
        outcome.failure = SessionOutcome::Failure::Refused;
        outcome.messages.push_back(std::string(folder_messages::kPrefixFileLead) +
                                   std::string(kPrefixFileName) +
                                   std::string(folder_messages::kImportWithoutPrefixesEnd));
        return false;
    }
    return true;
}

ImportOutcome LogSession::importAdif(const std::filesystem::path& file,
                                     const adif::ImportProgress& progress) {
    ImportOutcome outcome;
    if (!mayImport(outcome)) return outcome;
    changeLog(outcome, [&] {
        outcome.import = adif::importIntoLog(log_, file, prefixes().table(), progress);
        return outcome.import->change;
    });
    if (outcome.import) {
        // A cancelled import, or one without a record, leaves the file as it was.
        outcome.cancelled = outcome.import->imported.cancelled;
        if ((outcome.cancelled || outcome.import->imported.report.qsos == 0) &&
            !outcome.import->change.reloaded)
            outcome.change.reset();
    }
    return outcome;
}

ImportOutcome LogSession::importAdifText(std::string_view adifText) {
    ImportOutcome outcome;
    if (!mayImport(outcome)) return outcome;
    changeLog(outcome, [&] {
        outcome.import = adif::importTextIntoLog(log_, adifText, prefixes().table());
        return outcome.import->change;
    });
    if (outcome.import && outcome.import->imported.report.qsos == 0 &&
        !outcome.import->change.reloaded)
        outcome.change.reset();
    return outcome;
}

ConfirmOutcome LogSession::applyConfirmations(const std::filesystem::path& file) {
    ConfirmOutcome outcome;
    const DxccTable before = dxccTableOf(prefixes().table(), needed_, entityData());
    changeLog(outcome, [&] {
        adif::LogConfirmation result = adif::confirmIntoLog(log_, file, prefixes().table());
        outcome.report = std::move(result.report);
        return result.change;
    });
    // Nothing newly confirmed: the file was not written.
    if (outcome.report && outcome.report->newlyConfirmed == 0 && outcome.change &&
        !outcome.change->reloaded)
        outcome.change.reset();
    if (outcome.report)
        outcome.newlyConfirmed =
            newlyConfirmedLine(before, dxccTableOf(prefixes().table(), needed_, entityData()));
    return outcome;
}

RecomputeOutcome LogSession::recomputeEntities(
    const std::function<bool(const EntityRecompute&)>& confirm) {
    RecomputeOutcome outcome;
    if (!folder_.holdFor(outcome)) return outcome;
    if (prefixes().unreadable()) {
        outcome.refused(std::string(folder_messages::kPrefixFileLead) +
                        std::string(kPrefixFileName) +
                        std::string(recompute_messages::kWithoutPrefixesEnd));
        return outcome;
    }
    outcome.plan = planEntityRecompute(log_, prefixes().table());
    if (outcome.plan->changes.empty()) return outcome;
    if (confirm && !confirm(*outcome.plan)) {
        outcome.cancelled = true;
        return outcome;
    }
    changeLog(outcome, [&] { return log_.setEntities(entityEdits(*outcome.plan)); });
    outcome.saved = outcome.ok();
    return outcome;
}

namespace {

// Whether a write of `file` goes into `dataDir`: the file itself or, for a
// link, the file it leads to (where the scratch file goes).
bool writesInto(const std::filesystem::path& dataDir, const std::filesystem::path& file) {
    auto inFolder = [&](const std::filesystem::path& p) {
        std::error_code ec;
        const std::filesystem::path folder = p.parent_path().empty() ? "." : p.parent_path();
        return std::filesystem::equivalent(folder, dataDir, ec);
    };
    try {
        return inFolder(file) || inFolder(followLinks(file));
    } catch (const FileError&) {
        return inFolder(file);  // a looping link: the write refuses it itself
    }
}

}  // namespace

bool LogSession::mayExportTo(const std::filesystem::path& file, SessionOutcome& outcome) {
    if (isProgramFile(dataDir(), file)) {
        outcome.refused(std::string(kExportOverProgramFile));
        return false;
    }
    // A file of the data folder is written only by the copy that holds it.
    return !writesInto(dataDir(), file) || folder_.holdFor(outcome);
}

ExportOutcome LogSession::exportLog(const std::filesystem::path& file) {
    ExportOutcome outcome;
    if (log_.empty()) {
        outcome.refused(std::string(adif_messages::kExportEmptyLog));
        return outcome;
    }
    if (!mayExportTo(file, outcome)) return outcome;
    try {
        outcome.report = adif::exportLog(log_, file, &entityData());
    } catch (const FileError& e) {
        outcome.failedOn(e);
    }
    return outcome;
}

SessionOutcome LogSession::exportFile(const std::filesystem::path& file, std::string_view bytes) {
    SessionOutcome outcome;
    if (!mayExportTo(file, outcome)) return outcome;
    try {
        writeExportFile(file, bytes);
    } catch (const FileError& e) {
        outcome.failedOn(e);
    }
    return outcome;
}

}  // namespace dxcc
