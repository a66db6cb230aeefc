#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/awards/sticker_tables.h"
#include "core/record/mode_table.h"

namespace dxcc {

class Logbook;

// Which QSOs an award counts: all, those with a "*" QSL mark only.
enum class Basis { Confirmed, Contacted };

// The family an award belongs to. Each family has a window of its own; the
// mode and band families have several awards, which their window's selector
// offers.
enum class AwardFamily { Mixed, Mode, Band, FiveBand, Satellite };

// Which QSOs with a DXCC prefix an award looks at.
struct AwardFilter {
    enum class Kind { Every, Mode, Band, Satellite };
    Kind kind = Kind::Every;
    ModeClass modeClass = ModeClass::None;  // Mode: the logged mode's class
    std::string_view band;                  // Band: the band label, blanks trimmed
};

// One award: what it counts and how its window words the result.
struct AwardDefinition {
    AwardFamily family;
    // The award's name for the command line and the look-up: "Mixed", "SSB",
    // "CW", "RTTY", a band label with blanks trimmed, "5 bandes", "Satellite".
    std::string name;
    // {A} of the wording and the selector item: "SSB", "14 Mhz " (blanks kept).
    std::string shownName;
    // Second line of the splash window while the award is evaluated (UTF-8).
    std::string splashText;
    AwardFilter filter;
    // Grading in the confirmed basis; null for the 5-band award.
    const StickerTable* table = nullptr;
    const ConfirmedWording* wording = nullptr;
    // Status line template in the contacted basis.
    std::string_view contactedWording;
};

// Whether an award with `filter` looks at the record (its mode or band; the
// DXCC prefix and the QSL mark are not looked at).
bool awardAccepts(const AwardFilter& filter, std::string_view record);

// Every award, in the order Mixed, SSB, CW, RTTY, the eleven bands of the band
// window ("1.8 Mhz" to "144 Mhz"), 5 bandes, Satellite.
std::span<const AwardDefinition> allAwards();

// The award of that name (blanks around `name` ignored, so a selector's text
// "14 Mhz " finds "14 Mhz"); null when there is none.
const AwardDefinition* findAward(std::string_view name);

// The awards of a family, in its window's selector order (one for the
// families without a selector).
std::vector<const AwardDefinition*> awardsOfFamily(AwardFamily family);

struct AwardResult {
    // The lines of the visible list, in order (Windows-1252, like the log): per
    // entity, its ordinal right-aligned in six columns, a blank, then the
    // display line of its representative QSO from the callsign on. The 5-band
    // award gives five sections, each closed by an empty line.
    std::vector<std::string> lines;
    // Distinct entities counted (5-band: over the five sections).
    size_t count = 0;
    // Entities per section: one section, or the five bands of the 5-band award.
    std::vector<size_t> sectionCounts;
    // The status line and the missing line (UTF-8).
    std::string label1;
    std::string label4;
};

// Evaluates an award over the log in memory. An entity is one exact trimmed
// DXCC prefix (case counts); a QSO without one is never counted. Entities come
// in ascending case-insensitive order of prefix (case-distinct prefixes by
// their bytes), each shown with its first QSO in the list order of the whole
// line. The 5-band award always counts confirmed QSOs.
AwardResult evaluateAward(const Logbook& log, const AwardDefinition& award, Basis basis);

// The 5-band award's bands and the part of its missing line for each.
struct FiveBandPart {
    std::string_view band;  // band label, blanks trimmed
    std::string_view missing;
};
std::span<const FiveBandPart> fiveBandParts();

// The 5-band labels for the confirmed counts of its five bands, in order.
AwardLabels fiveBandLabels(std::span<const size_t> bandCounts);

// The column headings over the entity lines (UTF-8), each word over its column.
std::string entityListHeading();

}  // namespace dxcc
