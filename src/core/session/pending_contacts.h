#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dxcc {

// The contacts a digital-mode program logged that are not in the log yet, as
// ADIF records in a file of the data folder, so that a contact survives a
// folder held by another program, a full or read-only disk, and a kill. Every
// copy of the program that receives contacts writes the file, whether it
// holds the data folder or not, so each change is made under a lock of the
// file's own (Contacts_en_attente.lock): read, changed and rewritten through
// the safe rewrite with no other writer in between, and its scratch file safe
// from the start-up clean-up of another copy. The rewrite is still checked
// against a change made meanwhile (then read again and redone), for a writer
// that took no lock.
class PendingContacts {
public:
    // Beyond this the file takes no more: a flood of contacts from a hostile
    // sender never fills the disk.
    static constexpr size_t kMaxBytes = 4 * 1024 * 1024;
    // How a change waits while another writer holds the file's lock: called
    // after each refusal with the number of refusals so far; answers whether
    // to try again, once it has waited a little.
    using LockWait = std::function<bool(int refusals)>;
    // Waits 5 ms at a time, 50 ms in all: another writer holds the lock only
    // for the rewrite of a small file, and the window's thread must not stall
    // on a holder that never lets go (the contact then waits in memory).
    static bool waitBriefly(int refusals);

    explicit PendingContacts(std::filesystem::path dataDir, LockWait wait = waitBriefly);

    const std::filesystem::path& path() const { return path_; }
    // The records waiting, oldest first, each ending in <EOR>. Empty when the
    // file is missing. Throws FileError when it cannot be read.
    std::vector<std::string> read() const;
    // Adds one record (which must end in <EOR>). Throws FileError when it
    // cannot be written, or (7) when the file would grow past kMaxBytes, or
    // (70) when the lock stays with another writer.
    void add(std::string_view record);
    // Takes away the records `done`, which read() gave (by content, so that
    // records another copy added meanwhile stay). Throws FileError as add().
    void remove(const std::vector<std::string>& done);

private:
    // Under the file's lock: reads the records, lets `change` edit them,
    // writes them back; again when another writer changed the file in between.
    template <typename Change>
    void update(Change&& change);

    std::filesystem::path dir_;
    std::filesystem::path path_;
    LockWait wait_;
};

// Cuts ADIF text into its records, each ending in <EOR> (any letter case);
// text after the last <EOR>, and a header ending in <EOH>, are left out.
std::vector<std::string> adifRecords(std::string_view text);

}  // namespace dxcc
