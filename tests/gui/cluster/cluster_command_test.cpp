#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <sstream>

#include "app/command_line.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "fake_cluster_server.h"
#include "memory_settings.h"

namespace {

using testing_support::FakeClusterServer;

// Japan confirmed on 14 MHz in CW, France worked in SSB on 7 MHz.
class ClusterCommand : public ::testing::Test {
protected:
    ClusterCommand() {
        std::string prefixes;
        // An entity name of the prefix editor, in the file's Windows-1252.
        for (auto [call, name, dxcc] : {std::tuple{"F", "France", "F"},
                                        {"JA", "Japan", "JA"},
                                        {"OH", "Finland", "OH"},
                                        {"FR", "R\xE9union", "FR"}})
            prefixes += dxcc::buildPrefixEntry(call, name, dxcc) + "\r\n";
        write("Prefixe_DXCC.txt", prefixes);
        write("F6XYZ_DXCC.log", dxcc::buildRecord({"JA1AA", "", "01/01/09", "10:00", "CW",
                                                   "14 Mhz ", "599", "599", "JA", "Japan", '*'}) +
                                    "\r\n" +
                                    dxcc::buildRecord({"F5AA", "", "01/01/09", "11:00", "SSB",
                                                       "7.0 Mhz", "59", "59", "F", "France", ' '}) +
                                    "\r\n");
    }
    void write(const QString& name, const std::string& bytes) {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    int run(QStringList args, std::ostream* to = nullptr) {
        out.str({});
        err.str({});
        auto settings = std::make_shared<testing_support::MemorySettings>();
        settings->set("Setup ", "Indicatif Station", "F6XYZ");
        settings->set("Setup ", "Cluster Indicatif", loginCall.toStdString());
        const ui::CommandDefaults defaults{settings, [this] { return dir.path(); }};
        return ui::runCommand(QStringList{"cluster"} + args, defaults, to ? *to : out, err);
    }

    QTemporaryDir dir;
    QString loginCall;  // the cluster login of the settings, empty for the station's
    std::ostringstream out;
    std::ostringstream err;
};

const QByteArray kSpots =
    "DX de W3LPL:     14025.0  JA1ABC       CW 599        0312Z FN20\r\n"
    "DX de W3LPL:     14195  JA1ABC       up 5       0313Z\r\n"
    "WWV de W0MU <18Z> : SFI=152 A=5 K=1\r\n"
    "  7013.5  OH2BH        8-Dec-2026 1845Z   <F5XYZ>\r\n"
    "DX de K1TTT:   7150.0  F5XYZ   0400Z\r\n"
    "DX de K1TTT:   14100.0  ZZ9ZZZ  beacon\r\n"
    "DX de K1TTT:   14010.0  FR5AB   CW\r\n";

TEST_F(ClusterCommand, WritesOneLinePerSpotUntilTheServerCloses) {
    FakeClusterServer server;
    // The server speaks once logged in, then closes.
    QTimer::singleShot(0, [&] {
        if (!server.expectLogin("F6XYZ")) return;
        server.send(kSpots);
        server.closeGracefully();
    });
    EXPECT_EQ(run({"--host", "127.0.0.1", "--port", QString::number(server.port())}), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(),
              "0312\t14025.0\tJA1ABC\t14 Mhz\tCW\tJA\tJapan\tC\tC\tC\n"
              "0313\t14195\tJA1ABC\t14 Mhz\tSSB\tJA\tJapan\tC\tC\tN\n"
              "1845\t7013.5\tOH2BH\t7.0 Mhz\tCW\tOH\tFinland\tN\tN\tN\n"
              "0400\t7150.0\tF5XYZ\t7.0 Mhz\tSSB\tF\tFrance\tW\tW\tW\n"
              "\t14100.0\tZZ9ZZZ\t14 Mhz\t\t\t\t\t\t\n"
              "\t14010.0\tFR5AB\t14 Mhz\tCW\tFR\tR\xC3\xA9union\tN\tN\tN\n");
}

// The last spot before the close counts even when the server did not end its
// line; the command opens the data folder as every other command does.
TEST_F(ClusterCommand, TheLastSpotBeforeTheCloseCountsWithoutALineEnd) {
    FakeClusterServer server;
    QTimer::singleShot(0, [&] {
        if (!server.expectLogin("F6XYZ")) return;
        server.send("DX de K1TTT:   7150.0  F5XYZ   0400Z");
        server.closeGracefully();
    });
    EXPECT_EQ(run({"--host", "127.0.0.1", "--port", QString::number(server.port())}), 0)
        << err.str();
    EXPECT_EQ(out.str(), "0400\t7150.0\tF5XYZ\t7.0 Mhz\tSSB\tF\tFrance\tW\tW\tW\n");
}

// The options written with '=' as every other command takes them: another
// station's log, in another data folder.
TEST_F(ClusterCommand, TakesOptionsWithAnEqualsSignAndAnotherStationOrFolder) {
    QDir(dir.path()).mkdir("other");
    write("other/Prefixe_DXCC.txt", dxcc::buildPrefixEntry("JA", "Japan", "JA") + "\r\n");
    write("other/F6ABC_DXCC.log", "");
    FakeClusterServer server;
    QTimer::singleShot(0, [&] {
        if (!server.expectLogin("F6ABC")) return;
        server.send(kSpots);
        server.closeGracefully();
    });
    EXPECT_EQ(run({"--host=127.0.0.1", "--port=" + QString::number(server.port()),
                   "--station=F6ABC", "--data-dir=" + dir.path() + "/other", "--count=1"}),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "0312\t14025.0\tJA1ABC\t14 Mhz\tCW\tJA\tJapan\tN\tN\tN\n");
}

// A server that closes before giving a spot, and an output nobody reads any
// more, end the command with status 1 and a word on standard error.
TEST_F(ClusterCommand, NoSpotAtAllAndALostOutputAreFailures) {
    {
        FakeClusterServer server;
        QTimer::singleShot(0, [&] {
            if (server.expectLogin("F6XYZ")) server.closeGracefully();
        });
        const QString port = QString::number(server.port());
        EXPECT_EQ(run({"--host", "127.0.0.1", "--port", port}), 1);
        EXPECT_EQ(err.str(), "vel_dxcc : le serveur 127.0.0.1:" + port.toStdString() +
                                 " a fermé la connexion avant le premier spot.\n");
        EXPECT_EQ(out.str(), "");
    }
    FakeClusterServer server;
    QTimer::singleShot(0, [&] {
        if (server.expectLogin("F6XYZ")) server.send(kSpots);  // and stays open
    });
    struct Full : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
    } full;
    std::ostream lost(&full);
    EXPECT_EQ(run({"--host", "127.0.0.1", "--port", QString::number(server.port())}, &lost), 1);
    EXPECT_EQ(err.str(),
              "vel_dxcc : écriture de la sortie impossible (disque plein ou sortie "
              "fermée).\n");
}

TEST_F(ClusterCommand, NeededSpotsOnlyAndACount) {
    FakeClusterServer server;
    loginCall = "F6XYZ-2";
    QTimer::singleShot(0, [&] {
        if (!server.expectLogin("F6XYZ-2")) return;
        server.send(kSpots);  // the server stays open: the count ends the command
    });
    EXPECT_EQ(run({"--host", "127.0.0.1", "--port", QString::number(server.port()), "--needed",
                   "--count", "2"}),
              0);
    EXPECT_EQ(out.str(),
              "0313\t14195\tJA1ABC\t14 Mhz\tSSB\tJA\tJapan\tC\tC\tN\n"
              "1845\t7013.5\tOH2BH\t7.0 Mhz\tCW\tOH\tFinland\tN\tN\tN\n");
}

TEST_F(ClusterCommand, RefusedConnectionsAndBadOptions) {
    const QString port = QString::number(testing_support::freeLoopbackPort());
    EXPECT_EQ(run({"--host", "127.0.0.1", "--port", port}), 1);
    EXPECT_EQ(err.str(),
              "vel_dxcc : connexion refusée par 127.0.0.1:" + port.toStdString() + ".\n");
    EXPECT_EQ(out.str(), "");

    const std::pair<QStringList, const char*> bad[] = {
        {{"--port", "7300"}, "cluster attend --host HOTE et --port PORT."},
        {{"--host", "127.0.0.1", "--port", "70000"}, "valeur invalide pour --port : 70000"},
        {{"--host", "127.0.0.1", "--port", "7300", "--count", "0"},
         "valeur invalide pour --count : 0"},
        {{"--host", "127.0.0.1", "--port", "7300", "--loud"}, "option inconnue : --loud"},
        {{"--host"}, "l'option --host attend une valeur."},
    };
    for (const auto& [args, message] : bad) {
        EXPECT_EQ(run(args), 2) << message;
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
    }
}

}  // namespace
