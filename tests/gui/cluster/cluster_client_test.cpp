#include "platform/cluster_client.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>

#include "fake_cluster_server.h"

namespace {

using dxcc::cluster::ReconnectSchedule;
using testing_support::FakeClusterServer;
using D = ReconnectSchedule::Delay;

struct Received {
    QStringList spots;  // "DX FREQ SPOTTER"
    QStringList console;
    QStringList states;
    QList<qint64> lostAt;  // ms since the start of the test
    QElapsedTimer clock;
    int batches = 0;
    size_t largestBatch = 0;  // spots
    uint64_t dropped = 0;
};

void record(ui::ClusterClient& client, Received& r) {
    QObject::connect(
        &client, &ui::ClusterClient::batchReceived, [&r](const dxcc::cluster::FeedBatch& batch) {
            ++r.batches;
            r.largestBatch = std::max(r.largestBatch, batch.spots.size());
            for (const auto& s : batch.spots)
                r.spots << QString::fromStdString(s.dx + " " + s.frequencyText + " " + s.spotter);
            for (const auto& line : batch.lines) r.console << QString::fromStdString(line);
            r.dropped += batch.dropped.spots + batch.dropped.lines;
        });
    r.clock.start();
    QObject::connect(&client, &ui::ClusterClient::stateChanged,
                     [&r](ui::ClusterClient::State state, const QString& text) {
                         r.states << text;
                         if (state == ui::ClusterClient::State::Lost) r.lostAt << r.clock.elapsed();
                     });
}

TEST(ClusterClient, LogsInAndSortsSpotsOfBothFormsFromTheOtherLines) {
    FakeClusterServer server;
    ui::ClusterClient client;
    Received r;
    record(client, r);
    client.connectTo("127.0.0.1", server.port(), "F6XYZ");
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return client.state() == ui::ClusterClient::State::Connected; }));
    server.send(
        "Hello F6XYZ\r\n"
        "DX de W3LPL:     14025.0  JA1ABC       CW 599      0312Z FN20\r\n"
        "\xff\xfa\x18\x01\xff\xf0  7013.5  OH2BH   8-Dec-2026 1845Z up 1   <F5XYZ>\r\n"
        "F6XYZ de CLUSTER >\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.console.size() >= 4; }, 5000));
    EXPECT_EQ(r.spots, (QStringList{"JA1ABC 14025.0 W3LPL", "OH2BH 7013.5 F5XYZ"}));
    EXPECT_EQ(r.console, (QStringList{"Welcome", "login: ", "Hello F6XYZ", "F6XYZ de CLUSTER >"}));

    client.sendCommand("SH/DX 30");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.endsWith("SH/DX 30\r\n"); }, 5000));

    client.disconnectFromServer();
    EXPECT_EQ(client.state(), ui::ClusterClient::State::Disconnected);
    EXPECT_EQ(r.states.last(), "Déconnecté");
}

TEST(ClusterClient, ALostServerIsReachedAgainAfterGrowingWaits) {
    FakeClusterServer server;
    const quint16 port = server.port();
    ui::ClusterClient client(ReconnectSchedule(D(40), D(160)));
    Received r;
    record(client, r);
    client.connectTo("127.0.0.1", port, "F6XYZ");
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));

    // The server goes away: each attempt fails and the wait grows.
    server.stopListening();
    server.drop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.states.filter("nouvel essai").size() >= 4; }, 5000));
    const QStringList waits = r.states.filter("nouvel essai");
    EXPECT_TRUE(waits[0].endsWith("dans 1 s")) << waits[0].toStdString();
    // How the waits grow is the schedule's own test (a fake clock); the
    // losses reach this thread through a queue, so their gaps here say nothing.
    ASSERT_GE(r.lostAt.size(), 4);
    EXPECT_EQ(client.state(), ui::ClusterClient::State::Lost);

    // Back again: the client logs in a second time by itself.
    server.received.clear();
    ASSERT_TRUE(server.listen(port));
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    EXPECT_EQ(server.connections, 2);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return client.state() == ui::ClusterClient::State::Connected; }));

    // After a disconnection by the operator, nothing tries again: once the
    // reading side has done it, no attempt can start (and none did).
    EXPECT_FALSE(client.hasStopped());
    client.disconnectFromServer();
    server.drop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.hasStopped(); }, 5000));
    EXPECT_EQ(server.connections, 2);
    EXPECT_EQ(client.state(), ui::ClusterClient::State::Disconnected);
}

TEST(ClusterClient, AFloodReachesTheWindowAsAFewBoundedBatches) {
    FakeClusterServer server;
    ui::ClusterClient client;
    Received r;
    record(client, r);
    client.connectTo("127.0.0.1", server.port(), "F6XYZ");
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    QByteArray flood;
    for (int i = 0; i < 50'000; ++i)
        flood += "DX de W3LPL: 14025.0 K" + QByteArray::number(i) + "A CW 0312Z\r\n";
    flood += QByteArray(10'000, 'x') + "\x01\x1b\x07" + "\r\nlast\r\n";
    r.console.clear();
    server.send(flood);
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.console.contains("last"); }, 60'000));
    // Every line is either shown or counted; the newest are shown.
    EXPECT_EQ(uint64_t(r.spots.size() + r.console.size()) + r.dropped, 50'002u);
    EXPECT_EQ(r.spots.last(), "K49999A 14025.0 W3LPL");
    // Each batch within what the window's list can show.
    EXPECT_LE(r.largestBatch, dxcc::cluster::SpotList::kDefaultCapacity);
    const QString& overlong = r.console[r.console.size() - 2];
    EXPECT_EQ(overlong.size(), int(dxcc::cluster::kMaxLineBytes));
    EXPECT_EQ(overlong.count('x'), overlong.size());
}

// What a hostile server sends before its spots: they come through all the same.
TEST(ClusterClient, SpotsComeThroughAfterAStraySubnegotiationOrBinaryData) {
    FakeClusterServer server;
    ui::ClusterClient client;
    Received r;
    record(client, r);
    client.connectTo("127.0.0.1", server.port(), "F6XYZ");
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    server.send(QByteArray("\xff\xfa", 2));
    server.send("DX de W3LPL: 14025.0 K1AAA CW 0312Z\r\nDX de W3LPL: 14025.0 K1BBB CW 0312Z\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.spots.size() == 1; }, 5000));
    EXPECT_EQ(r.spots, QStringList{"K1BBB 14025.0 W3LPL"});

    quint32 seed = 4242;
    QByteArray noise;
    for (int i = 0; i < 100'000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        noise += char(i % 5 == 0 ? 0xff : seed >> 24);
    }
    server.send(noise + "\r\nDX de W3LPL: 7013.5 OH2BH 0314Z\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return r.spots.size() == 2; }, 5000));
    EXPECT_EQ(r.spots.last(), "OH2BH 7013.5 W3LPL");
    EXPECT_EQ(client.state(), ui::ClusterClient::State::Connected);
}

// One connection, as the command line makes it: what the server sends up to
// its close, the last line unfinished, is handed over before the end, and
// nothing is tried again; a refused connection ends at once, never reached.
TEST(ClusterClient, AConnectionMadeOnceEndsAfterItsLastBatch) {
    FakeClusterServer server;
    ui::ClusterClient client;
    Received r;
    record(client, r);
    std::vector<ui::ClusterEnd> ends;
    qsizetype spotsAtEnd = -1;
    QObject::connect(&client, &ui::ClusterClient::ended, [&](const ui::ClusterEnd& end) {
        ends.push_back(end);
        spotsAtEnd = r.spots.size();
    });
    client.connectOnce("127.0.0.1", server.port(), "F6XYZ");
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    server.send("DX de W3LPL: 14025.0 K1AAA CW 0312Z\r\nDX de W3LPL: 14025.0 K1BBB CW 0313Z");
    server.closeGracefully();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.empty(); }, 5000));
    EXPECT_EQ(spotsAtEnd, 2);
    EXPECT_EQ(r.spots, (QStringList{"K1AAA 14025.0 W3LPL", "K1BBB 14025.0 W3LPL"}));
    EXPECT_TRUE(ends[0].reached);
    EXPECT_EQ(ends[0].error, QAbstractSocket::RemoteHostClosedError);
    // A new attempt would have been announced before the end.
    EXPECT_TRUE(r.states.filter("nouvel essai").isEmpty()) << r.states.join('|').toStdString();
    EXPECT_EQ(client.state(), ui::ClusterClient::State::Disconnected);
    EXPECT_EQ(server.connections, 1);

    client.connectOnce("127.0.0.1", testing_support::freeLoopbackPort(), "F6XYZ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends.size() == 2; }, 5000));
    EXPECT_FALSE(ends[1].reached);
    EXPECT_EQ(ends[1].error, QAbstractSocket::ConnectionRefusedError);
    EXPECT_TRUE(r.states.filter("nouvel essai").isEmpty());
}

}  // namespace
