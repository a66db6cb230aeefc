#include "core/search/qso_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "heading_columns.h"
#include "core/record/qso_record.h"
#include "core/base/text_file.h"
#include "sample_records.h"
#include "core/search/search_messages.h"
#include "synthetic_log.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace msg = search_messages;
using testing_support::qso;
using testing_support::TempDir;
using Rows = std::vector<size_t>;

constexpr const char* kStation = "F6XYZ";

class QsoSearch : public ::testing::Test {
protected:
    QsoSearch() : log(dir.path()) { log.setStationCallsign(kStation); }

    void load(const std::vector<std::string>& lines) {
        dir.write(std::string(kStation) + "_DXCC.log", joinLines(lines));
        log.load();
    }

    // Rows 0..8: the log every matching test searches.
    void loadSampleLog() {
        load({
            qso("F5ABC", "01/02/08", "10:00"),
            qso("F5ABC/P", "01/02/08", "11:00"),
            qso("F5AB", "02/02/08", "12:00"),
            qso("f5abc", "03/02/08", "13:00"),
            qso("TM5X", "01/02/08", "14:00"),
            qso("FR5AB", "04/02/08", "15:00"),
            qso("VP2EAB/F5ABC", "05/02/08", "16:00"),
            "F5AB",  // a short line: the list pads its callsign with blanks
            " F5ABC",
        });
    }

    TempDir dir;
    Logbook log;
};

TEST(SearchFieldCheck, RefusesWhatEnterCannotSearchFor) {
    struct Case {
        SearchKind field;
        std::string text;
        std::string_view message;  // empty: accepted
        bool emptied;
    };
    const Case cases[] = {
        {SearchKind::Callsign, "F5ABC", {}, false},
        {SearchKind::Callsign, "VP2EAB/F5ABC", {}, false},
        {SearchKind::Callsign, "VP2EAB/F5ABCD", msg::kCallsignTooLong, false},
        {SearchKind::Callsign, "", msg::kCallsignEmpty, true},
        {SearchKind::Date, "01/02/08", {}, false},
        {SearchKind::Date, "01/02/8", {}, false},
        {SearchKind::Date, "", msg::kDateFormat, false},
        {SearchKind::Date, "01/0208", msg::kDateFormat, false},
        {SearchKind::Date, "0102/08", msg::kDateFormat, false},
        {SearchKind::Date, "01/02", msg::kDateFormat, false},
        {SearchKind::Date, "01/02/2008", msg::kDateTooLong, false},
        {SearchKind::Prefix, "TM", {}, false},
        {SearchKind::Prefix, "ABCDEF", {}, false},
        {SearchKind::Prefix, "ABCDEFG", msg::kPrefixTooLong, false},
        {SearchKind::Prefix, "", msg::kPrefixEmpty, true},
    };
    for (const Case& c : cases) {
        const auto refusal = checkSearchField(c.field, c.text);
        if (c.message.empty()) {
            EXPECT_FALSE(refusal) << c.text;
            continue;
        }
        ASSERT_TRUE(refusal) << c.text;
        EXPECT_EQ(refusal->message, c.message) << c.text;
        EXPECT_EQ(refusal->emptyField, c.emptied) << c.text;
    }
}

TEST_F(QsoSearch, MatchesByExactCallsignDateOrCallsignBeginning) {
    loadSampleLog();
    struct Case {
        SearchKind kind;
        std::string key;
        Rows rows;
    };
    const Case cases[] = {
        {SearchKind::Callsign, "F5ABC", {0, 8}},
        {SearchKind::Callsign, "F5AB", {2, 7}},
        {SearchKind::Callsign, "VP2EAB/F5ABC", {6}},
        {SearchKind::Callsign, "F5ABC ", {}},
        {SearchKind::Date, "01/02/08", {0, 1, 4}},
        {SearchKind::Date, "01/02/0", {}},
        {SearchKind::Prefix, "F", {0, 1, 2, 5, 7}},
        {SearchKind::Prefix, "TM", {4}},
        {SearchKind::Prefix, "F5ABC", {0, 1}},
        {SearchKind::Prefix, "F5AB ", {2, 7}},
        {SearchKind::Prefix, "", {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {SearchKind::Prefix, "VP2EAB/F5ABC ", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findQsos(log, c.kind, c.key), c.rows) << c.key;
        for (size_t row = 0; row < log.size(); ++row) {
            const bool listed = std::find(c.rows.begin(), c.rows.end(), row) != c.rows.end();
            EXPECT_EQ(recordMatches(log.record(row), c.kind, c.key), listed) << c.key << row;
        }
    }
}

// The scan reads the stored records; the operator sees display lines. Both must
// agree, column for column, on a log of realistic records.
TEST_F(QsoSearch, AgreesWithTheDisplayLinesColumns) {
    const auto path = dir / (std::string(kStation) + "_DXCC.log");
    writeSyntheticLog(path, 3000, nullptr, 7);
    log.load();
    const std::string someCall(trimBlanks(recordField(log.record(1234), Field::Callsign)));
    const std::string someDate(recordField(log.record(2345), Field::Date));
    for (const auto& [kind, key] :
         {std::pair{SearchKind::Callsign, someCall}, std::pair{SearchKind::Date, someDate},
          std::pair{SearchKind::Prefix, someCall.substr(0, 2)}}) {
        Rows expected;
        for (size_t row = 0; row < log.size(); ++row) {
            const std::string line = log.displayLine(row);
            const bool match = kind == SearchKind::Callsign ? trimBlanks(line.substr(8, 12)) == key
                               : kind == SearchKind::Date   ? trimBlanks(line.substr(39, 8)) == key
                                                            : line.substr(8, key.size()) == key;
            if (match) expected.push_back(row);
        }
        ASSERT_FALSE(expected.empty()) << key;
        EXPECT_EQ(findQsos(log, kind, key), expected) << key;
    }
}

TEST_F(QsoSearch, RunsWithTheSelectedTextInUpperCaseAndTellsWhatItFound) {
    loadSampleLog();
    struct Case {
        SearchKind selected;
        std::string text;
        Rows rows;
        std::string_view message;
        std::optional<SearchKind> emptied;
        bool scanned;
    };
    const Case cases[] = {
        {SearchKind::Callsign, "f5abc", {0, 8}, {}, std::nullopt, true},
        {SearchKind::Callsign, "\r\nF5ABC", {0, 8}, {}, std::nullopt, true},
        {SearchKind::Prefix, "tm", {4}, {}, std::nullopt, true},
        {SearchKind::Callsign, "K1ABC", {}, msg::kNothingFound, std::nullopt, true},
        {SearchKind::Callsign, "", {}, msg::kCallsignEmpty, SearchKind::Callsign, false},
        {SearchKind::Callsign, "\r\n", {}, msg::kCallsignEmpty, SearchKind::Callsign, false},
        {SearchKind::Date, "", {}, msg::kDateEmpty, SearchKind::Date, false},
        {SearchKind::Prefix, "", {0, 1, 2, 3, 4, 5, 6, 7, 8}, {}, std::nullopt, true},
    };
    for (const Case& c : cases) {
        const SearchOutcome out = runSearch(log, c.selected, c.text);
        EXPECT_TRUE(out.resultsReplaced) << c.text;
        EXPECT_EQ(out.rows, c.rows) << c.text;
        EXPECT_EQ(out.message, c.message) << c.text;
        EXPECT_EQ(out.fieldToEmpty, c.emptied) << c.text;
        EXPECT_EQ(out.emptyAllFields, c.scanned) << c.text;
    }
}

TEST_F(QsoSearch, EnterChecksItsOwnFieldThenSearchesTheSelectedOption) {
    loadSampleLog();
    // A date reached with Tab and confirmed while "Indicatif" is selected.
    SearchOutcome out = searchOnEnter(log, SearchKind::Date, SearchKind::Callsign,
                                      SearchTexts{"F5ABC", "01/02/08", ""});
    EXPECT_EQ(out.rows, (Rows{0, 8}));
    out =
        searchOnEnter(log, SearchKind::Date, SearchKind::Callsign, SearchTexts{"", "01/02/08", ""});
    EXPECT_EQ(out.message, msg::kCallsignEmpty);
    EXPECT_EQ(out.fieldToEmpty, SearchKind::Callsign);
    // A refusal leaves the results alone and names the field where Enter was pressed.
    out =
        searchOnEnter(log, SearchKind::Date, SearchKind::Callsign, SearchTexts{"F5ABC", "1/2", ""});
    EXPECT_FALSE(out.resultsReplaced);
    EXPECT_EQ(out.message, msg::kDateFormat);
    EXPECT_FALSE(out.fieldToEmpty);
    out = searchOnEnter(log, SearchKind::Prefix, SearchKind::Date, SearchTexts{"", "", ""});
    EXPECT_FALSE(out.resultsReplaced);
    EXPECT_EQ(out.fieldToEmpty, SearchKind::Prefix);
}

TEST_F(QsoSearch, EmptyLogFindsNothing) {
    load({});
    for (const auto& [kind, text] :
         {std::pair{SearchKind::Callsign, "F5ABC"}, std::pair{SearchKind::Date, "01/02/08"},
          std::pair{SearchKind::Prefix, "F"}}) {
        const SearchOutcome out = runSearch(log, kind, text);
        EXPECT_TRUE(out.rows.empty());
        EXPECT_EQ(out.message, msg::kNothingFound);
    }
}

// The results show whole display lines; each heading word must stand over the
// field it names.
TEST(SearchResultsHeading, EachWordStandsOverItsFieldOfTheDisplayLine) {
    QsoFields f = testing_support::sampleFields();
    f.callsign = "F5ABC";
    f.firstName = "JEAN";
    const std::string line = buildDisplayLine(buildRecord(f), 12);
    const std::string heading = searchResultsHeading();
    for (const auto& [word, field] :
         {std::pair{"Indicatif", "F5ABC"}, std::pair{"Prenom", "JEAN"},
          std::pair{"Date", f.date.c_str()}, std::pair{"QTR", f.time.c_str()},
          std::pair{"Contrée DXCC", f.entityName.c_str()}}) {
        EXPECT_EQ(testing_support::headingColumnOf(heading, word),
                  testing_support::lineColumnOf(line, field))
            << word;
    }
    // The line number ends under "N°", the QSL mark lies under "QSL", the DXCC
    // prefix under "Prefixe".
    EXPECT_EQ(testing_support::headingColumnOf(heading, "N°"),
              testing_support::lineColumnOf(line, "12"));
    const size_t qsl = testing_support::headingColumnOf(heading, "QSL");
    EXPECT_EQ(line.substr(qsl - 1, 3).find('*'), 1u);
    EXPECT_EQ(line.substr(testing_support::headingColumnOf(heading, "Prefixe") - 1, 7),
              f.dxccPrefix + std::string(7 - f.dxccPrefix.size(), ' '));
}

TEST(SearchResultRows, FollowTheLinesInsertedAndRemovedBeforeThem) {
    struct Case {
        bool insert;
        size_t first;
        size_t count;
        Rows expected;
    };
    // Results at rows 2, 5 and 9 of the log.
    const Case cases[] = {
        {true, 0, 1, {3, 6, 10}},   // a line before all of them
        {true, 5, 2, {2, 7, 11}},   // two lines at a result's place push it down
        {true, 10, 3, {2, 5, 9}},   // a line after the last result
        {false, 5, 1, {2, 8}},      // a found contact deleted
        {false, 3, 2, {2, 3, 7}},   // lines between results
        {false, 0, 10, {}},         // every result gone
        {false, 10, 1, {2, 5, 9}},  // after the last result
    };
    for (const Case& c : cases) {
        Rows rows{2, 5, 9};
        if (c.insert)
            followInsertedRows(rows, c.first, c.count);
        else
            followRemovedRows(rows, c.first, c.count);
        EXPECT_EQ(rows, c.expected)
            << (c.insert ? "insert " : "remove ") << c.first << "+" << c.count;
    }
}

}  // namespace
}  // namespace dxcc
