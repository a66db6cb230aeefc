#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/awards/needed_index.h"
#include "core/digital/ft8_message.h"
#include "core/digital/wsjtx_codec.h"
#include "core/geo/locator.h"
#include "core/logbook/need.h"
#include "core/record/mode_table.h"

namespace dxcc {
class PrefixTable;
class EntityData;
}  // namespace dxcc

namespace dxcc::digital {

class WorkedCallsigns;

// What a decoder's Status says about the decodes that follow it: the band of
// its dial frequency and its mode. Worked out once per Status, not per decode.
struct DecoderTuning {
    std::string band;  // the log's band label ("14 Mhz"), empty outside the bands
    std::string mode;  // the Status's mode ("FT8"), empty before any Status
};
DecoderTuning tuningOf(const Status& status);

// The mode of a decode: the one its symbol names, else the decoder's.
std::string_view decodeMode(const Decode& decode, const DecoderTuning& tuning);

// The class the awards count a decoder's mode in: every mode WSJT-X or JTDX
// decodes is a data mode; None for a mode that is no mode at all.
ModeClass classOfDecoderMode(std::string_view mode);

// What the classification reads: the one callsign lookup, the needed-status
// engine, the entities' places, the station's position and the callsigns of
// the log by band.
struct DecodeContext {
    const PrefixTable& prefixes;
    const NeededIndex& needed;
    const EntityData& entities;
    std::optional<geo::LatLon> station;
    const WorkedCallsigns& worked;
};

struct ClassifiedDecode {
    Decode decode;
    MessageReading reading;
    std::string mode;                // "FT8"
    std::string band;                // the log's band label, empty outside the bands
    std::string dxccPrefix;          // trimmed; empty when the station has no entity
    std::string entityName;          // trimmed
    std::string continent;           // "EU"...; empty when the entity data lacks it
    std::optional<Need> entityNeed;  // none without an entity
    std::optional<Need> bandNeed;    // none without an entity or a band
    std::optional<Need> modeNeed;    // none without an entity or a class
    std::optional<int> heading;      // degrees, short path
    std::optional<long> km;
    bool workedBefore = false;  // the same callsign in the log on this band
    NeedColour colour = NeedColour::Unknown;

    // The transmitting station: empty for free text and unknown hashed calls.
    const std::string& callsign() const { return reading.transmitter; }
    // One of the three statuses is "never worked".
    bool needed() const;
};

// The transmitting station of a decode, its entity and continent, what a
// contact with it would bring on the decoder's band in its mode, where it lies
// (the grid it sent, else its entity) and whether the log has it on the band.
ClassifiedDecode classifyDecode(const Decode& decode, const DecoderTuning& tuning,
                                const DecodeContext& context);

// The colour a callsign heard by a decoder tuned so now gets (to follow a
// change of the log, see HighlightSchedule::afterLogChange).
NeedColour colourOfCallsign(std::string_view callsign, const DecoderTuning& tuning,
                            const DecodeContext& context);

// The command line's line for a decode: UTC time (HHMMSS), SNR, band label,
// mode, callsign, grid (or empty), DXCC prefix, entity, the three statuses
// (N, W, C, or empty), tab-separated. Texts as the log holds them.
std::string decodeReportLine(const ClassifiedDecode& decode);

// "HHMMSS" of milliseconds since midnight; empty for an invalid time.
std::string decodeTimeText(uint32_t msecsSinceMidnight);

}  // namespace dxcc::digital
