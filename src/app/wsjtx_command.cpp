#include "app/wsjtx_command.h"

#include <QEventLoop>
#include <QTimer>
#include <optional>
#include <variant>

#include "app/command_output.h"
#include "app/command_station.h"
#include "core/base/program_constants.h"
#include "core/digital/decode_classifier.h"
#include "core/digital/logged_contact.h"
#include "core/digital/worked_callsigns.h"
#include "core/record/station_callsign.h"
#include "core/session/auto_log.h"
#include "core/session/log_session.h"
#include "platform/file_error_text.h"
#include "platform/stop_signals.h"
#include "platform/text.h"
#include "platform/wsjtx_link.h"

namespace ui {

namespace {

namespace dd = dxcc::digital;

// How often contacts that wait are tried again.
constexpr int kRetryMs = 30'000;

struct WsjtxOptions {
    std::optional<QString> address;
    int port = 0;          // 0: the settings'
    long long count = -1;  // -1: until the decoder closes or a signal
    bool needed = false;
    bool log = false;
};

// What to listen to and what to write, from the options given; the message
// of what is wrong in them.
std::variant<WsjtxOptions, QString> wsjtxOptions(const CommandArguments& given) {
    WsjtxOptions o;
    bool ok = false;
    if (const std::optional<QString> listen = given.value("--listen")) {
        // "ADRESSE:PORT", the port after the last ':'.
        const qsizetype colon = listen->lastIndexOf(':');
        if (colon > 0) {
            o.port = listen->mid(colon + 1).toInt(&ok);
            o.address = listen->left(colon).trimmed();
        }
        if (!ok || o.port <= 0 || o.port > 65535)
            return "valeur invalide pour --listen : " + *listen;
    }
    if (const std::optional<QString> count = given.value("--count")) {
        o.count = count->toLongLong(&ok);
        if (!ok || o.count <= 0) return "valeur invalide pour --count : " + *count;
    }
    o.needed = given.has("--needed");
    o.log = given.has("--log");
    return o;
}

// What the command writes of the contacts logged, and the waiting ones.
struct LogReport {
    std::ostream& out;
    std::ostream& err;
    bool logChanged = false;

    void show(const dxcc::AutoLogOutcome& o) {
        for (const std::string& record : o.logged)
            writeUtf8Line(out, dxcc::loggedContactLine(record));
        logChanged = logChanged || !o.logged.empty();
        if (o.fileError)
            write(err, "vel_dxcc : " + fileErrorText(*o.fileError).replace("\r\n", "\n") + "\n");
        for (const std::string& m : o.messages)
            write(err, "vel_dxcc : " + fromView(m).replace("\r\n", "\n") + "\n");
    }
};

}  // namespace

int wsjtxCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                 std::ostream& err) {
    auto read = wsjtxOptions(given);
    if (const QString* error = std::get_if<QString>(&read)) return badUsage(err, *error);
    const WsjtxOptions& o = std::get<WsjtxOptions>(read);
    // Read only: with --log the folder is taken below when it is free, and
    // the contacts wait in the pending file while another program has it.
    auto opened = openStation(given, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    if (o.log) {
        if (session.claimDataFolder() == dxcc::DataFolderLock::Outcome::Held)
            openDataFolder(session, defaults, err);
        else
            write(err,
                  "vel_dxcc : le dossier de données est pris par un autre programme : les QSO "
                  "attendront dans " +
                      fromView(dxcc::kPendingContactsFileName) + ".\n");
    }

    const dxcc::DigitalLinkSettings settings = session.settings().digitalLink();
    const QString address = o.address.value_or(QString::fromStdString(settings.address));
    const int port = o.port ? o.port : settings.port;
    WsjtxLink link;
    if (port <= 0 || port > 65535 || !link.listen(address, quint16(port)))
        return failure(err, link.errorText());

    dd::WorkedCallsigns worked;
    const std::optional<dxcc::geo::LatLon> here = session.settings().stationPosition();
    dxcc::AutoLog autoLog(session);
    LogReport report{out, err};
    QEventLoop loop;
    long long written = 0;
    bool outputLost = false;
    const auto logged = [&](const dxcc::AutoLogOutcome& outcome) {
        report.show(outcome);
        if (outcome.change) worked.follow(session.log(), *outcome.change);
        outputLost = outputLost || !delivered(out);
        if (outputLost) loop.quit();
    };
    if (o.log) logged(autoLog.retry());

    QObject::connect(&link, &WsjtxLink::received, [&](const dd::Datagram& datagram) {
        if (outputLost || (o.count >= 0 && written >= o.count)) return;
        const dd::DecoderState* decoder = link.decoders().find(datagram.id);
        if (std::holds_alternative<dd::Close>(datagram.message)) return loop.quit();
        if (o.log && decoder)
            if (const auto adif = dd::contactToLog(datagram, *decoder))
                logged(autoLog.receive(*adif));
        const auto* decode = std::get_if<dd::Decode>(&datagram.message);
        if (!decode || !decoder) return;
        worked.bringUpToDate(session.log());
        const dd::DecodeContext context{session.prefixes().table(), session.needed(),
                                        session.entityData(), here, worked};
        const dd::ClassifiedDecode d = dd::classifyDecode(*decode, decoder->tuning, context);
        if (o.needed && !d.needed()) return;
        writeCp1252Line(out, dd::decodeReportLine(d));
        outputLost = !delivered(out);
        if (outputLost || ++written == o.count) loop.quit();
    });
    QTimer retry;
    if (o.log) {
        QObject::connect(&retry, &QTimer::timeout, [&] {
            if (autoLog.waiting() > 0) logged(autoLog.retry());
        });
        retry.start(kRetryMs);
    }
    {
        StopSignals signalsEnd([&loop] { loop.quit(); });
        loop.exec();
    }
    link.close();
    if (outputLost || !delivered(out)) {
        if (report.logChanged) {
            failure(err, "le log a été modifié, mais son compte rendu n'a pas pu être écrit.");
            return kCommandLogChangedReportLost;
        }
        return failure(err, fromView(kOutputLost));
    }
    return kCommandOk;
}

}  // namespace ui
