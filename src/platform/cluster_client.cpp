#include "platform/cluster_client.h"

#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::cluster::messages;

ClusterClient::ClusterClient(dxcc::cluster::ReconnectSchedule schedule,
                             dxcc::cluster::FeedBatcher::Limits limits, QObject* parent)
    : QObject(parent),
      reader_(new ClusterReader(schedule, limits)),
      stateText_(fromView(msg::kDisconnected)) {
    qRegisterMetaType<ClusterState>();
    qRegisterMetaType<ClusterBatchPtr>();
    qRegisterMetaType<ClusterEnd>();
    thread_.setObjectName("cluster");
    reader_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, reader_, &QObject::deleteLater);
    connect(reader_, &ClusterReader::stateChanged, this, &ClusterClient::readerState);
    connect(reader_, &ClusterReader::batchReady, this, &ClusterClient::takeBatch);
    connect(reader_, &ClusterReader::ended, this, [this](int request, const ClusterEnd& end) {
        if (request == request_) emit ended(end);
    });
    connect(reader_, &ClusterReader::closed, this,
            [this](int request) { stoppedRequest_ = request; });
    thread_.start();
}

ClusterClient::~ClusterClient() {
    // The reader closes its socket as it goes, on its own thread.
    thread_.quit();
    thread_.wait();
}

void ClusterClient::connectTo(const QString& host, quint16 port, const QString& callsign) {
    open(host, port, callsign, false);
}

void ClusterClient::connectOnce(const QString& host, quint16 port, const QString& callsign) {
    open(host, port, callsign, true);
}

void ClusterClient::open(const QString& host, quint16 port, const QString& callsign, bool once) {
    const int request = ++request_;
    const QByteArray login = QByteArray::fromStdString(toCp1252(callsign));
    setState(State::Connecting, fromView(msg::kConnecting).arg(host));
    QMetaObject::invokeMethod(
        reader_,
        [reader = reader_, host, port, login, request, once] {
            reader->open(host, port, login, request, once);
        },
        Qt::QueuedConnection);
}

void ClusterClient::disconnectFromServer() {
    const int request = ++request_;
    setState(State::Disconnected, fromView(msg::kDisconnected));
    QMetaObject::invokeMethod(
        reader_, [reader = reader_, request] { reader->close(request); }, Qt::QueuedConnection);
}

void ClusterClient::sendCommand(const QString& text) {
    if (state_ != State::Connected) return;
    const QByteArray bytes = QByteArray::fromStdString(toCp1252(text));
    QMetaObject::invokeMethod(
        reader_, [reader = reader_, bytes] { reader->command(bytes); }, Qt::QueuedConnection);
}

void ClusterClient::readerState(int request, State state, const QString& text) {
    // A state that an operator's later request has made stale is not shown.
    if (request == request_) setState(state, text);
}

void ClusterClient::takeBatch(const ClusterBatchPtr& batch) {
    emit batchReceived(*batch);
    QMetaObject::invokeMethod(
        reader_, [reader = reader_] { reader->shown(); }, Qt::QueuedConnection);
}

void ClusterClient::setState(State state, const QString& text) {
    if (state == state_ && text == stateText_) return;
    state_ = state;
    stateText_ = text;
    emit stateChanged(state, text);
}

}  // namespace ui
