#include "core/cluster/spot_classifier.h"

#include <algorithm>
#include <cstdio>

#include "core/base/text_utils.h"
#include "core/cluster/cluster_messages.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/band_table.h"

namespace dxcc::cluster {

namespace {

// The IARU Region 1 HF and VHF/UHF band plans, in kHz: each segment from its
// lower edge (included) to its upper edge (excluded). The all-mode parts of
// the phone segments count as phone, beacons and satellites as none.
struct Segment {
    double from;
    double to;
    ModeClass modeClass;
};
constexpr Segment kBandPlan[] = {
    {1810, 1838, ModeClass::Cw},          {1838, 1843, ModeClass::Digital},
    {1843, 2000, ModeClass::Phone},       {3500, 3570, ModeClass::Cw},
    {3570, 3600, ModeClass::Digital},     {3600, 4000, ModeClass::Phone},
    {5351.5, 5354, ModeClass::Cw},        {5354, 5366, ModeClass::Phone},
    {5366, 5366.5, ModeClass::Digital},   {7000, 7040, ModeClass::Cw},
    {7040, 7050, ModeClass::Digital},     {7050, 7300, ModeClass::Phone},
    {10100, 10130, ModeClass::Cw},        {10130, 10150, ModeClass::Digital},
    {14000, 14070, ModeClass::Cw},        {14070, 14099, ModeClass::Digital},
    {14101, 14112, ModeClass::Digital},   {14112, 14350, ModeClass::Phone},
    {18068, 18095, ModeClass::Cw},        {18095, 18109, ModeClass::Digital},
    {18111, 18168, ModeClass::Phone},     {21000, 21070, ModeClass::Cw},
    {21070, 21149, ModeClass::Digital},   {21151, 21450, ModeClass::Phone},
    {24890, 24915, ModeClass::Cw},        {24915, 24929, ModeClass::Digital},
    {24931, 24990, ModeClass::Phone},     {28000, 28070, ModeClass::Cw},
    {28070, 28190, ModeClass::Digital},   {28225, 29300, ModeClass::Phone},
    {29520, 29700, ModeClass::Phone},     {50000, 50100, ModeClass::Cw},
    {50100, 50300, ModeClass::Phone},     {50300, 50400, ModeClass::Digital},
    {50500, 52000, ModeClass::Phone},     {144000, 144110, ModeClass::Cw},
    {144110, 144150, ModeClass::Digital}, {144150, 144400, ModeClass::Phone},
    {144500, 146000, ModeClass::Phone},   {432000, 432100, ModeClass::Cw},
    {432100, 432400, ModeClass::Phone},   {432500, 433600, ModeClass::Phone},
};

bool isWordChar(char c) {
    return isAsciiLetter(c) || isAsciiDigit(c);
}

}  // namespace

CommentMode modeOfComment(std::string_view comment) {
    size_t i = 0;
    while (i < comment.size()) {
        while (i < comment.size() && !isWordChar(comment[i])) ++i;
        const size_t begin = i;
        while (i < comment.size() && isWordChar(comment[i])) ++i;
        if (i > begin) {
            const CommentMode named = modeOfCommentWord(comment.substr(begin, i - begin));
            if (named.modeClass != ModeClass::None) return named;
        }
    }
    return {};
}

ModeClass modeClassOfFrequency(double kilohertz) {
    for (const Segment& s : kBandPlan)
        if (kilohertz >= s.from && kilohertz < s.to) return s.modeClass;
    return ModeClass::None;
}

bool ClassifiedSpot::needed() const {
    return anyNeverWorked(entityNeed, bandNeed, modeNeed);
}

ClassifiedSpot classifySpot(Spot spot, const PrefixTable& prefixes, const NeededLookup& needed) {
    ClassifiedSpot out;
    if (const PrefixEntry* entry = prefixes.match(spot.dx)) {
        out.dxccPrefix = entry->dxccPrefix;
        out.entityName = std::string(trimBlanks(entry->entityName));
    }
    char megahertz[32];
    std::snprintf(megahertz, sizeof megahertz, "%.6f", spot.kilohertz / 1000.0);
    out.band = std::string(adif::bandForFrequency(megahertz));
    const CommentMode named = modeOfComment(spot.comment);
    out.namedMode = std::string(named.word);
    out.modeClass = named.modeClass;
    if (out.modeClass == ModeClass::None) out.modeClass = modeClassOfFrequency(spot.kilohertz);
    out.spot = std::move(spot);
    if (out.dxccPrefix.empty()) return out;

    out.entityNeed = needed.entity(out.dxccPrefix);
    if (!out.band.empty()) out.bandNeed = needed.band(out.dxccPrefix, out.band);
    if (out.modeClass != ModeClass::None) out.modeNeed = needed.mode(out.dxccPrefix, out.modeClass);
    out.colour = needColourOf(neededVerdict(*out.entityNeed, out.bandNeed, out.modeNeed));
    return out;
}

std::string_view spotClassText(ModeClass modeClass) {
    return modeClass == ModeClass::Digital ? messages::kDigitalClass : modeClassText(modeClass);
}

std::string spotModeText(const ClassifiedSpot& spot) {
    std::string text(spotClassText(spot.modeClass));
    if (spot.namedMode.empty() || spot.namedMode == text) return text;
    return text + " (" + spot.namedMode + ')';
}

std::string_view needText(const std::optional<Need>& need) {
    return need ? needLetter(*need) : std::string_view();
}

std::string spotReportLine(const ClassifiedSpot& s) {
    std::string line;
    const auto field = [&line](std::string_view text) {
        if (!line.empty()) line += '\t';
        line += text;
    };
    field(s.spot.time);
    line += '\t';
    line += s.spot.frequencyText;
    field(s.spot.dx);
    field(trimBlanks(s.band));
    field(modeClassText(s.modeClass));
    field(s.dxccPrefix);
    field(s.entityName);
    field(needText(s.entityNeed));
    field(needText(s.bandNeed));
    field(needText(s.modeNeed));
    return line;
}

bool SpotFilter::accepts(const ClassifiedSpot& spot) const {
    if (neededOnly && !spot.needed()) return false;
    if (!bands.empty()) {
        if (spot.band.empty()) return false;
        const std::string key = '|' + spot.band + '|';
        if (bands.find(key) == std::string::npos) return false;
    }
    if (classes != 0 && !(classes & (1u << static_cast<unsigned>(spot.modeClass)))) return false;
    return true;
}

uint64_t SpotList::keyOf(std::string_view dx, std::string_view band) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (std::string_view part : {dx, std::string_view("|"), band})
        for (char c : part) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

std::optional<size_t> SpotList::sameSpotRow(std::string_view dx, std::string_view band,
                                            int64_t at) const {
    const uint64_t key = keyOf(dx, band);
    if (!keys_.contains(key)) return std::nullopt;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        if (at - row.lastSeen > kSameSpotSeconds) break;  // the rows below are older still
        if (row.key == key && row.spot.spot.dx == dx && row.spot.band == band) return i;
    }
    return std::nullopt;
}

void SpotList::reclassify(const PrefixTable& prefixes, const NeededLookup& needed) {
    // The band comes from the frequency, so a row's key stays right.
    for (Row& row : rows_) row.spot = classifySpot(std::move(row.spot.spot), prefixes, needed);
}

SpotList::Added SpotList::add(ClassifiedSpot spot, int64_t receivedAt) {
    Added added;
    if (auto same = sameSpotRow(spot.spot.dx, spot.band, receivedAt)) {
        // The row moves to the top, which keeps the list in the order of the
        // last sighting (and the search above short).
        const auto at = rows_.begin() + static_cast<std::ptrdiff_t>(*same);
        forget(at->key);
        rows_.erase(at);
        added.updated = true;
        added.row = *same;
    }
    const uint64_t key = keyOf(spot.spot.dx, spot.band);
    rows_.push_front({std::move(spot), receivedAt, key});
    ++keys_[key];
    if (rows_.size() > capacity_) {
        dropOldest();
        added.dropped = true;
    }
    return added;
}

SpotList::BatchPlan SpotList::planBatch(const std::vector<ClassifiedSpot>& spots,
                                        int64_t receivedAt) const {
    BatchPlan plan;
    plan.newRow.assign(spots.size(), false);
    std::vector<bool> goes(rows_.size(), false);
    std::vector<bool> superseded(spots.size(), false);  // seen again later in the batch
    std::unordered_map<uint64_t, size_t> latest;        // key -> the batch's latest spot of it
    for (size_t i = 0; i < spots.size(); ++i) {
        const ClassifiedSpot& s = spots[i];
        const uint64_t key = keyOf(s.spot.dx, s.band);
        const auto seen = latest.find(key);
        if (seen != latest.end() && spots[seen->second].spot.dx == s.spot.dx &&
            spots[seen->second].band == s.band) {
            superseded[seen->second] = true;
        } else if (const auto row = sameSpotRow(s.spot.dx, s.band, receivedAt);
                   row && !goes[*row]) {
            goes[*row] = true;
        } else {
            plan.newRow[i] = true;
        }
        latest[key] = i;
    }
    for (size_t i = spots.size(); i-- > 0;)
        if (!superseded[i]) plan.top.push_back(i);
    if (plan.top.size() > capacity_) {
        for (size_t k = capacity_; k < plan.top.size(); ++k) plan.newRow[plan.top[k]] = false;
        plan.top.resize(capacity_);
    }
    // The oldest rows that stay make room for the new ones.
    size_t staying = size_t(std::count(goes.begin(), goes.end(), false));
    for (size_t row = rows_.size(); row-- > 0 && staying + plan.top.size() > capacity_;) {
        if (goes[row]) continue;
        goes[row] = true;
        --staying;
    }
    for (size_t row = 0; row < rows_.size(); ++row)
        if (goes[row]) plan.removed.push_back(row);
    return plan;
}

std::vector<std::pair<size_t, size_t>> SpotList::BatchPlan::removedRuns() const {
    std::vector<std::pair<size_t, size_t>> runs;
    for (size_t end = removed.size(); end > 0;) {
        size_t begin = end - 1;
        while (begin > 0 && removed[begin - 1] + 1 == removed[begin]) --begin;
        runs.emplace_back(removed[begin], end - begin);
        end = begin;
    }
    return runs;
}

void SpotList::removeRows(size_t first, size_t count) {
    const auto begin = rows_.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = begin + static_cast<std::ptrdiff_t>(count);
    for (auto it = begin; it != end; ++it) forget(it->key);
    rows_.erase(begin, end);
}

void SpotList::addOnTop(std::vector<ClassifiedSpot> newestFirst, int64_t receivedAt) {
    for (size_t i = newestFirst.size(); i-- > 0;) {
        const uint64_t key = keyOf(newestFirst[i].spot.dx, newestFirst[i].band);
        rows_.push_front({std::move(newestFirst[i]), receivedAt, key});
        ++keys_[key];
    }
}

void SpotList::dropOldest() {
    if (rows_.empty()) return;
    forget(rows_.back().key);
    rows_.pop_back();
}

void SpotList::forget(uint64_t key) {
    const auto it = keys_.find(key);
    if (it != keys_.end() && --it->second == 0) keys_.erase(it);
}

}  // namespace dxcc::cluster
