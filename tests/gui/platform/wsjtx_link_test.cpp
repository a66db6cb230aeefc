#include "platform/wsjtx_link.h"

#include <gtest/gtest.h>

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <random>

#include "decoder_datagrams.h"

namespace {

namespace dd = dxcc::digital;
namespace dg = testing_support::decoder_datagrams;

// A decoder instance: a socket of its own that sends to the link and reads
// what comes back.
struct FakeDecoder {
    explicit FakeDecoder(std::string id) : id(std::move(id)) {
        EXPECT_TRUE(socket.bind(QHostAddress::LocalHost, 0));
    }
    void send(const std::string& bytes, quint16 port) {
        socket.writeDatagram(bytes.data(), qint64(bytes.size()), QHostAddress::LocalHost, port);
    }
    // The next datagram it receives, or empty after a few seconds.
    std::string next() {
        if (!socket.hasPendingDatagrams() &&
            !QTest::qWaitFor([&] { return socket.hasPendingDatagrams(); }, 5000))
            return {};
        const QByteArray data = socket.receiveDatagram().data();
        return data.toStdString();
    }
    std::string id;
    QUdpSocket socket;
};

struct Listening {
    Listening() : link(nullptr, [this] { return nowMs; }) {
        EXPECT_TRUE(link.listen("127.0.0.1", 0)) << link.errorText().toStdString();
        QObject::connect(&link, &ui::WsjtxLink::received,
                         [this](const dd::Datagram& d) { received.push_back(d); });
    }
    bool waitFor(size_t count) {
        return QTest::qWaitFor([&] { return received.size() >= count; }, 5000);
    }
    qint64 nowMs = 0;
    ui::WsjtxLink link;
    std::vector<dd::Datagram> received;
};

TEST(WsjtxLink, ReadsEachDecoderAndRepliesToWhereItSendsFrom) {
    Listening l;
    FakeDecoder wsjtx("WSJT-X"), jtdx("JTDX");
    const quint16 port = l.link.localPort();
    wsjtx.send(dg::heartbeat("WSJT-X"), port);
    // Our Heartbeat back settles the schema.
    EXPECT_EQ(wsjtx.next(), dd::encodeDatagram(dd::Heartbeat{3, "", ""}, {"WSJT-X", 3}));
    jtdx.send(dg::heartbeat("JTDX"), port);
    EXPECT_FALSE(jtdx.next().empty());
    wsjtx.send(dg::status("WSJT-X", 14'074'000, "FT8"), port);
    jtdx.send(dg::status("JTDX", 7'074'000, "FT8"), port);
    wsjtx.send(dg::decode("WSJT-X", 45'000'000, -12, "CQ VP8LP GD18"), port);
    ASSERT_TRUE(l.waitFor(5));
    const auto* decode = std::get_if<dd::Decode>(&l.received.back().message);
    ASSERT_TRUE(decode);
    EXPECT_EQ(decode->message, "CQ VP8LP GD18");
    EXPECT_EQ(l.link.decoders().find("JTDX")->tuning.band, "7.0 Mhz");

    // Each reply to its own decoder, in its schema.
    const dd::HighlightToSend h{"JTDX", {"VP8LP", dd::Colour::rgb(255, 0, 0), dd::Colour::none()}};
    ASSERT_TRUE(l.link.sendHighlight(h));
    EXPECT_EQ(jtdx.next(), dd::encodeDatagram(h.highlight, {"JTDX", 3}));
    ASSERT_TRUE(l.link.sendReply("WSJT-X", dd::replyTo(*decode)));
    EXPECT_EQ(wsjtx.next(), dd::encodeDatagram(dd::replyTo(*decode), {"WSJT-X", 3}));
    EXPECT_FALSE(l.link.sendReply("never heard", dd::replyTo(*decode)));
}

TEST(WsjtxLink, HostileDatagramsAreDroppedAndCountedOnly) {
    Listening l;
    FakeDecoder attacker("x");
    const quint16 port = l.link.localPort();
    std::mt19937 random(7);
    std::string truncated = dg::decode("WSJT-X", 1000, -1, "CQ K1ABC FN42");
    truncated.resize(truncated.size() - 3);
    std::string oversized = dg::heartbeat("WSJT-X");
    oversized[15] = '\x7f';  // the id's length, far past the datagram's end
    std::vector<std::string> hostile{truncated, oversized, std::string(65'000, '\xad'), ""};
    for (int i = 0; i < 200; ++i) {
        std::string bytes(random() % 300, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        hostile.push_back(bytes);
    }
    // One at a time: what the system's buffer would lose is no test of the link.
    for (const std::string& bytes : hostile) {
        const quint64 before = l.link.datagramsRead();
        attacker.send(bytes, port);
        ASSERT_TRUE(QTest::qWaitFor([&] { return l.link.datagramsRead() > before; }, 5000));
    }
    // A good datagram after them proves every one before it was read.
    attacker.send(dg::heartbeat("WSJT-X"), port);
    ASSERT_TRUE(l.waitFor(1)) << l.link.datagramsRead() << " read, " << l.link.drops().total()
                              << " dropped";
    EXPECT_EQ(l.received.size(), 1u);
    EXPECT_EQ(l.link.drops().total(), hostile.size());
}

TEST(WsjtxLink, ADecoderWithoutHeartbeatFor30SecondsIsSilent) {
    Listening l;
    FakeDecoder wsjtx("WSJT-X");
    QSignalSpy silence(&l.link, &ui::WsjtxLink::silenceChanged);
    wsjtx.send(dg::heartbeat("WSJT-X"), l.link.localPort());
    ASSERT_TRUE(l.waitFor(1));
    EXPECT_FALSE(l.link.silent("WSJT-X"));
    l.nowMs = 30'001;
    ASSERT_TRUE(silence.wait(5000));
    EXPECT_EQ(silence.back(), (QList<QVariant>{"WSJT-X", true}));
    EXPECT_TRUE(l.link.silent("WSJT-X"));
    wsjtx.send(dg::heartbeat("WSJT-X"), l.link.localPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return silence.size() == 2; }, 5000));
    EXPECT_EQ(silence.back(), (QList<QVariant>{"WSJT-X", false}));
}

TEST(WsjtxLink, AMulticastGroupIsJoinedAndSharedWithAnotherListener) {
    ui::WsjtxLink first, second;
    if (!first.listen("239.255.0.7", 0)) {
        GTEST_SKIP() << "pas de multicast ici : " << first.errorText().toStdString();
    }
    const quint16 port = first.localPort();
    ASSERT_TRUE(second.listen("239.255.0.7", port)) << second.errorText().toStdString();
    ui::WsjtxLink unicast;
    EXPECT_FALSE(unicast.listen("not an address", 2237));
    EXPECT_FALSE(unicast.errorText().isEmpty());
}

}  // namespace
