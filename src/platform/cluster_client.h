#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include "core/cluster/cluster_stream.h"
#include "core/cluster/feed_batch.h"
#include "platform/cluster_reader.h"

namespace ui {

// A connection to a DX cluster server, driven from the window's thread while
// the socket is read and the lines parsed on a thread of its own: logs in,
// hands on what the server sends in batches a few times a second at most
// (what a flood brings beyond them is counted, not queued), and after a loss
// tries again with a growing delay until disconnected. Never waits.
class ClusterClient : public QObject {
    Q_OBJECT
public:
    using State = ClusterState;
    explicit ClusterClient(dxcc::cluster::ReconnectSchedule schedule = {},
                           dxcc::cluster::FeedBatcher::Limits limits = {},
                           QObject* parent = nullptr);
    ~ClusterClient() override;

    void connectTo(const QString& host, quint16 port, const QString& callsign);
    // One connection, never tried again: when it cannot be made or the
    // server closes it, `ended` follows the last batch.
    void connectOnce(const QString& host, quint16 port, const QString& callsign);
    // Closes the connection and stops trying again.
    void disconnectFromServer();
    void sendCommand(const QString& text);
    State state() const { return state_; }
    // The reading side has done the operator's last request, a disconnection:
    // nothing is connected and nothing will be tried again until connectTo().
    bool hasStopped() const { return stoppedRequest_ == request_; }
    const QString& stateText() const { return stateText_; }

signals:
    void stateChanged(ui::ClusterClient::State state, const QString& text);
    // What the server sent since the last batch; the next comes once this
    // signal's receivers have returned.
    void batchReceived(const dxcc::cluster::FeedBatch& batch);
    // The connection asked by connectOnce() is over.
    void ended(const ui::ClusterEnd& end);

private:
    void open(const QString& host, quint16 port, const QString& callsign, bool once);
    void readerState(int request, State state, const QString& text);
    void takeBatch(const ClusterBatchPtr& batch);
    void setState(State state, const QString& text);

    QThread thread_;
    ClusterReader* reader_;
    int request_ = 0;         // the operator's last request to connect or disconnect
    int stoppedRequest_ = 0;  // the last disconnection the reading side has done
    State state_ = State::Disconnected;
    QString stateText_;
};

}  // namespace ui
