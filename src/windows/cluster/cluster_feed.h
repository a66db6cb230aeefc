#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>

#include "core/cluster/cluster_stream.h"
#include "core/cluster/feed_batch.h"
#include "core/cluster/spot_classifier.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/cluster_client.h"
#include "windows/cluster/spot_table_model.h"

namespace ui {

// The DX cluster for as long as the program runs, whether its window is open
// or not: the connection, the spots coloured by what the log needs, the
// server's last lines and the bell for a new entity. The operator's wish to be
// connected is kept in the settings, so the next start connects again.
class ClusterFeed : public QObject {
    Q_OBJECT
public:
    ClusterFeed(AppContext& ctx, dxcc::LogSession& session,
                const dxcc::cluster::NeededLookup& needed,
                dxcc::cluster::ReconnectSchedule schedule = {}, QObject* parent = nullptr);

    // The operator connects to the server of the settings (told when none is set).
    void connectToServer();
    // The operator disconnects.
    void disconnectFromServer();
    // At start: connects when the operator left the program connected.
    void resume();
    // The settings changed: a connection in use follows them.
    void settingsChanged();
    // The log or the prefixes changed: the spots' colours follow.
    void refresh();
    void sendCommand(const QString& text);

    bool bellWanted() const { return bellWanted_; }
    void setBellWanted(bool on);

    ClusterClient& client() { return *client_; }
    SpotTableModel& spots() { return *model_; }
    // The server's last lines, oldest first.
    QString consoleText() const;
    // What came too fast to be shown since the connection was made; empty
    // when nothing did.
    QString unshownText() const;

signals:
    // New lines for the console, one per line.
    void consoleLines(const QStringList& lines);
    // A new entity came up and the operator asked to hear of it.
    void bell();
    void unshownChanged(const QString& text);

private:
    void batchReceived(const dxcc::cluster::FeedBatch& batch);
    void addSpots(const std::vector<dxcc::cluster::Spot>& received);
    void keepConsole(const QStringList& lines);
    void open();

    AppContext& ctx_;
    dxcc::LogSession& session_;
    const dxcc::cluster::NeededLookup& needed_;
    ClusterClient* client_;
    SpotTableModel* model_;
    std::deque<QString> console_;
    dxcc::cluster::Unshown unshown_;
    bool bellWanted_ = false;
};

}  // namespace ui
