// "vel_dxcc recompute": the summary of the changes, the log saved or, with
// --dry-run, left as it is; the exit statuses of the other commands.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <sstream>

#include "app/command_line.h"
#include "core/record/qso_record.h"
#include "core/session/data_folder_lock.h"
#include "memory_settings.h"
#include "platform/qt_platform.h"
#include "platform/text.h"

namespace {

std::string record(const char* callsign, const char* prefix, const char* entity) {
    return dxcc::buildRecord({callsign, "JEAN", "02/01/08", "10:00", "SSB", "14 Mhz ", "59", "59",
                              prefix, entity, '*'}) +
           "\r\n";
}

class RecomputeCommand : public ::testing::Test {
protected:
    RecomputeCommand() {
        settings->set("Setup ", "Indicatif Station", "F6XYZ");
        writeLog(record("F5ABC/EA8", "F", "France") + record("F5BBB", "F", "France") +
                 record("F5ABC/MM", "F", "France"));
    }
    void writeLog(const std::string& bytes) {
        QFile f(dir.path() + "/F6XYZ_DXCC.log");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray log() const {
        QFile f(dir.path() + "/F6XYZ_DXCC.log");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    int run(const QStringList& args) {
        out.str({});
        err.str({});
        return ui::runCommand(args, defaults, out, err);
    }

    QTemporaryDir dir;
    std::shared_ptr<testing_support::MemorySettings> settings =
        std::make_shared<testing_support::MemorySettings>();
    ui::CommandDefaults defaults{settings, [this] { return dir.path(); },
                                 [] { return ui::shippedFiles(); }};
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(RecomputeCommand, TheDryRunTellsTheChangesAndTheRunSavesThem) {
    const QByteArray before = log();
    const std::string summary =
        "2 QSO changent de contrée\n"
        "F5ABC/EA8  02/01/08  F France -> EA8 Canary Islands\n"
        "F5ABC/MM  02/01/08  F France -> aucune\n";
    ASSERT_EQ(run({"recompute", "--dry-run"}), ui::kCommandOk) << err.str();
    EXPECT_EQ(out.str(), summary);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(log(), before);

    ASSERT_EQ(run({"--data-dir", dir.path(), "recompute"}), ui::kCommandOk) << err.str();
    EXPECT_EQ(out.str(), summary);
    EXPECT_EQ(log(), QByteArray::fromStdString(record("F5ABC/EA8", "EA8", "Canary Islands") +
                                               record("F5BBB", "F", "France") +
                                               record("F5ABC/MM", "", "")));
    ASSERT_EQ(run({"recompute"}), ui::kCommandOk);
    EXPECT_EQ(out.str(), "0 QSO changent de contrée\n");
}

TEST_F(RecomputeCommand, BadUsageAndAHeldFolderChangeNothing) {
    const QByteArray before = log();
    struct Case {
        QStringList args;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {{"recompute", "--force"},
         ui::kCommandBadUsage,
         "recompute n'attend que les options --dry-run, --station, --data-dir."},
        {{"recompute", "fichier.adi"}, ui::kCommandBadUsage, "argument inconnu : fichier.adi"},
        {{"recompute", "--bavard"}, ui::kCommandBadUsage, "--bavard"},
        {{"recompute", "--station"}, ui::kCommandBadUsage, "attend une valeur"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(run(c.args), c.status);
        EXPECT_NE(err.str().find(c.said), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(log(), before);
    }
    dxcc::DataFolderLock windows(ui::toPath(dir.path()));
    ASSERT_EQ(windows.tryLock(), dxcc::DataFolderLock::Outcome::Held);
    EXPECT_EQ(run({"recompute"}), ui::kCommandFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(log(), before);
}

TEST_F(RecomputeCommand, TheHelpNamesIt) {
    ASSERT_EQ(run({"--help"}), ui::kCommandOk);
    EXPECT_NE(out.str().find("recompute [--dry-run]"), std::string::npos);
    ASSERT_EQ(run({"recompute", "--help"}), ui::kCommandOk);
    EXPECT_TRUE(out.str().starts_with("Usage : vel_dxcc recompute [--dry-run] [options]\n"));
}

}  // namespace
