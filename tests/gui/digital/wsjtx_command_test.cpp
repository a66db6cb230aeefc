#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <csignal>
#include <sstream>

#include "app/command_line.h"
#include "core/base/program_constants.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "core/session/data_folder_lock.h"
#include "core/session/pending_contacts.h"
#include "decoder_datagrams.h"
#include "memory_settings.h"

namespace {

namespace dg = testing_support::decoder_datagrams;
namespace dd = dxcc::digital;

// The United States confirmed in FT8 on 20 m, France worked in SSB on 40 m.
class WsjtxCommand : public ::testing::Test {
protected:
    WsjtxCommand() {
        std::string prefixes;
        for (auto [call, name, dxcc] : {std::tuple{"F", "France", "F"},
                                        {"K", "United States", "K"},
                                        {"VP8", "Falkland Is.", "VP8"}})
            prefixes += dxcc::buildPrefixEntry(call, name, dxcc) + "\r\n";
        write("Prefixe_DXCC.txt", prefixes);
        write("F6XYZ_DXCC.log",
              dxcc::buildRecord({"K1ABC", "", "01/01/24", "10:00", "FT8", "14 Mhz ", "-5", "-7",
                                 "K", "United States", '*'}) +
                  "\r\n" +
                  dxcc::buildRecord({"F5AA", "", "01/01/24", "11:00", "SSB", "7.0 Mhz", "59", "59",
                                     "F", "France", ' '}) +
                  "\r\n");
        // A port free a moment ago.
        QUdpSocket probe;
        EXPECT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
    }
    void write(const QString& name, const std::string& bytes) {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    std::string read(const QString& name) {
        QFile f(dir.path() + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }
    // Runs the command; `datagrams` are sent once it listens; with `terminate`,
    // SIGTERM comes once the command has had time to read them.
    int run(QStringList args, std::vector<std::string> datagrams, bool terminate = false) {
        out.str({});
        err.str({});
        auto settings = std::make_shared<testing_support::MemorySettings>();
        settings->set("Setup ", "Indicatif Station", "F6XYZ");
        settings->set("Setup ", "WSJTX Port", std::to_string(port));
        const ui::CommandDefaults defaults{settings, [this] { return dir.path(); }};
        QUdpSocket decoder;
        decoder.bind(QHostAddress::LocalHost, 0);
        // The timers fire once the command's event loop runs: it listens by
        // then. Both go with this call, whether the command ran or not.
        QTimer send, term;
        send.setSingleShot(true);
        term.setSingleShot(true);
        QObject::connect(&send, &QTimer::timeout, [&] {
            for (const std::string& d : datagrams)
                decoder.writeDatagram(d.data(), qint64(d.size()), QHostAddress::LocalHost, port);
            if (terminate) term.start(500);
        });
        QObject::connect(&term, &QTimer::timeout, [] { std::raise(SIGTERM); });
        send.start(0);
        return ui::runCommand(QStringList{"wsjtx"} + args, defaults, out, err);
    }
    QStringList lines() const {
        return QString::fromStdString(out.str()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    quint16 port = 0;
    std::ostringstream out;
    std::ostringstream err;
};

const std::vector<std::string> kBand{
    dg::heartbeat("WSJT-X"),
    dg::status("WSJT-X", 14'074'000, "FT8"),
    dg::decode("WSJT-X", 45'296'000, -12, "CQ VP8LP GD18"),
    dg::decode("WSJT-X", 45'296'000, -3, "W1AW K1ABC RR73"),
    dg::decode("WSJT-X", 45'297'000, 4, "TNX BOB 73 GL          "),
    dg::decode("WSJT-X", 45'310'000, -20, "CQ DX F5ABC JN18", "+"),
    dg::close("WSJT-X"),
};

TEST_F(WsjtxCommand, WritesEachDecodeWithItsStatusesUntilTheDecoderCloses) {
    ASSERT_EQ(run({"--data-dir", dir.path()}, kBand), ui::kCommandOk) << err.str();
    EXPECT_EQ(lines(), (QStringList{
                           "123456\t-12\t14 Mhz\tFT8\tVP8LP\tGD18\tVP8\tFalkland Is.\tN\tN\tN",
                           "123456\t-3\t14 Mhz\tFT8\tK1ABC\t\tK\tUnited States\tC\tC\tC",
                           "123457\t4\t14 Mhz\tFT8\t\t\t\t\t\t\t",
                           "123510\t-20\t14 Mhz\tFT4\tF5ABC\tJN18\tF\tFrance\tW\tN\tN",
                       }));
}

TEST_F(WsjtxCommand, NeededAndCountChooseTheLines) {
    ASSERT_EQ(run({"--listen", "127.0.0.1:" + QString::number(port), "--needed", "--count", "2",
                   "--data-dir", dir.path()},
                  kBand),
              ui::kCommandOk)
        << err.str();
    ASSERT_EQ(lines().size(), 2);
    EXPECT_TRUE(lines()[0].contains("VP8LP"));
    EXPECT_TRUE(lines()[1].contains("F5ABC"));
}

dd::QsoLogged jtdxContact() {
    dd::QsoLogged q;
    // JTDX marks its times local but sends UTC.
    q.timeOn = {dd::julianDayOf({2024, 3, 1}), 45'015'000, dd::TimeSpec::Local, 0, ""};
    q.timeOff = {dd::julianDayOf({2024, 3, 1}), 45'105'000, dd::TimeSpec::Local, 0, ""};
    q.dxCall = "VP8LP";
    q.txFrequencyHz = 14'074'000;
    q.mode = "FT8";
    q.reportSent = "-08";
    q.reportReceived = "-12";
    return q;
}

TEST_F(WsjtxCommand, LogsEachContactOnceAndKeepsTheLinesOfTheOthers) {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    const std::string logged = dg::qsoLogged("JTDX", jtdxContact());
    const std::vector<std::string> datagrams{dg::heartbeat("JTDX"),
                                             dg::status("JTDX", 14'074'000, "FT8"), logged, logged,
                                             dg::decode("JTDX", 45'296'000, -12, "CQ VP8LP GD18")};
    ASSERT_EQ(run({"--log", "--count", "1", "--data-dir", dir.path()}, datagrams), ui::kCommandOk)
        << err.str();
    unsetenv("TZ");
    tzset();
    EXPECT_EQ(lines(), (QStringList{
                           "QSO enregistré depuis WSJT-X : VP8LP, 01/03/24 12:30, 14 Mhz, FT8",
                           // Once logged, the entity is worked.
                           "123456\t-12\t14 Mhz\tFT8\tVP8LP\tGD18\tVP8\tFalkland Is.\tW\tW\tW",
                       }));
    const std::string log = read("F6XYZ_DXCC.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
    EXPECT_NE(log.find("VP8LP"), std::string::npos);
    EXPECT_EQ(read(QString::fromUtf8(dxcc::kPendingContactsFileName.data())), "");
}

TEST_F(WsjtxCommand, AContactWaitsWhileAnotherProgramHoldsTheFolderAndSurvivesSigterm) {
    dxcc::DataFolderLock other(std::filesystem::path(dir.path().toStdString()));
    ASSERT_EQ(other.tryLock(), dxcc::DataFolderLock::Outcome::Held);
    const std::vector<std::string> datagrams{dg::heartbeat("JTDX"),
                                             dg::qsoLogged("JTDX", jtdxContact())};
    const int status = run({"--log", "--data-dir", dir.path()}, datagrams, true);
    EXPECT_EQ(status, ui::kCommandOk) << err.str();
    EXPECT_NE(err.str().find("1 QSO en attente"), std::string::npos) << err.str();
    const auto waiting =
        dxcc::PendingContacts(std::filesystem::path(dir.path().toStdString())).read();
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_NE(waiting[0].find("<CALL:5>VP8LP"), std::string::npos);
    EXPECT_EQ(read("F6XYZ_DXCC.log").find("VP8LP"), std::string::npos);
}

TEST_F(WsjtxCommand, RefusesWhatItCannotUse) {
    struct Bad {
        QStringList args;
        int status;
        const char* says;
    };
    const Bad cases[] = {
        {{"--listen", "127.0.0.1"}, ui::kCommandBadUsage, "valeur invalide pour --listen"},
        {{"--listen", "127.0.0.1:70000"}, ui::kCommandBadUsage, "valeur invalide"},
        {{"--count", "0"}, ui::kCommandBadUsage, "valeur invalide pour --count"},
        {{"--band", "20M"}, ui::kCommandBadUsage, "wsjtx n'attend que les options --listen"},
        {{"--listen", "not.an.address:2237"}, ui::kCommandFailed, "adresse invalide"},
    };
    for (const Bad& c : cases) {
        EXPECT_EQ(run(c.args + QStringList{"--data-dir", dir.path()}, {}), c.status)
            << c.args.join(' ').toStdString();
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
    }
}

}  // namespace
