#include "core/digital/highlight_schedule.h"

namespace dxcc::digital {

bool isHighlighted(NeedColour colour) {
    return colour == NeedColour::NewEntity || colour == NeedColour::NewSlot ||
           colour == NeedColour::ToConfirm;
}

HighlightToSend HighlightSchedule::message(std::string_view id, std::string_view callsign,
                                           NeedColour colour) const {
    HighlightToSend out{std::string(id), {std::string(callsign), Colour::none(), Colour::none()}};
    if (!isHighlighted(colour)) return out;
    out.highlight.background = colour == NeedColour::NewEntity ? colours_.newEntity
                               : colour == NeedColour::NewSlot ? colours_.newSlot
                                                               : colours_.toConfirm;
    out.highlight.foreground = colours_.text;
    return out;
}

std::optional<HighlightToSend> HighlightSchedule::forDecode(std::string_view decoderId,
                                                            const ClassifiedDecode& decode) {
    const std::string& callsign = decode.callsign();
    if (callsign.empty()) return std::nullopt;
    Shown& shown = shown_[std::string(decoderId)];
    const auto it = shown.find(callsign);
    if (it == shown.end()) {
        if (!isHighlighted(decode.colour) || count_ >= kMaxCallsigns) return std::nullopt;
        shown.emplace(callsign, decode.colour);
        ++count_;
        return message(decoderId, callsign, decode.colour);
    }
    if (it->second == decode.colour) return std::nullopt;
    if (!isHighlighted(decode.colour)) {
        shown.erase(it);
        --count_;
        return message(decoderId, callsign, NeedColour::Confirmed);
    }
    it->second = decode.colour;
    return message(decoderId, callsign, decode.colour);
}

std::vector<HighlightToSend> HighlightSchedule::afterLogChange(const ColourNow& colourNow) {
    std::vector<HighlightToSend> out;
    for (auto& [id, shown] : shown_) {
        for (auto it = shown.begin(); it != shown.end();) {
            const NeedColour now = colourNow(it->first, id);
            if (now == it->second) {
                ++it;
                continue;
            }
            out.push_back(message(id, it->first, now));
            if (isHighlighted(now)) {
                it->second = now;
                ++it;
            } else {
                it = shown.erase(it);
                --count_;
            }
        }
    }
    return out;
}

std::vector<HighlightToSend> HighlightSchedule::clearAll() {
    std::vector<HighlightToSend> out;
    for (const auto& [id, shown] : shown_)
        for (const auto& entry : shown)
            out.push_back(message(id, entry.first, NeedColour::Confirmed));
    shown_.clear();
    count_ = 0;
    return out;
}

void HighlightSchedule::forgetDecoder(std::string_view decoderId) {
    const auto it = shown_.find(std::string(decoderId));
    if (it == shown_.end()) return;
    count_ -= it->second.size();
    shown_.erase(it);
}

}  // namespace dxcc::digital
