#include "platform/cluster_client.h"

#include <QSignalBlocker>

#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::cluster::messages;

ClusterClient::ClusterClient(dxcc::cluster::ReconnectSchedule schedule, QObject* parent)
    : QObject(parent), socket_(new QTcpSocket(this)), retry_(new QTimer(this)),
      schedule_(schedule) {
    qRegisterMetaType<dxcc::cluster::Spot>();
    retry_->setSingleShot(true);
    stateText_ = fromView(msg::kDisconnected);
    connect(retry_, &QTimer::timeout, this, &ClusterClient::attempt);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        schedule_.connected();
        conversation_->connected();
        setState(State::Connected, fromView(msg::kConnected).arg(host_));
    });
    connect(socket_, &QTcpSocket::readyRead, this, &ClusterClient::readAvailable);
    connect(socket_, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { lost(socket_->errorString()); });
    connect(socket_, &QTcpSocket::disconnected, this,
            [this] { lost(socket_->errorString()); });
}

ClusterClient::~ClusterClient() {
    wanted_ = false;
    socket_->disconnect(this);
    socket_->abort();
}

void ClusterClient::connectTo(const QString& host, quint16 port, const QString& callsign) {
    disconnectFromServer();
    host_ = host;
    port_ = port;
    conversation_ = std::make_unique<dxcc::cluster::ClusterConversation>(
        *this, toCp1252(callsign),
        dxcc::cluster::ClusterConversation::Handlers{
            [this](const dxcc::cluster::Spot& s) { emit spotReceived(s); },
            [this](std::string_view line) { emit consoleLine(fromCp1252(line)); }});
    wanted_ = true;
    schedule_.connected();
    attempt();
}

void ClusterClient::disconnectFromServer() {
    wanted_ = false;
    retry_->stop();
    if (socket_->state() != QAbstractSocket::UnconnectedState) {
        // A clean close: what was written goes out first.
        socket_->disconnectFromHost();
        if (socket_->state() != QAbstractSocket::UnconnectedState) socket_->abort();
    }
    setState(State::Disconnected, fromView(msg::kDisconnected));
}

void ClusterClient::sendCommand(const QString& text) {
    if (conversation_ && state_ == State::Connected) conversation_->command(toCp1252(text));
}

void ClusterClient::send(std::string_view bytes) {
    socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void ClusterClient::attempt() {
    if (!wanted_) return;
    setState(State::Connecting, fromView(msg::kConnecting).arg(host_));
    {
        // What is left of the last connection goes without a word.
        const QSignalBlocker quiet(socket_);
        socket_->abort();
    }
    socket_->connectToHost(host_, port_);
}

void ClusterClient::readAvailable() {
    // Read in bounded pieces: a flood is handled as it comes, never gathered.
    char buffer[16384];
    for (;;) {
        const qint64 n = socket_->read(buffer, sizeof buffer);
        if (n <= 0) break;
        if (conversation_) conversation_->received(std::string_view(buffer, size_t(n)));
    }
}

void ClusterClient::lost(const QString& reason) {
    if (!wanted_ || retry_->isActive()) return;
    const auto wait = schedule_.next();
    const int seconds = int((wait.count() + 999) / 1000);
    setState(State::Lost, fromView(msg::kLost).arg(reason).arg(seconds));
    retry_->start(int(wait.count()));
}

void ClusterClient::setState(State state, const QString& text) {
    if (state == state_ && text == stateText_) return;
    state_ = state;
    stateText_ = text;
    emit stateChanged(state, text);
}

}  // namespace ui
