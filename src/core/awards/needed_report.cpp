#include "core/awards/needed_report.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <unordered_set>

#include "core/awards/dxcc_table.h"
#include "core/awards/needed_messages.h"
#include "core/base/program_constants.h"
#include "core/base/text_utils.h"
#include "core/record/band_table.h"
#include "core/record/qso_record.h"
#include "core/record/record_dates.h"

namespace dxcc {

namespace msg = needed_messages;

std::string_view neededVerdictText(NeededVerdict verdict) {
    switch (verdict) {
        case NeededVerdict::NewEntity:
            return msg::kNewEntity;
        case NeededVerdict::NewBand:
            return msg::kNewBand;
        case NeededVerdict::NewMode:
            return msg::kNewMode;
        case NeededVerdict::ToConfirm:
            return msg::kToConfirm;
        case NeededVerdict::AlreadyConfirmed:
            break;
    }
    return msg::kAlreadyConfirmed;
}

std::string bandLabelOfArgument(std::string_view argument) {
    const std::string text = upperCaseCp1252(trimBlanks(argument));
    if (text.empty()) return {};
    const int item = listItemIndex(text, kBands);
    if (item >= 0) return std::string(trimBlanks(kBands[static_cast<size_t>(item)]));
    std::string_view band = adif::bandForBandValue(text);
    if (band.empty()) band = adif::bandForFrequency(text);
    return std::string(trimBlanks(band));
}

ModeClass modeClassOfArgument(std::string_view argument) {
    const std::string text = upperCaseCp1252(trimBlanks(argument));
    if (text.empty()) return ModeClass::None;
    if (const ModeClass c = neededClassOf(text); c != ModeClass::None) return c;
    // The log keeps the first three letters of an ADIF mode.
    if (text.size() > kModeWidth)
        return neededClassOf(std::string_view(text).substr(0, kModeWidth));
    return ModeClass::None;
}

std::optional<EntityBearing> entityBearing(const std::optional<geo::LatLon>& station,
                                           const EntityInfo* entity) {
    if (!station || !entity) return std::nullopt;
    const geo::LatLon there{entity->latitude, entity->longitude};
    const auto whole = [](double degrees) {
        const int d = static_cast<int>(std::lround(degrees));
        return d >= 360 ? d - 360 : d;
    };
    return EntityBearing{whole(geo::shortPathHeading(*station, there)),
                         whole(geo::longPathHeading(*station, there)),
                         std::lround(geo::distanceKm(*station, there))};
}

std::string neededLine(std::string_view callsign, std::string_view dxccPrefix,
                       std::string_view entityName, Need entity, Need band, Need mode,
                       const std::optional<EntityBearing>& bearing) {
    std::string line;
    line.append(trimBlanks(callsign)).append("\t");
    line.append(trimBlanks(dxccPrefix)).append("\t");
    line.append(trimBlanks(entityName)).append("\t");
    line.append(needLetter(entity)).append("\t");
    line.append(needLetter(band)).append("\t");
    line.append(needLetter(mode)).append("\t");
    if (bearing) line += std::to_string(bearing->shortPath);
    line += '\t';
    if (bearing) line += std::to_string(bearing->km);
    return line;
}

std::vector<std::string> neededGridLines(const NeededIndex& index, const EntityData& entityData,
                                         NeededGridRows which) {
    // The worked entities as the log names them, then those of the entity
    // data never worked.
    std::vector<TableEntity> entities;
    std::unordered_set<std::string> listed;
    for (const NeededIndex::EntityView& e : index.entities()) {
        entities.push_back({std::string(e.dxccPrefix), std::string(e.entityName), {}});
        listed.insert(upperCaseCp1252(e.dxccPrefix));
    }
    if (which == NeededGridRows::All)
        for (const EntityInfo& info : entityData.entities()) {
            const std::string_view prefix = trimBlanks(info.dxccPrefix);
            if (!prefix.empty() && listed.insert(upperCaseCp1252(prefix)).second)
                entities.push_back({std::string(prefix), info.name, {}});
        }
    const DxccTable table = buildDxccTable(std::move(entities), neededCells(index));

    std::vector<std::string> lines;
    std::string heading = std::string(msg::kGridPrefix) + "\t" + std::string(msg::kGridEntity);
    for (const std::string& column : table.columns) heading.append("\t").append(column);
    lines.push_back(std::move(heading));
    for (size_t row : tableRowOrder(table, TableOrder::Prefix)) {
        const DxccTableRow& r = table.rows[row];
        std::string line = r.entity.prefix + "\t" + r.entity.entity;
        // A column never worked shows "-".
        for (Need need : r.cells)
            line.append("\t").append(need == Need::Never ? "-" : needLetter(need));
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<size_t> callsignRows(const Logbook& log, std::string_view callsign) {
    callsign = trimBlanks(callsign);
    std::vector<std::pair<int64_t, size_t>> found;
    if (callsign.empty() || callsign.size() > kCallsignWidth) return {};
    const size_t size = log.size();
    for (size_t i = 0; i < size; ++i) {
        const std::string_view r = log.record(i);
        // The callsign field is left-aligned: compare its bytes, then the blank.
        if (r.size() < callsign.size() || r.compare(0, callsign.size(), callsign) != 0) continue;
        if (trimBlanks(recordField(r, Field::Callsign)) != callsign) continue;
        found.emplace_back(recordDateTimeKey(r).value_or(INT64_MIN), i);
    }
    // Latest first; among equal dates the later line first.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    std::vector<size_t> rows;
    rows.reserve(found.size());
    for (const auto& entry : found) rows.push_back(entry.second);
    return rows;
}

std::vector<EarlierQso> earlierQsos(const Logbook& log, std::span<const size_t> rows,
                                    size_t limit) {
    std::vector<EarlierQso> qsos;
    for (size_t row : rows.first(std::min(limit, rows.size()))) {
        const std::string_view r = log.record(row);
        qsos.push_back(EarlierQso{
            std::string(recordField(r, Field::Date)), std::string(recordField(r, Field::Time)),
            std::string(trimBlanks(recordField(r, Field::Band))),
            std::string(trimBlanks(recordField(r, Field::Mode))), recordQslMark(r), row});
    }
    return qsos;
}

std::optional<std::string> lastWorkedOnBandAndMode(const Logbook& log, std::span<const size_t> rows,
                                                   std::string_view band, std::string_view mode) {
    band = trimBlanks(band);
    mode = trimBlanks(mode);
    if (band.empty() || mode.empty()) return std::nullopt;
    // A mode of no class is matched by its text.
    const ModeClass modeClass = neededClassOf(mode);
    for (size_t row : rows) {
        const std::string_view r = log.record(row);
        if (trimBlanks(recordField(r, Field::Band)) != band) continue;
        const std::string_view logged = trimBlanks(recordField(r, Field::Mode));
        if (modeClass != ModeClass::None ? neededClassOf(logged) != modeClass : logged != mode)
            continue;
        return std::string(recordField(r, Field::Date));
    }
    return std::nullopt;
}

std::string workedOnBandAndModeLine(const std::optional<std::string>& date) {
    if (!date) return {};
    std::string line(msg::kWorkedOnBandAndMode);
    // The date as logged, kept plain ASCII so that the line stays UTF-8.
    for (char c : *date) line += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    return line;
}

std::string earlierQsoLine(const EarlierQso& qso) {
    return qso.date + " " + qso.time + "  " + padRight(qso.band, 7) + " " + padRight(qso.mode, 3) +
           " " + std::string(1, qso.qslMark);
}

namespace {

// Text of the data files kept plain ASCII, so that a line stays UTF-8.
std::string asciiOnly(std::string_view text) {
    std::string plain;
    for (char c : text) plain += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    return plain;
}

std::string sunText(const geo::SunTimes& t) {
    if (t.polarDay) return std::string(msg::kPolarDay);
    if (t.polarNight) return std::string(msg::kPolarNight);
    return geo::minutesText(*t.sunrise) + std::string(msg::kSunUntil) + geo::minutesText(*t.sunset);
}

// "HH:MM" at a place `offsetHours` from UTC.
std::string localTimeText(const DateTimeParts& utc, double offsetHours) {
    constexpr long kDay = 24 * 3600;
    const long seconds =
        utc.hour * 3600L + utc.minute * 60L + utc.second + std::lround(offsetHours * 3600);
    const long inDay = ((seconds % kDay) + kDay) % kDay;
    return geo::minutesText(static_cast<int>(inDay / 60));
}

}  // namespace

std::vector<std::string> entityPlaceLines(const EntityInfo* entity,
                                          const std::optional<geo::LatLon>& station,
                                          const DateTimeParts& utcNow) {
    std::vector<std::string> lines;
    if (const std::optional<EntityBearing> b = entityBearing(station, entity))
        lines.push_back(std::string(msg::kHeadingLead) + std::to_string(b->shortPath) +
                        std::string(msg::kLongPathLead) + std::to_string(b->longPath) +
                        std::string(msg::kDistanceLead) + std::to_string(b->km) +
                        std::string(msg::kDistanceEnd));
    if (!entity) return lines;
    lines.push_back(asciiOnly(entity->continent) + std::string(msg::kCqZoneLead) +
                    std::to_string(entity->cqZone) + std::string(msg::kItuZoneLead) +
                    std::to_string(entity->ituZone) + std::string(msg::kLocalTimeLead) +
                    localTimeText(utcNow, entity->utcOffsetHours));
    std::string sun =
        std::string(msg::kSunThere) + sunText(geo::sunTimes({entity->latitude, entity->longitude},
                                                            utcNow.year, utcNow.month, utcNow.day));
    if (station)
        sun += std::string(msg::kSunHere) +
               sunText(geo::sunTimes(*station, utcNow.year, utcNow.month, utcNow.day));
    lines.push_back(std::move(sun));
    return lines;
}

}  // namespace dxcc
