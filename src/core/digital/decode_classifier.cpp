#include "core/digital/decode_classifier.h"

#include <cmath>
#include <cstdio>

#include "core/awards/needed_report.h"
#include "core/base/text_utils.h"
#include "core/digital/mode_symbols.h"
#include "core/digital/worked_callsigns.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/band_table.h"

namespace dxcc::digital {

namespace {

// Heading and distance to the grid sent, else to the entity.
void placeOf(ClassifiedDecode& out, const EntityInfo* entity, const DecodeContext& context) {
    if (!context.station) return;
    if (const std::optional<geo::LatLon> there = geo::locatorCenter(out.reading.grid)) {
        const int heading =
            static_cast<int>(std::lround(geo::shortPathHeading(*context.station, *there)));
        out.heading = heading >= 360 ? heading - 360 : heading;
        out.km = std::lround(geo::distanceKm(*context.station, *there));
        return;
    }
    if (const std::optional<EntityBearing> b = entityBearing(context.station, entity)) {
        out.heading = b->shortPath;
        out.km = b->km;
    }
}

std::string_view letterOf(const std::optional<Need>& need) {
    return need ? needLetter(*need) : std::string_view();
}

}  // namespace

DecoderTuning tuningOf(const Status& status) {
    DecoderTuning tuning;
    tuning.mode = std::string(trimBlanks(status.mode));
    if (status.dialFrequencyHz == 0) return tuning;
    char megahertz[32];
    std::snprintf(megahertz, sizeof megahertz, "%.6f",
                  static_cast<double>(status.dialFrequencyHz) / 1e6);
    tuning.band = std::string(trimBlanks(adif::bandForFrequency(megahertz)));
    return tuning;
}

std::string_view decodeMode(const Decode& decode, const DecoderTuning& tuning) {
    const std::string_view named = modeOfSymbol(decode.mode);
    return named.empty() ? std::string_view(tuning.mode) : named;
}

ModeClass classOfDecoderMode(std::string_view mode) {
    return trimBlanks(mode).empty() ? ModeClass::None : ModeClass::Digital;
}

bool ClassifiedDecode::needed() const {
    return anyNeverWorked(entityNeed, bandNeed, modeNeed);
}

namespace {

// Everything that follows from the transmitting station, its band and mode.
void classifyStation(ClassifiedDecode& out, const DecodeContext& context) {
    if (out.callsign().empty()) return;
    if (!out.band.empty()) out.workedBefore = context.worked.contains(out.callsign(), out.band);
    const PrefixEntry* entry = context.prefixes.match(out.callsign());
    const EntityInfo* entity = entry ? context.entities.find(entry->dxccPrefix) : nullptr;
    placeOf(out, entity, context);
    if (!entry || entry->dxccPrefix.empty()) return;
    out.dxccPrefix = entry->dxccPrefix;
    out.entityName = std::string(trimBlanks(entry->entityName));
    if (entity) out.continent = entity->continent;
    out.entityNeed = context.needed.entity(out.dxccPrefix);
    if (!out.band.empty()) out.bandNeed = context.needed.band(out.dxccPrefix, out.band);
    const ModeClass modeClass = classOfDecoderMode(out.mode);
    if (modeClass != ModeClass::None) out.modeNeed = context.needed.mode(out.dxccPrefix, modeClass);
    out.colour = needColourOf(neededVerdict(*out.entityNeed, out.bandNeed, out.modeNeed));
}

}  // namespace

ClassifiedDecode classifyDecode(const Decode& decode, const DecoderTuning& tuning,
                                const DecodeContext& context) {
    ClassifiedDecode out;
    out.decode = decode;
    out.reading = readMessage(decode.message);
    out.mode = std::string(decodeMode(decode, tuning));
    out.band = tuning.band;
    classifyStation(out, context);
    return out;
}

NeedColour colourOfCallsign(std::string_view callsign, const DecoderTuning& tuning,
                            const DecodeContext& context) {
    ClassifiedDecode out;
    out.reading.transmitter = std::string(callsign);
    out.mode = tuning.mode;
    out.band = tuning.band;
    classifyStation(out, context);
    return out.colour;
}

std::string decodeTimeText(uint32_t msecsSinceMidnight) {
    if (msecsSinceMidnight >= kMillisecondsPerDay) return {};
    const uint32_t seconds = msecsSinceMidnight / 1000;
    char text[8];
    std::snprintf(text, sizeof text, "%02u%02u%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::string decodeReportLine(const ClassifiedDecode& d) {
    std::string line = decodeTimeText(d.decode.time);
    line.append("\t").append(std::to_string(d.decode.snr));
    line.append("\t").append(trimBlanks(d.band));
    line.append("\t").append(d.mode);
    line.append("\t").append(d.callsign());
    line.append("\t").append(d.reading.grid);
    line.append("\t").append(d.dxccPrefix);
    line.append("\t").append(d.entityName);
    for (const auto& need : {d.entityNeed, d.bandNeed, d.modeNeed})
        line.append("\t").append(letterOf(need));
    return line;
}

}  // namespace dxcc::digital
