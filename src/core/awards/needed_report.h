#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/awards/needed_index.h"
#include "core/base/dates.h"
#include "core/geo/locator.h"
#include "core/prefixes/entity_data.h"

namespace dxcc {

// The status-line text of a verdict (UTF-8).
std::string_view neededVerdictText(NeededVerdict verdict);

// The band label of the log for a band given on the command line: an ADIF
// band name ("20M", "70cm") or a frequency in MHz ("14.074"); a label of the
// entry list ("14 Mhz") is taken too. Empty when none.
std::string bandLabelOfArgument(std::string_view argument);
// The class of a mode given on the command line: an ADIF mode ("RTTY",
// "FT8", "USB") or a logged code ("RTT", "SAT"); None when unknown.
ModeClass modeClassOfArgument(std::string_view argument);

// Heading and distance from the station to an entity, rounded for display.
struct EntityBearing {
    int shortPath = 0;  // degrees
    int longPath = 0;   // degrees
    long km = 0;
};
// None without a station position or without the entity's.
std::optional<EntityBearing> entityBearing(const std::optional<geo::LatLon>& station,
                                           const EntityInfo* entity);

// The one line of "needed": callsign, DXCC prefix, entity name, entity, band
// and mode status, short-path heading and distance (empty without a bearing),
// tab-separated. Texts as given (the log's Windows-1252).
std::string neededLine(std::string_view callsign, std::string_view dxccPrefix,
                       std::string_view entityName, Need entity, Need band, Need mode,
                       const std::optional<EntityBearing>& bearing);

// Which entities the DXCC table lists.
enum class NeededGridRows {
    All,     // every entity of the entity data, and every entity worked it lacks
    Worked,  // the entities worked only
};

// The DXCC table: the heading line ("Préfixe", "Contrée", "Mixed", the four
// classes, the band window's bands without trailing blanks), then one line per
// entity, in the order of the DXCC table window (by prefix): prefix, name (as
// the log names a worked entity, else as the entity data does), a cell per
// column (C, W or -). Tab-separated, without line ends; the heading in UTF-8,
// the entity lines in Windows-1252.
std::vector<std::string> neededGridLines(const NeededIndex& index, const EntityData& entityData,
                                         NeededGridRows which);

// One earlier QSO with a callsign, for the entry form.
struct EarlierQso {
    std::string date;  // JJ/MM/AA
    std::string time;
    std::string band;  // trimmed
    std::string mode;  // trimmed
    char qslMark = ' ';
    size_t row = 0;
};
// The rows of the QSOs with exactly this callsign (blanks trimmed), the
// latest first (by date and time, the later line first among equals; those
// whose date cannot be read last). One pass over the callsign columns.
std::vector<size_t> callsignRows(const Logbook& log, std::string_view callsign);

// The first `limit` of those rows, as the entry form lists them.
std::vector<EarlierQso> earlierQsos(const Logbook& log, std::span<const size_t> rows, size_t limit);

// The date (as logged, JJ/MM/AA) of the first of `rows` (latest first) on
// `band` in `mode`: the same band label (blanks trimmed) and a logged mode of
// the same class (phone, CW, digital, satellite: the form's "SSB" takes a
// logged "USB", its "DIG" an imported "FT8"), or the same text for a mode of
// no class. Nothing when there is none.
std::optional<std::string> lastWorkedOnBandAndMode(const Logbook& log, std::span<const size_t> rows,
                                                   std::string_view band, std::string_view mode);

// The entry panel's line for that date: "Déjà contacté sur cette bande et ce
// mode : le 12/03/24" (UTF-8, the date as given); empty without a date.
std::string workedOnBandAndModeLine(const std::optional<std::string>& date);

// The entry panel's line of an earlier QSO: "12/03/24 10:05  14 Mhz  SSB *"
// (Windows-1252, the band and mode as logged).
std::string earlierQsoLine(const EarlierQso& qso);

// The entry panel's lines of where the entity lies (UTF-8), each when it can
// be said: the heading and distance from the station ("Cap 45° (long 225°) ·
// 1234 km"); the continent, zones and local time at `utcNow` ("EU · CQ 14 ·
// ITU 27 · heure locale 13:05"); sunrise and sunset there, and here with the
// station's position, on the day of `utcNow`.
std::vector<std::string> entityPlaceLines(const EntityInfo* entity,
                                          const std::optional<geo::LatLon>& station,
                                          const DateTimeParts& utcNow);

}  // namespace dxcc
