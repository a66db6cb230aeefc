// Operations that name a contact by its row, blocks, appends, and what each
// reports to the list.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::qso;
using testing_support::TempDir;
using Kind = LogChange::Kind;

class LogbookRowsTest : public ::testing::Test {
protected:
    LogbookRowsTest() : log(dir.path()) { log.setStationCallsign("F6XYZ"); }
    void writeRaw(const std::string& bytes) {
        dir.write("F6XYZ_DXCC.log", bytes);
        log.load();
    }
    // Another program writes the file behind the log's back.
    void writeBehindItsBack(const std::string& bytes) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::ofstream(log.logPath(), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string file() const { return dir.read("F6XYZ_DXCC.log"); }
    void expectMemoryEqualsFile() const {
        std::vector<std::string> memory;
        for (size_t i = 0; i < log.size(); ++i) memory.emplace_back(log.record(i));
        EXPECT_EQ(memory, readLines(log.logPath()));
    }

    TempDir dir;
    Logbook log;
};

// Lines that another program wrote (LF ends, short lines) are found by row.
TEST_F(LogbookRowsTest, ModifyAndRemoveByRowWorkOnLinesThisProgramDidNotWrite) {
    writeRaw("F5AAA short\nF5BBB other line\nF5CCC last");
    const std::string edited = qso("F5BBB", "01/02/08", "10:00");

    LogChange c = log.modifyAt(1, "F5BBB other line", edited);
    EXPECT_EQ(c.kind, Kind::Changed);
    EXPECT_EQ(c.row, 1u);
    EXPECT_EQ(file(), "F5AAA short\r\n" + edited + "\r\nF5CCC last\r\n");

    c = log.removeAt(0, "F5AAA short");
    EXPECT_EQ(c.kind, Kind::Removed);
    EXPECT_EQ(c.row, 0u);
    EXPECT_EQ(file(), edited + "\r\nF5CCC last\r\n");
    expectMemoryEqualsFile();
}

TEST_F(LogbookRowsTest, ALineChangedOnDiskIsRefusedAndNothingIsWritten) {
    const std::string a = qso("F5AAA", "01/02/08", "10:00"), b = qso("F5BBB", "01/02/08", "11:00");
    writeRaw(a + "\r\n" + b + "\r\n");
    const std::string other = qso("F5ZZZ", "01/02/08", "11:00");
    writeBehindItsBack(a + "\r\n" + other + "\r\n");

    EXPECT_THROW(log.modifyAt(1, b, qso("F5XXX", "01/02/08", "11:00")), LogLineChanged);
    EXPECT_THROW(log.removeAt(1, b), LogLineChanged);
    EXPECT_THROW(log.removeAt(7, b), LogLineChanged);  // no such row any more
    EXPECT_EQ(file(), a + "\r\n" + other + "\r\n");
    expectMemoryEqualsFile();
}

TEST_F(LogbookRowsTest, AppendExtendsTheCopyWithoutReadingTheFileAgain) {
    const std::string a = qso("F5AAA", "01/02/08", "10:00"), b = qso("F5BBB", "01/02/08", "11:00");
    writeRaw(a);  // no line end: the append must not merge the lines
    LogChange c = log.appendRecord(b);
    EXPECT_EQ(c.kind, Kind::Inserted);
    EXPECT_EQ(c.row, 1u);
    EXPECT_EQ(c.count, 1u);
    EXPECT_EQ(file(), a + "\r\n" + b + "\r\n");
    expectMemoryEqualsFile();

    // Changed elsewhere: the copy is read again and the list told to reset.
    writeBehindItsBack(a + "\r\n" + a + "\r\n" + b + "\r\n");
    c = log.appendRecord(b);
    EXPECT_EQ(c.kind, Kind::Reset);
    EXPECT_EQ(log.size(), 4u);
    expectMemoryEqualsFile();
}

TEST_F(LogbookRowsTest, ABlockGoesInAtItsPlaceWithOneRewrite) {
    const std::string a = qso("A", "01/01/08", "10:00"), z = qso("Z", "01/01/09", "10:00");
    writeRaw(a + "\r\n" + z + "\r\n");
    const std::vector<std::string> block{qso("B", "02/01/08", "10:00"),
                                         qso("C", "03/01/08", "10:00")};

    LogChange c = log.insertBlock(1, block);
    EXPECT_EQ(c.kind, Kind::Inserted);
    EXPECT_EQ(c.row, 1u);
    EXPECT_EQ(c.count, 2u);
    EXPECT_EQ(file(), a + "\r\n" + block[0] + "\r\n" + block[1] + "\r\n" + z + "\r\n");

    c = log.insertBlock(99, {qso("Y", "01/01/10", "10:00")});  // past the end: at the end
    EXPECT_EQ(c.row, 4u);
    EXPECT_EQ(log.record(4), qso("Y", "01/01/10", "10:00"));
    c = log.insertBlock(0, {});
    EXPECT_EQ(c.count, 0u);
    expectMemoryEqualsFile();
    EXPECT_FALSE(std::filesystem::exists(dir / Logbook::kInsertScratch));
}

struct BlockLinesCase {
    const char* what;
    size_t index;
    bool roomForTheLog;  // the block's memory can hold the whole log
    size_t front;        // bytes before the block's lines in its memory
};

// A block given as ready lines: merged into its own memory when it has room for
// the log (which then lives there), else spliced into the log's copy; its
// lines may stand anywhere in that memory, where the log will have them or not.
TEST_F(LogbookRowsTest, ABlockOfReadyLinesGoesInAtItsPlace) {
    const std::vector<std::string> log3{qso("A", "01/01/08", "10:00"),
                                        qso("M", "01/06/08", "10:00"),
                                        qso("Z", "01/01/09", "10:00")};
    const std::vector<std::string> block{qso("B", "02/01/08", "10:00"),
                                         qso("C", "03/01/08", "10:00")};
    constexpr size_t kLine = kRecordLength + 2;
    const std::vector<BlockLinesCase> cases{
        {"at the start, in the block's memory", 0, true, 0},
        {"in the middle, in the block's memory", 2, true, 0},
        {"at the end, in the block's memory", 3, true, 0},
        {"past the end, in the block's memory", 9, true, 0},
        {"in the middle, already where it goes", 2, true, 2 * kLine},
        {"at the end, already where it goes", 3, true, 3 * kLine},
        {"in the middle, written further on", 1, true, 2 * kLine + 5},
        {"at the start, written past where the log ends", 0, true, 4 * kLine},
        {"at the start, spliced", 0, false, 0},
        {"in the middle, spliced", 1, false, 0},
        {"at the end, spliced from further on", 3, false, 7},
    };
    for (const BlockLinesCase& c : cases) {
        writeRaw(joinLines(log3));
        BlockBytes lines{ByteBuffer(std::string(c.front, '?') + joinLines(block)), c.front};
        if (c.roomForTheLog) lines.bytes.reserve(lines.bytes.size() + log.byteSize());
        const char* blockMemory = lines.bytes.data();

        const LogChange change = log.insertBlockLines(c.index, std::move(lines));
        const size_t at = std::min(c.index, log3.size());
        std::vector<std::string> expected = log3;
        expected.insert(expected.begin() + static_cast<ptrdiff_t>(at), block.begin(), block.end());
        EXPECT_EQ(file(), joinLines(expected)) << c.what;
        EXPECT_EQ(change.kind, Kind::Inserted) << c.what;
        EXPECT_EQ(change.row, at) << c.what;
        EXPECT_EQ(change.count, block.size()) << c.what;
        expectMemoryEqualsFile();
        EXPECT_EQ(log.record(0).data() == blockMemory, c.roomForTheLog) << c.what;
    }
}

TEST_F(LogbookRowsTest, InsertReportsItsRow) {
    writeRaw(qso("A", "01/01/08", "10:00") + "\r\n" + qso("Z", "01/01/09", "10:00") + "\r\n");
    const LogChange c = log.insertInDateOrder(qso("M", "01/06/08", "10:00"));
    EXPECT_EQ(c.kind, Kind::Inserted);
    EXPECT_EQ(c.row, 1u);
}

}  // namespace
}  // namespace dxcc
