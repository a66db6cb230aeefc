// The program ended by a signal (a session's logout, `kill`) still leaves
// through its event loop: what it put in the decoders' windows goes with it.
#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <algorithm>
#include <optional>

#include "core/digital/qt_data_stream.h"
#include "core/prefixes/prefix_entry.h"
#include "core/record/qso_record.h"
#include "decoder_datagrams.h"

namespace {

namespace dg = testing_support::decoder_datagrams;
namespace dd = dxcc::digital;

// A Highlight Callsign the program sent: the callsign, and whether it
// carries a colour (an invalid one takes the colour away).
struct Highlight {
    std::string callsign;
    bool coloured = false;
};

std::optional<Highlight> readHighlight(const QByteArray& bytes) {
    dd::StreamReader in(std::string_view(bytes.data(), size_t(bytes.size())));
    std::uint32_t magic = 0, schema = 0, type = 0;
    std::string id;
    Highlight h;
    std::uint8_t spec = 0;
    if (!in.readU32(magic) || !in.readU32(schema) || !in.readU32(type) || type != 13 ||
        !in.readText(id, 100) || !in.readText(h.callsign, 100) || !in.readU8(spec))
        return std::nullopt;
    h.coloured = spec != 0;
    return h;
}

void write(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
}

TEST(ProgramSignals, SigtermTakesTheHighlightsAwayAndEndsCleanly) {
    QTemporaryDir data, config;
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const quint16 port = probe.localPort();
    probe.close();
    const QString folder = data.path() + "/VEL_DXCC";
    QDir().mkpath(folder);
    write(folder + "/F6XYZ_DXCC.log", "");
    write(folder + "/Prefixe_DXCC.txt",
          dxcc::buildPrefixEntry("VP8", "Falkland Is.", "VP8") + "\r\n");
    QDir().mkpath(config.path() + "/VEL_DXCC");
    write(config.path() + "/VEL_DXCC/DXCC.ini",
          "[Setup%20]\nIndicatif%20Station=F6XYZ\nWSJTX%20Port=" + std::to_string(port) +
              "\nWSJTX%20Ecoute=Oui\nWSJTX%20Son=Non\n");

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("XDG_DATA_HOME", data.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(VEL_PROGRAM, {});
    ASSERT_TRUE(program.waitForStarted());

    QUdpSocket decoder;
    ASSERT_TRUE(decoder.bind(QHostAddress::LocalHost, 0));
    const auto send = [&](const std::string& d) {
        decoder.writeDatagram(d.data(), qint64(d.size()), QHostAddress::LocalHost, port);
    };
    std::vector<Highlight> received;
    const auto receive = [&] {
        while (decoder.hasPendingDatagrams())
            if (auto h = readHighlight(decoder.receiveDatagram().data())) received.push_back(*h);
    };
    // Heard once the program listens: it answers the Heartbeat with its own.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            send(dg::heartbeat("WSJT-X"));
            QTest::qWait(50);
            return decoder.hasPendingDatagrams();
        },
        20'000));
    send(dg::status("WSJT-X", 14'074'000, "FT8"));
    send(dg::decode("WSJT-X", 36'000'000, -10, "CQ VP8LP GD18"));
    const auto highlighted = [&](bool coloured) {
        return QTest::qWaitFor(
            [&] {
                receive();
                return std::any_of(received.begin(), received.end(), [&](const Highlight& h) {
                    return h.callsign == "VP8LP" && h.coloured == coloured;
                });
            },
            10'000);
    };
    ASSERT_TRUE(highlighted(true));

    ::kill(pid_t(program.processId()), SIGTERM);
    EXPECT_TRUE(highlighted(false));
    // (It may have ended while the colours were awaited.)
    ASSERT_TRUE(program.state() == QProcess::NotRunning || program.waitForFinished(10'000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

}  // namespace
