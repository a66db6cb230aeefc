#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dxcc {

// The contacts a digital-mode program logged that are not in the log yet, as
// ADIF records in a file of the data folder, so that a contact survives a
// folder held by another program, a full or read-only disk, and a kill. Each
// change rewrites the file through the safe rewrite, checked against a change
// made meanwhile by another copy of the program (then read again and redone).
class PendingContacts {
public:
    // Beyond this the file takes no more: a flood of contacts from a hostile
    // sender never fills the disk.
    static constexpr size_t kMaxBytes = 4 * 1024 * 1024;

    explicit PendingContacts(std::filesystem::path dataDir);

    const std::filesystem::path& path() const { return path_; }
    // The records waiting, oldest first, each ending in <EOR>. Empty when the
    // file is missing. Throws FileError when it cannot be read.
    std::vector<std::string> read() const;
    // Adds one record (which must end in <EOR>). Throws FileError when it
    // cannot be written, or (7) when the file would grow past kMaxBytes.
    void add(std::string_view record);
    // Takes away the records `done`, which read() gave (by content, so that
    // records another copy added meanwhile stay). Throws FileError.
    void remove(const std::vector<std::string>& done);

private:
    // Reads the records, lets `change` edit them, writes them back; again
    // when another writer changed the file in between.
    template <typename Change>
    void update(Change&& change);

    std::filesystem::path dir_;
    std::filesystem::path path_;
};

// Cuts ADIF text into its records, each ending in <EOR> (any letter case);
// text after the last <EOR>, and a header ending in <EOH>, are left out.
std::vector<std::string> adifRecords(std::string_view text);

}  // namespace dxcc
