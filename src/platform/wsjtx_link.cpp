#include "platform/wsjtx_link.h"

#include <QNetworkDatagram>
#include <array>

namespace ui {

namespace dd = dxcc::digital;

WsjtxLink::WsjtxLink(QObject* parent, Clock clock) : QObject(parent), clock_(std::move(clock)) {
    if (!clock_) {
        steady_.start();
        clock_ = [this] { return steady_.elapsed(); };
    }
    connect(&socket_, &QUdpSocket::readyRead, this, &WsjtxLink::readSlice);
    silenceTimer_.setInterval(kSilenceCheckMs);
    connect(&silenceTimer_, &QTimer::timeout, this, &WsjtxLink::checkSilence);
}

bool WsjtxLink::listen(const QString& address, quint16 port) {
    close();
    const QHostAddress host(address.trimmed());
    if (host.isNull()) {
        errorText_ = QString("adresse invalide : %1").arg(address);
        return false;
    }
    bool bound = false;
    if (host.isMulticast()) {
        // Shared with the group's other listeners.
        bound = socket_.bind(host.protocol() == QAbstractSocket::IPv6Protocol
                                 ? QHostAddress(QHostAddress::AnyIPv6)
                                 : QHostAddress(QHostAddress::AnyIPv4),
                             port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint) &&
                socket_.joinMulticastGroup(host);
    } else {
        bound = socket_.bind(host, port);
    }
    if (!bound) {
        errorText_ = QString("écoute impossible sur %1:%2 (%3)")
                         .arg(address.trimmed(), QString::number(port), socket_.errorString());
        socket_.close();
        return false;
    }
    // Room for a burst (two programs decoding a busy band at once).
    socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            QVariant(kReceiveBuffer));
    errorText_.clear();
    silenceTimer_.start();
    return true;
}

void WsjtxLink::close() {
    silenceTimer_.stop();
    socket_.close();
}

void WsjtxLink::readSlice() {
    std::array<char, dd::kMaxDatagramBytes + 1> buffer;
    for (int n = 0; n < kSlice && socket_.hasPendingDatagrams(); ++n) {
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 size =
            socket_.readDatagram(buffer.data(), qint64(buffer.size()), &from, &fromPort);
        if (size < 0) break;
        take(buffer.data(), size, from, fromPort);
    }
    // The rest of a flood waits for the socket's next notification, in the
    // next turn of the event loop. It is never read from a call of our own:
    // a notification would then find the data gone, and the socket, which
    // turns its notifications off until a datagram is read, would stay deaf.
}

void WsjtxLink::take(const char* bytes, qint64 size, const QHostAddress& from, quint16 fromPort) {
    ++read_;
    const std::optional<dd::Datagram> datagram =
        dd::decodeDatagram(std::string_view(bytes, size_t(size)), drops_);
    if (!datagram) return;
    const dd::DecoderState& state = decoders_.note(*datagram, now());
    peers_[state.id] = {from, fromPort};
    // A decoder's Heartbeat is answered with ours, so that it speaks the
    // highest schema both know.
    if (std::holds_alternative<dd::Heartbeat>(datagram->message))
        sendTo(state.id, dd::encodeDatagram(dd::Heartbeat{dd::kHighestSchema, "", ""},
                                            {state.id, state.schema}));
    // Peers pushed out of the decoders' states are forgotten too.
    if (peers_.size() > dd::DecoderStates::kMaxDecoders)
        std::erase_if(peers_, [&](const auto& p) { return !decoders_.find(p.first); });
    emit received(*datagram);
    checkSilence();
}

void WsjtxLink::checkSilence() {
    const qint64 t = now();
    for (const dd::DecoderState& d : decoders_.all()) {
        const bool silent = decoders_.silent(d.id, t);
        auto [it, added] = silentShown_.try_emplace(d.id, silent);
        if (!added && it->second == silent) continue;
        it->second = silent;
        if (!added || silent) emit silenceChanged(QString::fromStdString(d.id), silent);
    }
    std::erase_if(silentShown_, [&](const auto& s) { return !decoders_.find(s.first); });
}

bool WsjtxLink::sendTo(const std::string& id, const std::string& bytes) {
    const auto peer = peers_.find(id);
    if (peer == peers_.end() || !listening()) return false;
    return socket_.writeDatagram(bytes.data(), qint64(bytes.size()), peer->second.address,
                                 peer->second.port) == qint64(bytes.size());
}

bool WsjtxLink::sendReply(const std::string& id, const dd::Reply& reply) {
    const dd::DecoderState* d = decoders_.find(id);
    return d && sendTo(id, dd::encodeDatagram(reply, {id, d->schema}));
}

bool WsjtxLink::sendHighlight(const dd::HighlightToSend& h) {
    const dd::DecoderState* d = decoders_.find(h.decoderId);
    return d && sendTo(h.decoderId, dd::encodeDatagram(h.highlight, {h.decoderId, d->schema}));
}

bool WsjtxLink::sendHaltTx(const std::string& id, const dd::HaltTx& halt) {
    const dd::DecoderState* d = decoders_.find(id);
    return d && sendTo(id, dd::encodeDatagram(halt, {id, d->schema}));
}

}  // namespace ui
