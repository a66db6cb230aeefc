#include "adif/confirmation_merge.h"

#include <cstdlib>
#include <limits>
#include <optional>
#include <unordered_map>

#include "adif/adif_import.h"
#include "adif/adif_mapping.h"
#include "adif/adif_merge.h"
#include "adif/adif_messages.h"
#include "adif/adif_text.h"
#include "awards/mode_classes.h"
#include "logbook/program_constants.h"
#include "logbook/qso_record.h"
#include "logbook/text_file.h"
#include "prefixes/prefix_table.h"

namespace dxcc::adif {

namespace {

constexpr size_t kNone = std::numeric_limits<size_t>::max();

// The service's own grouping of modes, for a mode the log's table lacks.
struct ModeGroup {
    std::string_view name;
    ModeClass modeClass;
};
constexpr ModeGroup kModeGroups[] = {
    {"PHONE", ModeClass::Phone},
    {"CW", ModeClass::Cw},
    {"DATA", ModeClass::Digital},
};

// One confirmation read from the file, with what the matching compares.
struct Confirmation {
    ConfirmationRef ref;  // ref.callsign is the callsign compared
    size_t baseOffset = 0, baseLength = 0;
    std::string band;  // as the log writes it ("14 Mhz", "60M")
    std::string dxccPrefix;
    ModeClass modeClass = ModeClass::None;
    bool satellite = false;
    std::optional<MergeKey> at;
    bool matched = false;

    std::string_view base() const {
        return std::string_view(ref.callsign).substr(baseOffset, baseLength);
    }
    // Without these it can match no contact.
    bool matchable() const {
        return !ref.callsign.empty() && !band.empty() && at &&
               (modeClass != ModeClass::None || satellite);
    }
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 32) : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

bool hasLetterAndDigit(std::string_view part) {
    bool letter = false, digit = false;
    for (char c : part) {
        letter = letter || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        digit = digit || (c >= '0' && c <= '9');
    }
    return letter && digit;
}

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
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
    const std::string name = logText(group->value);
    for (const ModeGroup& g : kModeGroups)
        if (name == g.name) return g.modeClass;
    return ModeClass::None;
}

Confirmation readConfirmation(const AdifQsoValues& v, const std::vector<Field>& fields,
                              const PrefixTable& prefixes) {
    Confirmation c;
    c.ref.callsign = logText(v.callsign).substr(0, kCallsignWidth);
    const std::string_view call = c.ref.callsign;
    const std::string_view base = baseCallsign(call);
    c.baseOffset = static_cast<size_t>(base.data() - call.data());
    c.baseLength = base.size();
    c.ref.date = reportDate(v.date);
    c.ref.time = reportTime(v.time);
    c.ref.band = logText(v.band.empty() ? v.frequency : v.band);
    c.ref.mode = logText(v.mode);
    if (const std::string sub = logText(v.submode); !sub.empty()) c.ref.mode += "/" + sub;

    c.band = logBand(v.band, v.frequency);
    c.at = adifMergeKey(v.date, v.time);
    const std::string mode = logMode(v.mode, v.submode, v.propagation);
    c.satellite = mode == kSatelliteMode || logText(v.propagation) == kSatelliteMode;
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

// What a log line offers the matching, read once per line that has candidates.
struct Contact {
    std::string_view callsign, band, dxccPrefix;
    ModeClass modeClass;
    bool satellite;
    std::optional<MergeKey> at;

    explicit Contact(std::string_view record)
        : callsign(trimBlanks(recordField(record, dxcc::Field::Callsign))),
          band(trimBlanks(recordField(record, dxcc::Field::Band))),
          dxccPrefix(trimBlanks(recordField(record, dxcc::Field::DxccPrefix))),
          modeClass(modeClassOf(recordField(record, dxcc::Field::Mode))),
          satellite(
              sameIgnoringCase(trimBlanks(recordField(record, dxcc::Field::Mode)), kSatelliteMode)),
          at(logLineMergeKey(record)) {}

    bool confirmedBy(const Confirmation& c) const {
        if (band != c.band || !at) return false;
        const bool sameKind = (modeClass != ModeClass::None && modeClass == c.modeClass) ||
                              (satellite && c.satellite);
        if (!sameKind || std::llabs(*at - *c.at) > kConfirmationMinutes) return false;
        return callsign == c.ref.callsign || (!dxccPrefix.empty() && dxccPrefix == c.dxccPrefix);
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

    // The confirmations by base callsign, each chain in file order.
    std::unordered_map<std::string_view, size_t> first;
    first.reserve(confirmations.size());
    std::vector<size_t> next(confirmations.size(), kNone);
    for (size_t i = confirmations.size(); i-- > 0;) {
        if (!confirmations[i].matchable()) continue;
        auto [it, added] = first.try_emplace(confirmations[i].base(), i);
        if (!added) {
            next[i] = it->second;
            it->second = i;
        }
    }

    for (size_t row = 0; row < lineCount && !first.empty(); ++row) {
        const std::string_view record = lineAt(row);
        const std::string_view call = trimBlanks(recordField(record, dxcc::Field::Callsign));
        if (call.empty()) continue;
        const auto it = first.find(baseCallsign(call));
        if (it == first.end()) continue;
        const Contact contact(record);
        bool confirmed = false;
        for (size_t c = it->second; c != kNone; c = next[c]) {
            if (!contact.confirmedBy(confirmations[c])) continue;
            confirmations[c].matched = true;
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
