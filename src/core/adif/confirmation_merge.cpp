#include "core/adif/confirmation_merge.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <span>

#include "core/adif/adif_import.h"
#include "core/adif/adif_mapping.h"
#include "core/adif/adif_merge.h"
#include "core/adif/adif_messages.h"
#include "core/base/program_constants.h"
#include "core/base/text_conversion.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/mode_table.h"
#include "core/record/qso_record.h"

namespace dxcc::adif {

namespace {

constexpr size_t kNone = std::numeric_limits<size_t>::max();

// Short texts (a callsign, its base, a band) packed into integers, so that the
// scan of a million log lines compares words rather than calling memcmp.
struct Packed {
    uint64_t low = 0, high = 0;
    bool operator==(const Packed&) const = default;
};

// Texts of at most 16 bytes without NUL are packed exactly; the log's fields
// are narrower than that.
Packed pack(std::string_view text) {
    Packed p;
    const size_t n = std::min<size_t>(text.size(), 16);
    std::memcpy(&p.low, text.data(), std::min<size_t>(n, 8));
    if (n > 8) std::memcpy(&p.high, text.data() + 8, n - 8);
    return p;
}

// One confirmation read from the file, with what the matching compares.
struct Confirmation {
    ConfirmationRef ref;  // ref.callsign is the callsign compared
    Packed callsign, base, band;
    std::string dxccPrefix;
    bool hasBand = false;
    ModeClass modeClass = ModeClass::None;
    bool satellite = false;
    std::optional<MergeKey> at;
    bool matched = false;

    // Without these it can match no contact.
    bool matchable() const {
        return !ref.callsign.empty() && hasBand && at &&
               (modeClass != ModeClass::None || satellite);
    }
};

// The confirmations by base callsign: an open-addressing table from the packed
// base to the run of its confirmations, in file order, in one compact array
// of their times, so the scan of the log reads little memory per line.
class ConfirmationIndex {
public:
    struct Entry {
        MergeKey at;
        size_t confirmation;
    };

    explicit ConfirmationIndex(const std::vector<Confirmation>& confirmations) {
        size_t size = 16;
        while (size < confirmations.size() * 2) size *= 2;
        slots_.resize(size);
        mask_ = size - 1;
        std::vector<size_t> slotOfConfirmation(confirmations.size(), kNone);
        for (size_t i = 0; i < confirmations.size(); ++i) {
            if (!confirmations[i].matchable()) continue;
            const size_t s = slotOf(confirmations[i].base);
            slots_[s].key = confirmations[i].base;
            slots_[s].used = true;
            ++slots_[s].count;
            slotOfConfirmation[i] = s;
        }
        size_t begin = 0;
        for (Slot& slot : slots_) {
            slot.begin = begin;
            begin += slot.count;
            slot.count = 0;
        }
        entries_.resize(begin);
        for (size_t i = 0; i < confirmations.size(); ++i) {
            if (slotOfConfirmation[i] == kNone) continue;
            Slot& slot = slots_[slotOfConfirmation[i]];
            entries_[slot.begin + slot.count++] = {*confirmations[i].at, i};
        }
    }
    bool empty() const { return entries_.empty(); }
    // The confirmations of a base callsign, in file order.
    std::span<const Entry> of(const Packed& base) const {
        const Slot& slot = slots_[slotOf(base)];
        return {entries_.data() + slot.begin, slot.used ? slot.count : 0};
    }

private:
    struct Slot {
        Packed key;
        size_t begin = 0;
        uint32_t count = 0;
        bool used = false;
    };
    size_t home(const Packed& key) const {
        const uint64_t h = (key.low * 0x9E3779B97F4A7C15ull) ^ (key.high * 0xC2B2AE3D27D4EB4Full);
        return static_cast<size_t>(h ^ (h >> 29)) & mask_;
    }
    // The slot of `key`, or the free slot where it would go.
    size_t slotOf(const Packed& key) const {
        size_t s = home(key);
        while (slots_[s].used && !(slots_[s].key == key)) s = (s + 1) & mask_;
        return s;
    }

    std::vector<Slot> slots_;
    std::vector<Entry> entries_;
    size_t mask_ = 0;
};

bool hasLetterAndDigit(std::string_view part) {
    bool letter = false, digit = false;
    for (char c : part) {
        letter = letter || isAsciiLetter(c);
        digit = digit || isAsciiDigit(c);
    }
    return letter && digit;
}

// YYYYMMDD as JJ/MM/AAAA and HHMM[SS] as HH:MM for the report; as given otherwise.
std::string reportDate(std::string_view qsoDate) {
    std::string d = logText(qsoDate);
    if (d.size() != 8 || !allDigits(d)) return d;
    return d.substr(6, 2) + "/" + d.substr(4, 2) + "/" + d.substr(0, 4);
}

std::string reportTime(std::string_view timeOn) {
    std::string t = logText(timeOn);
    if ((t.size() != 4 && t.size() != 6) || !allDigits(t)) return t;
    return t.substr(0, 2) + ":" + t.substr(2, 2);
}

ModeClass modeGroupClass(const std::vector<Field>& fields) {
    const Field* group = findField(fields, "APP_LOTW_MODEGROUP");
    if (!group) return ModeClass::None;
    return modeClassOfGroup(logText(group->value));
}

Confirmation readConfirmation(const AdifQsoValues& v, const std::vector<Field>& fields,
                              const PrefixTable& prefixes) {
    Confirmation c;
    c.ref.callsign = logText(v.callsign).substr(0, kCallsignWidth);
    const std::string_view call = c.ref.callsign;
    c.callsign = pack(call);
    c.base = pack(baseCallsign(call));
    c.ref.date = reportDate(v.date);
    c.ref.time = reportTime(v.time);
    c.ref.band = logText(v.band.empty() ? v.frequency : v.band);
    c.ref.mode = logText(v.mode);
    if (const std::string sub = logText(v.submode); !sub.empty()) c.ref.mode += "/" + sub;

    const std::string band = logBand(v.band, v.frequency);
    c.band = pack(band);
    c.hasBand = !band.empty();
    c.at = adifMergeKey(v.date, v.time);
    // The class of MODE itself: a satellite confirmation also matches a
    // contact logged under its mode by an older import.
    const std::string mode = logMode(v.mode, v.submode, {});
    c.satellite = logMode(v.mode, v.submode, v.propagation) == kSatelliteMode;
    c.modeClass = modeClassOf(mode);
    if (c.modeClass == ModeClass::None) c.modeClass = modeGroupClass(fields);
    if (c.ref.mode.empty() && c.satellite) c.ref.mode = kSatelliteMode;
    if (const PrefixEntry* entry = prefixes.match(call))
        c.dxccPrefix = std::string_view(entry->dxccPrefix).substr(0, kDxccPrefixWidth);
    return c;
}

bool isYes(std::string_view value) {
    return !value.empty() && logText(value) == "Y";
}

// What a log line offers the matching beyond its time, read once for a line
// that has a confirmation near its time.
struct Contact {
    Packed callsign, band;
    std::string_view dxccPrefix;
    ModeClass modeClass;
    bool satellite;

    explicit Contact(std::string_view record)
        : callsign(pack(trimBlanks(recordField(record, dxcc::Field::Callsign)))),
          band(pack(trimBlanks(recordField(record, dxcc::Field::Band)))),
          dxccPrefix(trimBlanks(recordField(record, dxcc::Field::DxccPrefix))),
          modeClass(modeClassOf(recordField(record, dxcc::Field::Mode))),
          satellite(isSatelliteMode(recordField(record, dxcc::Field::Mode))) {}

    bool confirmedBy(const Confirmation& c) const {
        if (!(band == c.band)) return false;
        const bool sameKind = (modeClass != ModeClass::None && modeClass == c.modeClass) ||
                              (satellite && c.satellite);
        if (!sameKind) return false;
        return callsign == c.callsign || (!dxccPrefix.empty() && dxccPrefix == c.dxccPrefix);
    }
};

template <typename LineAt>
ConfirmationMatch matchLines(size_t lineCount, LineAt lineAt, std::string_view fileBytes,
                             const PrefixTable& prefixes) {
    ConfirmationMatch result;
    ConfirmationReport& report = result.report;
    std::vector<Confirmation> confirmations;
    Reader reader(fileBytes);
    std::vector<Field> fields;
    while (reader.next(fields)) {
        const AdifQsoValues values = importedValues(fields);
        if (!isYes(values.qslReceived) && !isYes(values.lotwQslReceived)) {
            ++report.notConfirmations;
            continue;
        }
        confirmations.push_back(readConfirmation(values, fields, prefixes));
    }
    report.read = confirmations.size();
    report.reader = reader.warnings();

    const ConfirmationIndex index(confirmations);
    for (size_t row = 0; row < lineCount && !index.empty(); ++row) {
        const std::string_view record = lineAt(row);
        const std::string_view call = trimBlanks(recordField(record, dxcc::Field::Callsign));
        if (call.empty()) continue;
        const auto candidates = index.of(pack(baseCallsign(call)));
        if (candidates.empty()) continue;
        const std::optional<MergeKey> at = logLineMergeKey(record);
        if (!at) continue;
        // Most confirmations of a callsign are for other contacts: the time
        // sorts them out before anything else is read.
        std::optional<Contact> contact;
        bool confirmed = false;
        for (const ConfirmationIndex::Entry& e : candidates) {
            if (std::llabs(*at - e.at) > kConfirmationMinutes) continue;
            Confirmation& k = confirmations[e.confirmation];
            if (!contact) contact.emplace(record);
            if (!contact->confirmedBy(k)) continue;
            k.matched = true;
            confirmed = true;
        }
        if (!confirmed) continue;
        if (recordConfirmed(record)) {
            ++report.alreadyConfirmed;
        } else {
            ++report.newlyConfirmed;
            result.rows.push_back(row);
        }
    }
    for (Confirmation& c : confirmations)
        if (!c.matched) report.unmatched.push_back(std::move(c.ref));
    return result;
}

std::string unmatchedLine(const ConfirmationRef& c) {
    return "   " + cp1252ToUtf8(padRight(c.callsign, kCallsignWidth)) + " " + padRight(c.date, 10) +
           " " + padRight(c.time, 5) + "  " + cp1252ToUtf8(padRight(c.band, 7)) + " " +
           cp1252ToUtf8(c.mode);
}

void addCount(std::vector<std::string>& lines, std::string_view text, size_t count) {
    lines.push_back(std::string(text) + std::to_string(count));
}

}  // namespace

std::string_view baseCallsign(std::string_view callsign) {
    std::string_view best;
    size_t start = 0;
    while (start <= callsign.size()) {
        const size_t slash = callsign.find('/', start);
        const size_t end = slash == std::string_view::npos ? callsign.size() : slash;
        const std::string_view part = callsign.substr(start, end - start);
        if (hasLetterAndDigit(part) && part.size() >= best.size()) best = part;
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return best.empty() ? callsign : best;
}

ConfirmationMatch matchConfirmations(const Logbook& log, std::string_view fileBytes,
                                     const PrefixTable& prefixes) {
    return matchLines(
        log.size(), [&](size_t i) { return log.record(i); }, fileBytes, prefixes);
}

ConfirmationMatch matchConfirmations(const std::vector<std::string_view>& lines,
                                     std::string_view fileBytes, const PrefixTable& prefixes) {
    return matchLines(
        lines.size(), [&](size_t i) { return lines[i]; }, fileBytes, prefixes);
}

LogConfirmation confirmIntoLog(Logbook& log, const std::filesystem::path& file,
                               const PrefixTable& prefixes) {
    const std::string bytes = readFileBytes(file);
    // Another program may change the log between the matching and the
    // rewrite: then the log has been read again and the matching is done anew.
    for (int attempt = 0;; ++attempt) {
        ConfirmationMatch match = matchConfirmations(log, bytes, prefixes);
        try {
            const LogChange change = log.confirmRows(match.rows);
            return {std::move(match.report), attempt == 0 ? change : LogChange{}};
        } catch (const LogLineChanged&) {
            if (attempt > 0) throw;
        }
    }
}

std::vector<std::string> confirmationReportLines(const ConfirmationReport& report) {
    namespace msg = adif_messages;
    std::vector<std::string> lines;
    addCount(lines, msg::kConfirmationsRead, report.read);
    addCount(lines, msg::kNewlyConfirmed, report.newlyConfirmed);
    addCount(lines, msg::kAlreadyConfirmed, report.alreadyConfirmed);
    if (report.notConfirmations > 0)
        addCount(lines, msg::kNotConfirmations, report.notConfirmations);
    addCount(lines, msg::kUnmatched, report.unmatched.size());
    if (!report.unmatched.empty()) lines.emplace_back(msg::kUnmatchedHeading);
    for (const ConfirmationRef& c : report.unmatched) lines.push_back(unmatchedLine(c));
    appendReaderWarningLines(lines, report.reader);
    return lines;
}

}  // namespace dxcc::adif
