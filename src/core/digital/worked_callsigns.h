#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_set>

#include "core/logbook/logbook.h"

namespace dxcc::digital {

// Which callsigns the log holds on which band, answered without a pass over
// the log: "worked before" for every decode of a busy band. One pass builds
// it; a contact added is added alone. A removed or changed contact asks for a
// new pass (see follow), which the rare deletion can afford.
class WorkedCallsigns {
public:
    void rebuild(const Logbook& log);
    // Keeps up with one change of the log, which `log` already holds.
    void follow(const Logbook& log, const LogChange& change);
    // The callsign (exact, blanks around ignored) logged on the band (a band
    // label, trailing blanks ignored).
    bool contains(std::string_view callsign, std::string_view bandLabel) const;
    size_t size() const { return keys_.size(); }

private:
    void addRecord(std::string_view record);
    static uint64_t keyOf(std::string_view callsign, std::string_view bandLabel);

    // 64 bits of hash per pair: two pairs of a log sharing one is not to be
    // expected in a lifetime of logs.
    std::unordered_set<uint64_t> keys_;
};

}  // namespace dxcc::digital
