#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_entry.h"

namespace dxcc {

// What kind of answer a lookup gave.
enum class MatchKind {
    None,            // nothing matched: no entity
    Exact,           // a line of the exact-call file, by the whole callsign
    Prefix,          // a line of the prefix file, by the longest prefix
    MaritimeMobile,  // "/MM" or "/AM": counts for no entity
};

struct LookupResult {
    std::string entityName;     // untrimmed, as stored
    std::string dxccPrefix;     // trimmed
    std::string matchedPrefix;  // trimmed callsign prefix, or exact callsign, of the line
    MatchKind kind = MatchKind::None;
    // A line matched: the callsign has an entity.
    bool found() const { return kind == MatchKind::Exact || kind == MatchKind::Prefix; }
    bool maritimeMobile() const { return kind == MatchKind::MaritimeMobile; }
};

// The line that answered a lookup, without copying its texts.
struct Resolution {
    const PrefixEntry* entry = nullptr;  // entity name and DXCC prefix; set for Exact and Prefix
    MatchKind kind = MatchKind::None;
    std::string_view matched;  // the exact call or the callsign prefix that matched
};

// The prefix file's entries and the exact calls, with the indexes of the
// callsign lookup. Immutable.
//
// The one lookup every part of the program asks: first the exact calls by the
// whole callsign; then what its slashes say (see readSlashes): maritime mobile,
// the callsign without its portable suffixes among the exact calls again, and
// the text that names the place; that text, or a callsign without '/', by its
// longest prefix. Blanks around the callsign are ignored.
class PrefixTable {
public:
    PrefixTable() = default;
    static PrefixTable parse(std::string_view prefixFileBytes,
                             std::string_view exactCallFileBytes = {});

    // The one lookup. Allocates nothing.
    Resolution resolve(std::string_view callsign) const;
    // The lookup without asking the exact calls for `callsign` itself: what the
    // callsign would resolve to if it were no exact call.
    Resolution resolveByRules(std::string_view callsign) const;
    // The line the one lookup answers with; null for no entity.
    const PrefixEntry* match(std::string_view callsign) const { return resolve(callsign).entry; }

    // The prefix file's entry whose callsign prefix is the longest beginning of
    // `text`; among equally long ones the first in file order. Exact,
    // case-sensitive bytes, no rule for '/'; an empty callsign prefix matches
    // nothing. Allocates nothing.
    const PrefixEntry* matchPrefix(std::string_view text) const;

    // `resolve` as the texts of a lookup; all empty when nothing matches.
    LookupResult lookup(std::string_view callsign) const;

    // The prefix file's lines, in file order.
    const std::vector<PrefixEntry>& entries() const { return entries_; }
    // The exact-call file's lines.
    const ExactCallTable& exactCalls() const { return exact_; }

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
    Resolution exactCall(std::string_view callsign) const;
    Resolution prefixOf(std::string_view text) const;

    std::vector<PrefixEntry> entries_;
    ExactCallTable exact_;
    std::vector<Slot> slots_;
    unsigned hashShift_ = 64;
    // For each pair of first two bytes, the lengths (bit length-1) of the
    // prefixes that a callsign starting with them may match: most of the
    // lengths a lookup would try are known absent without a probe.
    std::vector<uint8_t> lengthsByHead_;
};

// The prefix file in the data directory, and the exact-call file beside it.
// Loaded on first use (not when built, so a session made before the files are
// installed still sees them) and reloaded when one changes (identity, size or
// modification time differ), so a save by the editor applies to later lookups
// without reading the files for each one. A missing exact-call file means no
// exact calls.
//
// Looking at the files costs system calls (about half a microsecond each), as much
// as several hundred lookups. So the files are looked at again only when
// `recheckInterval` has passed since the last look: an operator never types two
// callsigns within that time, while an import of a whole log gets table speed.
// Code that has just written a file itself calls `refresh()`.
class PrefixFile {
public:
    static constexpr std::chrono::milliseconds kDefaultRecheckInterval{200};

    explicit PrefixFile(std::filesystem::path file,
                        std::chrono::milliseconds recheckInterval = kDefaultRecheckInterval);

    // Never throws; empty results while the prefix file cannot be read.
    LookupResult lookup(std::string_view callsign);

    // The prefix file is missing or unreadable: lookups give empty results.
    bool unreadable() {
        refreshWhenDue();
        return unreadable_;
    }
    // The exact-call file is there but cannot be read: lookups go on without
    // exact calls.
    bool exactCallsUnreadable() {
        refreshWhenDue();
        return exactUnreadable_;
    }

    // The current table; references and entries taken from it stay valid until the
    // next lookup, table() or refresh() reloads the files.
    const PrefixTable& table();

    // Looks at the files now and reloads them when one changed.
    void refresh();

    const std::filesystem::path& path() const { return file_; }
    const std::filesystem::path& exactCallPath() const { return exactFile_; }

private:
    // What tells one version of a file from another.
    struct Fingerprint {
        bool exists = false;
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modifiedNs = 0;
        bool operator==(const Fingerprint&) const = default;
    };
    struct Versions {
        Fingerprint prefixes;
        Fingerprint exactCalls;
        bool operator==(const Versions&) const = default;
    };

    static Fingerprint fingerprintOf(const std::filesystem::path& file);
    Versions currentVersions() const;
    void refreshWhenDue();
    void load(const Versions& seen);

    std::filesystem::path file_;
    std::filesystem::path exactFile_;
    std::chrono::milliseconds recheckInterval_;
    std::chrono::steady_clock::time_point lastCheck_{};
    bool loaded_ = false;
    Versions loadedVersions_{};
    PrefixTable table_;
    bool unreadable_ = false;
    bool exactUnreadable_ = false;
};

}  // namespace dxcc
