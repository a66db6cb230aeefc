#include "core/session/data_folder.h"

#include <exception>
#include <string>

#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_update_messages.h"
#include "core/session/session_messages.h"

namespace dxcc {

DataFolder::DataFolder(std::filesystem::path dir) : dir_(std::move(dir)), lock_(dir_) {}

std::filesystem::path DataFolder::journal() const {
    return dir_ / std::string(kUpdateJournalName);
}

RewriteRecovery DataFolder::finishInterruptedUpdate() {
    if (!held()) return {};
    return finishRewriteTogether(journal());
}

bool DataFolder::holdFor(SessionOutcome& outcome) {
    namespace msg = lock_messages;
    switch (claim()) {
        case DataFolderLock::Outcome::Held:
            return true;
        case DataFolderLock::Outcome::InUse:
            outcome.failure = SessionOutcome::Failure::FolderInUse;
            outcome.messages.push_back(std::string(msg::kWriteRefusedInUse) + dir_.string() +
                                       std::string(msg::kWriteRefusedEnd));
            return false;
        case DataFolderLock::Outcome::Unavailable:
            outcome.failure = SessionOutcome::Failure::FolderUnlockable;
            outcome.messages.push_back(std::string(msg::kCannotLock) + dir_.string() +
                                       std::string(msg::kWriteRefusedEnd));
            return false;
    }
    return false;
}

namespace {

bool anyPresent(const std::vector<std::filesystem::path>& files) {
    for (const std::filesystem::path& file : files) {
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return true;
    }
    return false;
}

}  // namespace

std::vector<std::filesystem::path> DataFolder::scratchFiles() const {
    std::vector<std::filesystem::path> files;
    for (const char* name : kScratchFileNames) files.push_back(dir_ / name);
    return files;
}

std::vector<std::string> DataFolder::lacking(const std::vector<ShippedFile>& shipped) const {
    std::vector<std::string> names;
    for (const ShippedFile& file : shipped) {
        std::error_code ec;
        // Anything of that name is the operator's, even a link leading nowhere.
        const auto status = std::filesystem::symlink_status(dir_ / file.name, ec);
        if (!std::filesystem::exists(status)) names.push_back(file.name);
    }
    return names;
}

void DataFolder::install(const std::vector<ShippedFile>& shipped, FolderPreparation& preparation) {
    for (const ShippedFile& file : shipped) {
        const std::vector<std::string> missing = lacking({file});
        if (missing.empty()) continue;
        try {
            // Expected absent until the rename: a file put there meanwhile stays.
            rewriteFile(dir_ / file.name, dir_ / kRewriteScratchName, file.bytes, FileIdentity{});
            preparation.installed.push_back(file.name);
        } catch (const FileError& e) {
            if (!preparation.error) preparation.error = e;
        }
    }
}

FolderPreparation DataFolder::prepare(const std::vector<ShippedFile>& shipped) {
    FolderPreparation preparation;
    const bool workToDo =
        !lacking(shipped).empty() || anyPresent({journal()}) || anyPresent(scratchFiles());
    const bool takenForTheWhile = !held() && workToDo && claim() == DataFolderLock::Outcome::Held;
    if (held()) {
        preparation.prepared = true;
        try {
            preparation.recovery = finishInterruptedUpdate();
            // Only once the journal is done with: its scratch files are among these.
            removeLeftoverScratchFiles();
            install(shipped, preparation);
        } catch (const FileError& e) {
            preparation.error = e;
        }
    }
    if (takenForTheWhile) lock_.release();
    preparation.missing = lacking(shipped);
    return preparation;
}

std::vector<std::filesystem::path> DataFolder::removeLeftoverScratchFiles() const {
    std::vector<std::filesystem::path> removed;
    if (!held()) return removed;
    // The pending contacts are written by any copy that receives contacts,
    // under a lock of their own: their scratch file may be in use right now.
    DataFolderLock pendingLock(dir_, kPendingLockFileName);
    const bool pendingIdle = pendingLock.tryLock() == DataFolderLock::Outcome::Held;
    auto removeScratch = [&](const std::filesystem::path& file, std::string_view scratchName) {
        if (scratchName == kPendingScratchName && !pendingIdle) return;
        std::error_code ec;
        // Only plain files: a folder or a link of that name is no scratch file of ours.
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(file, ec)) &&
            std::filesystem::remove(file, ec))
            removed.push_back(file);
    };
    for (const char* scratchName : kScratchFileNames)
        removeScratch(dir_ / scratchName, scratchName);
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
                if (beside != dir_ / scratchName) removeScratch(beside, scratchName);
            } catch (const std::exception&) {
                // A link that loops: nothing was ever written beside it.
            }
        }
    }
    return removed;
}

std::string joinedNames(const std::vector<std::filesystem::path>& files) {
    std::string names;
    for (const std::filesystem::path& file : files)
        names += (names.empty() ? "" : ", ") + file.filename().string();
    return names.empty() ? std::string(prefix_update_messages::kNoFile) : names;
}

namespace {

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

FolderOutcome DataFolder::open(const std::vector<ShippedFile>& shipped) {
    FolderOutcome outcome;
    std::error_code ec;
    if (!shipped.empty()) shipped_ = shipped;
    if (!std::filesystem::is_directory(dir_, ec)) return outcome;
    outcome.preparation = prepare(shipped);
    const FolderPreparation& done = outcome.preparation;
    tellRecovery(done.recovery, journal(), outcome.messages);
    if (done.error) {
        outcome.failedOn(*done.error);
        if (std::filesystem::exists(std::filesystem::symlink_status(journal(), ec)))
            outcome.messages.emplace_back(folder_messages::kUpdateStillUnfinished);
    }
    tellMissing(done.missing, outcome.messages);
    return outcome;
}

std::optional<std::string_view> DataFolder::shippedFile(std::string_view name) const {
    for (const ShippedFile& file : shipped_)
        if (file.name == name) return std::string_view(file.bytes);
    return std::nullopt;
}

}  // namespace dxcc
