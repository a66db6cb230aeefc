// Files no program of ours wrote: odd bytes are kept as they are, and what
// cannot be read sensibly (too large, not a plain file) is refused at once with
// its own error, without taking memory or waiting.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/base/file_error.h"
#include "core/session/log_session.h"
#include "core/record/qso_record.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_entries.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

using testing_support::qso;
using testing_support::TempDir;

const std::string kGood = qso("F5ABC", "01/02/08", "12:00");

std::string withNuls() {
    std::string line = kGood;
    line[3] = '\0';
    line[100] = '\0';
    return line;
}

// Lines that must come back exactly, whatever a rewrite of another line does.
struct OddLines {
    const char* name;
    std::vector<std::string> lines;
};

const OddLines kOddLines[] = {
    {"NUL bytes", {withNuls(), "\0\0\0"}},
    {"a 1 MB line", {kGood + std::string(1 << 20, 'X')}},
    {"bytes no code page has", {"\x81\x8D\x8F\x90\x9D\xFF\xFE", kGood + "\x80\x9F"}},
    {"lone carriage returns", {"A\rB\rC", "\r"}},
};

TEST(HostileLogLines, AreLoadedAndKeptByteForByteByEveryRewrite) {
    for (const OddLines& odd : kOddLines) {
        SCOPED_TRACE(odd.name);
        TempDir dir;
        std::vector<std::string> lines = odd.lines;
        lines.push_back(kGood);
        dir.write("F6XYZ_DXCC.log", joinLines(lines));
        Logbook log(dir.path());
        log.setStationCallsign("F6XYZ");
        log.load();
        ASSERT_EQ(log.size(), lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(log.record(i), lines[i]);
            EXPECT_EQ(log.displayLine(i).size(), kDisplayLineLength);
        }
        const std::string edited = qso("F5XYZ", "01/02/08", "13:00");
        log.modifyAt(lines.size() - 1, kGood, edited);
        log.insertInDateOrder(qso("F5NEW", "01/02/08", "12:30"));
        lines.back() = edited;
        lines.insert(lines.end() - 1, qso("F5NEW", "01/02/08", "12:30"));
        EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), joinLines(lines));
    }
}

// A file of `size` bytes that takes no room on disk.
void makeSparse(const std::filesystem::path& file, off_t size) {
    std::ofstream{file};
    ASSERT_EQ(::truncate(file.c_str(), size), 0);
}

// What stands where the data file should be.
struct Intruder {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    int code;
};

const Intruder kIntruders[] = {
    {"a 2 GB file", [](const auto& p) { makeSparse(p, off_t{2} << 30); }, kOutOfMemory},
    {"one byte over the limit",
     [](const auto& p) { makeSparse(p, static_cast<off_t>(kLogFileLimits.maxBytes) + 1); },
     kOutOfMemory},
    {"a directory", [](const auto& p) { std::filesystem::create_directory(p); },
     kPathFileAccessError},
    {"a named pipe", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
     kPathFileAccessError},
    {"a device that never ends",
     [](const auto& p) { std::filesystem::create_symlink("/dev/zero", p); }, kPathFileAccessError},
};

int codeOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const FileError& e) {
        return e.code();
    }
    return 0;
}

TEST(HostileFiles, AreRefusedWithTheirOwnErrorBeforeAnythingIsRead) {
    for (const Intruder& intruder : kIntruders) {
        SCOPED_TRACE(intruder.name);
        TempDir dir;
        Logbook log(dir.path());
        log.setStationCallsign("F6XYZ");
        PrefixFile prefixes(dir / "Prefixe_DXCC.txt");
        FirstNameMemory names(dir.path());
        intruder.make(log.logPath());
        intruder.make(prefixes.path());
        intruder.make(names.path());

        EXPECT_EQ(codeOf([&] { log.load(); }), intruder.code);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(codeOf([&] { log.appendRecord(kGood); }), intruder.code);
        EXPECT_TRUE(prefixes.unreadable());
        EXPECT_FALSE(prefixes.lookup("F5ABC").found());
        EXPECT_EQ(codeOf([&] { names.lookup("F5ABC"); }), intruder.code);
        EXPECT_EQ(codeOf([&] { names.update("F5ABC", "JEAN"); }), intruder.code);
        PrefixEditor editor(dir.path());
        EXPECT_EQ(codeOf([&] { editor.open(); }), intruder.code);
    }
}

TEST(HostileFiles, TooManyLinesAreRefusedButTheLimitItselfLoads) {
    TempDir dir;
    Logbook log(dir.path());
    log.setStationCallsign("F6XYZ");
    dir.write("F6XYZ_DXCC.log", std::string(kLogFileLimits.maxLines, '\n'));
    log.load();
    EXPECT_EQ(log.size(), kLogFileLimits.maxLines);
    dir.write("F6XYZ_DXCC.log", std::string(kLogFileLimits.maxLines + 1, '\n'));
    EXPECT_EQ(codeOf([&] { log.load(); }), kOutOfMemory);
    EXPECT_TRUE(log.empty());

    dir.write("Prefixe_DXCC.txt", std::string(kPrefixFileLimits.maxLines + 1, '\n'));
    PrefixFile prefixes(dir / "Prefixe_DXCC.txt");
    EXPECT_TRUE(prefixes.unreadable());
}

TEST(HostileFiles, AnAdifFileWithMoreRecordsThanALogHoldsIsRefused) {
    std::string records;
    for (int i = 0; i < 11; ++i) records += "<CALL:5>F5ABC<EOR>";
    EXPECT_EQ(adif::importAdif(records, PrefixTable(), {}, 11).records.size(), 11u);
    EXPECT_EQ(codeOf([&] { adif::importAdif(records + "<A:0><EOR>", PrefixTable(), {}, 11); }),
              kOutOfMemory);
}

TEST(LeftoverScratchFiles, AreRemovedAndNothingElse) {
    TempDir dir;
    LogSession session(dir.path());
    ASSERT_EQ(session.claimDataFolder(), DataFolderLock::Outcome::Held);
    for (const char* name : {"Temporaire.txt", "Temporaire6.txt", "Temporaire8.txt",
                             "F6XYZ_DXCC.log", "Temporaire7.txt", "Liste_Prenom.txt"})
        dir.write(name, "x\r\n");
    std::filesystem::remove(dir / "Temporaire6.txt");
    std::filesystem::create_directory(dir / "Temporaire6.txt");  // not ours to remove

    const auto removed = session.removeLeftoverScratchFiles();
    EXPECT_EQ(removed.size(), 2u);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"F6XYZ_DXCC.log", "Liste_Prenom.txt",
                                              "Temporaire6.txt", "Temporaire7.txt",
                                              "VEL_DXCC.lock"}));
}

}  // namespace
}  // namespace dxcc
