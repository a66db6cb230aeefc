#include "core/prefixes/prefix_entries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/base/text_file.h"
#include "core/prefixes/prefix_editor_messages.h"
#include "core/session/log_session.h"
#include "heading_columns.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace msg = prefix_editor_messages;
using testing_support::TempDir;
using Lines = std::vector<std::string>;
using Status = PrefixSaveResult::Status;

const std::string kFrance = buildPrefixEntry("F", "France", "F");
const std::string kReunion = buildPrefixEntry("FR", "Reunion Island", "FR");
const std::string kTm = buildPrefixEntry("TM", "France", "F");
const std::string kItaly = buildPrefixEntry("I", "Italy", "I");
// Lines the editor did not write: they must come back byte for byte.
const std::string kOdd = "zz odd\tline  ";
const std::string kShort = "K";
// An entry without the closing " /".
const std::string kLoose = buildPrefixEntry("TK", "Corsica", "TK").substr(0, 47);

// The award lists' order: an accented letter right after its base letter.
TEST(PrefixLineOrder, TheOneCollationOfEverySortedList) {
    const std::pair<std::string, std::string> ascending[] = {
        {" X", "/X"},
        {"/X", "0X"},
        {"9X", "AX"},
        {"ax", "AY"},
        {"AY", "az"},
        {"F", "F "},
        {"F ", "FR"},
        {"F     Fr", "FR    Fr"},
        {"EB",
         "\xC9"
         "A"},
        {"EZ",
         "\xC9"
         "B"},
        {"\xC9"
         "Z",
         "FA"},
        {"\xE0", "B"},
        {"TM", "tm"},
    };
    for (const auto& [low, high] : ascending) {
        EXPECT_LT(comparePrefixLines(low, high), 0) << low << " < " << high;
        EXPECT_GT(comparePrefixLines(high, low), 0) << high << " > " << low;
    }
    EXPECT_EQ(comparePrefixLines(kFrance, kFrance), 0);
}

TEST(PrefixFieldCheck, RefusesEmptyAndTooLongFieldsWithTheirMessages) {
    struct Case {
        PrefixField field;
        std::string text;
        std::string_view message;  // empty: accepted
    };
    const Case cases[] = {
        {PrefixField::CallsignPrefix, "TM", {}},
        {PrefixField::CallsignPrefix, "ABCDEF", {}},
        {PrefixField::CallsignPrefix, "ABCDEFG", msg::kCallsignPrefixTooLong},
        {PrefixField::CallsignPrefix, "", msg::kCallsignPrefixEmpty},
        {PrefixField::CallsignPrefix, "   ", msg::kCallsignPrefixEmpty},
        {PrefixField::EntityName, "france", {}},
        {PrefixField::EntityName, std::string(33, 'x'), {}},
        {PrefixField::EntityName, std::string(34, 'x'), msg::kEntityNameTooLong},
        {PrefixField::EntityName, "", msg::kEntityNameEmpty},
        {PrefixField::DxccPrefix, "VK9N", {}},
        {PrefixField::DxccPrefix, "ABCDEFG", msg::kDxccPrefixTooLong},
        {PrefixField::DxccPrefix, "", msg::kDxccPrefixEmpty},
    };
    for (const Case& c : cases) {
        const auto message = checkPrefixField(c.field, c.text);
        if (c.message.empty()) {
            EXPECT_FALSE(message) << c.text;
        } else {
            EXPECT_EQ(message, c.message) << c.text;
        }
    }
    // All three together: the first refusal in the order of entry.
    const auto refusal = checkPrefixFields({"TM", std::string(34, 'x'), ""});
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->field, PrefixField::EntityName);
    EXPECT_FALSE(checkPrefixFields({"TM", "France", "F"}));
}

TEST(PrefixEntryFields, LineFromFieldsAndFieldsFromLine) {
    const std::string line = prefixEntryLine({"TM", "france", "F"});
    EXPECT_EQ(line, "TM     france                            F      /");
    EXPECT_EQ(prefixFieldsOf(line), (PrefixFields{"TM", "france", "F"}));
    EXPECT_EQ(prefixFieldsOf("  XX     Lone  Isle   "), (PrefixFields{"XX", "Lone  Isle", ""}));
    EXPECT_EQ(prefixFieldsOf(kShort), (PrefixFields{"K", "", ""}));
    EXPECT_EQ(prefixFieldsOf(""), (PrefixFields{}));
}

// The heading starts one column left of the list's text: each word then stands
// over its field, and "Prefixe" leaves a blank before the entity name.
TEST(PrefixEntryFields, ListHeadingWordsStandOverTheirFields) {
    const std::string line = prefixEntryLine({"TM", "France", "F"});
    const std::string heading = prefixListHeading();
    using testing_support::headingColumnOf;
    // Heading column h stands over column h - 1 of the line.
    auto overLine = [&](std::string_view word) { return headingColumnOf(heading, word) - 1; };
    EXPECT_EQ(overLine("Prefixe"), 0u);
    EXPECT_EQ(overLine("Contée DXCC"), testing_support::lineColumnOf(line, "France"));
    EXPECT_EQ(overLine("Prefixe DXCC"), testing_support::lineColumnOf(line, "F      /"));
    // A blank between "Prefixe" and the entity name's heading.
    EXPECT_LT(headingColumnOf(heading, "Prefixe") + 7, headingColumnOf(heading, "Contée DXCC"));
}

TEST(PrefixListOps, KeepsEveryLineAsReadInListOrder) {
    // Bare LF, a missing last line end and an empty line are all read.
    PrefixList list = PrefixList::fromBytes(kTm + "\r\n" + kOdd + "\n\r\n" + kReunion + "\r\n" +
                                            kFrance + "\r\n" + kShort);
    EXPECT_EQ(list.lines(), (Lines{"", kFrance, kReunion, kShort, kTm, kOdd}));
    EXPECT_EQ(list.fileBytes(), "\r\n" + kFrance + "\r\n" + kReunion + "\r\n" + kShort + "\r\n" +
                                    kTm + "\r\n" + kOdd + "\r\n");
    EXPECT_EQ(list.insert(kItaly), 3u);  // I after F and FR, before K
    EXPECT_EQ(list.line(3), kItaly);
    const size_t moved = list.replace(1, buildPrefixEntry("ZZ", "Zed", "ZZ"));
    EXPECT_EQ(moved, 5u);  // after TM, before the lower-case "zz odd"
    EXPECT_EQ(list.lines(), (Lines{"", kReunion, kItaly, kShort, kTm,
                                   buildPrefixEntry("ZZ", "Zed", "ZZ"), kOdd}));
    list.erase(0);
    EXPECT_EQ(list.size(), 6u);
    EXPECT_EQ(list.line(0), kReunion);
}

class PrefixEditing : public ::testing::Test {
protected:
    PrefixEditing() : editor(dir.path()), session(dir.path()) {}

    // The save button, through the session that writes the file.
    PrefixSaveResult save(const PrefixFields& fields) {
        const PrefixSaveOutcome outcome = session.savePrefixEntry(editor, fields);
        EXPECT_TRUE(outcome.ok());
        return outcome.result.value_or(PrefixSaveResult{Status::WriteFailed, {}, {}, {}});
    }

    void writeFile(const Lines& lines) { dir.write("Prefixe_DXCC.txt", joinLines(lines)); }
    std::string fileBytes() const { return dir.read("Prefixe_DXCC.txt"); }
    size_t rowOf(const std::string& line) const {
        const auto& lines = editor.list().lines();
        return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
    }
    void expectSavedAndReset(const PrefixSaveResult& r) {
        EXPECT_EQ(r.status, Status::Saved);
        EXPECT_EQ(joinLines(editor.list().lines()), fileBytes());
        EXPECT_FALSE(editor.editMode());
        EXPECT_FALSE(editor.deletePending());
        EXPECT_FALSE(editor.selectedRow());
    }

    TempDir dir;
    PrefixEditor editor;
    LogSession session;
};

TEST_F(PrefixEditing, AddPutsTheEntryAtItsPlaceAndTheLookupSeesItAtOnce) {
    writeFile({kTm, kOdd, kFrance});
    PrefixFile& lookup = session.prefixes();
    editor.open();
    EXPECT_EQ(lookup.lookup("FR5AB").dxccPrefix, "F");
    expectSavedAndReset(save({"FR", "Reunion Island", "FR"}));
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kReunion, kTm, kOdd}));
    EXPECT_EQ(lookup.lookup("FR5AB").dxccPrefix, "FR");
}

TEST_F(PrefixEditing, EditReplacesTheDoubleClickedLineEvenAfterClearingTheFields) {
    writeFile({kFrance, kItaly, kTm, kOdd});
    editor.open();
    EXPECT_EQ(editor.beginEdit(rowOf(kFrance)), (PrefixFields{"F", "France", "F"}));
    EXPECT_TRUE(editor.editMode());
    // The operator clears the fields and types a new entry; the double-clicked line goes.
    expectSavedAndReset(save({"ZZ", "Zed", "ZZ"}));
    EXPECT_EQ(fileBytes(), joinLines({kItaly, kTm, buildPrefixEntry("ZZ", "Zed", "ZZ"), kOdd}));
}

TEST_F(PrefixEditing, DeleteThenSaveWritesTheRemovalOnly) {
    writeFile({kFrance, kOdd, kTm});
    editor.open();
    EXPECT_FALSE(editor.removeSelected());  // nothing selected, nothing removed
    EXPECT_FALSE(editor.deletePending());
    EXPECT_EQ(editor.select(rowOf(kOdd)), (PrefixFields{"zz odd", "line", ""}));
    EXPECT_EQ(editor.removeSelected(), 2u);
    EXPECT_TRUE(editor.deletePending());
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kOdd, kTm}));  // not before the save
    expectSavedAndReset(save({}));
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kTm}));
}

// Each case starts from the same file and ends with one save.
TEST_F(PrefixEditing, ASaveAddsOnlyWhatWasTypedAndNeverASecondIdenticalLine) {
    const Lines start{kFrance, kItaly, kTm, kOdd};
    auto row = [&](const std::string& line) { return rowOf(line); };
    struct Case {
        const char* name;
        std::function<PrefixSaveResult()> steps;
        Status status;
        std::string duplicate;
        Lines file;
    };
    const Case cases[] = {
        {"delete A, click B, save: A goes, B stays once",
         [&] {
             editor.select(row(kItaly));
             editor.removeSelected();
             return save(editor.select(row(kTm)));
         },
         Status::Saved,
         "",
         {kFrance, kTm, kOdd}},
        {"typed entry identical to a line",
         [&] {
             return save({"TM", "France", "F"});
         },
         Status::Duplicate, kTm, start},
        {"typed entry identical but for blanks",
         [&] {
             return save({" TM", "France  ", "F "});
         },
         Status::Duplicate, kTm, start},
        {"clicked line saved as it is shown", [&] { return save(editor.select(row(kTm))); },
         Status::Duplicate, kTm, start},
        {"a line of another layout is not added again in this layout",
         [&] {
             writeFile({kFrance, kLoose});
             editor.open();
             return save(editor.select(row(kLoose)));
         },
         Status::Duplicate,
         kLoose,
         {kFrance, kLoose}},
        {"edit turning a line into another existing one",
         [&] {
             editor.beginEdit(row(kTm));
             return save({"F", "France", "F"});
         },
         Status::Duplicate, kFrance, start},
        {"edit saved unchanged replaces the line by itself",
         [&] { return save(editor.beginEdit(row(kTm))); }, Status::Saved, "", start},
        {"deleted line typed again comes back once",
         [&] {
             editor.select(row(kItaly));
             editor.removeSelected();
             return save({"I", "Italy", "I"});
         },
         Status::Saved, "", start},
        {"click, then a new entry typed over the fields",
         [&] {
             editor.select(row(kTm));
             return save({"FR", "Reunion Island", "FR"});
         },
         Status::Saved,
         "",
         {kFrance, kReunion, kItaly, kTm, kOdd}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(start);
        editor.open();
        const PrefixSaveResult r = c.steps();
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.duplicate, c.duplicate);
        EXPECT_EQ(fileBytes(), joinLines(c.file));
        if (r.status == Status::Saved) {
            expectSavedAndReset(r);
        } else {
            EXPECT_EQ(joinLines(editor.list().lines()), joinLines(c.file));
        }
    }
}

TEST_F(PrefixEditing, SaveRefusesFieldsThatWouldWriteABadEntry) {
    writeFile({kFrance, kTm});
    editor.open();
    // Nothing typed and nothing deleted: no blank entry is written.
    PrefixSaveResult r = save({});
    EXPECT_EQ(r.status, Status::Refused);
    EXPECT_EQ(r.refusal->message, msg::kCallsignPrefixEmpty);
    // After a delete, a half-typed entry is refused rather than dropped.
    editor.select(rowOf(kTm));
    editor.removeSelected();
    r = save({"FR", "", ""});
    EXPECT_EQ(r.status, Status::Refused);
    EXPECT_EQ(r.refusal->field, PrefixField::EntityName);
    EXPECT_TRUE(editor.deletePending());
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kTm}));
}

TEST_F(PrefixEditing, EditWithoutSelectionAddsAndOpeningClearsBothModes) {
    writeFile({kFrance, kTm, kItaly});
    editor.open();
    // A delete made in edit mode leaves no selected line: the entry is added.
    editor.beginEdit(rowOf(kFrance));
    editor.select(rowOf(kTm));
    editor.removeSelected();
    expectSavedAndReset(save({"FR", "Reunion Island", "FR"}));
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kReunion, kItaly}));
    // Reopening forgets a pending edit, so the next save cannot replace a stale row.
    editor.beginEdit(rowOf(kFrance));
    editor.removeSelected();
    editor.open();
    EXPECT_FALSE(editor.editMode());
    EXPECT_FALSE(editor.deletePending());
    EXPECT_FALSE(editor.selectedRow());
    EXPECT_EQ(editor.list().lines(), (Lines{kFrance, kReunion, kItaly}));
}

TEST_F(PrefixEditing, MissingFileOpensEmptyAndTheFirstSaveCreatesIt) {
    editor.open();
    EXPECT_TRUE(editor.list().empty());
    expectSavedAndReset(save({"TM", "France", "F"}));
    EXPECT_EQ(fileBytes(), kTm + "\r\n");
}

TEST_F(PrefixEditing, FailedWriteLeavesFileListAndModesAsTheyWere) {
    writeFile({kFrance, kTm});
    editor.open();
    editor.beginEdit(rowOf(kTm));
    // A directory where the scratch file goes: the write fails even for root.
    std::filesystem::create_directory(dir / kPrefixScratchName);
    const PrefixSaveResult r = save({"TK", "Corsica", "TK"});
    ASSERT_EQ(r.status, Status::WriteFailed);
    ASSERT_TRUE(r.error);
    EXPECT_NE(r.error->code(), 0);
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kTm}));
    EXPECT_EQ(editor.list().lines(), (Lines{kFrance, kTm}));
    EXPECT_TRUE(editor.editMode());
    EXPECT_EQ(editor.selectedRow(), 1u);
    // Once the cause is gone the same save goes through.
    std::filesystem::remove(dir / kPrefixScratchName);
    expectSavedAndReset(save({"TK", "Corsica", "TK"}));
    EXPECT_EQ(fileBytes(), joinLines({kFrance, buildPrefixEntry("TK", "Corsica", "TK")}));
}

TEST_F(PrefixEditing, ShippedFileComesBackByteForByteAroundANewEntry) {
    const std::string shipped = readFileBytes(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt");
    dir.write("Prefixe_DXCC.txt", shipped);
    editor.open();
    const auto& lines = editor.list().lines();
    ASSERT_GT(lines.size(), 7000u);
    EXPECT_EQ(editor.list().fileBytes(), shipped);  // already in list order
    const std::string added = buildPrefixEntry("TM0ZZZ", "Test", "TST");
    expectSavedAndReset(save({"TM0ZZZ", "Test", "TST"}));
    std::string expected = shipped;
    const size_t row = rowOf(added);
    ASSERT_LT(row, lines.size());
    size_t at = 0;
    for (size_t i = 0; i < row; ++i) at = expected.find("\r\n", at) + 2;
    expected.insert(at, added + "\r\n");
    EXPECT_EQ(fileBytes(), expected);
}

}  // namespace
}  // namespace dxcc

namespace dxcc {
namespace {

const std::string kFtdm = buildExactCallLine("TO8FTDM", "Guadeloupe", "FG");
const std::string kRotuma = buildExactCallLine("3D2AG/P", "Rotuma Island", "3D2/r");

TEST(ExactCallFieldCheck, AWholeCallsignOfTheLogOnly) {
    struct Case {
        PrefixField field;
        std::string text;
        std::optional<std::string_view> refusal;
    };
    const Case cases[] = {
        {PrefixField::CallsignPrefix, "9M6/LA6VM", std::nullopt},
        {PrefixField::CallsignPrefix, "TO8FTDM", std::nullopt},
        {PrefixField::CallsignPrefix, "VP8/G4ABC/MM", std::nullopt},  // 12 characters
        {PrefixField::CallsignPrefix, "VP8/G4ABCD/MM", msg::kExactCallTooLong},
        {PrefixField::CallsignPrefix, "", msg::kExactCallEmpty},
        {PrefixField::CallsignPrefix, "   ", msg::kExactCallEmpty},
        {PrefixField::CallsignPrefix, "F5 ABC", msg::kExactCallCharacters},
        {PrefixField::CallsignPrefix, "f5abc", msg::kExactCallCharacters},
        {PrefixField::CallsignPrefix, "F5ABC\t", msg::kExactCallCharacters},
        {PrefixField::EntityName, std::string(34, 'x'), msg::kEntityNameTooLong},
        {PrefixField::DxccPrefix, "", msg::kDxccPrefixEmpty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(checkExactCallField(c.field, c.text), c.refusal);
    }
}

class ExactCallEditing : public PrefixEditing {
protected:
    void writeExact(const Lines& lines) { dir.write("Exceptions_DXCC.txt", joinLines(lines)); }
    std::string exactBytes() const { return dir.read("Exceptions_DXCC.txt"); }
};

TEST_F(ExactCallEditing, ExactCallsAreAddedEditedAndRemovedInTheirOwnFile) {
    writeFile({kFrance, kTm});
    writeExact({kFtdm});
    editor.open();
    EXPECT_EQ(editor.list().lines(), (Lines{kFrance, kTm}));
    editor.showExactCalls(true);
    EXPECT_EQ(editor.list().lines(), (Lines{kFtdm}));
    EXPECT_EQ(session.prefixes().lookup("3D2AG/P").dxccPrefix, "");

    EXPECT_EQ(save({"3D2AG/P", "Rotuma Island", "3D2/r"}).status, Status::Saved);
    EXPECT_EQ(exactBytes(), joinLines({kRotuma, kFtdm}));
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kTm}));
    EXPECT_EQ(session.prefixes().lookup("3D2AG/P").kind, MatchKind::Exact);

    // One callsign, one line: another entity for it is a duplicate.
    const PrefixSaveResult twice = save({"TO8FTDM", "France", "F"});
    EXPECT_EQ(twice.status, Status::Duplicate);
    EXPECT_EQ(twice.duplicate, kFtdm);

    // A double-click opens the line; the save replaces it.
    EXPECT_EQ(editor.beginEdit(1), (PrefixFields{"TO8FTDM", "Guadeloupe", "FG"}));
    EXPECT_EQ(save({"TO8FTDM", "Martinique", "FM"}).status, Status::Saved);
    EXPECT_EQ(exactBytes(),
              joinLines({kRotuma, buildExactCallLine("TO8FTDM", "Martinique", "FM")}));

    editor.select(0);
    editor.removeSelected();
    EXPECT_EQ(save({}).status, Status::Saved);
    EXPECT_EQ(exactBytes(), joinLines({buildExactCallLine("TO8FTDM", "Martinique", "FM")}));
    EXPECT_EQ(session.prefixes().lookup("3D2AG/P").kind, MatchKind::None);
    EXPECT_EQ(fileBytes(), joinLines({kFrance, kTm}));
}

TEST_F(ExactCallEditing, ALineMovedFromThePrefixesToTheExactCallsWritesBothFiles) {
    writeFile({kFrance, buildPrefixEntry("KH6AB", "Hawaii", "KH6")});
    writeExact({kFtdm});
    editor.open();
    // The whole callsign an old build put among the prefixes: deleted there,
    // typed as an exact call, both saved at once.
    editor.select(1);
    editor.removeSelected();
    editor.showExactCalls(true);
    EXPECT_EQ(save({"KH6AB", "Hawaii", "KH6"}).status, Status::Saved);
    EXPECT_EQ(fileBytes(), joinLines({kFrance}));
    EXPECT_EQ(exactBytes(), joinLines({buildExactCallLine("KH6AB", "Hawaii", "KH6"), kFtdm}));
    // KH6ABD is no longer Hawaii by the prefix KH6AB.
    EXPECT_EQ(session.prefixes().lookup("KH6ABD").kind, MatchKind::None);
    EXPECT_EQ(session.prefixes().lookup("KH6AB").kind, MatchKind::Exact);
}

}  // namespace
}  // namespace dxcc
