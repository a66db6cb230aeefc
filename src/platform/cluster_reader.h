#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "core/cluster/cluster_stream.h"
#include "core/cluster/feed_batch.h"

namespace ui {

enum class ClusterState { Disconnected, Connecting, Connected, Lost };

using ClusterBatchPtr = std::shared_ptr<const dxcc::cluster::FeedBatch>;

// How a connection that is not tried again ended: whether the server was
// ever reached, and the socket's last error (the server closing, a refusal,
// a host not found).
struct ClusterEnd {
    bool reached = false;
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    QString errorText;
};

// The reading side of a cluster connection, on a thread of its own: the
// socket, the conversation and the gathering of what the server sends into
// batches. Driven from the window's side by queued calls; answers through
// queued signals only. Every state it reports carries the number of the
// operator's request it follows, so the window's side can tell stale ones.
class ClusterReader : public QObject, public dxcc::cluster::ClusterLink {
    Q_OBJECT
public:
    ClusterReader(dxcc::cluster::ReconnectSchedule schedule,
                  dxcc::cluster::FeedBatcher::Limits limits);
    ~ClusterReader() override;

    // Connects, and after a loss connects again; with `once`, the first loss
    // ends it: what the server sent is handed over, then `ended`.
    void open(const QString& host, quint16 port, const QByteArray& callsign, int request,
              bool once = false);
    // Closes the connection and stops trying again.
    void close(int request);
    void command(const QByteArray& text);
    // The window has shown the last batch: the next may go.
    void shown();
    // What the conversation writes to the server.
    void send(std::string_view bytes) override;

signals:
    void stateChanged(int request, ui::ClusterState state, const QString& text);
    // The operator's request `request` to disconnect is done: no connection
    // is open and none is tried until the next open().
    void closed(int request);
    void batchReady(ui::ClusterBatchPtr batch);
    // A connection opened `once` is over; every batch went before.
    void ended(int request, const ui::ClusterEnd& end);

private:
    void stop();
    void attempt();
    void readAvailable();
    void readSocket();
    void lost(const QString& reason);
    // The single connection is over: the rest is handed over, then `ended`.
    void finish();
    void setState(ClusterState state, const QString& text);
    // Hands over a batch when one may go, or waits until it may.
    void deliver();

    QTcpSocket* socket_;
    QTimer* retry_;
    QTimer* batchTimer_;
    dxcc::cluster::ReconnectSchedule schedule_;
    dxcc::cluster::FeedBatcher batcher_;
    std::unique_ptr<dxcc::cluster::ClusterConversation> conversation_;
    QString host_;
    quint16 port_ = 0;
    int request_ = 0;
    bool wanted_ = false;   // the operator wants to be connected
    bool once_ = false;     // no new attempt after a loss
    bool reached_ = false;  // the connection was made
    bool ending_ = false;   // the last batches go, then `ended`
    ClusterEnd end_;
    ClusterState state_ = ClusterState::Disconnected;
    QString stateText_;
};

}  // namespace ui

Q_DECLARE_METATYPE(ui::ClusterState)
Q_DECLARE_METATYPE(ui::ClusterBatchPtr)
Q_DECLARE_METATYPE(ui::ClusterEnd)
