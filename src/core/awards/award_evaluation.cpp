#include "core/awards/award_evaluation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "core/base/collation.h"
#include "core/base/program_constants.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"

namespace dxcc {

namespace {

// ---- Wording and the list of awards ----

constexpr std::string_view kMixedName = "Mixed";
constexpr std::string_view kFiveBandName = "5 bandes";
constexpr std::string_view kSatelliteName = "Satellite";

// The bands the band window offers: the entry list without 432 MHz.
constexpr size_t kBandWindowBands = kBand70cm;
// Bands graded with the finer sticker table.
constexpr std::array<std::string_view, 4> kTable125Bands{bandName(kBand160m), bandName(kBand80m),
                                                         bandName(kBand6m), bandName(kBand2m)};

constexpr std::array<FiveBandPart, 5> kFiveBand{{
    {bandName(kBand80m), " QSL sur 3.5 Mhz "},
    {bandName(kBand40m), " QSL sur 7 Mhz "},
    {bandName(kBand20m), " QSL sur 14 Mhz "},
    {bandName(kBand15m), " QSL sur 21 Mhz "},
    {bandName(kBand10m), " QSL sur 28 Mhz"},
}};
constexpr size_t kFiveBandAward = 100;

struct FiveBandWording {
    std::string_view award;
    std::string_view notYet;
    std::string_view missingLead;
};
constexpr FiveBandWording kFiveBandWording{
    "Bravo vous pouvez obtenir le diplôme DXCC 5 bandes",
    "Vous ne pouvez pas encore obtenir le diplôme DXCC 5 bandes",
    "Il manque ",
};

AwardDefinition modeAward(ModeClass modeClass) {
    const std::string text(modeClassText(modeClass));
    return AwardDefinition{AwardFamily::Mode,
                           text,
                           text,
                           "diplôme DXCC Mode " + text,
                           {AwardFilter::Kind::Mode, modeClass, {}},
                           &kStickerTable150,
                           &kSelectorWording,
                           kContacted};
}

AwardDefinition bandAward(std::string_view label) {
    const std::string_view band = trimBlanks(label);
    const bool fine =
        std::find(kTable125Bands.begin(), kTable125Bands.end(), band) != kTable125Bands.end();
    return AwardDefinition{AwardFamily::Band,
                           std::string(band),
                           std::string(label),
                           "diplôme DXCC bande " + std::string(label),
                           {AwardFilter::Kind::Band, ModeClass::None, band},
                           fine ? &kStickerTable125 : &kStickerTable150,
                           fine ? &kAwardNameWording : &kSelectorWording,
                           kContacted};
}

std::vector<AwardDefinition> buildAwards() {
    std::vector<AwardDefinition> awards;
    awards.push_back(AwardDefinition{AwardFamily::Mixed,
                                     std::string(kMixedName),
                                     std::string(kMixedName),
                                     "diplôme DXCC Mixed",
                                     {},
                                     &kStickerTable150,
                                     &kMixedWording,
                                     kContactedWithComma});
    for (ModeClass m : {ModeClass::Phone, ModeClass::Cw, ModeClass::Digital})
        awards.push_back(modeAward(m));
    for (size_t i = 0; i < kBandWindowBands; ++i) awards.push_back(bandAward(kBands[i]));
    awards.push_back(AwardDefinition{AwardFamily::FiveBand,
                                     std::string(kFiveBandName),
                                     std::string(kFiveBandName),
                                     "diplôme DXCC 5 bandes ",
                                     {},
                                     nullptr,
                                     nullptr,
                                     {}});
    awards.push_back(AwardDefinition{AwardFamily::Satellite,
                                     std::string(kSatelliteName),
                                     std::string(kSatelliteName),
                                     "diplôme DXCC Satellite",
                                     {AwardFilter::Kind::Satellite, ModeClass::None, {}},
                                     &kStickerTable125,
                                     &kAwardNameWording,
                                     kContactedWithComma});
    return awards;
}

// ---- The evaluation pass ----

// The record columns that are separators (0-based). The display line has blanks
// there whatever the record holds, so the list order ignores them.
constexpr std::array<bool, kRecordLength> separatorColumns() {
    std::array<bool, kRecordLength> sep{};
    // The blank column before each field but the first.
    for (size_t i = 1; i < kRecordFieldOffsets.size(); ++i) sep[kRecordFieldOffsets[i] - 1] = true;
    return sep;
}
constexpr std::array<bool, kRecordLength> kSeparator = separatorColumns();

// Byte `c` of the record as its display line shows it.
inline unsigned char shownByte(std::string_view record, size_t c) {
    return kSeparator[c] || c >= record.size() ? ' ' : static_cast<unsigned char>(record[c]);
}

// Order of two QSOs of one entity as their display lines sort from the
// callsign on: case-insensitive first, then the exact bytes. Comparing the
// record's columns gives the same order, since the display line holds the same
// fields at the same distances.
bool listedBefore(std::string_view a, std::string_view b) {
    for (size_t c = 0; c < kRecordLength; ++c) {
        const int d = collationWeight(shownByte(a, c)) - collationWeight(shownByte(b, c));
        if (d != 0) return d < 0;
    }
    for (size_t c = 0; c < kRecordLength; ++c) {
        const int d = shownByte(a, c) - shownByte(b, c);
        if (d != 0) return d < 0;
    }
    return false;
}

// The trimmed DXCC prefix padded with blanks to six bytes, packed in one word
// with a marker bit (a prefix may hold NUL bytes); 0 when the prefix is empty.
constexpr uint64_t kKeyInUse = uint64_t{1} << 63;

uint64_t entityKey(std::string_view record) {
    const std::string_view prefix = trimBlanks(recordField(record, Field::DxccPrefix));
    if (prefix.empty()) return 0;
    uint64_t key = kKeyInUse;
    for (size_t i = 0; i < kDxccPrefixWidth; ++i) {
        const unsigned char byte = i < prefix.size() ? static_cast<unsigned char>(prefix[i]) : ' ';
        key |= uint64_t{byte} << (8 * i);
    }
    return key;
}

std::string keyText(uint64_t key) {
    std::string text(kDxccPrefixWidth, ' ');
    for (size_t i = 0; i < kDxccPrefixWidth; ++i)
        text[i] = static_cast<char>((key >> (8 * i)) & 0xFF);
    return text;
}

struct Entity {
    uint64_t key;
    size_t record;  // index of the QSO that represents it
};

// The entities met so far, found by key through an open-addressing index that
// stays at most half full.
class EntityIndex {
public:
    EntityIndex() { slots_.assign(kInitialSlots, 0); }

    // The entity of `key`, or null after adding it with `record`.
    Entity* findOrAdd(uint64_t key, size_t record) {
        const size_t mask = slots_.size() - 1;
        for (size_t s = home(key);; s = (s + 1) & mask) {
            const uint32_t slot = slots_[s];
            if (slot == 0) {
                entities_.push_back(Entity{key, record});
                slots_[s] = static_cast<uint32_t>(entities_.size());
                if (entities_.size() * 2 > slots_.size()) grow();
                return nullptr;
            }
            if (entities_[slot - 1].key == key) return &entities_[slot - 1];
        }
    }

    std::vector<Entity>& entities() { return entities_; }

private:
    static constexpr size_t kInitialSlots = 1024;

    size_t home(uint64_t key) const {
        const unsigned shift = 64 - static_cast<unsigned>(std::countr_zero(slots_.size()));
        return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> shift);
    }

    void grow() {
        slots_.assign(slots_.size() * 2, 0);
        const size_t mask = slots_.size() - 1;
        for (size_t i = 0; i < entities_.size(); ++i) {
            size_t s = home(entities_[i].key);
            while (slots_[s] != 0) s = (s + 1) & mask;
            slots_[s] = static_cast<uint32_t>(i + 1);
        }
    }

    std::vector<uint32_t> slots_;  // entity number + 1; 0 for a free slot
    std::vector<Entity> entities_;
};

// One pass over the log: the entities of the QSOs that `accepts` takes, each
// with its representative QSO, in list order.
template <class Accepts>
std::vector<Entity> collectEntities(const Logbook& log, Basis basis, Accepts accepts) {
    EntityIndex index;
    const bool confirmedOnly = basis == Basis::Confirmed;
    const size_t size = log.size();
    for (size_t i = 0; i < size; ++i) {
        const std::string_view record = log.record(i);
        if (confirmedOnly && !recordConfirmed(record)) continue;
        if (!accepts(record)) continue;
        const uint64_t key = entityKey(record);
        if (key == 0) continue;
        Entity* known = index.findOrAdd(key, i);
        if (known && listedBefore(record, log.record(known->record))) known->record = i;
    }
    std::vector<Entity>& entities = index.entities();
    std::sort(entities.begin(), entities.end(), [](const Entity& a, const Entity& b) {
        return collate(keyText(a.key), keyText(b.key)) < 0;
    });
    return std::move(entities);
}

bool isSatellite(std::string_view record) {
    return isSatelliteMode(recordField(record, Field::Mode));
}

}  // namespace

bool awardAccepts(const AwardFilter& filter, std::string_view r) {
    switch (filter.kind) {
        case AwardFilter::Kind::Mode:
            return modeClassOf(recordField(r, Field::Mode)) == filter.modeClass;
        case AwardFilter::Kind::Band:
            return trimBlanks(recordField(r, Field::Band)) == filter.band;
        case AwardFilter::Kind::Satellite:
            return isSatellite(r);
        case AwardFilter::Kind::Every:
            break;
    }
    return true;
}

namespace {

std::vector<Entity> collectEntities(const Logbook& log, Basis basis, const AwardFilter& filter) {
    switch (filter.kind) {
        case AwardFilter::Kind::Mode:
            return collectEntities(log, basis, [cls = filter.modeClass](std::string_view r) {
                return modeClassOf(recordField(r, Field::Mode)) == cls;
            });
        case AwardFilter::Kind::Band:
            return collectEntities(log, basis, [band = filter.band](std::string_view r) {
                return trimBlanks(recordField(r, Field::Band)) == band;
            });
        case AwardFilter::Kind::Satellite:
            return collectEntities(log, basis, isSatellite);
        case AwardFilter::Kind::Every:
            break;
    }
    return collectEntities(log, basis, [](std::string_view) { return true; });
}

// The line of the visible list for entity number `ordinal`.
std::string entityLine(size_t ordinal, std::string_view record) {
    constexpr size_t kCallsignColumn = 9;  // of the display line, 1-based
    std::string line = lineNumberText(ordinal);
    line += ' ';
    line.append(std::string_view(buildDisplayLine(record, 0)).substr(kCallsignColumn - 1));
    return line;
}

// Adds the entity lines of one pass; the number of entities.
size_t appendSection(const Logbook& log, Basis basis, const AwardFilter& filter,
                     std::vector<std::string>& lines) {
    const std::vector<Entity> entities = collectEntities(log, basis, filter);
    lines.reserve(lines.size() + entities.size() + 1);
    for (size_t k = 0; k < entities.size(); ++k)
        lines.push_back(entityLine(k + 1, log.record(entities[k].record)));
    return entities.size();
}

AwardResult evaluateFiveBand(const Logbook& log) {
    AwardResult result;
    for (const FiveBandPart& part : kFiveBand) {
        const AwardFilter filter{AwardFilter::Kind::Band, ModeClass::None, part.band};
        const size_t n = appendSection(log, Basis::Confirmed, filter, result.lines);
        result.lines.emplace_back();
        result.sectionCounts.push_back(n);
        result.count += n;
    }
    AwardLabels labels = fiveBandLabels(result.sectionCounts);
    result.label1 = std::move(labels.label1);
    result.label4 = std::move(labels.label4);
    return result;
}

}  // namespace

std::span<const AwardDefinition> allAwards() {
    static const std::vector<AwardDefinition> awards = buildAwards();
    return awards;
}

const AwardDefinition* findAward(std::string_view name) {
    name = trimBlanks(name);
    for (const AwardDefinition& a : allAwards())
        if (a.name == name) return &a;
    return nullptr;
}

std::vector<const AwardDefinition*> awardsOfFamily(AwardFamily family) {
    std::vector<const AwardDefinition*> awards;
    for (const AwardDefinition& a : allAwards())
        if (a.family == family) awards.push_back(&a);
    return awards;
}

std::span<const FiveBandPart> fiveBandParts() {
    return kFiveBand;
}

AwardLabels fiveBandLabels(std::span<const size_t> bandCounts) {
    const bool earned = std::all_of(bandCounts.begin(), bandCounts.end(),
                                    [](size_t n) { return n >= kFiveBandAward; });
    if (earned) return {std::string(kFiveBandWording.award), {}};
    AwardLabels labels{std::string(kFiveBandWording.notYet),
                       std::string(kFiveBandWording.missingLead)};
    for (size_t i = 0; i < bandCounts.size() && i < kFiveBand.size(); ++i) {
        if (bandCounts[i] >= kFiveBandAward) continue;
        labels.label4 += numberText(static_cast<long long>(kFiveBandAward - bandCounts[i]));
        labels.label4 += kFiveBand[i].missing;
    }
    return labels;
}

std::string entityListHeading() {
    // The entity line is the display line with one blank less before the
    // callsign: every heading after the ordinal stands one column further left
    // than over the main list.
    static constexpr ColumnHeading kHeadings[] = {
        {5, "N°"},    {8, "Indicatif"}, {22, "Prénom"},       {39, "Date"},
        {49, "QTR"},  {56, "Mode"},     {61, "QRG"},          {69, "RstR"},
        {74, "RstE"}, {79, "Préfixe"},  {87, "Contrée DXCC"}, {122, "QSL"},
    };
    return headingLine(kHeadings);
}

AwardResult evaluateAward(const Logbook& log, const AwardDefinition& award, Basis basis) {
    if (award.family == AwardFamily::FiveBand) return evaluateFiveBand(log);
    AwardResult result;
    result.count = appendSection(log, basis, award.filter, result.lines);
    result.sectionCounts.push_back(result.count);
    const long long n = static_cast<long long>(result.count);
    AwardLabels labels = basis == Basis::Confirmed
                             ? confirmedLabels(*award.table, *award.wording, award.shownName, n)
                             : contactedLabels(award.contactedWording, n);
    result.label1 = std::move(labels.label1);
    result.label4 = std::move(labels.label4);
    return result;
}

}  // namespace dxcc
