#include "core/session/log_session.h"

#include "core/adif/adif_messages.h"
#include "core/awards/dxcc_table.h"
#include "core/base/export_target.h"
#include "core/base/program_constants.h"
#include "core/base/rewrite_together.h"
#include "core/base/text_file.h"
#include "core/logbook/log_messages.h"
#include "core/prefixes/prefix_update_messages.h"
#include "core/record/qso_record.h"
#include "core/session/session_messages.h"
#include "core/session/station_callsign.h"

namespace dxcc {

LogSession::LogSession(std::filesystem::path dataDir)
    : dataDir_(std::move(dataDir)),
      log_(dataDir_),
      prefixes_(dataDir_ / std::string(kPrefixFileName)),
      firstNames_(dataDir_),
      folder_(dataDir_) {
    log_.setStationCallsign(std::string(kNoStation));
}

namespace {

std::string joinedNames(const std::vector<std::filesystem::path>& files) {
    std::string names;
    for (const std::filesystem::path& file : files)
        names += (names.empty() ? "" : ", ") + file.filename().string();
    return names.empty() ? std::string(prefix_update_messages::kNoFile) : names;
}

void tellRecovery(const RewriteRecovery& recovery, const std::filesystem::path& journal,
                  std::vector<std::string>& messages) {
    namespace msg = folder_messages;
    switch (recovery.kind) {
        case RewriteRecovery::Kind::None:
            return;
        case RewriteRecovery::Kind::Finished:
            if (!recovery.finished.empty())
                messages.push_back(std::string(msg::kUpdateFinished) +
                                   joinedNames(recovery.finished) + ").");
            return;
        case RewriteRecovery::Kind::Abandoned:
            messages.emplace_back(msg::kUpdateAbandoned);
            return;
        case RewriteRecovery::Kind::Damaged:
            if (recovery.notUpdated.empty())
                messages.push_back(std::string(msg::kJournalUnreadableLead) +
                                   journal.filename().string() +
                                   std::string(msg::kJournalUnreadableEnd));
            else
                messages.push_back(std::string(msg::kUpdatePartly) +
                                   joinedNames(recovery.notUpdated) +
                                   std::string(msg::kRedoUpdate));
            return;
    }
}

void tellMissing(const std::vector<std::string>& missing, std::vector<std::string>& messages) {
    namespace msg = folder_messages;
    for (const std::string& name : missing) {
        if (name == kPrefixFileName)
            messages.push_back(std::string(msg::kPrefixFileLead) + name +
                               std::string(msg::kPrefixFileMissingEnd));
        else if (name == kEntityDataFileName)
            messages.push_back(std::string(msg::kEntityDataLead) + name +
                               std::string(msg::kEntityDataMissingEnd));
        // A missing first-name file is made by the first name remembered.
    }
}

}  // namespace

FolderOutcome LogSession::openDataFolder(const std::vector<ShippedFile>& shipped) {
    FolderOutcome outcome;
    // A folder that is not there is told by whatever reads it next.
    std::error_code ec;
    if (!std::filesystem::is_directory(dataDir_, ec)) return outcome;
    outcome.preparation = folder_.prepare(shipped);
    const FolderPreparation& done = outcome.preparation;
    tellRecovery(done.recovery, folder_.journal(), outcome.messages);
    if (done.error) {
        outcome.failure = SessionOutcome::Failure::File;
        outcome.fileError = done.error;
        if (std::filesystem::exists(std::filesystem::symlink_status(folder_.journal(), ec)))
            outcome.messages.emplace_back(folder_messages::kUpdateStillUnfinished);
    }
    tellMissing(done.missing, outcome.messages);
    prefixes_.refresh();
    entityData_.reset();
    return outcome;
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

std::string LogSession::setting(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    return settings_ ? settings_->get(section, key, defaultValue) : std::string(defaultValue);
}

void LogSession::storeSetting(std::string_view section, std::string_view key,
                              std::string_view value) {
    if (settings_) settings_->set(section, key, value);
}

bool LogSession::automaticDate() const {
    return setting(stationSection(), kKeyDateAuto, kDateAutoYes) != kDateAutoNo;
}

void LogSession::setAutomaticDate(bool automatic) {
    storeSetting(stationSection(), kKeyDateAuto, automatic ? kDateAutoYes : kDateAutoNo);
}

bool LogSession::holdFolderFor(SessionOutcome& outcome) {
    switch (folder_.claim()) {
        case DataFolderLock::Outcome::Held:
            return true;
        case DataFolderLock::Outcome::InUse:
            outcome.failure = SessionOutcome::Failure::FolderInUse;
            outcome.messages.push_back(std::string(lock_messages::kWriteRefusedInUse) +
                                       dataDir_.string() +
                                       std::string(lock_messages::kWriteRefusedEnd));
            return false;
        case DataFolderLock::Outcome::Unavailable:
            outcome.failure = SessionOutcome::Failure::FolderUnlockable;
            outcome.messages.push_back(std::string(lock_messages::kWriteRefusedUnlockable) +
                                       dataDir_.string() +
                                       std::string(lock_messages::kWriteRefusedEnd));
            return false;
    }
    return false;
}

template <typename Operation>
void LogSession::changeLog(SessionOutcome& outcome, Operation&& operation) {
    if (!holdFolderFor(outcome)) return;
    try {
        const LogChange change = operation();
        outcome.change = change;
        if (change.reloaded) outcome.messages.emplace_back(log_messages::kFileChangedReloaded);
        noteChange(change);
    } catch (const FileError& e) {
        outcome.failure = SessionOutcome::Failure::File;
        outcome.fileError = e;
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

StartUpOutcome LogSession::startUp() {
    setStation(setting(kGlobalSection, kKeyStationCallsign, kNoStation));
    return StartUpOutcome{!hasStation()};
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
    const std::string chosen =
        given ? storedForm(*given) : setting(kGlobalSection, kKeyStationCallsign, kNoStation);
    if (!given && chosen == kNoStation) {
        outcome.failure = SessionOutcome::Failure::Refused;
        outcome.messages.emplace_back(station_messages::kNoStationChosen);
        return outcome;
    }
    if (checkStationCallsign(chosen) != StationCheck::Ok) {
        outcome.failure = SessionOutcome::Failure::Refused;
        outcome.messages.push_back(std::string(station_messages::kBadStation) +
                                   (given ? *given : chosen));
        return outcome;
    }
    setStation(chosen);
    return outcome;
}

void LogSession::forgetStation() {
    storeSetting(kGlobalSection, kKeyStationCallsign, kNoStation);
    storeSetting(kGlobalSection, kKeyLocator, kNoLocator);
}

SessionOutcome LogSession::switchStation(const std::string& callsign) {
    SessionOutcome outcome;
    const std::string newSection = stationSection(callsign);
    std::error_code ec;
    if (!std::filesystem::exists(logFilePath(dataDir_, callsign), ec)) {
        if (!holdFolderFor(outcome)) return outcome;
        try {
            log_.createEmptyLog(callsign);
        } catch (const FileError& e) {
            // Switching to a station without a log would only lead to the
            // missing-log window: the current station stays.
            outcome.failure = SessionOutcome::Failure::File;
            outcome.fileError = e;
            return outcome;
        }
        storeSetting(kGlobalSection, kKeyStationCallsign, callsign);
        storeSetting(newSection, kKeyBandIndex, "0");
        storeSetting(newSection, kKeyModeIndex, "0");
    } else {
        storeSetting(kGlobalSection, kKeyStationCallsign, callsign);
    }
    // What the settings now say, so the session and the next start agree.
    setStation(setting(kGlobalSection, kKeyStationCallsign, kNoStation));
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

ImportOutcome LogSession::importAdif(const std::filesystem::path& file,
                                     const adif::ImportProgress& progress) {
    ImportOutcome outcome;
    if (!holdFolderFor(outcome)) return outcome;
    // Every QSO would be stored without its entity, for good. (A folder that
    // vanished is told by the import's own error.)
    std::error_code ec;
    if (prefixes_.unreadable() && std::filesystem::is_directory(dataDir_, ec)) {
        outcome.failure = SessionOutcome::Failure::Refused;
        outcome.messages.push_back(std::string(folder_messages::kPrefixFileLead) +
                                   std::string(kPrefixFileName) +
                                   std::string(folder_messages::kImportWithoutPrefixesEnd));
        return outcome;
    }
    changeLog(outcome, [&] {
        outcome.import = adif::importIntoLog(log_, file, prefixes_.table(), progress);
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

ConfirmOutcome LogSession::applyConfirmations(const std::filesystem::path& file) {
    ConfirmOutcome outcome;
    const DxccTable before = dxccTableOf(prefixes_.table(), needed_, entityData());
    changeLog(outcome, [&] {
        adif::LogConfirmation result = adif::confirmIntoLog(log_, file, prefixes_.table());
        outcome.report = std::move(result.report);
        return result.change;
    });
    // Nothing newly confirmed: the file was not written.
    if (outcome.report && outcome.report->newlyConfirmed == 0 && outcome.change &&
        !outcome.change->reloaded)
        outcome.change.reset();
    if (outcome.report)
        outcome.newlyConfirmed =
            newlyConfirmedLine(before, dxccTableOf(prefixes_.table(), needed_, entityData()));
    return outcome;
}

PrefixSaveOutcome LogSession::savePrefixEntry(PrefixEditor& editor, const PrefixFields& fields) {
    PrefixSaveOutcome outcome;
    if (!holdFolderFor(outcome)) return outcome;
    outcome.result = editor.save(fields, &prefixes_);
    return outcome;
}

namespace {

// A data file's bytes; nothing when it does not exist.
std::optional<std::string> dataFileBytes(const std::filesystem::path& file) {
    try {
        return readFileBytes(file, kPrefixFileLimits);
    } catch (const FileError& e) {
        if (e.code() == kFileNotFound) return std::nullopt;
        throw;
    }
}

// One file of an update: what it holds and what it gets.
struct UpdatedFile {
    std::filesystem::path path;
    const std::optional<std::string>& old;
    const std::string& content;
};

// The files whose content changes, each with a scratch file of its own.
std::vector<FileReplacement> replacementsOf(const std::vector<UpdatedFile>& files,
                                            const std::filesystem::path& dataDir) {
    std::vector<FileReplacement> changed;
    for (const UpdatedFile& f : files)
        if (f.old != f.content)
            changed.push_back(
                {f.path, dataDir / kTogetherScratchNames.at(changed.size()), f.content});
    return changed;
}

}  // namespace

PrefixUpdateOutcome LogSession::updatePrefixes(
    const std::filesystem::path& ctyDat, std::string_view shippedBase,
    const std::function<bool(const PrefixUpdatePlan&)>& confirm) {
    namespace msg = prefix_update_messages;
    PrefixUpdateOutcome outcome;
    if (!holdFolderFor(outcome)) return outcome;
    // An update a stopped run left is finished first: this one starts from it.
    const FolderOutcome opened = openDataFolder({});
    outcome.messages = opened.messages;
    if (opened.fileError) {
        outcome.failure = SessionOutcome::Failure::File;
        outcome.fileError = opened.fileError;
        return outcome;
    }
    const std::filesystem::path prefixPath = dataDir_ / std::string(kPrefixFileName);
    const std::filesystem::path basePath = dataDir_ / std::string(kPrefixBaseFileName);
    const std::filesystem::path entityPath = dataDir_ / std::string(kEntityDataFileName);
    try {
        const std::optional<std::string> current = dataFileBytes(prefixPath);
        const std::optional<std::string> base = dataFileBytes(basePath);
        const std::optional<std::string> entities = dataFileBytes(entityPath);
        outcome.plan = planPrefixUpdate(ctyDat, current.value_or(""),
                                        base ? std::string_view(*base) : shippedBase,
                                        entities.value_or(""), prefixes_.table());
        const PrefixUpdatePlan& plan = *outcome.plan;
        if (plan.changesNothing) {
            outcome.messages.emplace_back(msg::kNothingChanged);
            return outcome;
        }
        if (confirm && !confirm(plan)) {
            outcome.cancelled = true;
            return outcome;
        }
        // The prefix file and its base go together: the next update tells the
        // operator's lines by them; the entity data names the same entities.
        rewriteTogether(replacementsOf({{prefixPath, current, plan.prefixFile},
                                        {basePath, base, plan.baseFile},
                                        {entityPath, entities, plan.entityFile}},
                                       dataDir_),
                        folder_.journal(), dataDir_ / kRewriteScratchName);
        outcome.saved = true;
    } catch (const CountryFileError& e) {
        outcome.failure = SessionOutcome::Failure::Refused;
        outcome.messages.emplace_back(e.what());
    } catch (const UnfinishedRewrite& e) {
        // Only the journal is left: the next start removes it.
        outcome.saved = e.pending().empty();
        if (outcome.saved) return refreshed(outcome);
        outcome.failure = SessionOutcome::Failure::File;
        outcome.fileError = e;
        outcome.messages.push_back(std::string(msg::kUnfinished) + joinedNames(e.replaced()) +
                                   std::string(msg::kUnfinishedPending) + joinedNames(e.pending()) +
                                   ".");
    } catch (const FileError& e) {
        outcome.failure = SessionOutcome::Failure::File;
        outcome.fileError = e;
        outcome.messages.emplace_back(msg::kNotSaved);
    }
    return refreshed(outcome);
}

PrefixUpdateOutcome& LogSession::refreshed(PrefixUpdateOutcome& outcome) {
    // Whatever happened, the lookups and the entity data read what the files hold.
    prefixes_.refresh();
    entityData_.reset();
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
    if (isProgramFile(dataDir_, file)) {
        outcome.failure = SessionOutcome::Failure::Refused;
        outcome.messages.emplace_back(kExportOverProgramFile);
        return false;
    }
    // A file of the data folder is written only by the copy that holds it.
    return !writesInto(dataDir_, file) || holdFolderFor(outcome);
}

ExportOutcome LogSession::exportLog(const std::filesystem::path& file) {
    ExportOutcome outcome;
    if (log_.empty()) {
        outcome.failure = SessionOutcome::Failure::Refused;
        outcome.messages.emplace_back(adif_messages::kExportEmptyLog);
        return outcome;
    }
    if (!mayExportTo(file, outcome)) return outcome;
    try {
        outcome.report = adif::exportLog(log_, file, &entityData());
    } catch (const FileError& e) {
        outcome.failure = SessionOutcome::Failure::File;
        outcome.fileError = e;
    }
    return outcome;
}

SessionOutcome LogSession::exportFile(const std::filesystem::path& file, std::string_view bytes) {
    SessionOutcome outcome;
    if (!mayExportTo(file, outcome)) return outcome;
    try {
        writeExportFile(file, bytes);
    } catch (const FileError& e) {
        outcome.failure = SessionOutcome::Failure::File;
        outcome.fileError = e;
    }
    return outcome;
}

}  // namespace dxcc
