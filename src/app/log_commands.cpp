#include "app/log_commands.h"

#include <filesystem>
#include <optional>
#include <variant>

#include "app/command_arguments.h"
#include "app/command_output.h"
#include "app/command_station.h"
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

int reportCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    auto opened = openStation(given, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    const auto& session = std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    writeReport(session->log(), given.has("--entities"), out);
    if (!delivered(out)) return failure(err, "écriture du rapport impossible.");
    return kCommandOk;
}

int importCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    auto opened = openStation(given, defaults, Access::Write, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::ImportOutcome result = session.importAdif(argumentPath(given.arguments[0]));
    if (!result.ok()) return failed(result, dxcc::adif_messages::kLogUnchanged, err);
    return printed(dxcc::adif::reportLines(result.import->imported.report), result.logChanged(),
                   out, err);
}

int exportCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    auto opened = openStation(given, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::ExportOutcome result = session.exportLog(argumentPath(given.arguments[0]));
    if (!result.ok()) return failed(result, dxcc::adif_messages::kExportNotWritten, err);
    return printed(dxcc::adif::exportReportLines(*result.report), false, out, err);
}

int confirmCommand(const CommandArguments& given, const CommandDefaults& defaults,
                   std::ostream& out, std::ostream& err) {
    auto opened = openStation(given, defaults, Access::Write, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::ConfirmOutcome result =
        session.applyConfirmations(argumentPath(given.arguments[0]));
    if (!result.ok()) return failed(result, dxcc::adif_messages::kLogUnchanged, err);
    std::vector<std::string> lines = dxcc::adif::confirmationReportLines(*result.report);
    if (!result.newlyConfirmed.empty())
        lines.push_back(fromCp1252(result.newlyConfirmed).toStdString());
    return printed(lines, result.logChanged(), out, err);
}

int neededCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                  std::ostream& err) {
    const std::string callsign =
        dxcc::upperCaseCp1252(dxcc::trimBlanks(toCp1252(given.arguments[0])));
    // The checks of the entry form's callsign field.
    if (const auto refused = dxcc::checkEntryField(dxcc::EntryField::Callsign, callsign))
        return badUsage(err, fromView(*refused) + " : " + shortened(given.arguments[0]));
    auto opened = openStation(given, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const dxcc::StationSettings& settings = session.settings();

    const std::optional<QString> givenBand = given.value("--band");
    const std::optional<QString> givenMode = given.value("--mode");
    const std::string band = givenBand ? dxcc::bandLabelOfArgument(toCp1252(*givenBand))
                                       : std::string(dxcc::trimBlanks(settings.bandLabel()));
    if (band.empty()) return badUsage(err, fromView(dxcc::needed_messages::kBadBand) + *givenBand);
    const dxcc::ModeClass modeClass = givenMode ? dxcc::modeClassOfArgument(toCp1252(*givenMode))
                                                : dxcc::neededClassOf(settings.modeLabel());
    if (modeClass == dxcc::ModeClass::None)
        return badUsage(err, fromView(dxcc::needed_messages::kBadMode) + givenMode.value_or(""));

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

int gridCommand(const CommandArguments& given, const CommandDefaults& defaults, std::ostream& out,
                std::ostream& err) {
    auto opened = openStation(given, defaults, Access::Read, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const std::vector<std::string> lines = dxcc::neededGridLines(
        session.needed(), session.entityData(),
        given.has("--worked") ? dxcc::NeededGridRows::Worked : dxcc::NeededGridRows::All);
    // The heading is UTF-8 already; the entity lines hold the data files' text.
    for (size_t i = 0; i < lines.size(); ++i)
        i == 0 ? writeUtf8Line(out, lines[i]) : writeCp1252Line(out, lines[i]);
    return delivered(out) ? kCommandOk : failure(err, fromView(kOutputLost));
}

int prefixesCommand(const CommandArguments& given, const CommandDefaults& defaults,
                    std::ostream& out, std::ostream& err) {
    namespace msg = dxcc::prefix_update_messages;
    const QString folder = given.value("--data-dir").value_or(defaults.dataDir());
    std::error_code ignored;
    if (!std::filesystem::is_directory(argumentPath(folder), ignored))
        return failure(err, "le dossier de données " + folder + " est introuvable.\n" +
                                fromView(kPrefixFilesUnchanged));
    dxcc::LogSession session(argumentPath(folder));
    if (session.claimDataFolder() == dxcc::DataFolderLock::Outcome::Held)
        openDataFolder(session, defaults, err);
    std::vector<std::string> lines;
    const dxcc::PrefixUpdateOutcome result = session.updatePrefixes(
        argumentPath(given.arguments[0]), shippedPrefixFile(),
        [&](const dxcc::PrefixUpdatePlan& plan) {
            lines = dxcc::summaryLines(plan.summary, plan.source, plan.withCsv);
            return !plan.summary.removesTooMuch() || given.has("--force");
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
