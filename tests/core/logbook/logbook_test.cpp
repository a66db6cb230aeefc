#include "core/logbook/logbook.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/base/file_error.h"
#include "core/record/qso_record.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::TempDir;

using testing_support::qso;

class LogbookTest : public ::testing::Test {
protected:
    LogbookTest() : log(dir.path()) {
        log.setStationCallsign("F6XYZ");
        log.createEmptyLog("F6XYZ");
        log.load();
    }
    void writeLog(const std::vector<std::string>& lines) {
        dir.write("F6XYZ_DXCC.log", joinLines(lines));
        log.load();
    }
    std::vector<std::string> fileLines() const { return readLines(log.logPath()); }
    std::vector<std::string> memoryLines() const {
        std::vector<std::string> out;
        for (size_t i = 0; i < log.size(); ++i) out.emplace_back(log.record(i));
        return out;
    }
    // The list must always show exactly what the file holds.
    void expectMemoryEqualsFile() const { EXPECT_EQ(memoryLines(), fileLines()); }

    TempDir dir;
    Logbook log;
};

TEST_F(LogbookTest, LoadMissingLogIsError53AndLeavesNothing) {
    log.setStationCallsign("NOBODY");
    try {
        log.load();
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), kFileNotFound);
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(LogbookTest, LoadAcceptsLfShortLongAndUnterminatedLines) {
    const std::string longLine(300, 'X');
    dir.write("F6XYZ_DXCC.log", "A\nB\r\n\r\nSHORT\r\n" + longLine + "\r\nLAST");
    log.load();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log.record(0), "A");
    EXPECT_EQ(log.record(2), "");
    EXPECT_EQ(log.record(4), longLine);
    EXPECT_EQ(log.record(5), "LAST");
    EXPECT_EQ(log.displayLine(3).substr(0, 13), "     4  SHORT");
    EXPECT_EQ(log.displayLine(4).size(), kDisplayLineLength);
}

// Line ends as other programs leave them, including one cut by the size of the
// pieces the file is read in (256 KiB).
TEST_F(LogbookTest, LinesAreCutAtEveryKindOfLineEnd) {
    const std::string piece(256 * 1024 - 1, 'P');
    struct Case {
        std::string file;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"", {}},
        {"\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"A\r", {"A\r"}},
        {"A\r\r\nB", {"A\r", "B"}},
        {"\rA\n", {"\rA"}},
        {piece + "\r\nB\r\n", {piece, "B"}},
        {piece + "\nB", {piece, "B"}},
        {piece + "C\n\rD\r\n", {piece + "C", "\rD"}},
        // Lines of one length, then one that is not.
        {"AB\r\nCD\r\n", {"AB", "CD"}},
        {"AB\r\nCD\r\nE\r\n", {"AB", "CD", "E"}},
        {"AB\r\nCD\r\nEF", {"AB", "CD", "EF"}},
        {"AB\r\nCD\nEF\r\n", {"AB", "CD", "EF"}},
        {"AB\r\nCDE\r\nFG\r\n", {"AB", "CDE", "FG"}},
    };
    // Many lines of one length, then, past the first piece, a line end of
    // another kind inside them, or a longer line.
    std::string same;
    std::vector<std::string> sameLines(70000, "AB");
    for (const std::string& line : sameLines) same += line + "\r\n";
    std::vector<Case> all(std::begin(cases), std::end(cases));
    all.push_back({same + "C\nD\r\n", sameLines});
    all.back().records.insert(all.back().records.end(), {"C", "D"});
    all.push_back({same + "\n\r\r\n", sameLines});  // its CR LF where the next one's would be
    all.back().records.insert(all.back().records.end(), {"", "\r"});
    all.push_back({same + "ABC\r\nAB\r\n", sameLines});
    all.back().records.insert(all.back().records.end(), {"ABC", "AB"});
    for (const Case& c : all) {
        dir.write("F6XYZ_DXCC.log", c.file);
        log.load();
        std::vector<std::string> records;
        for (size_t i = 0; i < log.size(); ++i) records.emplace_back(log.record(i));
        EXPECT_EQ(records, c.records) << c.file.size();
        // Lines added after them, of their length or another, keep them whole.
        for (const char* added : {"NE", "NEW"}) {
            log.appendRecord(added);
            records.emplace_back(added);
            ASSERT_EQ(log.size(), records.size());
            for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(log.record(i), records[i]) << i;
            expectMemoryEqualsFile();
        }
        // A rewrite writes every line back with CR LF, and nothing else.
        log.modifyAt(0, records[0], "Z");
        std::string expected = "Z\r\n";
        for (size_t i = 1; i < records.size(); ++i) expected += records[i] + "\r\n";
        EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), expected) << c.file.size();
        expectMemoryEqualsFile();
    }
}

// A large log is read by two processors, each into its half: whatever stands
// in either half or where they meet, the lines are those of one reading.
TEST_F(LogbookTest, ALargeLogReadInTwoHalvesGivesEveryLine) {
    const std::string line(98, 'Q');
    const size_t lines = 17 * 1024 * 1024 / (line.size() + 2);  // more than 16 MiB
    std::string uniform;
    uniform.reserve(lines * (line.size() + 2));
    for (size_t i = 0; i < lines; ++i) uniform += line + "\r\n";
    const size_t half = uniform.size() / 2 / (256 * 1024) * (256 * 1024);
    struct Case {
        const char* what;
        size_t at;                // where the change goes
        std::string replacement;  // replaces the line end found from there on
    };
    const Case cases[] = {
        {"all lines of one length", 0, "\r\n"},
        {"a bare line end in the second half", uniform.size() - 1000, "\n"},
        {"a bare line end where the halves meet", half - 2, "\n"},
        {"a line end of three bytes in the first half", 5000, "\r\r\n"},
    };
    for (const Case& c : cases) {
        std::string file = uniform;
        const size_t lineEnd = file.find("\r\n", c.at);
        file.replace(lineEnd, 2, c.replacement);
        dir.write("F6XYZ_DXCC.log", file);
        log.load();
        const std::vector<std::string_view> expected = splitLines(file);
        ASSERT_EQ(log.size(), expected.size()) << c.what;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(log.record(i), expected[i]) << c.what << ", line " << i;
    }
    // No line end after the last line.
    dir.write("F6XYZ_DXCC.log", uniform + "END");
    log.load();
    ASSERT_EQ(log.size(), lines + 1);
    EXPECT_EQ(log.record(lines), "END");
    EXPECT_EQ(log.record(lines - 1), line);
}

TEST_F(LogbookTest, AppendQsoAddsOneCrLfLineEvenAfterAnUnterminatedOne) {
    dir.write("F6XYZ_DXCC.log", "OLD");
    log.load();
    const std::string r = qso("F5ABC", "01/02/08", "12:35", '*');
    log.appendRecord(r);
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), "OLD\r\n" + r + "\r\n");
    expectMemoryEqualsFile();
}

TEST_F(LogbookTest, InsertFollowsTheCenturyPivot) {
    const std::string y2000 = qso("A1", "01/01/00", "00:00");
    const std::string y1949 = qso("A2", "31/12/49", "10:00");
    writeLog({y2000, y1949});
    const std::string y1999 = qso("NEW99", "31/12/99", "23:59");
    log.insertInDateOrder(y1999);
    EXPECT_EQ(fileLines(), (std::vector<std::string>{y1999, y2000, y1949}));
    const std::string y1950 = qso("NEW50", "01/01/50", "00:00");
    log.insertInDateOrder(y1950);
    EXPECT_EQ(fileLines().front(), y1950);
    expectMemoryEqualsFile();
}

TEST_F(LogbookTest, InsertGoesBeforeEqualKeysAndAfterEarlierOnes) {
    const std::string a = qso("A", "01/02/08", "12:00");
    const std::string b = qso("B", "01/02/08", "12:35");
    const std::string c = qso("C", "02/02/08", "00:00");
    writeLog({a, b, c});
    const std::string same = qso("SAME", "01/02/08", "12:35");
    log.insertInDateOrder(same);
    EXPECT_EQ(fileLines(), (std::vector<std::string>{a, same, b, c}));
    const std::string last = qso("LAST", "03/02/08", "00:00");
    log.insertInDateOrder(last);
    EXPECT_EQ(fileLines().back(), last);
}

TEST_F(LogbookTest, InsertIntoEmptyLogGivesOneLine) {
    const std::string r = qso("F5ABC", "01/02/08", "12:35");
    log.insertInDateOrder(r);
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), r + "\r\n");
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(LogbookTest, InsertNeverJumpsBeforeAnUnreadableLine) {
    const std::string later = qso("LATER", "05/05/10", "10:00");
    writeLog({"GARBAGE WITHOUT DATE", later});
    const std::string r = qso("EARLY", "01/01/01", "00:00");
    log.insertInDateOrder(r);
    EXPECT_EQ(fileLines(), (std::vector<std::string>{"GARBAGE WITHOUT DATE", r, later}));
}

TEST_F(LogbookTest, OperationsAcceptARecordTakenFromTheLogItself) {
    const std::string a = qso("A", "01/02/08", "12:00");
    const std::string b = qso("B", "01/02/08", "13:00");
    writeLog({a, a});
    log.load();
    // The views point into the copy being replaced.
    log.modifyAt(1, log.record(1), b);
    log.removeAt(0, log.record(0));
    EXPECT_EQ(fileLines(), std::vector<std::string>{b});
    expectMemoryEqualsFile();
}

TEST_F(LogbookTest, FailedRewriteLeavesTheOldLogWhole) {
    if (geteuid() == 0) {
        // root ignores permissions: make the scratch name unusable instead.
        const std::string a = qso("A", "01/02/08", "12:00");
        writeLog({a});
        std::filesystem::create_directory(dir / Logbook::kRewriteScratch);
        std::filesystem::create_directory(dir / Logbook::kRewriteScratch / "x");
        log.load();
        EXPECT_THROW(log.removeAt(0, a), FileError);
        EXPECT_EQ(fileLines(), std::vector<std::string>{a});
        expectMemoryEqualsFile();
        return;
    }
    const std::string a = qso("A", "01/02/08", "12:00");
    writeLog({a});
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_THROW(log.insertInDateOrder(qso("B", "01/02/09", "12:00")), FileError);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(fileLines(), std::vector<std::string>{a});
    expectMemoryEqualsFile();
}

TEST_F(LogbookTest, CreateEmptyTruncates) {
    writeLog({qso("A", "01/02/08", "12:00")});
    log.createEmptyLog("F6XYZ");
    EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), "");
    log.createEmptyLog("FXXXX_P");
    EXPECT_TRUE(std::filesystem::exists(dir / "FXXXX_P_DXCC.log"));
}

TEST(TextFile, RewriteLeavesNoScratchBehind) {
    TempDir dir;
    dir.write("a.txt", "one\r\n");
    rewriteFile(dir / "a.txt", dir / "Temporaire.txt", "two\r\n");
    EXPECT_EQ(dir.read("a.txt"), "two\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "Temporaire.txt"));
}

}  // namespace
}  // namespace dxcc
