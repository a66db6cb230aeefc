#include "app/cluster_command.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <optional>

#include "app/command_arguments.h"
#include "app/command_output.h"
#include "core/base/file_error.h"
#include "core/cluster/cluster_messages.h"
#include "core/cluster/index_needed_lookup.h"
#include "core/record/station_callsign.h"
#include "core/session/log_session.h"
#include "core/session/session_messages.h"
#include "platform/cluster_client.h"
#include "platform/file_error_text.h"
#include "platform/text.h"

namespace ui {

namespace {

namespace msg = dxcc::cluster::messages;

struct ClusterOptions {
    QString host;
    int port = 0;
    long long count = -1;  // -1: until the server closes
    bool needed = false;
    std::optional<QString> station;
    std::optional<QString> dataDir;
};

int fail(std::ostream& err, int status, const QString& text) {
    write(err, "vel_dxcc : " + text + "\n");
    if (status == kCommandBadUsage) err << "Tapez « vel_dxcc --help » pour l'aide.\n";
    return status;
}

// The options, each value after the option or after '=' ("--port=7300").
std::optional<QString> readClusterOptions(const QStringList& args, ClusterOptions& o) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--needed") {
            o.needed = true;
            continue;
        }
        const QString arg = args[i].section('=', 0, 0);
        const bool takesValue = arg == "--host" || arg == "--port" || arg == "--count" ||
                                arg == "--station" || arg == "--data-dir";
        if (!takesValue)
            return (args[i].startsWith("--") ? "option inconnue : " : "argument inconnu : ") +
                   args[i];
        const bool joined = args[i].contains('=');
        if (!joined && i + 1 >= args.size()) return "l'option " + arg + " attend une valeur.";
        const QString value = joined ? args[i].section('=', 1) : args[++i];
        bool ok = true;
        if (arg == "--host")
            o.host = value.trimmed();
        else if (arg == "--port")
            ok = (o.port = value.toInt(&ok)) > 0 && o.port <= 65535 && ok;
        else if (arg == "--count")
            ok = (o.count = value.toLongLong(&ok)) > 0 && ok;
        else if (arg == "--station")
            o.station = value;
        else
            o.dataDir = value;
        if (!ok) return "valeur invalide pour " + arg + " : " + value;
    }
    if (o.host.isEmpty() || o.port == 0) return "cluster attend --host HOTE et --port PORT.";
    return std::nullopt;
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

int clusterCommand(const QStringList& args, const CommandDefaults& defaults, std::ostream& out,
                   std::ostream& err) {
    ClusterOptions o;
    if (auto error = readClusterOptions(args, o)) return fail(err, kCommandBadUsage, *error);

    dxcc::LogSession session(argumentPath(o.dataDir.value_or(defaults.dataDir())),
                             commandSettings(defaults));
    const dxcc::SessionOutcome opened = session.openStation(
        o.station ? std::optional(o.station->trimmed().toStdString()) : std::nullopt);
    if (!opened.ok())
        return fail(err, o.station ? kCommandBadUsage : kCommandFailed,
                    opened.messages.empty() ? QString() : fromView(opened.messages[0]));
    const std::string& station = session.station();
    const dxcc::LoadOutcome loaded = session.loadLog();
    if (loaded.kind != dxcc::LoadOutcome::Kind::Loaded)
        return fail(err, kCommandFailed,
                    "lecture du log de la station " + fromCp1252(dxcc::displayForm(station)) +
                        " impossible." +
                        (loaded.error ? "\n" + fileErrorText(*loaded.error).replace("\r\n", "\n")
                                      : QString()));
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
            status = fail(
                err, kCommandFailed,
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
    if (outputLost || !delivered(out)) return fail(err, kCommandFailed, fromView(kOutputLost));
    if (status == kCommandOk && received == 0)
        return fail(err, kCommandFailed,
                    QString("le serveur %1:%2 a fermé la connexion avant le premier spot.")
                        .arg(o.host, QString::number(o.port)));
    return status;
}

}  // namespace ui
