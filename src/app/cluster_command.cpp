#include "app/cluster_command.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <optional>
#include <variant>

#include "app/command_output.h"
#include "app/command_station.h"
#include "core/cluster/cluster_messages.h"
#include "core/cluster/cluster_stream.h"
#include "core/cluster/index_needed_lookup.h"
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

}  // namespace

int clusterCommand(const CommandArguments& given, const CommandDefaults& defaults,
                   std::ostream& out, std::ostream& err) {
    auto read = clusterOptions(given);
    if (const QString* error = std::get_if<QString>(&read)) return badUsage(err, *error);
    const ClusterOptions& o = std::get<ClusterOptions>(read);
    auto opened = openStation(given, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::cluster::IndexNeededLookup needed(session.needed());
    const dxcc::PrefixTable& prefixes = session.prefixes().table();

    QTcpSocket socket;
    QEventLoop loop;
    int status = kCommandOk;
    long long received = 0, written = 0;
    bool connected = false, outputLost = false;
    struct SocketLink : dxcc::cluster::ClusterLink {
        QTcpSocket& socket;
        explicit SocketLink(QTcpSocket& s) : socket(s) {}
        void send(std::string_view bytes) override {
            socket.write(bytes.data(), qint64(bytes.size()));
        }
    } link(socket);
    // The login callsign of the cluster settings, as the window gives it.
    dxcc::cluster::ClusterConversation conversation(
        link, session.settings().cluster().login,
        {[&](const dxcc::cluster::Spot& spot) {
             ++received;
             if (outputLost || (o.count >= 0 && written >= o.count)) return;
             const auto s = dxcc::cluster::classifySpot(spot, prefixes, needed);
             if (o.needed && !s.needed()) return;
             writeUtf8Line(out, dxcc::cluster::spotReportLine(inUtf8(s)));
             // Nobody reads any more (a full disk, "| head -1"): the command ends.
             outputLost = !delivered(out);
             if (outputLost || ++written == o.count) {
                 socket.disconnectFromHost();
                 loop.quit();
             }
         },
         {}});
    QObject::connect(&socket, &QTcpSocket::connected, [&] {
        connected = true;
        conversation.connected();
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        char buffer[16384];
        qint64 n;
        while ((n = socket.read(buffer, sizeof buffer)) > 0)
            conversation.received(std::string_view(buffer, size_t(n)));
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, [&](QAbstractSocket::SocketError e) {
        if (!connected) {
            const QString port = QString::number(o.port);
            status = failure(
                err,
                e == QAbstractSocket::ConnectionRefusedError
                    ? fromView(msg::kRefused).arg(o.host, port)
                : e == QAbstractSocket::HostNotFoundError
                    ? fromView(msg::kHostNotFound).arg(o.host)
                    : fromView(msg::kConnectionFailed).arg(o.host, port, socket.errorString()));
        }
        loop.quit();
    });
    socket.connectToHost(o.host, quint16(o.port));
    loop.exec();
    // What came with the close is read too.
    if (!outputLost && socket.bytesAvailable() > 0 && (o.count < 0 || written < o.count)) {
        const QByteArray rest = socket.readAll();
        conversation.received(std::string_view(rest.constData(), size_t(rest.size())));
        conversation.received("\n");
    }
    if (outputLost || !delivered(out)) return failure(err, fromView(kOutputLost));
    if (status == kCommandOk && received == 0)
        return failure(err, QString("le serveur %1:%2 a fermé la connexion avant le premier spot.")
                                .arg(o.host, QString::number(o.port)));
    return status;
}

}  // namespace ui
