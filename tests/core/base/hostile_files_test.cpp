// Files no program of ours wrote: odd bytes are kept as they are, and what
// cannot be read sensibly (too large, not a plain file) is refused at once with
// its own error, without taking memory or waiting.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/adif/adif_reader.h"
#include "core/adif/confirmation_merge.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/first_names.h"
#include "core/prefixes/prefix_entries.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "core/session/data_folder.h"
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

// A link at `link` to a device that never ends: a device node of our own
// beside it where one can be made (as root, who could otherwise replace the
// system's by mistake), else /dev/zero itself.
void linkToEndlessDevice(const std::filesystem::path& link) {
    const std::filesystem::path node = link.parent_path() / "zero-device";
    constexpr unsigned kZero = 5;
    const bool own =
        ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, kZero)) == 0 || errno == EEXIST;
    std::filesystem::create_symlink(own ? node : std::filesystem::path("/dev/zero"), link);
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
    {"a device that never ends", linkToEndlessDevice, kPathFileAccessError},
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
    for (int i = 10; i < 21; ++i) records += "<CALL:5>F5A" + std::to_string(i) + "<EOR>";
    EXPECT_EQ(adif::importAdif(records, PrefixTable(), {}, 11).records.size(), 11u);
    EXPECT_EQ(codeOf([&] { adif::importAdif(records + "<A:0><EOR>", PrefixTable(), {}, 11); }),
              kOutOfMemory);
}

// What stands where the ADIF file to import or the confirmations to merge
// should be: refused at once, as every other reader refuses it, without waiting
// for a writer or reading a device that never ends; the log is left alone.
struct HostileInput {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    int code;
    int systemError;
};

const HostileInput kHostileInputs[] = {
    {"a folder", [](const auto& p) { std::filesystem::create_directory(p); }, kPathFileAccessError,
     EISDIR},
    {"a named pipe with no writer", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
     kPathFileAccessError, 0},
    {"a device that never ends", linkToEndlessDevice, kPathFileAccessError, 0},
    {"nothing", [](const auto&) {}, kFileNotFound, ENOENT},
};

struct AdifCommand {
    const char* name;
    std::function<void(Logbook&, PrefixFile&, const std::filesystem::path&)> run;
};

const AdifCommand kAdifCommands[] = {
    {"import",
     [](Logbook& log, PrefixFile& prefixes, const std::filesystem::path& file) {
         adif::importIntoLog(log, file, prefixes.table());
     }},
    {"confirm",
     [](Logbook& log, PrefixFile& prefixes, const std::filesystem::path& file) {
         adif::confirmIntoLog(log, file, prefixes.table());
     }},
};

TEST(HostileFiles, AnAdifFileThatIsNoPlainFileIsRefusedAtOnceLikeEveryOther) {
    for (const AdifCommand& command : kAdifCommands) {
        for (const HostileInput& input : kHostileInputs) {
            SCOPED_TRACE(std::string(command.name) + " of " + input.name);
            TempDir dir;
            dir.write("F6XYZ_DXCC.log", joinLines({kGood}));
            Logbook log(dir.path());
            log.setStationCallsign("F6XYZ");
            log.load();
            PrefixFile prefixes(dir / "Prefixe_DXCC.txt");
            input.make(dir / "in.adi");
            try {
                command.run(log, prefixes, dir / "in.adi");
                ADD_FAILURE() << "read as a file";
            } catch (const FileError& e) {
                EXPECT_EQ(e.code(), input.code);
                EXPECT_EQ(e.systemError(), input.systemError);
            }
            EXPECT_EQ(dir.read("F6XYZ_DXCC.log"), joinLines({kGood}));
        }
    }
}

const std::string kRecordA = "<CALL:5>F5AAA<QSO_DATE:8>20080101<TIME_ON:4>1000<EOR>\n";
const std::string kRecordB = "<CALL:5>F5BBB<QSO_DATE:8>20080102<TIME_ON:4>1000<EOR>\n";
const std::string kRecordC = "<CALL:5>F5CCC<QSO_DATE:8>20080103<TIME_ON:4>1000<EOR>\n";

// An ADIF file in which something goes on far too long without an <EOR>.
struct EndlessRecord {
    const char* name;
    std::string bytes;
    std::vector<std::string> calls;
    size_t skipped;
};

const EndlessRecord kEndlessRecords[] = {
    {"zeros between records",
     kRecordA + std::string(100'000, '\0') + kRecordB + kRecordC,
     {"F5AAA", "F5CCC"},
     1},
    {"a value as long as a gigabyte",
     kRecordA + "<NOTES:999999999>" + std::string(100'000, 'x') + kRecordB + kRecordC,
     {"F5AAA", "F5CCC"},
     1},
    {"text to the end of the file", kRecordA + std::string(100'000, 'x'), {"F5AAA"}, 1},
    {"two in a row",
     kRecordA + std::string(50'000, '\0') + "<EOR>" + std::string(50'000, '<') + kRecordB +
         kRecordC,
     {"F5AAA", "F5CCC"},
     2},
    {"a long record within the bound",
     kRecordA + "<NOTES:12000>" + std::string(12'000, 'x') + kRecordB + kRecordC,
     {"F5AAA", "F5BBB", "F5CCC"},
     0},
};

TEST(HostileFiles, AnAdifRecordWithoutEndIsPassedOverAndCounted) {
    constexpr size_t kBuffer = 1024, kMaxRecord = 16 * 1024;
    for (const EndlessRecord& endless : kEndlessRecords) {
        SCOPED_TRACE(endless.name);
        TempDir dir;
        dir.write("in.adi", endless.bytes);
        adif::FileReader reader(dir / "in.adi", kBuffer, kMaxRecord);
        std::vector<adif::Field> fields;
        std::vector<std::string> calls;
        while (reader.next(fields)) {
            const adif::Field* call = adif::findField(fields, "CALL");
            calls.emplace_back(call ? call->value : "?");
        }
        EXPECT_EQ(calls, endless.calls);
        EXPECT_EQ(reader.warnings().longRecordsSkipped, endless.skipped);
        EXPECT_EQ(reader.offset(), endless.bytes.size());
    }
}

// Resident memory of this process, in bytes.
size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

// A file of half a gigabyte that holds nothing but zeros between its records
// (a sparse file: no room on disk) is read through in bounded memory, in a
// child process whose peak memory is measured.
TEST(HostileFiles, AnAdifImportOfHalfAGigabyteOfZerosStaysWithinBoundedMemory) {
    TempDir dir;
    const std::filesystem::path file = dir / "zeros.adi";
    std::ofstream(file, std::ios::binary) << kRecordA;
    ASSERT_EQ(::truncate(file.c_str(), off_t{512} << 20), 0);
    std::ofstream(file, std::ios::binary | std::ios::app) << kRecordB << kRecordC;

    const size_t before = residentBytes();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const adif::AdifImport imported = adif::importAdifFile(file, PrefixTable());
        const std::vector<std::string> lines = adif::reportLines(imported.report);
        const bool counted = std::find(lines.begin(), lines.end(),
                                       "Textes de plus de 8 Mio sans fin <EOR> (pas des QSO), "
                                       "ignorés : 1") != lines.end();
        ::_exit(imported.records.size() == 2 && counted ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "records or report wrong";
    const size_t peak = static_cast<size_t>(usage.ru_maxrss) * 1024;
    EXPECT_LT(peak, before + (size_t{96} << 20)) << "peak " << (peak >> 20) << " MiB";
}

TEST(LeftoverScratchFiles, AreRemovedAndNothingElse) {
    TempDir dir;
    DataFolder folder(dir.path());
    ASSERT_EQ(folder.claim(), DataFolderLock::Outcome::Held);
    for (const char* name : {"Temporaire.txt", "Temporaire6.txt", "Temporaire8.txt",
                             "F6XYZ_DXCC.log", "Temporaire7.txt", "Liste_Prenom.txt"})
        dir.write(name, "x\r\n");
    std::filesystem::remove(dir / "Temporaire6.txt");
    std::filesystem::create_directory(dir / "Temporaire6.txt");  // not ours to remove

    const auto removed = folder.removeLeftoverScratchFiles();
    EXPECT_EQ(removed.size(), 2u);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
              (std::vector<std::string>{"F6XYZ_DXCC.log", "Liste_Prenom.txt", "Temporaire6.txt",
                                        "Temporaire7.txt", "VEL_DXCC.lock"}));
}

}  // namespace
}  // namespace dxcc
