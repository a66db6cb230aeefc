#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/base/file_error.h"

// Several files that must change together (the prefix file, its base copy and
// the entity data) are written all or none, whatever stops the program: a
// failing write, a crash, a kill.
//
// The new contents first go to scratch files, each synced. Then a journal
// naming them (with each one's size and checksum) is written aside, synced
// and renamed into place: from that moment the change is decided. Then each
// scratch file is renamed over its file, and the journal removed. A run
// stopped before the journal was in place changed no file (its scratch files
// are leftovers, removed at the next start). A run stopped after it left every
// new content whole on disk: the next start finishes the renames
// (finishRewriteTogether) before anything reads the files.
namespace dxcc {

struct FileReplacement {
    std::filesystem::path target;
    // Where the new content waits until its rename; its name is the caller's,
    // and the folder that of the file the target leads to (see scratchBeside).
    std::filesystem::path scratch;
    std::string_view content;
};

// rewriteTogether failed after the change was decided: every new content is
// on disk, `replaced()` name the files that hold theirs already, `pending()`
// those finishRewriteTogether will still put in place (the journal stays).
class UnfinishedRewrite : public FileError {
public:
    UnfinishedRewrite(const FileError& cause, std::vector<std::filesystem::path> replaced,
                      std::vector<std::filesystem::path> pending)
        : FileError(cause), replaced_(std::move(replaced)), pending_(std::move(pending)) {}
    const std::vector<std::filesystem::path>& replaced() const { return replaced_; }
    const std::vector<std::filesystem::path>& pending() const { return pending_; }

private:
    std::vector<std::filesystem::path> replaced_;
    std::vector<std::filesystem::path> pending_;
};

// Gives every target of `files` its new content, all or none (see above).
// `journal` is the journal's name, `journalScratch` where it is written first;
// both in one folder. Each target follows its links and keeps its mode, as
// rewriteFile does; one that is no plain file is refused. Throws FileError
// when no file changed (no scratch file is left), UnfinishedRewrite when the
// change was decided but not carried out to the end.
void rewriteTogether(const std::vector<FileReplacement>& files,
                     const std::filesystem::path& journal,
                     const std::filesystem::path& journalScratch);

// What the start found of a group rewrite that a stopped run left.
struct RewriteRecovery {
    enum class Kind {
        None,       // no journal: nothing was left unfinished
        Finished,   // every file named now holds its new content
        Abandoned,  // a scratch file was not whole before any file was replaced:
                    // every file keeps its old content
        Damaged     // a scratch file was not whole after some files were
                    // replaced: `notUpdated` kept their old content; or the
                    // journal is none of ours: which files it named is unknown
    };
    Kind kind = Kind::None;
    std::vector<std::filesystem::path> finished;  // renamed by this recovery
    std::vector<std::filesystem::path> notUpdated;
};

// Finishes what the journal `journal` names (see above), removes it and every
// scratch file it names. Throws FileError when a rename fails: the journal
// then stays, for the next attempt.
RewriteRecovery finishRewriteTogether(const std::filesystem::path& journal);

}  // namespace dxcc
