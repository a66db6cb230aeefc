#include "core/adif/adif_mapping.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/base/dates.h"
#include "core/base/program_constants.h"
#include "core/base/text_conversion.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/band_table.h"
#include "core/record/mode_table.h"

namespace dxcc::adif {

namespace {

struct Wanted {
    std::string_view name;
    std::string_view AdifQsoValues::*value;
};
constexpr std::array<Wanted, 14> kWanted{{
    {"CALL", &AdifQsoValues::callsign},
    {"NAME", &AdifQsoValues::name},
    {"QSO_DATE", &AdifQsoValues::date},
    {"TIME_ON", &AdifQsoValues::time},
    {"MODE", &AdifQsoValues::mode},
    {"SUBMODE", &AdifQsoValues::submode},
    {"PROP_MODE", &AdifQsoValues::propagation},
    {"BAND", &AdifQsoValues::band},
    {"FREQ", &AdifQsoValues::frequency},
    {"RST_RCVD", &AdifQsoValues::rstReceived},
    {"RST_SENT", &AdifQsoValues::rstSent},
    {"QSL_RCVD", &AdifQsoValues::qslReceived},
    {"LOTW_QSL_RCVD", &AdifQsoValues::lotwQslReceived},
    {kModeField, &AdifQsoValues::ownMode},
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

uint64_t load64(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

uint64_t load32(const char* p) {
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// keyOf for a name read from a file; the lengths of the wanted names are read
// with whole-word loads, overlapping where the length is no word's (the bytes
// loaded twice are the same). Copied into the key in memory instead, the
// pieces would be read back as one word, which stalls.
NameKey fieldKey(std::string_view name) {
    NameKey key{0, 0, name.size()};
    const char* p = name.data();
    switch (name.size()) {
        case 4:
            key.head = load32(p);
            break;
        case 7:
            key.head = load32(p) | load32(p + 3) << 24;
            break;
        case 8:
            key.head = load64(p);
            break;
        case 13:
            key.head = load64(p);
            key.tail = load64(p + 5) >> 24;
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

// Index in kWanted of the field's name, or kWanted.size(). A name longer than
// the key is compared whole once its key matches.
size_t wantedIndex(std::string_view name) {
    if (name.size() > 63 || ((kWantedLengths >> name.size()) & 1) == 0) return kWanted.size();
    const NameKey key = fieldKey(name);
    for (size_t i = 0; i < kWantedKeys.size(); ++i)
        if (kWantedKeys[i] == key)
            return name.size() <= kLongestKey || sameName(name, kWanted[i].name) ? i
                                                                                 : kWanted.size();
    return kWanted.size();
}

// A callsign holds no blank inside, no bracket of a tag (the rest of a record
// read past a damaged length) and no character the log's text lacks (another
// alphabet, which would be stored as "?"): such a callsign is refused.
bool plainCallsign(std::string_view value) {
    size_t first = 0, last = value.size();
    while (first < last && (value[first] == ' ' || value[first] == '\t')) ++first;
    while (last > first && (value[last - 1] == ' ' || value[last - 1] == '\t')) --last;
    bool ascii = true;
    size_t questionMarks = 0;
    for (size_t i = first; i < last; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c <= ' ' || c == 0x7F || c == '<' || c == '>') return false;
        ascii &= c < 0x80;
        questionMarks += c == '?';
    }
    if (ascii) return true;
    const std::string text = logText(value.substr(first, last - first));
    return static_cast<size_t>(std::count(text.begin(), text.end(), '?')) == questionMarks;
}

// Bytes that the conversion to the log's text leaves as they are, wherever
// they stand: printable ASCII but small letters and the blank.
constexpr std::array<bool, 256> makeUnchangedBytes() {
    std::array<bool, 256> t{};
    for (unsigned i = 0x21; i < 0x7F; ++i) t[i] = i < 'a' || i > 'z';
    return t;
}
constexpr std::array<bool, 256> kUnchangedBytes = makeUnchangedBytes();

// Whether the value is already the log's text: most values of most files
// (digits, upper-case callsigns and modes) need no conversion at all.
bool alreadyLogText(std::string_view value) {
    bool unchanged = true;
    for (char c : value) unchanged &= kUnchangedBytes[static_cast<unsigned char>(c)];
    return unchanged;
}

// A value converted to the log's text on the stack: its first `Width`
// characters, and whether they are the whole value.
template <size_t Width>
class Converted {
public:
    explicit Converted(std::string_view value) {
        if (alreadyLogText(value)) {
            text_ = value.substr(0, Width);
            cut_ = value.size() > Width;
            return;
        }
        const CutText cut = logTextCut(value, bytes_.data(), Width);
        text_ = std::string_view(bytes_.data(), cut.size);
        cut_ = cut.cut;
    }
    Converted(const Converted&) = delete;
    Converted& operator=(const Converted&) = delete;

    std::string_view first() const { return text_; }
    // Empty when the value is longer than `Width`: too long to be what is sought.
    std::string_view whole() const { return cut_ ? std::string_view() : text_; }

private:
    std::array<char, Width> bytes_;
    std::string_view text_;
    bool cut_ = false;
};

// Long enough for any date, time, band, frequency or QSL value that means something.
constexpr size_t kShortValue = 32;

bool isYes(std::string_view value) {
    return Converted<kShortValue>(value).whole() == "Y";
}

using DateText = std::array<char, kDateWidth>;
using TimeText = std::array<char, kTimeWidth>;

// YYYYMMDD into `out` as JJ/MM/AA; false when it is no date.
bool writeLogDate(std::string_view qsoDate, DateText& out) {
    const Converted<kShortValue> text(qsoDate);
    const std::string_view d = text.whole();
    if (d.size() != 8 || !allDigits(d)) return false;
    out = {d[6], d[7], '/', d[4], d[5], '/', d[2], d[3]};
    return checkDate({out.data(), out.size()}) == 0;
}

// HHMM or HHMMSS into `out` as HH:MM; false when it is no time.
bool writeLogTime(std::string_view timeOn, TimeText& out) {
    const Converted<kShortValue> text(timeOn);
    const std::string_view t = text.whole();
    if ((t.size() != 4 && t.size() != 6) || !allDigits(t)) return false;
    out = {t[0], t[1], ':', t[2], t[3]};
    return checkTime({out.data(), out.size()}) == 0;
}

// The band found in the tables, empty when none.
std::string_view bandOf(std::string_view band, std::string_view frequency) {
    const Converted<kShortValue> bandText(band);
    if (const std::string_view found = bandForBandValue(bandText.whole()); !found.empty())
        return found;
    const Converted<kShortValue> frequencyText(frequency);
    return bandForFrequency(frequencyText.whole());
}

// Copies a few bytes with moves of fixed sizes, which compile to plain loads
// and stores where a library call would cost more than the copy.
void copyShort(char* to, const char* from, size_t n) {
    if (n >= 16) {
        for (; n > 16; n -= 16, to += 16, from += 16) std::memcpy(to, from, 16);
        std::memcpy(to + n - 16, from + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

// Where the mapped texts go: the fields of a QsoFields...
class FieldsOut {
public:
    explicit FieldsOut(QsoFields& f) : f_(f) {}
    void put(dxcc::Field field, std::string_view text) {
        (f_.*kMembers[static_cast<size_t>(field)]).assign(text);
    }
    void putQslMark(char mark) { f_.qslMark = mark; }

private:
    static constexpr std::array<std::string QsoFields::*, 10> kMembers{
        &QsoFields::callsign,   &QsoFields::firstName, &QsoFields::date,        &QsoFields::time,
        &QsoFields::mode,       &QsoFields::band,      &QsoFields::rstReceived, &QsoFields::rstSent,
        &QsoFields::dxccPrefix, &QsoFields::entityName};
    QsoFields& f_;
};

// ...or their columns of a record line, blank first.
class RecordOut {
public:
    explicit RecordOut(char* record) : record_(record) { std::memset(record_, ' ', kRecordLength); }
    void put(dxcc::Field field, std::string_view text) {
        const size_t i = static_cast<size_t>(field);
        copyShort(record_ + kRecordFieldOffsets[i], text.data(),
                  std::min(text.size(), kRecordFieldWidths[i]));
    }
    void putQslMark(char mark) { record_[kRecordQslOffset] = mark; }

private:
    char* record_;
};

void writeLogMode(std::string_view mode, std::string_view submode, std::string_view propagation,
                  std::string_view ownMode, std::string& out);

// The one mapping of an ADIF record, into either form.
template <typename Out>
Notices mapInto(const AdifQsoValues& v, const PrefixTable& prefixes, Out& out) {
    Notices notices{};
    auto notice = [&](Notice n) { notices[static_cast<size_t>(n)] = true; };
    // The first `Width` characters of `value`, or `substitute` when it is empty.
    auto putCut = [&]<size_t Width>(dxcc::Field field, std::string_view value,
                                    std::string_view substitute) {
        const Converted<Width> text(value);
        out.put(field, text.first().empty() ? substitute : text.first());
    };

    DateText date;
    if (!writeLogDate(v.date, date)) {
        notice(Notice::DateMissing);
        std::copy(kDateSubstitute.begin(), kDateSubstitute.end(), date.begin());
    }
    out.put(dxcc::Field::Date, {date.data(), date.size()});
    TimeText time;
    if (!writeLogTime(v.time, time)) {
        notice(Notice::TimeMissing);
        std::copy(kTimeSubstitute.begin(), kTimeSubstitute.end(), time.begin());
    }
    out.put(dxcc::Field::Time, {time.data(), time.size()});
    const Converted<kCallsignWidth> callsignText(v.callsign);
    std::string_view callsign = callsignText.first();
    if (callsign.empty()) {
        notice(Notice::CallsignMissing);
        callsign = kCallsignSubstitute;
    } else if (!plainCallsign(v.callsign)) {
        notice(Notice::CallsignRefused);
    }
    out.put(dxcc::Field::Callsign, callsign);
    // Looked up first: the table is read while the other fields are converted.
    const Resolution resolution = prefixes.resolve(callsign);
    if (resolution.kind == MatchKind::MaritimeMobile) notice(Notice::MaritimeMobile);
    const PrefixEntry* entry = resolution.entry;
    std::string mode;  // three letters at most: no allocation
    writeLogMode(v.mode, v.submode, v.propagation, v.ownMode, mode);
    out.put(dxcc::Field::Mode, mode.empty() ? kModeSubstitute : std::string_view(mode));
    putCut.template operator()<kRstWidth>(dxcc::Field::RstSent, v.rstSent, kReportSubstitute);
    putCut.template operator()<kRstWidth>(dxcc::Field::RstReceived, v.rstReceived,
                                          kReportSubstitute);
    std::string_view band = bandOf(v.band, v.frequency);
    if (band.empty()) {
        notice(Notice::BandMissing);
        band = kBandSubstitute;
    }
    out.put(dxcc::Field::Band, band);
    putCut.template operator()<kFirstNameWidth>(dxcc::Field::FirstName, v.name, {});
    out.putQslMark(isYes(v.qslReceived) || isYes(v.lotwQslReceived) ? '*' : ' ');

    out.put(dxcc::Field::DxccPrefix,
            entry ? std::string_view(entry->dxccPrefix).substr(0, kDxccPrefixWidth)
                  : std::string_view());
    out.put(dxcc::Field::EntityName,
            entry ? std::string_view(entry->entityName).substr(0, kEntityNameWidth)
                  : std::string_view());
    return notices;
}

// The log's mode into `out`: see logMode.
void writeLogMode(std::string_view mode, std::string_view submode, std::string_view propagation,
                  std::string_view ownMode, std::string& out) {
    if (!propagation.empty() && Converted<kShortValue>(propagation).whole() == kSatelliteMode) {
        out.assign(kSatelliteMode);
        return;
    }
    if (!ownMode.empty()) {
        const std::string_view own = Converted<kModeWidth + 1>(ownMode).whole();
        if (!own.empty() && own.size() <= kModeWidth) {
            out.assign(own);
            return;
        }
    }
    const std::string_view known = loggedModeOf(mode, submode);
    out.assign(known.empty() ? Converted<kModeWidth>(mode).first() : known);
}

}  // namespace

AdifQsoValues importedValues(const std::vector<Field>& fields) {
    AdifQsoValues values;
    uint32_t taken = 0;  // bit i: kWanted[i] found
    for (const Field& f : fields) {
        const size_t i = wantedIndex(f.name);
        if (i == kWanted.size() || (taken >> i) & 1) continue;
        taken |= uint32_t{1} << i;
        values.*kWanted[i].value = f.value;
    }
    return values;
}

std::string logDate(std::string_view qsoDate) {
    DateText date;
    return writeLogDate(qsoDate, date) ? std::string(date.data(), date.size()) : std::string();
}

std::string logTime(std::string_view timeOn) {
    TimeText time;
    return writeLogTime(timeOn, time) ? std::string(time.data(), time.size()) : std::string();
}

std::string logMode(std::string_view mode, std::string_view submode, std::string_view propagation,
                    std::string_view ownMode) {
    std::string out;
    writeLogMode(mode, submode, propagation, ownMode, out);
    return out;
}

std::string logBand(std::string_view band, std::string_view frequency) {
    return std::string(bandOf(band, frequency));
}

void mapQso(const AdifQsoValues& values, const PrefixTable& prefixes, MappedQso& q) {
    FieldsOut out(q.fields);
    q.notices = mapInto(values, prefixes, out);
}

MappedQso mapQso(const AdifQsoValues& values, const PrefixTable& prefixes) {
    MappedQso q;
    mapQso(values, prefixes, q);
    return q;
}

Notices mapQsoRecord(const AdifQsoValues& values, const PrefixTable& prefixes, char* record) {
    RecordOut out(record);
    return mapInto(values, prefixes, out);
}

}  // namespace dxcc::adif
