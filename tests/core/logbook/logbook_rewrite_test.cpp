// The log operations edit the loaded copy in place and write it out; these
// tests check the copy and the file against a plain list of lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"
#include "core/base/text_file.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::TempDir;

using testing_support::qso;

class LogbookRewrite : public ::testing::Test {
protected:
    LogbookRewrite() : log(dir.path()) { log.setStationCallsign("F6XYZ"); }

    void writeRaw(const std::string& bytes) {
        dir.write("F6XYZ_DXCC.log", bytes);
        log.load();
    }
    std::string fileBytes() const { return dir.read("F6XYZ_DXCC.log"); }
    std::vector<std::string> memoryLines() const {
        std::vector<std::string> out;
        for (size_t i = 0; i < log.size(); ++i) out.emplace_back(log.record(i));
        return out;
    }

    TempDir dir;
    Logbook log;
};

TEST_F(LogbookRewrite, EveryRewriteWritesCrLfAfterEveryLine) {
    const std::string a = qso("A", "01/02/08", "12:00");
    const std::string b = qso("B", "02/02/08", "12:00");
    const std::string c = qso("C", "03/02/08", "12:00");
    const std::string mixed = a + "\n" + b + "\r\n" + c;  // bare LF, no end at all

    writeRaw(mixed);
    log.load();
    log.modifyAt(1, b, qso("B2", "02/02/08", "12:00"));
    EXPECT_EQ(fileBytes(), joinLines({a, qso("B2", "02/02/08", "12:00"), c}));
    EXPECT_EQ(memoryLines(), readLines(log.logPath()));

    writeRaw(mixed);
    log.load();
    log.removeAt(2, c);
    EXPECT_EQ(fileBytes(), joinLines({a, b}));
    EXPECT_EQ(memoryLines(), readLines(log.logPath()));

    writeRaw(mixed);
    log.insertInDateOrder(qso("N", "02/02/08", "13:00"));
    EXPECT_EQ(fileBytes(), joinLines({a, b, qso("N", "02/02/08", "13:00"), c}));
    EXPECT_EQ(memoryLines(), readLines(log.logPath()));
}

TEST_F(LogbookRewrite, ModifyToLongerOrShorterLinesMovesEverythingAfterThem) {
    const std::string a = qso("A", "01/02/08", "12:00");
    const std::string b = qso("B", "02/02/08", "12:00");
    writeRaw(joinLines({a, b, a, b, a}));
    log.load();
    const std::string longer = a + "EXTRA";
    log.modifyAt(2, a, longer);
    EXPECT_EQ(fileBytes(), joinLines({a, b, longer, b, a}));
    EXPECT_EQ(memoryLines(), readLines(log.logPath()));
    log.modifyAt(1, b, "X");
    EXPECT_EQ(fileBytes(), joinLines({a, "X", longer, b, a}));
    EXPECT_EQ(memoryLines(), readLines(log.logPath()));
    log.modifyAt(2, longer, "");
    EXPECT_EQ(fileBytes(), joinLines({a, "X", "", b, a}));
    EXPECT_EQ(memoryLines(), readLines(log.logPath()));
}

// A long random mix of every operation, as a plain list of lines would do them.
TEST_F(LogbookRewrite, RandomOperationsKeepFileMemoryAndModelEqual) {
    std::mt19937 rng(12345);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const std::vector<std::string> dates{"01/01/99", "31/12/99", "01/01/00",
                                         "15/06/08", "15/06/08", "31/12/49"};
    auto randomRecord = [&] {
        if (pick(10) == 0) return std::string("ODD LINE ") + std::to_string(pick(3));
        return qso("K" + std::to_string(pick(6)), dates[pick(dates.size())],
                   pick(2) ? "10:00" : "23:59");
    };

    log.createEmptyLog("F6XYZ");
    log.load();
    std::vector<std::string> model;
    for (int step = 0; step < 300; ++step) {
        const std::string r = randomRecord();
        const size_t row = model.empty() ? 0 : pick(model.size());
        switch (model.empty() ? 0 : pick(4)) {
            case 0: {
                std::vector<std::string_view> views(model.begin(), model.end());
                model.insert(
                    model.begin() + static_cast<ptrdiff_t>(Logbook::insertionIndex(views, r)), r);
                log.insertInDateOrder(r);
                break;
            }
            case 1:
                log.modifyAt(row, model[row], r);
                model[row] = r;
                break;
            case 2:
                log.removeAt(row, model[row]);
                model.erase(model.begin() + static_cast<ptrdiff_t>(row));
                break;
            default:
                model.push_back(r);
                log.appendRecord(r);
                break;
        }
        ASSERT_EQ(fileBytes(), joinLines(model)) << "step " << step;
        ASSERT_EQ(memoryLines(), model) << "step " << step;
    }
}

TEST_F(LogbookRewrite, LoadSeesTheFileAfterItShrankOrGrewElsewhere) {
    std::vector<std::string> big;
    for (int i = 0; i < 3000; ++i) {
        std::string call = "G";
        call += std::to_string(i);
        big.push_back(qso(call, "01/02/08", "12:00"));
    }
    writeRaw(joinLines(big));
    ASSERT_EQ(log.size(), big.size());
    writeRaw(joinLines({big[7]}));
    EXPECT_EQ(memoryLines(), std::vector<std::string>{big[7]});
    writeRaw(joinLines(big));
    EXPECT_EQ(memoryLines(), big);
    writeRaw("");
    EXPECT_TRUE(log.empty());
}

TEST(ReadFileInto, ReusesTheBufferAndReadsExactlyTheFile) {
    TempDir dir;
    dir.write("f", std::string(1000000, 'x'));
    std::string bytes;
    readFileInto(dir / "f", bytes, 4096);
    EXPECT_EQ(bytes, std::string(1000000, 'x'));
    EXPECT_GE(bytes.capacity(), 1000000u + 4096u);
    const char* before = bytes.data();
    dir.write("f", std::string(1000050, 'y'));
    readFileInto(dir / "f", bytes, 4096);
    EXPECT_EQ(bytes, std::string(1000050, 'y'));
    EXPECT_EQ(bytes.data(), before);  // no new memory for a slightly longer file
    dir.write("f", "z");
    readFileInto(dir / "f", bytes, 4096);
    EXPECT_EQ(bytes, "z");
    EXPECT_LT(bytes.capacity(), 1000000u);  // far too large a buffer is given back
}

}  // namespace
}  // namespace dxcc
