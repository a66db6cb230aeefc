#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/digital/decode_classifier.h"
#include "core/digital/wsjtx_codec.h"

namespace dxcc::digital {

// What is known of one decoder instance (WSJT-X, JTDX, a second WSJT-X with
// its rig name), by the id it sends.
struct DecoderState {
    std::string id;
    std::optional<Status> status;          // the last Status, none before the first
    DecoderTuning tuning;                  // of that Status
    std::uint32_t schema = kLowestSchema;  // what to speak to it (see negotiatedSchema)
    std::int64_t lastHeardMs = 0;          // its last Heartbeat (or first datagram)
    // It sent a Logged ADIF: its QSO Logged messages are the same contacts.
    bool sendsLoggedAdif = false;
    bool closed = false;  // it said it is shutting down
};

// Every decoder heard, each with its own state. Time is given by the caller
// (milliseconds on a steady clock), so that silence is tested without waiting.
// The number of decoders kept is bounded: a flood of made-up ids pushes out
// the one heard longest ago, never grows memory.
class DecoderStates {
public:
    static constexpr std::int64_t kSilentAfterMs = 30'000;
    static constexpr std::size_t kMaxDecoders = 16;

    // Notes a datagram read whole from decoder `datagram.id` at `nowMs`, and
    // answers that decoder's state as it now is.
    const DecoderState& note(const Datagram& datagram, std::int64_t nowMs);
    const DecoderState* find(std::string_view id) const;
    // No Heartbeat from it for 30 s, or it closed.
    bool silent(std::string_view id, std::int64_t nowMs) const;
    const std::vector<DecoderState>& all() const { return decoders_; }

private:
    DecoderState& stateOf(std::string_view id, std::int64_t nowMs);
    std::vector<DecoderState> decoders_;
};

}  // namespace dxcc::digital
