#include "adif/adif_mapping.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "adif/adif_text.h"
#include "adif/band_table.h"
#include "logbook/dates.h"
#include "prefixes/prefix_table.h"

namespace dxcc::adif {

namespace {

struct Wanted {
    std::string_view name;
    std::string_view AdifQsoValues::*value;
};
constexpr std::array<Wanted, 11> kWanted{{
    {"CALL", &AdifQsoValues::callsign},
    {"NAME", &AdifQsoValues::name},
    {"QSO_DATE", &AdifQsoValues::date},
    {"TIME_ON", &AdifQsoValues::time},
    {"MODE", &AdifQsoValues::mode},
    {"BAND", &AdifQsoValues::band},
    {"FREQ", &AdifQsoValues::frequency},
    {"RST_RCVD", &AdifQsoValues::rstReceived},
    {"RST_SENT", &AdifQsoValues::rstSent},
    {"QSL_RCVD", &AdifQsoValues::qslReceived},
    {"LOTW_QSL_RCVD", &AdifQsoValues::lotwQslReceived},
}};

// A field name of up to 16 characters folded to upper case and packed with its
// length, so that a wanted name is recognised by comparing three words. Folding
// clears bit 5 of every byte: exact for names of letters and "_" like the wanted
// ones, since no other character that a name may hold folds onto those.
struct NameKey {
    uint64_t head = 0;
    uint64_t tail = 0;
    size_t size = 0;
    bool operator==(const NameKey&) const = default;
};
constexpr size_t kLongestKey = 16;

constexpr uint64_t kFoldMask = 0xDFDFDFDFDFDFDFDFull;

constexpr NameKey keyOf(std::string_view name) {
    NameKey key{0, 0, name.size()};
    for (size_t i = 0; i < name.size() && i < kLongestKey; ++i) {
        const uint64_t byte = static_cast<unsigned char>(name[i]);
        (i < 8 ? key.head : key.tail) |= byte << (8 * (i % 8));
    }
    key.head &= kFoldMask;
    key.tail &= kFoldMask;
    return key;
}

static_assert(std::endian::native == std::endian::little, "field keys are read little-endian");

// keyOf for a name read from a file; the lengths of the wanted names are copied
// with constant sizes, which compile to plain loads.
NameKey fieldKey(std::string_view name) {
    NameKey key{0, 0, name.size()};
    const char* p = name.data();
    switch (name.size()) {
        case 4:
            std::memcpy(&key.head, p, 4);
            break;
        case 7:
            std::memcpy(&key.head, p, 7);
            break;
        case 8:
            std::memcpy(&key.head, p, 8);
            break;
        case 13:
            std::memcpy(&key.head, p, 8);
            std::memcpy(&key.tail, p + 8, 5);
            break;
        default:
            return keyOf(name);
    }
    key.head &= kFoldMask;
    key.tail &= kFoldMask;
    return key;
}

constexpr std::array<NameKey, kWanted.size()> makeWantedKeys() {
    std::array<NameKey, kWanted.size()> keys{};
    for (size_t i = 0; i < kWanted.size(); ++i) keys[i] = keyOf(kWanted[i].name);
    return keys;
}
constexpr std::array<NameKey, kWanted.size()> kWantedKeys = makeWantedKeys();

// The lengths of the wanted names, one bit each: most fields are passed over
// on their length alone.
constexpr uint64_t makeWantedLengths() {
    uint64_t bits = 0;
    for (const Wanted& w : kWanted) bits |= uint64_t{1} << w.name.size();
    return bits;
}
constexpr uint64_t kWantedLengths = makeWantedLengths();

// Index in kWanted of the field's name, or kWanted.size().
size_t wantedIndex(std::string_view name) {
    if (name.size() > kLongestKey || ((kWantedLengths >> name.size()) & 1) == 0)
        return kWanted.size();
    const NameKey key = fieldKey(name);
    for (size_t i = 0; i < kWantedKeys.size(); ++i)
        if (kWantedKeys[i] == key) return i;
    return kWanted.size();
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// A value converted to the log's text on the stack: its first `Width`
// characters, and whether they are the whole value.
template <size_t Width>
class Converted {
public:
    explicit Converted(std::string_view value) : text_(logTextCut(value, bytes_.data(), Width)) {}
    std::string_view first() const { return {bytes_.data(), text_.size}; }
    // Empty when the value is longer than `Width`: too long to be what is sought.
    std::string_view whole() const { return text_.cut ? std::string_view() : first(); }

private:
    std::array<char, Width> bytes_;
    CutText text_;
};

// Long enough for any date, time, band, frequency or QSL value that means something.
constexpr size_t kShortValue = 32;

// The first `width` characters of `value`, or `substitute` when it is empty.
template <size_t Width>
void cutOr(std::string& out, std::string_view value, std::string_view substitute) {
    const Converted<Width> text(value);
    out.assign(text.first().empty() ? substitute : text.first());
}

bool isYes(std::string_view value) {
    return Converted<kShortValue>(value).whole() == "Y";
}

// YYYYMMDD into `out` as JJ/MM/AA; false when it is no date.
bool writeLogDate(std::string_view qsoDate, std::string& out) {
    const Converted<kShortValue> text(qsoDate);
    const std::string_view d = text.whole();
    if (d.size() != 8 || !allDigits(d)) return false;
    const char date[kDateWidth] = {d[6], d[7], '/', d[4], d[5], '/', d[2], d[3]};
    out.assign(date, kDateWidth);
    return checkDate(out) == 0;
}

// HHMM or HHMMSS into `out` as HH:MM; false when it is no time.
bool writeLogTime(std::string_view timeOn, std::string& out) {
    const Converted<kShortValue> text(timeOn);
    const std::string_view t = text.whole();
    if ((t.size() != 4 && t.size() != 6) || !allDigits(t)) return false;
    const char time[kTimeWidth] = {t[0], t[1], ':', t[2], t[3]};
    out.assign(time, kTimeWidth);
    return checkTime(out) == 0;
}

}  // namespace

AdifQsoValues importedValues(const std::vector<Field>& fields) {
    AdifQsoValues values;
    std::array<bool, kWanted.size()> taken{};
    for (const Field& f : fields) {
        const size_t i = wantedIndex(f.name);
        if (i == kWanted.size() || taken[i]) continue;
        taken[i] = true;
        values.*kWanted[i].value = f.value;
    }
    return values;
}

std::string logDate(std::string_view qsoDate) {
    std::string date;
    return writeLogDate(qsoDate, date) ? date : std::string();
}

std::string logTime(std::string_view timeOn) {
    std::string time;
    return writeLogTime(timeOn, time) ? time : std::string();
}

std::string logBand(std::string_view band, std::string_view frequency) {
    const Converted<kShortValue> bandText(band);
    if (const std::string_view found = bandForBandValue(bandText.whole()); !found.empty())
        return std::string(found);
    const Converted<kShortValue> frequencyText(frequency);
    return std::string(bandForFrequency(frequencyText.whole()));
}

void mapQso(const AdifQsoValues& v, const PrefixTable& prefixes, MappedQso& q) {
    QsoFields& f = q.fields;
    q.notices = {};
    auto notice = [&](Notice n) { q.notices[static_cast<size_t>(n)] = true; };

    if (!writeLogDate(v.date, f.date)) {
        notice(Notice::DateMissing);
        f.date = kDateSubstitute;
    }
    if (!writeLogTime(v.time, f.time)) {
        notice(Notice::TimeMissing);
        f.time = kTimeSubstitute;
    }
    cutOr<kCallsignWidth>(f.callsign, v.callsign, {});
    if (f.callsign.empty()) {
        notice(Notice::CallsignMissing);
        f.callsign = kCallsignSubstitute;
    }
    cutOr<kModeWidth>(f.mode, v.mode, kModeSubstitute);
    cutOr<kRstWidth>(f.rstSent, v.rstSent, kReportSubstitute);
    cutOr<kRstWidth>(f.rstReceived, v.rstReceived, kReportSubstitute);
    f.band = logBand(v.band, v.frequency);
    if (f.band.empty()) {
        notice(Notice::BandMissing);
        f.band = kBandSubstitute;
    }
    cutOr<kFirstNameWidth>(f.firstName, v.name, {});
    f.qslMark = isYes(v.qslReceived) || isYes(v.lotwQslReceived) ? '*' : ' ';

    const PrefixEntry* entry = prefixes.match(f.callsign);
    f.dxccPrefix.assign(entry ? std::string_view(entry->dxccPrefix).substr(0, kDxccPrefixWidth)
                              : std::string_view());
    f.entityName.assign(entry ? std::string_view(entry->entityName).substr(0, kEntityNameWidth)
                              : std::string_view());
}

MappedQso mapQso(const AdifQsoValues& values, const PrefixTable& prefixes) {
    MappedQso q;
    mapQso(values, prefixes, q);
    return q;
}

}  // namespace dxcc::adif
