#include "app/recompute_command.h"

#include <optional>

#include "app/command_arguments.h"
#include "app/command_output.h"
#include "core/record/station_callsign.h"
#include "core/session/log_session.h"
#include "core/session/session_messages.h"
#include "platform/file_error_text.h"
#include "platform/text.h"

namespace ui {

namespace {

constexpr std::string_view kLogUnchanged = "Le log n'a pas été modifié.";

struct RecomputeOptions {
    bool dryRun = false;
    std::optional<QString> station;
    std::optional<QString> dataDir;
};

int fail(std::ostream& err, int status, const QString& text) {
    write(err, "vel_dxcc : " + text + "\n");
    if (status == kCommandBadUsage) err << "Tapez « vel_dxcc --help » pour l'aide.\n";
    return status;
}

// The options, each value after the option or after '=' ("--station=F6XYZ").
std::optional<QString> readRecomputeOptions(const QStringList& args, RecomputeOptions& o) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--dry-run") {
            o.dryRun = true;
            continue;
        }
        const QString arg = args[i].section('=', 0, 0);
        if (arg != "--station" && arg != "--data-dir")
            return (args[i].startsWith("-") ? "option inconnue : " : "argument inconnu : ") +
                   args[i];
        const bool joined = args[i].contains('=');
        if (!joined && (i + 1 >= args.size() || args[i + 1].startsWith("--")))
            return "l'option " + arg + " attend une valeur.";
        (arg == "--station" ? o.station : o.dataDir) = joined ? args[i].section('=', 1) : args[++i];
    }
    return std::nullopt;
}

QString outcomeText(const dxcc::SessionOutcome& outcome) {
    QString text;
    if (outcome.fileError) text = fileErrorText(*outcome.fileError).replace("\r\n", "\n");
    for (const std::string& m : outcome.messages)
        text += (text.isEmpty() ? "" : "\n") + fromView(m).replace("\r\n", "\n");
    return text;
}

}  // namespace

int recomputeCommand(const QStringList& args, const CommandDefaults& defaults, std::ostream& out,
                     std::ostream& err) {
    RecomputeOptions o;
    if (auto error = readRecomputeOptions(args, o)) return fail(err, kCommandBadUsage, *error);
    const QString folder = o.dataDir.value_or(defaults.dataDir());
    dxcc::LogSession session(argumentPath(folder), commandSettings(defaults));
    const dxcc::SessionOutcome opened = session.openStation(
        o.station ? std::optional(o.station->trimmed().toStdString()) : std::nullopt);
    if (!opened.ok())
        return fail(err, o.station ? kCommandBadUsage : kCommandFailed,
                    opened.messages.empty() ? QString() : fromView(opened.messages[0]));
    // Held from before the log is read until the rewrite: no other copy
    // changes it in between.
    if (session.claimDataFolder() == dxcc::DataFolderLock::Outcome::InUse)
        return fail(err, kCommandFailed,
                    fromView(dxcc::lock_messages::kAlreadyOpenForImport) + folder);
    const dxcc::FolderOutcome prepared = session.openDataFolder(
        defaults.shippedFiles ? defaults.shippedFiles() : std::vector<dxcc::ShippedFile>{});
    if (!prepared.ok() || !prepared.messages.empty())
        write(err, "vel_dxcc : " + outcomeText(prepared) + "\n");
    const dxcc::LoadOutcome loaded = session.loadLog();
    if (loaded.kind != dxcc::LoadOutcome::Kind::Loaded)
        return fail(err, kCommandFailed,
                    "lecture du log de la station " +
                        fromCp1252(dxcc::displayForm(session.station())) + " impossible.\n" +
                        fileErrorText(*loaded.error).replace("\r\n", "\n"));

    const dxcc::RecomputeOutcome result =
        session.recomputeEntities([&](const dxcc::EntityRecompute&) { return !o.dryRun; });
    if (!result.ok())
        return fail(err, kCommandFailed,
                    outcomeText(result) + (result.fileError ? "\n" + fromView(kLogUnchanged) : ""));
    for (const std::string& line : dxcc::recomputeSummaryLines(*result.plan))
        writeUtf8Line(out, line);
    if (delivered(out)) return kCommandOk;
    if (!result.saved) return fail(err, kCommandFailed, fromView(kOutputLost));
    fail(err, kCommandFailed,
         "le log a été modifié, mais son compte rendu n'a pas pu être écrit : ne relancez pas "
         "la commande.");
    return kCommandLogChangedReportLost;
}

}  // namespace ui
