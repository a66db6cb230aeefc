#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/prefixes/prefix_entry.h"

namespace dxcc {

struct LookupResult {
    std::string entityName;     // untrimmed, as stored
    std::string dxccPrefix;     // trimmed
    std::string matchedPrefix;  // trimmed callsign prefix of the matching entry
    // An entry matched (a matching entry always has a callsign prefix).
    bool found() const { return !matchedPrefix.empty(); }
};

// The prefix file's entries with an index for the callsign lookup. Immutable.
class PrefixTable {
public:
    PrefixTable() = default;
    static PrefixTable parse(std::string_view fileBytes);

    // The entry whose callsign prefix is the longest beginning of `callsign`; among
    // equally long ones the first in file order. Exact, case-sensitive bytes; an
    // empty callsign prefix matches nothing. Allocates nothing.
    const PrefixEntry* match(std::string_view callsign) const;

    // `match` as the three texts of a lookup; all empty when nothing matches.
    LookupResult lookup(std::string_view callsign) const;

    const std::vector<PrefixEntry>& entries() const { return entries_; }

private:
    // Open-addressing index from a callsign prefix packed into 64 bits (its bytes
    // and its length) to the first entry carrying it. Zero marks a free slot; a
    // packed key never is zero since its length is at least 1.
    struct Slot {
        uint64_t key = 0;
        uint32_t entry = 0;
    };

    void buildIndex();
    const Slot* findSlot(uint64_t key) const;

    std::vector<PrefixEntry> entries_;
    std::vector<Slot> slots_;
    unsigned hashShift_ = 64;
    // For each pair of first two bytes, the lengths (bit length-1) of the
    // prefixes that a callsign starting with them may match: most of the
    // lengths a lookup would try are known absent without a probe.
    std::vector<uint8_t> lengthsByHead_;
};

// The prefix file in the data directory. Loaded on first use (not when built,
// so a session made before the file is installed still sees it) and reloaded when it
// changes (identity, size or modification time differ), so a save by the editor
// applies to later lookups without reading the file for each one.
//
// Looking at the file costs a system call (about half a microsecond), as much as
// several hundred lookups. So the file is looked at again only when
// `recheckInterval` has passed since the last look: an operator never types two
// callsigns within that time, while an import of a whole log gets table speed.
// Code that has just written the file itself calls `refresh()`.
class PrefixFile {
public:
    static constexpr std::chrono::milliseconds kDefaultRecheckInterval{200};

    explicit PrefixFile(std::filesystem::path file,
                        std::chrono::milliseconds recheckInterval = kDefaultRecheckInterval);

    // Never throws; empty results while the file cannot be read.
    LookupResult lookup(std::string_view callsign);

    // The file is missing or unreadable: lookups give empty results.
    bool unreadable() {
        refreshWhenDue();
        return unreadable_;
    }

    // The current table; references and entries taken from it stay valid until the
    // next lookup, table() or refresh() reloads the file.
    const PrefixTable& table();

    // Looks at the file now and reloads it when it changed.
    void refresh();

    const std::filesystem::path& path() const { return file_; }

private:
    // What tells one version of the file from another.
    struct Fingerprint {
        bool exists = false;
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modifiedNs = 0;
        bool operator==(const Fingerprint&) const = default;
    };

    Fingerprint currentFingerprint() const;
    void refreshWhenDue();
    void load(const Fingerprint& seen);

    std::filesystem::path file_;
    std::chrono::milliseconds recheckInterval_;
    std::chrono::steady_clock::time_point lastCheck_{};
    bool loaded_ = false;
    Fingerprint loadedVersion_{};
    PrefixTable table_;
    bool unreadable_ = false;
};

}  // namespace dxcc
