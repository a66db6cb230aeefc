#include "windows/cluster/cluster_feed.h"

#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::cluster::messages;
using namespace dxcc::cluster;

ClusterFeed::ClusterFeed(AppContext& ctx, dxcc::LogSession& session, const NeededLookup& needed,
                         ReconnectSchedule schedule, QObject* parent)
    : QObject(parent),
      ctx_(ctx),
      session_(session),
      needed_(needed),
      client_(new ClusterClient(schedule, {}, this)),
      model_(new SpotTableModel(this)) {
    bellWanted_ = session_.settings().cluster().bell;
    connect(client_, &ClusterClient::batchReceived, this, &ClusterFeed::batchReceived);
}

void ClusterFeed::connectToServer() {
    if (session_.settings().cluster().host.empty()) {
        ctx_.dialogs->inform(fromView(msg::kNoServer));
        return;
    }
    session_.settings().setClusterConnected(true);
    open();
}

void ClusterFeed::disconnectFromServer() {
    session_.settings().setClusterConnected(false);
    client_->disconnectFromServer();
}

void ClusterFeed::resume() {
    const dxcc::ClusterSettings cluster = session_.settings().cluster();
    if (cluster.connected && !cluster.host.empty()) open();
}

void ClusterFeed::settingsChanged() {
    if (client_->state() != ClusterClient::State::Disconnected) open();
}

QString ClusterFeed::unshownText() const {
    return QString::fromStdString(dxcc::cluster::unshownText(unshown_));
}

void ClusterFeed::open() {
    // The count of what a flood left out starts again with each connection.
    unshown_ = {};
    emit unshownChanged({});
    const dxcc::ClusterSettings cluster = session_.settings().cluster();
    client_->connectTo(QString::fromStdString(cluster.host), quint16(cluster.port),
                       QString::fromStdString(cluster.login));
}

void ClusterFeed::refresh() {
    model_->reclassify(session_.prefixes().table(), needed_);
}

void ClusterFeed::setBellWanted(bool on) {
    bellWanted_ = on;
    session_.settings().setClusterBell(on);
}

void ClusterFeed::sendCommand(const QString& text) {
    keepConsole({"> " + text});
    client_->sendCommand(text);
}

void ClusterFeed::batchReceived(const FeedBatch& batch) {
    addSpots(batch.spots);
    QStringList lines;
    lines.reserve(int(batch.lines.size()) + 1);
    // What was left out came before what the batch keeps.
    if (const std::string dropped = dxcc::cluster::unshownText(batch.dropped); !dropped.empty()) {
        lines << QString::fromStdString(dropped);
        unshown_ += batch.dropped;
        emit unshownChanged(unshownText());
    }
    for (const std::string& line : batch.lines) lines << fromCp1252(line);
    if (!lines.isEmpty()) keepConsole(lines);
}

void ClusterFeed::addSpots(const std::vector<Spot>& received) {
    if (received.empty()) return;
    std::vector<ClassifiedSpot> spots;
    spots.reserve(received.size());
    for (const Spot& spot : received)
        spots.push_back(classifySpot(spot, session_.prefixes().table(), needed_));
    std::vector<bool> newEntity(spots.size());
    for (size_t i = 0; i < spots.size(); ++i)
        newEntity[i] = spots[i].colour == dxcc::NeedColour::NewEntity;
    const std::vector<bool> newRow =
        model_->add(std::move(spots), ctx_.clock->utcNow().toSecsSinceEpoch());
    // A new entity that took a row of its own rings, once for the batch.
    for (size_t i = 0; i < newRow.size(); ++i) {
        if (newRow[i] && newEntity[i] && bellWanted_) {
            emit bell();
            return;
        }
    }
}

void ClusterFeed::keepConsole(const QStringList& lines) {
    for (const QString& line : lines) {
        if (console_.size() >= kConsoleLines) console_.pop_front();
        console_.push_back(line);
    }
    emit consoleLines(lines);
}

QString ClusterFeed::consoleText() const {
    QString text;
    for (const QString& line : console_) {
        if (!text.isEmpty()) text += '\n';
        text += line;
    }
    return text;
}

}  // namespace ui
