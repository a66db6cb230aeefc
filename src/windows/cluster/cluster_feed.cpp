#include "windows/cluster/cluster_feed.h"

#include "core/base/program_constants.h"
#include "core/cluster/cluster_messages.h"
#include "core/record/station_callsign.h"
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
    bellWanted_ = setting(kKeyClusterBell, "Non") == "Oui";
    connect(client_, &ClusterClient::batchReceived, this, &ClusterFeed::batchReceived);
}

QString ClusterFeed::setting(std::string_view key, const QString& fallback) const {
    return ctx_.settings->get(fromView(dxcc::kGlobalSection), fromView(key), fallback);
}

void ClusterFeed::store(std::string_view key, bool on) {
    ctx_.settings->set(fromView(dxcc::kGlobalSection), fromView(key), on ? "Oui" : "Non");
}

void ClusterFeed::connectToServer() {
    if (setting(kKeyClusterHost, {}).trimmed().isEmpty()) {
        ctx_.dialogs->inform(fromView(msg::kNoServer));
        return;
    }
    store(kKeyClusterConnected, true);
    open();
}

void ClusterFeed::disconnectFromServer() {
    store(kKeyClusterConnected, false);
    client_->disconnectFromServer();
}

void ClusterFeed::resume() {
    if (setting(kKeyClusterConnected, "Non") == "Oui" &&
        !setting(kKeyClusterHost, {}).trimmed().isEmpty())
        open();
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
    const QString host = setting(kKeyClusterHost, {}).trimmed();
    const auto port = quint16(setting(kKeyClusterPort, "7300").toUInt());
    const QString station = fromCp1252(dxcc::displayForm(session_.station()));
    client_->connectTo(host, port, setting(kKeyClusterCallsign, station));
}

void ClusterFeed::refresh() {
    model_->reclassify(session_.prefixes().table(), needed_);
}

void ClusterFeed::setBellWanted(bool on) {
    bellWanted_ = on;
    store(kKeyClusterBell, on);
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
        newEntity[i] = spots[i].colour == SpotColour::NewEntity;
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
