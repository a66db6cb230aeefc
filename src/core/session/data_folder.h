#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/file_error.h"
#include "core/base/rewrite_together.h"
#include "core/session/data_folder_lock.h"
#include "core/session/session_outcome.h"

namespace dxcc {

// A file the program comes with, put into a data folder that lacks it.
struct ShippedFile {
    std::string name;  // its name in the data folder
    std::string bytes;
};

// What making the data folder ready found and did.
struct FolderPreparation {
    // The folder was held (or taken for the while) and the work done.
    bool prepared = false;
    // What the start found of an update of files that change together.
    RewriteRecovery recovery;
    // Shipped files put into the folder, by name.
    std::vector<std::string> installed;
    // Shipped files the folder still lacks, by name.
    std::vector<std::string> missing;
    // Finishing the update, or putting a file in, failed.
    std::optional<FileError> error;
};

// The names of `files`, comma-separated, for a message; "aucun" for none.
std::string joinedNames(const std::vector<std::filesystem::path>& files);

// Opening the data folder: what the preparation did and what the operator
// must be told of it.
struct FolderOutcome : SessionOutcome {
    FolderPreparation preparation;
};

// The data folder the session works in: its lock, what a run killed in the
// middle left there, and the files the program comes with.
class DataFolder {
public:
    explicit DataFolder(std::filesystem::path dir);
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    const std::filesystem::path& dir() const { return dir_; }

    // Takes the folder's lock when it is free; never waits.
    DataFolderLock::Outcome claim() { return lock_.tryLock(); }
    bool held() const { return lock_.held(); }
    // Holds the folder for a command that writes; when it cannot, fills
    // `outcome` with the refusal (another copy has it, or it cannot be locked).
    bool holdFor(SessionOutcome& outcome);

    // Makes the folder ready (see prepare) and says what the operator must
    // know: an update finished or given up, a file still missing. A folder
    // that is not there is left to whatever reads it next.
    FolderOutcome open(const std::vector<ShippedFile>& shipped);
    // The bytes of the shipped file `name` the folder was last opened with;
    // none when it was given no such file. An update of the reference files
    // tells the operator's own lines by them until it has kept a base copy.
    std::optional<std::string_view> shippedFile(std::string_view name) const;

    // Makes the folder ready before anything reads it: finishes an update of
    // files that change together that a stopped run left (its journal), then
    // removes the scratch files of killed runs and puts in each of `shipped`
    // that the folder lacks (never over anything of that name), by the safe
    // rewrite. Only while the folder is held: when it is not, the lock is
    // taken for the while if there is work to do (a journal, a scratch file,
    // a missing file), and let go after.
    FolderPreparation prepare(const std::vector<ShippedFile>& shipped);

    // Finishes an update of files that change together that a stopped run
    // left, while the folder is held (see finishRewriteTogether).
    RewriteRecovery finishInterruptedUpdate();
    // The journal of an update of files that change together.
    std::filesystem::path journal() const;

    // Removes the scratch files a run killed in the middle of a rewrite left in
    // the folder. The file they were to replace is whole (old content), so
    // they hold nothing the operator was told was saved. Only while the folder
    // is held: another copy may be writing them. Those beside the file a
    // linked data file leads to go too. Answers the files removed.
    std::vector<std::filesystem::path> removeLeftoverScratchFiles() const;

private:
    // The scratch files of the folder's own rewrites (not those beside a
    // linked file).
    std::vector<std::filesystem::path> scratchFiles() const;
    // Names of `shipped` that the folder lacks.
    std::vector<std::string> lacking(const std::vector<ShippedFile>& shipped) const;
    void install(const std::vector<ShippedFile>& shipped, FolderPreparation& preparation);

    std::filesystem::path dir_;
    DataFolderLock lock_;
    std::vector<ShippedFile> shipped_;
};

}  // namespace dxcc
