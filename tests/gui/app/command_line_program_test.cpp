// The program itself, started as a shell starts it, writing to a pipe that
// nobody reads any more ("| head -c1") or to a full disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <string>
#include <vector>

#include "app/command_arguments.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"

extern char** environ;

namespace {

struct Finished {
    int status;  // the exit status, or 128 and the signal that ended it
    std::string err;
};

// Runs the program with its standard output on `out`, its settings in
// `scratch`, and SIGPIPE neither ignored nor blocked, as a shell leaves it.
Finished runProgram(const std::vector<std::string>& args, int out, const QString& scratch) {
    const std::string errFile = (scratch + "/stderr.txt").toStdString();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    posix_spawnattr_setsigmask(&attributes, &pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &pipeSignal);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> texts{VEL_PROGRAM};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& t : texts) argv.push_back(t.data());
    argv.push_back(nullptr);
    std::string config = "XDG_CONFIG_HOME=" + scratch.toStdString();
    std::vector<char*> env{config.data()};
    for (char** e = environ; *e; ++e)
        if (!std::string_view(*e).starts_with("XDG_CONFIG_HOME=")) env.push_back(*e);
    env.push_back(nullptr);

    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, VEL_PROGRAM, &actions, &attributes, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) return {-1, "spawn failed"};
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    QFile err(QString::fromStdString(errFile));
    err.open(QIODevice::ReadOnly);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            err.readAll().toStdString()};
}

// A pipe whose reading end is already closed: the first write fails.
struct ClosedPipe {
    ClosedPipe() {
        int ends[2];
        EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        ::close(ends[0]);
        writeEnd = ends[1];
    }
    ~ClosedPipe() { ::close(writeEnd); }
    int writeEnd = -1;
};

class CommandLineProgram : public ::testing::Test {
protected:
    void SetUp() override {
        write("F6XYZ_DXCC.log", dxcc::buildRecord({"F5AAA", "", "03/01/08", "10:00", "CW",
                                                   "14 Mhz ", "599", "599", "F", "France", ' '}) +
                                    "\r\n");
        write("new.adi", "<CALL:5>K1ABC<QSO_DATE:8>20080101<TIME_ON:4>0930<BAND:3>20m<EOR>\n");
        write("Prefixe_DXCC.txt", dxcc::buildPrefixEntry("F", "France", "F") + "\r\n" +
                                      dxcc::buildPrefixEntry("K", "United States", "K") + "\r\n");
    }
    void write(const QString& name, const std::string& bytes) {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    size_t logLines() const {
        QFile log(dir.path() + "/F6XYZ_DXCC.log");
        return log.open(QIODevice::ReadOnly) ? size_t(log.readAll().count('\n')) : 0;
    }
    std::vector<std::string> withStation(std::vector<std::string> args) const {
        args.insert(args.end(), {"--station", "F6XYZ", "--data-dir", dir.path().toStdString()});
        return args;
    }

    QTemporaryDir dir;
};

// The log changed but its report was lost: status 3 and a word on standard
// error, never a silent death by SIGPIPE.
TEST_F(CommandLineProgram, AClosedPipeAfterAnImportIsToldWithStatusThree) {
    ClosedPipe pipe;
    const Finished f = runProgram(withStation({"import", (dir.path() + "/new.adi").toStdString()}),
                                  pipe.writeEnd, dir.path());
    EXPECT_EQ(f.status, 3) << f.err;
    EXPECT_NE(f.err.find("le log a été modifié"), std::string::npos) << f.err;
    EXPECT_EQ(logLines(), 2u);
}

// A command that only reads fails with status 1 and says why.
TEST_F(CommandLineProgram, ReadingCommandsSayWhenNobodyReadsOrTheDiskIsFull) {
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"grid"}, {"needed", "K1ABC", "--band", "20M"}, {"report"}}) {
        SCOPED_TRACE(args[0]);
        ClosedPipe pipe;
        for (int out : {pipe.writeEnd, full}) {
            const Finished f = runProgram(withStation(args), out, dir.path());
            EXPECT_EQ(f.status, 1) << f.err;
            EXPECT_TRUE(f.err.starts_with("vel_dxcc : écriture ")) << f.err;
        }
    }
    ::close(full);
    EXPECT_EQ(logLines(), 1u);
}

// A file name that is no UTF-8 (Latin-1, from an older system) names its
// file, and is shown with U+FFFD where its bytes cannot be.
TEST_F(CommandLineProgram, AFileNameInLatin1StillOpensAndIsShownInUtf8) {
    const std::string folder = dir.path().toStdString();
    ASSERT_TRUE(QFile::copy(dir.path() + "/new.adi", dir.path() + "/latin.adi"));
    std::filesystem::rename(folder + "/latin.adi", folder + "/journal_\xE9t\xE9.adi");
    const int stdoutFile =
        ::open((folder + "/stdout.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(stdoutFile, 0);
    Finished f = runProgram(withStation({"import", folder + "/journal_\xE9t\xE9.adi"}), stdoutFile,
                            dir.path());
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(logLines(), 2u);
    f = runProgram(withStation({"import", folder + "/absent_\xE9\x1B.adi"}), stdoutFile,
                   dir.path());
    ::close(stdoutFile);
    EXPECT_EQ(f.status, 1);
    EXPECT_NE(f.err.find("/absent_\xEF\xBF\xBD\xEF\xBF\xBD.adi\n"), std::string::npos) << f.err;
    // Qt cannot name this file to take the folder away: its bytes are no UTF-8.
    std::filesystem::remove(folder + "/journal_\xE9t\xE9.adi");
}

// Every argument's bytes come back as they were, whatever they hold; text
// that is UTF-8 reads as such.
TEST(CommandArguments, KeepEveryByteAndReadUtf8) {
    const struct {
        const char* bytes;
        QString text;  // empty: not checked
    } cases[] = {
        {"F5ABC", "F5ABC"},
        {"\xC3\xA9t\xC3\xA9", QString::fromUtf8("\xC3\xA9t\xC3\xA9")},
        {"\xF0\x9F\x93\xBB radio", QString::fromUtf8("\xF0\x9F\x93\xBB radio")},
        {"\xE9t\xE9", QString(QChar(0xDCE9)) + 't' + QChar(0xDCE9)},
        {"\xC0\xAF overlong", {}},
        {"\xED\xA0\x80 surrogate", {}},
        {"cut \xE2\x82", {}},
        {"\xF4\x90\x80\x80 too large", {}},
    };
    for (const auto& c : cases) {
        const QString text = ui::argumentText(c.bytes);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(text, c.text) << c.bytes;
        }
        EXPECT_EQ(ui::argumentPath(text).native(), c.bytes);
    }
}

}  // namespace
