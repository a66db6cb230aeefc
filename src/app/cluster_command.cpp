#include "app/cluster_command.h"

#include <QEventLoop>
#include <cstdint>
#include <optional>
#include <variant>

#include "app/command_output.h"
#include "app/command_station.h"
#include "core/cluster/cluster_messages.h"
#include "core/cluster/feed_batch.h"
#include "core/cluster/index_needed_lookup.h"
#include "platform/cluster_client.h"
#include "platform/text.h"

namespace ui {

namespace {

namespace msg = dxcc::cluster::messages;

struct ClusterOptions {
    QString host;
    int port = 0;
    long long count = -1;  // -1: until the server closes
    bool needed = false;
};

// The server and what to write, from the options given; the message of what
// is wrong in them.
std::variant<ClusterOptions, QString> clusterOptions(const CommandArguments& given) {
    ClusterOptions o;
    o.host = given.value("--host").value_or(QString()).trimmed();
    const std::optional<QString> port = given.value("--port");
    if (o.host.isEmpty() || !port) return QString("cluster attend --host HOTE et --port PORT.");
    bool ok = false;
    o.port = port->toInt(&ok);
    if (!ok || o.port <= 0 || o.port > 65535) return "valeur invalide pour --port : " + *port;
    if (const std::optional<QString> count = given.value("--count")) {
        o.count = count->toLongLong(&ok);
        if (!ok || o.count <= 0) return "valeur invalide pour --count : " + *count;
    }
    o.needed = given.has("--needed");
    return o;
}

// The spot with its texts in UTF-8: the server's bytes and the prefix file's
// names are Windows-1252.
dxcc::cluster::ClassifiedSpot inUtf8(dxcc::cluster::ClassifiedSpot s) {
    for (std::string* text :
         {&s.spot.time, &s.spot.frequencyText, &s.spot.dx, &s.dxccPrefix, &s.entityName})
        *text = fromCp1252(*text).toStdString();
    return s;
}

// What a connection that could not be made says.
QString unreachedText(const ClusterOptions& o, const ClusterEnd& end) {
    const QString port = QString::number(o.port);
    switch (end.error) {
        case QAbstractSocket::ConnectionRefusedError:
            return fromView(msg::kRefused).arg(o.host, port);
        case QAbstractSocket::HostNotFoundError:
            return fromView(msg::kHostNotFound).arg(o.host);
        default:
            return fromView(msg::kConnectionFailed).arg(o.host, port, end.errorText);
    }
}

// Each spot as it comes, in batches as small as the output keeps up with;
// only what a flood brings beyond a window's list while the output is slow is
// counted instead.
const dxcc::cluster::FeedBatcher::Limits kSpotBySpot{dxcc::cluster::SpotList::kDefaultCapacity, 0,
                                                     dxcc::cluster::FeedBatcher::Delay(0)};

// Writes the spots the server sends, as the options ask, until their count.
class SpotWriter {
public:
    SpotWriter(const ClusterOptions& options, dxcc::LogSession& session, std::ostream& out)
        : options_(options),
          prefixes_(session.prefixes().table()),
          needed_(session.needed()),
          out_(out) {}

    // Whether the command goes on after `batch`.
    bool write(const dxcc::cluster::FeedBatch& batch) {
        received_ += batch.dropped.spots;
        unwritten_ += batch.dropped.spots;
        for (const dxcc::cluster::Spot& spot : batch.spots)
            if (!write(spot)) return false;
        return true;
    }
    long long received() const { return received_; }
    uint64_t unwritten() const { return unwritten_; }
    bool outputLost() const { return outputLost_; }

private:
    bool write(const dxcc::cluster::Spot& spot) {
        ++received_;
        const auto s = dxcc::cluster::classifySpot(spot, prefixes_, needed_);
        if (options_.needed && !s.needed()) return true;
        writeUtf8Line(out_, dxcc::cluster::spotReportLine(inUtf8(s)));
        // Nobody reads any more (a full disk, "| head -1"): the command ends.
        outputLost_ = !delivered(out_);
        return !outputLost_ && ++written_ != options_.count;
    }

    const ClusterOptions& options_;
    const dxcc::PrefixTable& prefixes_;
    const dxcc::cluster::IndexNeededLookup needed_;
    std::ostream& out_;
    long long received_ = 0;
    long long written_ = 0;
    uint64_t unwritten_ = 0;
    bool outputLost_ = false;
};

}  // namespace

int clusterCommand(const CommandArguments& given, const CommandDefaults& defaults,
                   std::ostream& out, std::ostream& err) {
    auto read = clusterOptions(given);
    if (const QString* error = std::get_if<QString>(&read)) return badUsage(err, *error);
    const ClusterOptions& o = std::get<ClusterOptions>(read);
    auto opened = openStation(given, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);

    SpotWriter writer(o, session, out);
    ClusterClient client({}, kSpotBySpot);
    QEventLoop loop;
    std::optional<ClusterEnd> ended;
    QObject::connect(&client, &ClusterClient::batchReceived,
                     [&](const dxcc::cluster::FeedBatch& batch) {
                         if (writer.write(batch)) return;
                         client.disconnectFromServer();
                         loop.quit();
                     });
    QObject::connect(&client, &ClusterClient::ended, [&](const ClusterEnd& end) {
        ended = end;
        loop.quit();
    });
    // The login callsign of the cluster settings, as the window gives it.
    client.connectOnce(o.host, quint16(o.port), fromCp1252(session.settings().cluster().login));
    loop.exec();

    if (writer.outputLost() || !delivered(out)) return failure(err, fromView(kOutputLost));
    if (ended && !ended->reached) return failure(err, unreachedText(o, *ended));
    if (writer.unwritten() > 0)
        write(err,
              "vel_dxcc : " + fromView(dxcc::cluster::unshownText({writer.unwritten(), 0})) + "\n");
    if (writer.received() == 0)
        return failure(err, QString("le serveur %1:%2 a fermé la connexion avant le premier spot.")
                                .arg(o.host, QString::number(o.port)));
    return kCommandOk;
}

}  // namespace ui
