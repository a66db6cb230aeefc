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
#include "core/entry/entry_state.h"
#include "core/logbook/first_names.h"
#include "core/logbook/logbook.h"
#include "core/session/data_folder.h"
#include "core/session/entity_recompute.h"
#include "core/session/reference_data.h"
#include "core/session/session_outcome.h"
#include "core/session/session_settings.h"
#include "core/session/station_settings.h"

namespace dxcc {

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

struct RecomputeOutcome : SessionOutcome {
    // What the lookup changes; none when the log could not be looked at.
    std::optional<EntityRecompute> plan;
    bool saved = false;      // the log now holds the plan
    bool cancelled = false;  // the operator did not want it
};

struct ExportOutcome : SessionOutcome {
    std::optional<adif::ExportReport> report;
};

// Reading the station's log.
struct LoadOutcome {
    enum class Kind { Loaded, MissingLog, Failed };
    Kind kind = Kind::Loaded;
    std::optional<FileError> error;
};

// What the start of the program found: the data folder made ready (what an
// interrupted update or a missing file tells, see DataFolder::open), whether
// this copy holds it, and whether a station was ever chosen.
struct StartUpOutcome : FolderOutcome {
    // Held, or why not: another copy of the program has the folder (the
    // operator may quit), or it cannot be locked.
    DataFolderLock::Outcome lock = DataFolderLock::Outcome::Held;
    // No station chosen yet: the operator must give the station's callsign.
    bool firstInstallation = false;
};

// The door to everything the windows and the command line work on for the
// whole run. It owns its parts, each a class of its own: the data folder (its
// lock, what killed runs left, the files the program comes with), the
// reference data (prefix file, entity data and their updates) and the
// station's settings; it holds the station's log, the first-name memory and
// the needed status of every entity. Everything the operator does goes
// through one of its commands below, which write only while the session holds
// the data folder, so two programs never write one log.
class LogSession {
public:
    // Without `settings`, every setting reads its default and none is kept.
    explicit LogSession(std::filesystem::path dataDir,
                        std::shared_ptr<SessionSettings> settings = {});
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;

    const std::filesystem::path& dataDir() const { return folder_.dir(); }
    // Read only: the log changes through the commands below.
    const Logbook& log() const { return log_; }
    const FirstNameMemory& firstNames() const { return firstNames_; }
    // The needed status of every entity of the log, kept current by every
    // change of the log (see noteChange).
    const NeededIndex& needed() const { return needed_; }
    // Counts the changes made to the log through the session: whatever follows
    // the log can tell whether it is still up to date.
    uint64_t logRevision() const { return revision_; }

    // The lookups of callsigns, and the entities' positions and zones.
    PrefixFile& prefixes() { return reference_.prefixes(); }
    const EntityData& entityData() { return reference_.entityData(); }
    // The program's and the station's settings.
    StationSettings& settings() { return settings_; }
    const StationSettings& settings() const { return settings_; }

    // Takes the data folder's lock when it is free. The writing commands take
    // it themselves when they can; a front end claims it first to tell the
    // operator when another copy has it.
    DataFolderLock::Outcome claimDataFolder() { return folder_.claim(); }
    bool holdsDataFolder() const { return folder_.held(); }

    // The station callsign in stored form ("FXXXX" until one is chosen).
    const std::string& station() const { return log_.stationCallsign(); }
    bool hasStation() const;

    // --- the operator's commands
    // Start of the program, before anything reads the data folder: the lock
    // is taken when free; the folder is made ready (see openDataFolder), with
    // the files the program comes with (`shipped`); the station of the
    // settings becomes the session's (its log is not read: loadLog() follows);
    // the data folder is noted in the settings.
    StartUpOutcome startUp(const std::vector<ShippedFile>& shipped);
    // Makes the data folder ready before anything reads it (see
    // DataFolder::open): a prefix update a stopped run left is finished,
    // scratch files of killed runs go, and the files the program comes with
    // are put in where the folder lacks them. The lookups and the entity data
    // then read the folder afresh.
    FolderOutcome openDataFolder(const std::vector<ShippedFile>& shipped);
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
    void forgetStation() { settings_.forgetStation(); }
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
    // Logs the contacts of an ADIF text that a program sent (a digital-mode
    // program's logged contact), as the import does: the same mode and band
    // tables, the same rule for a contact already in the log.
    ImportOutcome importAdifText(std::string_view adifText);
    // Marks the contacts the confirmations of `file` confirm.
    ConfirmOutcome applyConfirmations(const std::filesystem::path& file);
    // The prefix editor's save button: the file is rewritten with what the
    // editor plans for `fields` (see PrefixEditor::planSave), the editor then
    // takes the new list, and the session's lookups read the file again.
    PrefixSaveOutcome savePrefixEntry(PrefixEditor& editor, const PrefixFields& fields) {
        return reference_.savePrefixEntry(editor, fields);
    }
    // Builds the prefix file and the exact-call file anew from the country
    // file `ctyDat` (and the cty.csv beside it), keeping the operator's own
    // lines and exact calls (see planPrefixUpdate), and when `confirm`, shown
    // the plan, accepts it, writes both files, the copies of the build the
    // next update starts from, and the entity data; the lookups and the
    // entity data follow at once. `shippedBase` is the program's own prefix
    // file: the base until an update has kept one; the shipped exact-call
    // file the folder was opened with plays that part for the exact calls. A plan that changes
    // nothing is neither shown nor written. The files change all or none, even across a kill (see
    // rewriteTogether): on a failure `messages` say which files changed.
    PrefixUpdateOutcome updatePrefixes(
        const std::filesystem::path& ctyDat, std::string_view shippedBase,
        const std::function<bool(const PrefixUpdatePlan&)>& confirm) {
        return reference_.updatePrefixes(ctyDat, shippedBase, confirm);
    }
    // Looks every QSO of the log up again (see planEntityRecompute) and, when
    // `confirm`, shown the changes, accepts them, rewrites the log once with
    // the DXCC prefix and entity of the changed lines, every other byte kept;
    // the needed status follows. A plan without change is neither shown nor
    // written. Refused while the prefix file cannot be read.
    RecomputeOutcome recomputeEntities(const std::function<bool(const EntityRecompute&)>& confirm);
    // Writes the whole log to an ADIF file. Refused for an empty log, over the
    // program's own files, and in the data folder while another copy of the
    // program holds it.
    ExportOutcome exportLog(const std::filesystem::path& file);
    // Writes an export a window made (a CSV table, a PNG picture) to `file`
    // by the safe rewrite (see writeExportFile); refused as exportLog refuses.
    SessionOutcome exportFile(const std::filesystem::path& file, std::string_view bytes);

private:
    // The station the log, its settings and its file name follow.
    void setStation(std::string callsign);
    // Whether an export may write `file`; fills `outcome` with the refusal
    // when not: one of the program's own files, or a file of the data folder
    // while the folder cannot be held.
    bool mayExportTo(const std::filesystem::path& file, SessionOutcome& outcome);
    // Whether an import may begin: the folder held and the prefix file read
    // (else every QSO would be stored without its entity); the refusal in
    // `outcome` when not.
    bool mayImport(SessionOutcome& outcome);
    // Runs a change of the log under the lock, turning its failures into the
    // outcome; the change itself goes through noteChange().
    template <typename Operation>
    void changeLog(SessionOutcome& outcome, Operation&& operation);
    // Every change of the log passes here, so what follows the log is kept
    // up to date in one place.
    void noteChange(const LogChange& change);

    DataFolder folder_;
    ReferenceData reference_;
    StationSettings settings_;
    Logbook log_;
    FirstNameMemory firstNames_;
    uint64_t revision_ = 0;
    NeededIndex needed_;
};

}  // namespace dxcc
