#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/logbook/logbook.h"

namespace dxcc::digital {

// Which callsigns the log holds on which band, answered without a pass over
// the log: "worked before" for every decode of a busy band. It is built on
// first use (a program that never hears a decoder never pays for the pass);
// a contact added then is added alone; a removed or changed contact, or a
// reloaded log, makes it stale, to be built again when next asked.
class WorkedCallsigns {
public:
    // Builds it now from `log` when it is stale; a no-op when it is up to date.
    void bringUpToDate(const Logbook& log);
    // Keeps up with one change of the log, which `log` already holds.
    void follow(const Logbook& log, const LogChange& change);
    // Forgets everything: the next bringUpToDate makes a new pass.
    void markStale();
    bool stale() const { return stale_; }
    // The callsign (exact, blanks around ignored) logged on the band (a band
    // label, trailing blanks ignored). False for all while stale.
    bool contains(std::string_view callsign, std::string_view bandLabel) const;
    size_t size() const { return sorted_.size() + added_.size(); }

private:
    void rebuild(const Logbook& log);
    void addRecord(std::string_view record);
    static uint64_t keyOf(std::string_view callsign, std::string_view bandLabel);
    static uint64_t keyOfRecord(std::string_view record);

    // 64 bits of hash per pair: two pairs of a log sharing one is not to be
    // expected in a lifetime of logs. The pass leaves a sorted array (8 bytes
    // a contact, where a node set takes five times that); contacts added since
    // wait in a small set until it grows enough to be merged in.
    std::vector<uint64_t> sorted_;
    std::unordered_set<uint64_t> added_;
    bool stale_ = true;
};

}  // namespace dxcc::digital
