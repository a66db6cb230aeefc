#include "app/log_commands.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <variant>

#include "app/command_arguments.h"
#include "app/command_output.h"
#include "core/adif/adif_export.h"
#include "core/adif/adif_import.h"
#include "core/adif/adif_messages.h"
#include "core/adif/confirmation_merge.h"
#include "core/awards/award_report.h"
#include "core/awards/dxcc_table.h"
#include "core/awards/needed_messages.h"
#include "core/awards/needed_report.h"
#include "core/base/text_utils.h"
#include "core/entry/field_checks.h"
#include "core/prefixes/prefix_update.h"
#include "core/prefixes/prefix_update_messages.h"
#include "core/session/session_messages.h"
#include "platform/qt_platform.h"
#include "platform/text.h"

namespace ui {

namespace {

// Whether an option given is one that the command does not take (every
// command takes --station and --data-dir).
bool takesNotAllOf(const Options& o, std::initializer_list<std::string_view> taken) {
    const std::pair<std::string_view, bool> given[] = {{"--band", o.band.has_value()},
                                                       {"--mode", o.mode.has_value()},
                                                       {"--entities", o.entities},
                                                       {"--worked", o.worked},
                                                       {"--force", o.force}};
    for (const auto& [name, present] : given)
        if (present && std::find(taken.begin(), taken.end(), name) == taken.end()) return true;
    return false;
}

// Writes every award line, and the entity lines under it when asked.
void writeReport(const dxcc::Logbook& log, bool entities, std::ostream& out) {
    for (const dxcc::ReportItem& item : dxcc::reportItems()) {
        const dxcc::AwardResult result = dxcc::evaluateAward(log, *item.award, item.basis);
        writeUtf8Line(out, dxcc::reportLine(item, result));
        if (!entities) continue;
        for (const std::string& line : result.lines) writeCp1252Line(out, "\t" + line);
    }
}

// A command that failed: what it says, the log unchanged.
int failed(const dxcc::SessionOutcome& outcome, std::string_view unchanged, std::ostream& err) {
    QString text;
    if (outcome.fileError) text = plainErrorText(*outcome.fileError) + "\n" + fromView(unchanged);
    for (const std::string& m : outcome.messages)
        text += (text.isEmpty() ? "" : "\n") + plainText(m);
    return failure(err, text);
}

// Prints the report of a command; the status says whether the log changed
// when the report cannot be printed.
int printed(const std::vector<std::string>& lines, bool logChanged, std::ostream& out,
            std::ostream& err) {
    for (const std::string& line : lines) writeUtf8Line(out, line);
    if (delivered(out)) return kCommandOk;
    if (!logChanged) return failure(err, "écriture du compte rendu impossible.");
    failure(err,
            "le log a été modifié, mais son compte rendu n'a pas pu être écrit : ne relancez "
            "pas la commande.");
    return kCommandLogChangedReportLost;
}

constexpr std::string_view kPrefixFilesUnchanged =
    "Les fichiers des préfixes n'ont pas été modifiés.";

// The prefix update's refusal to take the data folder, which says the log was
// left alone, says what the update left alone.
dxcc::PrefixUpdateOutcome forPrefixFiles(dxcc::PrefixUpdateOutcome outcome) {
    const std::string_view logUnchanged = dxcc::lock_messages::kWriteRefusedEnd;
    for (std::string& m : outcome.messages)
        if (m.ends_with(logUnchanged))
            m.replace(m.size() - logUnchanged.size(), logUnchanged.size(),
                      "\r\n" + std::string(kPrefixFilesUnchanged));
    return outcome;
}

// An argument quoted in a message: its start when it is long.
QString shortened(const QString& argument) {
    constexpr qsizetype kShown = 24;
    return argument.size() <= kShown ? argument : argument.left(kShown) + "…";
}

}  // namespace

int reportCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    if (!options.files.isEmpty()) return badUsage(err, "argument inconnu : " + options.files[0]);
    if (takesNotAllOf(options, {"--entities"}))
        return badUsage(err, "report n'attend que les options --entities, --station, --data-dir.");
    auto opened = openStation(options, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    const auto& session = std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    writeReport(session->log(), options.entities, out);
    if (!delivered(out)) return failure(err, "écriture du rapport impossible.");
    return kCommandOk;
}

int importCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    if (options.files.size() != 1 || takesNotAllOf(options, {}))
        return badUsage(err,
                        "import attend un seul fichier ADIF et les options --station, "
                        "--data-dir.");
    auto opened = openStation(options, defaults, Access::Write, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::ImportOutcome result = session.importAdif(argumentPath(options.files[0]));
    if (!result.ok()) return failed(result, dxcc::adif_messages::kLogUnchanged, err);
    return printed(dxcc::adif::reportLines(result.import->imported.report), result.logChanged(),
                   out, err);
}

int exportCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    if (options.files.size() != 1 || takesNotAllOf(options, {}))
        return badUsage(err,
                        "export attend un seul fichier ADIF et les options --station, "
                        "--data-dir.");
    auto opened = openStation(options, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::ExportOutcome result = session.exportLog(argumentPath(options.files[0]));
    if (!result.ok()) return failed(result, dxcc::adif_messages::kExportNotWritten, err);
    return printed(dxcc::adif::exportReportLines(*result.report), false, out, err);
}

int confirmCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                   std::ostream& err) {
    if (options.files.size() != 1 || takesNotAllOf(options, {}))
        return badUsage(err,
                        "confirm attend un seul fichier ADIF et les options --station, "
                        "--data-dir.");
    auto opened = openStation(options, defaults, Access::Write, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::ConfirmOutcome result = session.applyConfirmations(argumentPath(options.files[0]));
    if (!result.ok()) return failed(result, dxcc::adif_messages::kLogUnchanged, err);
    std::vector<std::string> lines = dxcc::adif::confirmationReportLines(*result.report);
    if (!result.newlyConfirmed.empty())
        lines.push_back(fromCp1252(result.newlyConfirmed).toStdString());
    return printed(lines, result.logChanged(), out, err);
}

int neededCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    if (options.files.size() != 1 || takesNotAllOf(options, {"--band", "--mode"}))
        return badUsage(err,
                        "needed attend un seul indicatif et les options --band, --mode, "
                        "--station, --data-dir.");
    const std::string callsign =
        dxcc::upperCaseCp1252(dxcc::trimBlanks(toCp1252(options.files[0])));
    // The checks of the entry form's callsign field.
    if (const auto refused = dxcc::checkEntryField(dxcc::EntryField::Callsign, callsign))
        return badUsage(err, fromView(*refused) + " : " + shortened(options.files[0]));
    auto opened = openStation(options, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::StationSettings& settings = session.settings();

    const std::string band = options.band ? dxcc::bandLabelOfArgument(toCp1252(*options.band))
                                          : std::string(dxcc::trimBlanks(settings.bandLabel()));
    if (band.empty())
        return badUsage(err, fromView(dxcc::needed_messages::kBadBand) + *options.band);
    const dxcc::ModeClass modeClass = options.mode
                                          ? dxcc::modeClassOfArgument(toCp1252(*options.mode))
                                          : dxcc::neededClassOf(settings.modeLabel());
    if (modeClass == dxcc::ModeClass::None)
        return badUsage(err, fromView(dxcc::needed_messages::kBadMode) + options.mode.value_or(""));

    const dxcc::LookupResult found = session.prefixes().lookup(callsign);
    if (!found.found() || found.dxccPrefix.empty())
        return failure(err,
                       fromView(dxcc::needed_messages::kNoEntity) + fromCp1252(callsign) + ".");

    const dxcc::NeededIndex& index = session.needed();
    const auto bearing = dxcc::entityBearing(settings.stationPosition(),
                                             session.entityData().find(found.dxccPrefix));
    const std::string line = dxcc::neededLine(
        callsign, found.dxccPrefix, found.entityName, index.entity(found.dxccPrefix),
        index.band(found.dxccPrefix, band), index.mode(found.dxccPrefix, modeClass), bearing);
    writeCp1252Line(out, line);
    return delivered(out) ? kCommandOk : failure(err, fromView(kOutputLost));
}

int gridCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                std::ostream& err) {
    if (!options.files.isEmpty() || takesNotAllOf(options, {"--worked"}))
        return badUsage(err, "grid n'attend que les options --worked, --station, --data-dir.");
    auto opened = openStation(options, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const std::vector<std::string> lines = dxcc::neededGridLines(
        session.needed(), session.entityData(),
        options.worked ? dxcc::NeededGridRows::Worked : dxcc::NeededGridRows::All);
    // The heading is UTF-8 already; the entity lines hold the data files' text.
    for (size_t i = 0; i < lines.size(); ++i)
        i == 0 ? writeUtf8Line(out, lines[i]) : writeCp1252Line(out, lines[i]);
    return delivered(out) ? kCommandOk : failure(err, fromView(kOutputLost));
}

int prefixesCommand(const Options& options, const CommandDefaults& defaults, std::ostream& out,
                    std::ostream& err) {
    namespace msg = dxcc::prefix_update_messages;
    if (options.files.size() != 1 || options.station || takesNotAllOf(options, {"--force"}))
        return badUsage(err,
                        "prefixes attend un seul fichier cty.dat et les options --data-dir, "
                        "--force.");
    const QString folder = options.dataDir.value_or(defaults.dataDir());
    std::error_code ignored;
    if (!std::filesystem::is_directory(argumentPath(folder), ignored))
        return failure(err, "le dossier de données " + folder + " est introuvable.\n" +
                                fromView(kPrefixFilesUnchanged));
    dxcc::LogSession session(argumentPath(folder));
    if (session.claimDataFolder() == dxcc::DataFolderLock::Outcome::Held)
        openDataFolder(session, defaults, err);
    std::vector<std::string> lines;
    const dxcc::PrefixUpdateOutcome result = session.updatePrefixes(
        argumentPath(options.files[0]), shippedPrefixFile(),
        [&](const dxcc::PrefixUpdatePlan& plan) {
            lines = dxcc::summaryLines(plan.summary, plan.source, plan.withCsv);
            return !plan.summary.removesTooMuch() || options.force;
        });
    // Only a plan that removes too much is not accepted here.
    if (result.cancelled)
        return failure(err, plainText(dxcc::removesManyLine(result.plan->summary)) + "\n" +
                                fromView(msg::kRemovesManyCommand));
    if (!result.ok()) {
        // What is on disk is in the messages: unchanged, or which files changed.
        const dxcc::PrefixUpdateOutcome told = forPrefixFiles(result);
        QString text = told.fileError ? plainErrorText(*told.fileError) : QString();
        for (const std::string& message : told.messages)
            text += (text.isEmpty() ? "" : "\n") + plainText(message);
        return failure(err, text);
    }
    for (const std::string& message : result.messages) lines.push_back(message);
    for (const std::string& line : lines) writeUtf8Line(out, line);
    if (delivered(out)) return kCommandOk;
    if (!result.saved) return failure(err, "écriture du résumé impossible.");
    failure(err, "les préfixes ont été mis à jour, mais leur résumé n'a pas pu être écrit.");
    return kCommandLogChangedReportLost;
}

}  // namespace ui
