#include "core/digital/decoder_states.h"

#include <algorithm>
#include <variant>

namespace dxcc::digital {

DecoderState& DecoderStates::stateOf(std::string_view id, std::int64_t nowMs) {
    for (DecoderState& d : decoders_)
        if (d.id == id) return d;
    if (decoders_.size() >= kMaxDecoders) {
        const auto oldest = std::min_element(decoders_.begin(), decoders_.end(),
                                             [](const DecoderState& a, const DecoderState& b) {
                                                 return a.lastHeardMs < b.lastHeardMs;
                                             });
        decoders_.erase(oldest);
    }
    DecoderState& added = decoders_.emplace_back();
    added.id = std::string(id);
    added.lastHeardMs = nowMs;
    return added;
}

const DecoderState& DecoderStates::note(const Datagram& datagram, std::int64_t nowMs) {
    DecoderState& d = stateOf(datagram.id, nowMs);
    d.closed = false;
    std::visit(
        [&](const auto& m) {
            using M = std::decay_t<decltype(m)>;
            if constexpr (std::is_same_v<M, Heartbeat>) {
                d.lastHeardMs = nowMs;
                d.schema = negotiatedSchema(m.maxSchema);
            } else if constexpr (std::is_same_v<M, Status>) {
                if (!d.status || d.status->dialFrequencyHz != m.dialFrequencyHz ||
                    d.status->mode != m.mode)
                    d.tuning = tuningOf(m);
                d.status = m;
            } else if constexpr (std::is_same_v<M, LoggedAdif>) {
                d.sendsLoggedAdif = true;
            } else if constexpr (std::is_same_v<M, Close>) {
                d.closed = true;
            }
        },
        datagram.message);
    return d;
}

const DecoderState* DecoderStates::find(std::string_view id) const {
    for (const DecoderState& d : decoders_)
        if (d.id == id) return &d;
    return nullptr;
}

bool DecoderStates::silent(std::string_view id, std::int64_t nowMs) const {
    const DecoderState* d = find(id);
    return !d || d->closed || nowMs - d->lastHeardMs > kSilentAfterMs;
}

}  // namespace dxcc::digital
