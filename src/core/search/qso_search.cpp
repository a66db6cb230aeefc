#include "core/search/qso_search.h"

#include <array>

#include "core/logbook/first_names.h"
#include "core/record/qso_record.h"
#include "core/search/search_messages.h"

namespace dxcc {

namespace {

namespace msg = search_messages;

struct FieldRule {
    size_t maxLength;
    std::string_view tooLong;
    // Refusal of an empty field on Enter; none for the date, whose format check
    // already refuses an empty text.
    std::string_view emptyOnEnter;
    bool dateSlashes;
    // Refusal of an empty text by the search itself; none for the prefix.
    std::string_view emptyOnSearch;
};

constexpr std::array<FieldRule, 3> kRules{{
    {kSearchCallsignMax, msg::kCallsignTooLong, msg::kCallsignEmpty, false, msg::kCallsignEmpty},
    {kSearchDateMax, msg::kDateTooLong, {}, true, msg::kDateEmpty},
    {kSearchPrefixMax, msg::kPrefixTooLong, msg::kPrefixEmpty, false, {}},
}};

const FieldRule& ruleOf(SearchKind kind) {
    return kRules[static_cast<size_t>(kind)];
}

// JJ/MM/AA: the slashes at the 3rd and 6th characters.
bool hasDateSlashes(std::string_view text) {
    return text.size() >= 6 && text[2] == '/' && text[5] == '/';
}

std::string_view withoutLeadingLineBreak(std::string_view text) {
    if (text.starts_with("\r\n")) text.remove_prefix(2);
    return text;
}

// `field` with the blanks at both ends trimmed equals `key`. Stored fields
// rarely begin with a blank, so most are compared without trimming them.
bool trimmedEquals(std::string_view field, std::string_view key) {
    if (!key.empty() && (key.front() == ' ' || key.back() == ' ')) return false;
    if (!field.empty() && field.front() == ' ') field = trimBlanks(field);
    return field.starts_with(key) &&
           field.find_first_not_of(' ', key.size()) == std::string_view::npos;
}

bool callsignEquals(std::string_view record, std::string_view key) {
    return trimmedEquals(recordField(record, Field::Callsign), key);
}

bool dateEquals(std::string_view record, std::string_view key) {
    return trimmedEquals(recordField(record, Field::Date), key);
}

// The main list pads a short callsign with blanks, so a key may run past the
// stored bytes into that padding.
bool callsignBeginsWith(std::string_view record, std::string_view key) {
    const std::string_view callsign = recordField(record, Field::Callsign);
    if (callsign.size() >= key.size()) return callsign.substr(0, key.size()) == key;
    if (key.size() > kCallsignWidth) return false;
    if (key.substr(0, callsign.size()) != callsign) return false;
    return key.find_first_not_of(' ', callsign.size()) == std::string_view::npos;
}

// One loop per kind, so the test inlines and the scan makes no call per record
// beyond fetching it.
template <class Match>
std::vector<size_t> scan(const Logbook& log, Match matches) {
    std::vector<size_t> rows;
    const size_t count = log.size();
    for (size_t row = 0; row < count; ++row) {
        if (matches(log.record(row))) rows.push_back(row);
    }
    return rows;
}

}  // namespace

std::string_view SearchTexts::of(SearchKind kind) const {
    static constexpr std::array<std::string SearchTexts::*, 3> kFields{
        &SearchTexts::callsign, &SearchTexts::date, &SearchTexts::prefix};
    return this->*kFields[static_cast<size_t>(kind)];
}

std::optional<SearchRefusal> checkSearchField(SearchKind field, std::string_view text) {
    const FieldRule& rule = ruleOf(field);
    if (rule.dateSlashes && !hasDateSlashes(text)) return SearchRefusal{msg::kDateFormat};
    if (text.size() > rule.maxLength) return SearchRefusal{rule.tooLong};
    if (text.empty() && !rule.emptyOnEnter.empty()) return SearchRefusal{rule.emptyOnEnter, true};
    return std::nullopt;
}

bool recordMatches(std::string_view record, SearchKind kind, std::string_view key) {
    switch (kind) {
        case SearchKind::Callsign:
            return callsignEquals(record, key);
        case SearchKind::Date:
            return dateEquals(record, key);
        case SearchKind::Prefix:
            break;
    }
    return callsignBeginsWith(record, key);
}

std::vector<size_t> findQsos(const Logbook& log, SearchKind kind, std::string_view key) {
    switch (kind) {
        case SearchKind::Callsign:
            return scan(log, [key](std::string_view r) { return callsignEquals(r, key); });
        case SearchKind::Date:
            return scan(log, [key](std::string_view r) { return dateEquals(r, key); });
        case SearchKind::Prefix:
            break;
    }
    return scan(log, [key](std::string_view r) { return callsignBeginsWith(r, key); });
}

std::vector<size_t> findEntityQsos(const Logbook& log, std::string_view dxccPrefix) {
    const std::string_view key = trimBlanks(dxccPrefix);
    if (key.empty()) return {};
    return scan(log, [key](std::string_view r) {
        return trimBlanks(recordField(r, Field::DxccPrefix)) == key;
    });
}

SearchOutcome runSearch(const Logbook& log, SearchKind selected, std::string_view text) {
    SearchOutcome out;
    out.resultsReplaced = true;
    text = withoutLeadingLineBreak(text);
    const FieldRule& rule = ruleOf(selected);
    if (text.empty() && !rule.emptyOnSearch.empty()) {
        out.message = rule.emptyOnSearch;
        out.fieldToEmpty = selected;
        return out;
    }
    out.rows = findQsos(log, selected, upperCaseCp1252(text));
    if (out.rows.empty()) out.message = msg::kNothingFound;
    out.emptyAllFields = true;
    return out;
}

SearchOutcome searchOnEnter(const Logbook& log, SearchKind field, SearchKind selected,
                            const SearchTexts& texts) {
    if (const auto refusal = checkSearchField(field, texts.of(field))) {
        SearchOutcome out;
        out.message = refusal->message;
        if (refusal->emptyField) out.fieldToEmpty = field;
        return out;
    }
    return runSearch(log, selected, texts.of(selected));
}

void followInsertedRows(std::vector<size_t>& rows, size_t first, size_t count) {
    for (size_t& row : rows)
        if (row >= first) row += count;
}

void followRemovedRows(std::vector<size_t>& rows, size_t first, size_t count) {
    std::erase_if(rows, [&](size_t row) { return row >= first && row - first < count; });
    for (size_t& row : rows)
        if (row >= first) row -= count;
}

std::string searchResultsHeading() {
    // The words of the search window's heading, over the columns of the display
    // line as the main list's heading places them.
    constexpr const auto& at = kDisplayHeadingColumns;
    static constexpr ColumnHeading kHeadings[] = {
        {at[0], "N°"},   {at[1], "Indicatif"}, {at[2], "Prenom"},        {at[3], "Date"},
        {at[4], "QTR"},  {at[5], "Mode"},      {at[6], "QRG"},           {at[7], "RstR"},
        {at[8], "RstE"}, {at[9], "Prefixe"},   {at[10], "Contrée DXCC"}, {at[11], "QSL"},
    };
    return headingLine(kHeadings);
}

}  // namespace dxcc
