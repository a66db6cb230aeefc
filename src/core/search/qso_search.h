#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/logbook/logbook.h"

namespace dxcc {

// What the search looks for; one option of the search window is selected at a time.
enum class SearchKind { Callsign, Date, Prefix };

// Longest text each search field accepts on Enter.
inline constexpr size_t kSearchCallsignMax = 12;
inline constexpr size_t kSearchDateMax = 8;
inline constexpr size_t kSearchPrefixMax = 6;

// The texts of the three search fields (Windows-1252 bytes).
struct SearchTexts {
    std::string callsign;
    std::string date;
    std::string prefix;

    std::string_view of(SearchKind kind) const;
};

struct SearchRefusal {
    std::string_view message;
    bool emptyField = false;  // the refused field is emptied too
};

// The check that Enter in the field of `field` makes before any search; nothing
// when the search may run.
std::optional<SearchRefusal> checkSearchField(SearchKind field, std::string_view text);

// Whether a stored record matches `key` (already in upper case):
// - Callsign: the callsign columns, blanks trimmed at both ends, equal the key;
// - Date: the date columns, blanks trimmed, equal the key;
// - Prefix: the callsign columns begin with the key (the callsign padded with
//   blanks to its width, as the main list shows it; a key longer than the
//   callsign columns matches nothing).
// Case-sensitive bytes. Allocates nothing.
bool recordMatches(std::string_view record, SearchKind kind, std::string_view key);

// The 0-based rows of every record that matches, in log order.
std::vector<size_t> findQsos(const Logbook& log, SearchKind kind, std::string_view key);

// The 0-based rows of every QSO with the entity `dxccPrefix` (its DXCC prefix
// field, blanks trimmed, equal to it, exact bytes), in log order; none for an
// empty prefix.
std::vector<size_t> findEntityQsos(const Logbook& log, std::string_view dxccPrefix);

// What the window does after a search or a refused Enter.
struct SearchOutcome {
    // The result list is emptied and now shows `rows`; untouched when false.
    bool resultsReplaced = false;
    std::vector<size_t> rows;  // 0-based log rows, in log order
    std::string_view message;  // shown in a message box; empty for none
    std::optional<SearchKind> fieldToEmpty;
    bool emptyAllFields = false;  // the scan ran to its end
};

// The search with the selected option and the text of that option's field: a
// leading CR LF is dropped; an empty callsign or date is refused (an empty
// prefix is not: it finds every QSO); the text is put in upper case; "Pas de
// QSO trouvé" when nothing matches.
SearchOutcome runSearch(const Logbook& log, SearchKind selected, std::string_view text);

// Enter pressed in the field of `field` while the option `selected` is chosen:
// the check of the field where Enter was pressed, then the search of the
// selected option with its own field's text.
SearchOutcome searchOnEnter(const Logbook& log, SearchKind field, SearchKind selected,
                            const SearchTexts& texts);

// The result rows after `count` lines were inserted into the log at `first`:
// the rows from there on move down, so each still names the same contact.
void followInsertedRows(std::vector<size_t>& rows, size_t first, size_t count);
// The result rows after `count` lines were removed from the log at `first`:
// the removed contacts leave the results, the rows after them move up.
void followRemovedRows(std::vector<size_t>& rows, size_t first, size_t count);

// The heading over the result lines, each word over its column of the display
// line (UTF-8).
std::string searchResultsHeading();

}  // namespace dxcc
