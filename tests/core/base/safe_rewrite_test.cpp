// What a rewrite replaces: only a plain file, reached through its links, and
// the new file keeps the permissions and owner of the old one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "core/adif/adif_export.h"
#include "core/adif/adif_import.h"
#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"
#include "core/session/data_folder.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace dxcc {
namespace {

namespace fs = std::filesystem;
using testing_support::qso;
using testing_support::TempDir;

struct stat statOf(const fs::path& p, bool follow = true) {
    struct stat st {};
    EXPECT_EQ(follow ? ::stat(p.c_str(), &st) : ::lstat(p.c_str(), &st), 0) << p;
    return st;
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A device node of our own (as root), so that a rewrite that went wrong could
// never replace the system's /dev/full or /dev/null.
bool makeDevice(const fs::path& p, unsigned minor) {
    return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

// What stands where the file to write is; false when it cannot be made here.
struct Target {
    const char* name;
    std::function<bool(const fs::path&)> make;
};

constexpr unsigned kFull = 7, kNull = 3;

const Target kNonPlainTargets[] = {
    {"a named pipe nobody reads", [](const fs::path& p) { return ::mkfifo(p.c_str(), 0644) == 0; }},
    {"a folder", [](const fs::path& p) { return fs::create_directory(p); }},
    {"a device that refuses writes", [](const fs::path& p) { return makeDevice(p, kFull); }},
    {"a link to a device that swallows them",
     [](const fs::path& p) {
         fs::create_symlink("null", p);
         return makeDevice(p.parent_path() / "null", kNull);
     }},
};

struct Writer {
    const char* name;
    std::function<void(const TempDir&, const fs::path&)> write;
};

const Writer kWriters[] = {
    {"rewrite",
     [](const TempDir& dir, const fs::path& target) {
         rewriteFile(target, dir / "scratch.txt", "new\r\n");
     }},
    {"export",
     [](const TempDir& dir, const fs::path& target) {
         Logbook log(dir.path());
         log.setStationCallsign("F6XYZ");
         log.load();
         adif::exportLog(log, target);
     }},
};

TEST(SafeRewrite, ATargetThatIsNoPlainFileIsRefusedAndNeverReplaced) {
    for (const Writer& writer : kWriters) {
        for (const Target& target : kNonPlainTargets) {
            SCOPED_TRACE(std::string(writer.name) + " over " + target.name);
            TempDir dir;
            dir.write("F6XYZ_DXCC.log", joinLines({qso("F5AAA", "01/02/08", "10:00")}));
            const fs::path path = dir / "out.adi";
            if (!target.make(path)) {
                std::cout << "not tested here (no device of our own): " << target.name << "\n";
                continue;
            }
            const fs::file_type before = fs::symlink_status(path).type();
            const fs::file_type behind = fs::status(path).type();
            const std::vector<std::string> names = namesIn(dir.path());
            try {
                writer.write(dir, path);
                ADD_FAILURE() << "reported as written";
            } catch (const FileError& e) {
                EXPECT_EQ(e.code(), kPathFileAccessError);
            }
            EXPECT_EQ(fs::symlink_status(path).type(), before);
            EXPECT_EQ(fs::status(path).type(), behind);
            EXPECT_EQ(namesIn(dir.path()), names);  // no scratch file left
        }
    }
}

// How the operator keeps the log: the name in the data folder and the file
// that holds the contacts.
struct Keeping {
    const char* name;
    mode_t mode;
    // Makes the log name lead to `real` (a file already written).
    std::function<void(const fs::path& logName, const fs::path& real)> link;
    bool inOtherFolder;
};

const Keeping kKeepings[] = {
    {"a private log", 0600, nullptr, false},
    {"a read-only log", 0400, nullptr, false},
    {"a link to a synchronised folder", 0640,
     [](const fs::path& name, const fs::path& real) { fs::create_symlink(real, name); }, true},
    {"a chain of relative links", 0644,
     [](const fs::path& name, const fs::path& real) {
         const fs::path middle = name.parent_path() / "middle.log";
         fs::create_symlink(fs::relative(real, name.parent_path()), middle);
         fs::create_symlink("middle.log", name);
     },
     true},
    {"a link to a file beside it", 0660,
     [](const fs::path& name, const fs::path&) { fs::create_symlink("kept.log", name); }, false},
};

struct LogOperation {
    const char* name;
    std::function<void(Logbook&, const TempDir&)> run;
};

const LogOperation kLogOperations[] = {
    {"insert",
     [](Logbook& l, const TempDir&) { l.insertInDateOrder(qso("F5NEW", "02/02/08", "11:00")); }},
    {"modify",
     [](Logbook& l, const TempDir&) {
         l.modifyAt(0, std::string(l.record(0)), qso("F5MOD", "01/02/08", "10:00"));
     }},
    {"delete", [](Logbook& l, const TempDir&) { l.removeAt(1, std::string(l.record(1))); }},
    {"confirm", [](Logbook& l, const TempDir&) { l.confirmRows({0}); }},
    {"import",
     [](Logbook& l, const TempDir& dir) { adif::importIntoLog(l, dir / "in.adi", PrefixTable()); }},
    {"append",
     [](Logbook& l, const TempDir&) { l.appendRecord(qso("F5END", "09/02/08", "10:00")); }},
};

TEST(SafeRewrite, ALinkedOrProtectedLogIsRewrittenThroughItsLinkWithItsModeAndOwner) {
    const bool root = ::geteuid() == 0;
    for (const Keeping& keeping : kKeepings) {
        SCOPED_TRACE(keeping.name);
        TempDir data, other;
        const fs::path logName = data / "F6XYZ_DXCC.log";
        const fs::path real = keeping.link
                                  ? (keeping.inOtherFolder ? other / "kept.log" : data / "kept.log")
                                  : logName;
        rewriteFile(
            real, real.string() + ".tmp",
            joinLines({qso("F5AAA", "01/02/08", "10:00"), qso("F5BBB", "03/02/08", "10:00")}));
        if (keeping.link) keeping.link(logName, real);
        data.write("in.adi", "<CALL:5>F5ADI<QSO_DATE:8>20080202<TIME_ON:4>1100<EOR>\n");
        ASSERT_EQ(::chmod(real.c_str(), keeping.mode), 0);
        if (root) {
            ASSERT_EQ(::chown(real.c_str(), 4321, 4322), 0);
        }
        const std::vector<std::string> dataNames = namesIn(data.path());
        const std::vector<std::string> otherNames = namesIn(other.path());

        Logbook log(data.path());
        log.setStationCallsign("F6XYZ");
        log.load();
        for (const LogOperation& op : kLogOperations) {
            SCOPED_TRACE(op.name);
            // Without write permission only the privileged may append in place.
            if (!root && std::string_view(op.name) == "append" && !(keeping.mode & S_IWUSR))
                continue;
            ASSERT_NO_THROW(op.run(log, data));
            EXPECT_EQ(fs::is_symlink(fs::symlink_status(logName)), keeping.link != nullptr);
            const struct stat st = statOf(real);
            EXPECT_EQ(st.st_mode & 07777, keeping.mode);
            if (root) {
                EXPECT_EQ(st.st_uid, 4321u);
                EXPECT_EQ(st.st_gid, 4322u);
            }
            // The file the link leads to holds what the copy shows.
            std::vector<std::string> copy;
            for (size_t i = 0; i < log.size(); ++i) copy.emplace_back(log.record(i));
            EXPECT_EQ(readFileBytes(real), joinLines(copy));
            EXPECT_EQ(namesIn(data.path()), dataNames);
            EXPECT_EQ(namesIn(other.path()), otherNames);
        }
    }
}

TEST(LeftoverScratchFiles, BesideTheFileALinkedLogLeadsToAreRemovedToo) {
    TempDir data, other;
    other.write("kept.log", "x\r\n");
    fs::create_symlink(other / "kept.log", data / "F6XYZ_DXCC.log");
    // What a run killed in the middle of a rewrite of that log leaves.
    const fs::path left = scratchBeside(data / "F6XYZ_DXCC.log", data / "Temporaire6.txt");
    ASSERT_EQ(left.parent_path(), other.path());
    std::ofstream(left) << "partial";
    // Files of the other folder that are not ours.
    other.write("Temporaire6.txt", "theirs\r\n");
    other.write("notes.txt", "theirs\r\n");

    DataFolder folder(data.path());
    ASSERT_EQ(folder.claim(), DataFolderLock::Outcome::Held);
    EXPECT_EQ(folder.removeLeftoverScratchFiles(), std::vector<fs::path>{left});
    EXPECT_EQ(namesIn(other.path()),
              (std::vector<std::string>{"Temporaire6.txt", "kept.log", "notes.txt"}));
    EXPECT_EQ(readFileBytes(data / "F6XYZ_DXCC.log"), "x\r\n");
}

}  // namespace
}  // namespace dxcc
