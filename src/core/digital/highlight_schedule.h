#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/digital/decode_classifier.h"
#include "core/digital/wsjtx_codec.h"

namespace dxcc::digital {

// The colours a decoder paints a callsign with, by what a contact would
// bring (the program's one palette, handed down by the window).
struct HighlightColours {
    Colour newEntity;
    Colour newSlot;    // a new band or a new class of modes
    Colour toConfirm;  // worked there, never confirmed
    Colour text;       // the callsign's own colour over them
};

// One Highlight Callsign to send, and to which decoder.
struct HighlightToSend {
    std::string decoderId;
    HighlightCallsign highlight;
    bool operator==(const HighlightToSend& o) const {
        return decoderId == o.decoderId && highlight.callsign == o.highlight.callsign &&
               highlight.background == o.highlight.background &&
               highlight.foreground == o.highlight.foreground;
    }
};

// Which highlights each decoder was sent, so that each callsign is coloured
// once per status: a decode of a callsign whose colour is already shown sends
// nothing; a callsign whose status changed (a contact logged) gets its new
// colours, or loses its highlight (the two invalid colours) once it brings
// nothing; at the end every highlight sent is taken away. A confirmed
// callsign, or one without an entity, is never highlighted.
//
// A flood of made-up callsigns cannot grow it without end: past kMaxCallsigns
// shown, no new callsign is highlighted.
class HighlightSchedule {
public:
    static constexpr std::size_t kMaxCallsigns = 20'000;

    explicit HighlightSchedule(HighlightColours colours) : colours_(colours) {}

    // What to send for a decode that decoder `decoderId` made.
    std::optional<HighlightToSend> forDecode(std::string_view decoderId,
                                             const ClassifiedDecode& decode);
    // After the log changed: the callsigns whose colour `colourNow` (callsign,
    // decoder id) says changed get their new colours or lose theirs.
    using ColourNow = std::function<NeedColour(std::string_view callsign, std::string_view id)>;
    std::vector<HighlightToSend> afterLogChange(const ColourNow& colourNow);
    // Every highlight shown taken away (the program quits, the option is
    // turned off); the schedule starts afresh.
    std::vector<HighlightToSend> clearAll();
    // A decoder that went away forgets what it showed.
    void forgetDecoder(std::string_view decoderId);

    std::size_t shown() const { return count_; }

private:
    // The colour shown, by callsign, per decoder.
    using Shown = std::unordered_map<std::string, NeedColour>;
    HighlightToSend message(std::string_view id, std::string_view callsign,
                            NeedColour colour) const;

    HighlightColours colours_;
    std::unordered_map<std::string, Shown> shown_;
    std::size_t count_ = 0;
};

// Whether a colour is shown as a highlight at all.
bool isHighlighted(NeedColour colour);

}  // namespace dxcc::digital
