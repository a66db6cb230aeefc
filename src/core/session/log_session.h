#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/adif/adif_export.h"
#include "core/adif/adif_import.h"
#include "core/adif/confirmation_merge.h"
#include "core/awards/needed_index.h"
#include "core/base/file_error.h"
#include "core/entry/entry_state.h"
#include "core/logbook/first_names.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_entries.h"
#include "core/prefixes/prefix_table.h"
#include "core/prefixes/prefix_update.h"
#include "core/session/data_folder.h"
#include "core/session/session_settings.h"

namespace dxcc {

// What one of the operator's commands did: what changed in the log, what to
// tell, what failed. The windows show it, the command line prints it.
struct SessionOutcome {
    enum class Failure {
        None,
        FolderInUse,       // another copy of the program holds the data folder
        FolderUnlockable,  // the data folder cannot be locked (read-only, ...)
        File,              // a file could not be read or written: `fileError`
        LineChanged,       // the contact is no longer what the file holds
        Refused            // a check said no: `messages` say why
    };
    Failure failure = Failure::None;
    // Set when the log changed: what the list over it must follow.
    std::optional<LogChange> change;
    std::optional<FileError> fileError;
    // What the operator is told (UTF-8), in order, besides a file error (whose
    // wording belongs to the front end).
    std::vector<std::string> messages;

    bool ok() const { return failure == Failure::None; }
    // Whether the log was written (and so may hold more than before).
    bool logChanged() const { return change.has_value(); }
};

struct CommitOutcome : SessionOutcome {
    // The contact is in the log but its first name could not be remembered.
    std::optional<FileError> firstNameError;
};

struct ImportOutcome : SessionOutcome {
    std::optional<adif::LogImport> import;
    bool cancelled = false;
};

struct ConfirmOutcome : SessionOutcome {
    std::optional<adif::ConfirmationReport> report;
    // "Nouvelles contrées confirmées : …" (Windows-1252), empty when none.
    std::string newlyConfirmed;
};

struct ExportOutcome : SessionOutcome {
    std::optional<adif::ExportReport> report;
};

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

struct FolderOutcome : SessionOutcome {
    FolderPreparation preparation;
};

// Reading the station's log.
struct LoadOutcome {
    enum class Kind { Loaded, MissingLog, Failed };
    Kind kind = Kind::Loaded;
    std::optional<FileError> error;
};

// What the start of the program found.
struct StartUpOutcome {
    // No station chosen yet: the operator must give the station's callsign.
    bool firstInstallation = false;
};

// What every window and the command line work on for the whole run: the
// station, its log, the prefix file, the first-name memory, the settings and
// the data folder's lock. Everything the operator does to the log goes
// through one of its commands below, which write only while the session
// holds the data folder, so two programs never write one log.
class LogSession {
public:
    explicit LogSession(std::filesystem::path dataDir);
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;

    const std::filesystem::path& dataDir() const { return dataDir_; }
    // Read only: the log changes through the commands below.
    const Logbook& log() const { return log_; }
    PrefixFile& prefixes() { return prefixes_; }
    const FirstNameMemory& firstNames() const { return firstNames_; }

    // The settings the commands read and write; without them, defaults.
    void setSettings(std::shared_ptr<SessionSettings> settings) { settings_ = std::move(settings); }

    // --- the data folder's lock
    // Takes the data folder's lock when it is free. The writing commands take
    // it themselves when they can; a front end claims it first to tell the
    // operator when another copy has it.
    DataFolderLock::Outcome claimDataFolder() { return folder_.claim(); }
    bool holdsDataFolder() const { return folder_.held(); }

    // The needed status of every entity of the log, kept current by every
    // change of the log (see noteChange).
    const NeededIndex& needed() const { return needed_; }

    // Positions, zones and time offsets of the entities, read from the data
    // folder on first use (empty when the file is missing).
    const EntityData& entityData();

    // Makes the data folder ready before anything reads it (see
    // DataFolder::prepare): a prefix update a stopped run left is finished,
    // scratch files of killed runs go, and the files the program comes with
    // (`shipped`: prefix file, entity data, first-name file) are put in where
    // the folder lacks them. The lookups and the entity data then read the
    // folder afresh. `messages` say what the operator must know: an update
    // finished or given up, a file still missing.
    FolderOutcome openDataFolder(const std::vector<ShippedFile>& shipped);

    // Removes the scratch files a killed run left (see DataFolder).
    std::vector<std::filesystem::path> removeLeftoverScratchFiles() const {
        return folder_.removeLeftoverScratchFiles();
    }

    // The station callsign in stored form ("FXXXX" until one is chosen).
    const std::string& station() const { return log_.stationCallsign(); }
    void setStation(std::string callsign) { log_.setStationCallsign(std::move(callsign)); }
    bool hasStation() const;

    // Settings sections: the global one and the station's own.
    static std::string globalSection();
    std::string stationSection() const { return stationSection(station()); }
    static std::string stationSection(std::string_view station);

    // Whether the entry form takes the date from the clock (the station's
    // setting; automatic unless it says otherwise).
    bool automaticDate() const;
    void setAutomaticDate(bool automatic);

    // --- the operator's commands
    // Start of the program: the station of the settings becomes the session's.
    StartUpOutcome startUp();
    // Reads the station's log (again). A missing log and an unreadable one
    // are outcomes, for the front end to offer recovery or give up.
    LoadOutcome loadLog();
    // The station given on the command line, or the settings' one when none
    // is: checks it and makes it the session's; the log is not read.
    // Refused (with the reason in `messages`) when it is no callsign, or when
    // none is given and none was ever chosen.
    SessionOutcome openStation(const std::optional<std::string>& given);
    // The station's log is missing and the operator gives up the station: the
    // settings forget it (and its locator), so the next start asks for one.
    void forgetStation();
    // The operator chose another station: its log is created when it has
    // none (its band and mode then start at the first ones), and it becomes
    // the station of the settings and of the session. The log is not read:
    // loadLog() follows. On a failure the station stays what it was.
    SessionOutcome switchStation(const std::string& callsign);

    // Stores the contact of the entry form as `action` says (append, insert
    // by date, or replace the opened contact); its first name is remembered
    // only once the contact is in the log.
    CommitOutcome commitEntry(const CommitAction& action, std::string_view record,
                              std::string_view callsign, std::string_view firstName);
    // Deletes the contact at `row`, which must still be `record`.
    SessionOutcome deleteContact(size_t row, std::string_view record);
    // Empties the station's log file and the memory copy.
    SessionOutcome resetLog();
    // Imports an ADIF file into the log as one block (see importIntoLog).
    ImportOutcome importAdif(const std::filesystem::path& file,
                             const adif::ImportProgress& progress = {});
    // Marks the contacts the confirmations of `file` confirm.
    ConfirmOutcome applyConfirmations(const std::filesystem::path& file);
    // The prefix editor's save button: the entry of `fields` goes into the
    // prefix file (see PrefixEditor::save), which the session's lookups then
    // read again.
    PrefixSaveOutcome savePrefixEntry(PrefixEditor& editor, const PrefixFields& fields);
    // Builds the prefix file anew from the country file `ctyDat` (and the
    // cty.csv beside it), keeping the operator's own lines (see
    // planPrefixUpdate), and when `confirm`, shown the plan, accepts it,
    // writes the prefix file, the copy of the build the next update starts
    // from, and the entity data; the lookups and the entity data follow at
    // once. `shippedBase` is the program's own prefix file: the base until an
    // update has kept one. A plan that changes nothing is neither shown nor
    // written. The files change all or none, even across a kill (see
    // rewriteTogether): on a failure `messages` say which files changed.
    PrefixUpdateOutcome updatePrefixes(const std::filesystem::path& ctyDat,
                                       std::string_view shippedBase,
                                       const std::function<bool(const PrefixUpdatePlan&)>& confirm);
    // Writes the whole log to an ADIF file. Refused for an empty log, over the
    // program's own files, and in the data folder while another copy of the
    // program holds it.
    ExportOutcome exportLog(const std::filesystem::path& file);
    // Writes an export a window made (a CSV table, a PNG picture) to `file`
    // by the safe rewrite (see writeExportFile); refused as exportLog refuses.
    SessionOutcome exportFile(const std::filesystem::path& file, std::string_view bytes);

    // Counts the changes made to the log through the session: whatever follows
    // the log can tell whether it is still up to date.
    uint64_t logRevision() const { return revision_; }

private:
    // Fills `outcome` with the refusal when the folder cannot be held.
    bool holdFolderFor(SessionOutcome& outcome);
    // Whether an export may write `file`; fills `outcome` with the refusal
    // when not: one of the program's own files, or a file of the data folder
    // while the folder cannot be held.
    bool mayExportTo(const std::filesystem::path& file, SessionOutcome& outcome);
    // Runs a change of the log under the lock, turning its failures into the
    // outcome; the change itself goes through noteChange().
    template <typename Operation>
    void changeLog(SessionOutcome& outcome, Operation&& operation);
    // The lookups and the entity data read the files again after an update.
    PrefixUpdateOutcome& refreshed(PrefixUpdateOutcome& outcome);
    // Every change of the log passes here, so what follows the log is kept
    // up to date in one place.
    void noteChange(const LogChange& change);
    std::string setting(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const;
    void storeSetting(std::string_view section, std::string_view key, std::string_view value);

    std::filesystem::path dataDir_;
    Logbook log_;
    PrefixFile prefixes_;
    FirstNameMemory firstNames_;
    DataFolder folder_;
    std::shared_ptr<SessionSettings> settings_;
    uint64_t revision_ = 0;
    NeededIndex needed_;
    std::optional<EntityData> entityData_;
};

}  // namespace dxcc
