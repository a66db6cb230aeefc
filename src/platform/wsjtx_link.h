#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>
#include <functional>
#include <map>
#include <string>

#include "core/digital/decoder_states.h"
#include "core/digital/highlight_schedule.h"
#include "core/digital/wsjtx_codec.h"

namespace ui {

// The UDP link with the digital-mode programs (WSJT-X, JTDX): listens on the
// address and port of the settings, unicast or, for an address of
// 224.0.0.0/4, as a member of that multicast group (shared with the other
// listeners of the group, GridTracker or JTAlert); reads each datagram whole
// (a datagram that cannot be read is dropped and counted); keeps each decoder
// instance's state by its id; sends replies, highlights and heartbeats to the
// address and port that instance sends from. Reading never waits, and a flood
// is read a slice at a time so the thread's other events keep their turn.
class WsjtxLink : public QObject {
    Q_OBJECT
public:
    // Milliseconds on a steady clock; tests give their own.
    using Clock = std::function<qint64()>;
    // Datagrams read in one turn of the event loop.
    static constexpr int kSlice = 256;
    // The system's buffer of datagrams not read yet, asked for.
    static constexpr int kReceiveBuffer = 1 << 20;
    // How often the decoders' silence is looked at.
    static constexpr int kSilenceCheckMs = 1000;

    explicit WsjtxLink(QObject* parent = nullptr, Clock clock = {});

    // Listens on `address` and `port` (any previous listening stopped); false
    // when the socket cannot be bound, errorText() then says why.
    bool listen(const QString& address, quint16 port);
    void close();
    bool listening() const { return socket_.state() == QAbstractSocket::BoundState; }
    quint16 localPort() const { return socket_.localPort(); }
    QString errorText() const { return errorText_; }

    const dxcc::digital::DecoderStates& decoders() const { return decoders_; }
    bool silent(const std::string& id) const { return decoders_.silent(id, now()); }
    // Datagrams dropped, per reason, since the link was made.
    const dxcc::digital::DropCounts& drops() const { return drops_; }
    quint64 datagramsRead() const { return read_; }

    // Sent to decoder `id` at the address and port it sends from, in its
    // schema; false when it was never heard or the send failed.
    bool sendReply(const std::string& id, const dxcc::digital::Reply& reply);
    bool sendHighlight(const dxcc::digital::HighlightToSend& highlight);
    bool sendHaltTx(const std::string& id, const dxcc::digital::HaltTx& halt);

signals:
    // A datagram read whole from a decoder, whose state (decoders()) already
    // takes it into account.
    void received(const dxcc::digital::Datagram& datagram);
    // A decoder fell silent (no Heartbeat for 30 s, or it closed), or spoke again.
    void silenceChanged(const QString& id, bool silent);

private:
    void readSlice();
    void take(const char* bytes, qint64 size, const QHostAddress& from, quint16 fromPort);
    void checkSilence();
    bool sendTo(const std::string& id, const std::string& bytes);
    qint64 now() const { return clock_(); }

    struct Peer {
        QHostAddress address;
        quint16 port = 0;
    };

    Clock clock_;
    QElapsedTimer steady_;
    QUdpSocket socket_;
    QTimer silenceTimer_;
    dxcc::digital::DecoderStates decoders_;
    std::map<std::string, Peer> peers_;
    std::map<std::string, bool> silentShown_;
    dxcc::digital::DropCounts drops_;
    quint64 read_ = 0;
    QString errorText_;
};

}  // namespace ui
