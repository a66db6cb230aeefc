#include "platform/cluster_reader.h"

#include <QSignalBlocker>
#include <chrono>

#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::cluster::messages;

namespace {

// What the socket holds before the reader has read it: beyond this, the
// server waits (the kernel's window closes) rather than the memory growing.
constexpr qint64 kSocketBufferBytes = 1 << 20;

}  // namespace

ClusterReader::ClusterReader(dxcc::cluster::ReconnectSchedule schedule,
                             dxcc::cluster::FeedBatcher::Limits limits)
    : socket_(new QTcpSocket(this)),
      retry_(new QTimer(this)),
      batchTimer_(new QTimer(this)),
      schedule_(schedule),
      batcher_(limits),
      stateText_(fromView(msg::kDisconnected)) {
    retry_->setSingleShot(true);
    batchTimer_->setSingleShot(true);
    socket_->setReadBufferSize(kSocketBufferBytes);
    connect(retry_, &QTimer::timeout, this, &ClusterReader::attempt);
    connect(batchTimer_, &QTimer::timeout, this, &ClusterReader::deliver);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        reached_ = true;
        schedule_.connected();
        conversation_->connected();
        setState(ClusterState::Connected, fromView(msg::kConnected).arg(host_));
    });
    connect(socket_, &QTcpSocket::readyRead, this, &ClusterReader::readAvailable);
    connect(socket_, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { lost(socket_->errorString()); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { lost(socket_->errorString()); });
}

ClusterReader::~ClusterReader() {
    wanted_ = false;
    socket_->disconnect(this);
    socket_->abort();
}

void ClusterReader::open(const QString& host, quint16 port, const QByteArray& callsign, int request,
                         bool once) {
    stop();
    request_ = request;
    once_ = once;
    reached_ = false;
    ending_ = false;
    host_ = host;
    port_ = port;
    conversation_ = std::make_unique<dxcc::cluster::ClusterConversation>(
        *this, callsign.toStdString(),
        dxcc::cluster::ClusterConversation::Handlers{
            [this](const dxcc::cluster::Spot& s) { batcher_.spot(s); },
            [this](std::string_view line) { batcher_.line(line); }});
    wanted_ = true;
    schedule_.connected();
    attempt();
}

void ClusterReader::close(int request) {
    stop();
    request_ = request;
    setState(ClusterState::Disconnected, fromView(msg::kDisconnected));
    // Said only when true: nothing is open and no new attempt is waiting.
    if (!retry_->isActive() && socket_->state() == QAbstractSocket::UnconnectedState)
        emit closed(request);
}

void ClusterReader::stop() {
    wanted_ = false;
    retry_->stop();
    if (socket_->state() != QAbstractSocket::UnconnectedState) {
        // A clean close: what was written goes out first.
        socket_->disconnectFromHost();
        if (socket_->state() != QAbstractSocket::UnconnectedState) socket_->abort();
    }
}

void ClusterReader::command(const QByteArray& text) {
    if (conversation_ && state_ == ClusterState::Connected)
        conversation_->command(std::string_view(text.constData(), size_t(text.size())));
}

void ClusterReader::send(std::string_view bytes) {
    socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void ClusterReader::attempt() {
    if (!wanted_) return;
    setState(ClusterState::Connecting, fromView(msg::kConnecting).arg(host_));
    {
        // What is left of the last connection goes without a word.
        const QSignalBlocker quiet(socket_);
        socket_->abort();
    }
    socket_->connectToHost(host_, port_);
}

void ClusterReader::readAvailable() {
    readSocket();
    if (!batchTimer_->isActive()) deliver();
}

void ClusterReader::readSocket() {
    // Read in bounded pieces: a flood is handled as it comes, never gathered.
    char buffer[16384];
    for (;;) {
        const qint64 n = socket_->read(buffer, sizeof buffer);
        if (n <= 0) break;
        if (conversation_) conversation_->received(std::string_view(buffer, size_t(n)));
    }
}

void ClusterReader::shown() {
    batcher_.shown();
    if (!batchTimer_->isActive()) deliver();
}

void ClusterReader::deliver() {
    if (ending_ && batcher_.idle()) {
        ending_ = false;
        emit ended(request_, end_);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto wait = batcher_.wait(now);
    if (!wait) return;  // nothing to hand over, or the window still holds a batch
    // At the end, what is left goes as soon as the last batch was taken.
    if (wait->count() > 0 && !ending_) {
        batchTimer_->start(int(wait->count()));
        return;
    }
    emit batchReady(std::make_shared<const dxcc::cluster::FeedBatch>(batcher_.take(now)));
}

void ClusterReader::lost(const QString& reason) {
    if (!wanted_ || retry_->isActive()) return;
    if (once_) {
        finish();
        return;
    }
    const auto wait = schedule_.next();
    const int seconds = int((wait.count() + 999) / 1000);
    setState(ClusterState::Lost, fromView(msg::kLost).arg(reason).arg(seconds));
    retry_->start(int(wait.count()));
}

void ClusterReader::finish() {
    wanted_ = false;
    end_ = {reached_, socket_->error(), socket_->errorString()};
    // What came with the close, to its last line.
    readSocket();
    if (conversation_ && reached_) conversation_->closed();
    setState(ClusterState::Disconnected, fromView(msg::kDisconnected));
    ending_ = true;
    batchTimer_->stop();
    deliver();
}

void ClusterReader::setState(ClusterState state, const QString& text) {
    if (state == state_ && text == stateText_) return;
    state_ = state;
    stateText_ = text;
    emit stateChanged(request_, state, text);
}

}  // namespace ui
