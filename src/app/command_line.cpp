#include "app/command_line.h"

#include <QCoreApplication>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <variant>

#include "app/cluster_command.h"
#include "app/command_arguments.h"
#include "app/command_output.h"
#include "app/recompute_command.h"
#include "core/adif/adif_export.h"
#include "core/adif/adif_import.h"
#include "core/adif/adif_messages.h"
#include "core/adif/confirmation_merge.h"
#include "core/awards/award_report.h"
#include "core/awards/dxcc_table.h"
#include "core/awards/needed_messages.h"
#include "core/awards/needed_report.h"
#include "core/base/file_error.h"
#include "core/base/program_constants.h"
#include "core/base/text_utils.h"
#include "core/entry/field_checks.h"
#include "core/logbook/log_messages.h"
#include "core/prefixes/prefix_update.h"
#include "core/prefixes/prefix_update_messages.h"
#include "core/record/qso_record.h"
#include "core/record/station_callsign.h"
#include "core/session/log_session.h"
#include "core/session/session_messages.h"
#include "platform/file_error_text.h"
#include "platform/qt_platform.h"
#include "platform/text.h"

namespace ui {

namespace {

constexpr std::string_view kUsage = "Usage : vel_dxcc [commande] [options]\n";

constexpr std::string_view kIntro =
    "\n"
    "Sans commande, vel_dxcc ouvre le carnet de trafic et ses fenêtres.\n"
    "\n"
    "Commandes :\n";

// Each command: its name, its usage line and what it does.
struct CommandHelp {
    std::string_view name;
    std::string_view usage;
    std::string_view text;
};

constexpr CommandHelp kCommands[] = {
    {"report", "report",
     "              Écrit, sans fenêtre, ce que montrent les fenêtres des diplômes DXCC\n"
     "              pour le log de la station : une ligne par diplôme et par comptage,\n"
     "              quatre champs séparés par des tabulations : le diplôme (Mixed, SSB,\n"
     "              CW, RTTY, chaque bande, 5 bandes, Satellite), « confirmés » ou\n"
     "              « contactés », puis la ligne d'état et la ligne de ce qui manque,\n"
     "              telles que les fenêtres les affichent (UTF-8, blancs compris).\n"},
    {"import", "import FICHIER.adi",
     "              Importe un fichier ADIF dans le log de la station, comme le menu\n"
     "              « Importer un fichier au format ADIF » : écrit les messages\n"
     "              regroupés et le nombre de QSO importés. En cas d'échec, le log\n"
     "              n'est pas modifié.\n"},
    {"export", "export FICHIER.adi",
     "              Écrit tout le log de la station dans un fichier ADIF 3.1 (UTF-8),\n"
     "              comme le menu « Exporter le log au format ADIF » ; un fichier qui\n"
     "              existe est remplacé (jamais un tube, un périphérique ni un fichier\n"
     "              du programme, refusés). Écrit le nombre de QSO exportés.\n"},
    {"needed", "needed INDICATIF [--band BANDE] [--mode MODE]",
     "              Ce que rapporterait un QSO avec cet indicatif : une ligne, champs\n"
     "              séparés par des tabulations : l'indicatif, le préfixe DXCC, la\n"
     "              contrée, son état (N jamais contactée, W contactée, C confirmée),\n"
     "              l'état sur la bande, l'état dans le genre de mode, puis le cap\n"
     "              (degrés, chemin court) et la distance (km) depuis le locator de la\n"
     "              station (vides sans locator). BANDE : nom ADIF (20M, 70CM) ou\n"
     "              fréquence en MHz ; MODE : mode ADIF ou du log (SSB, CW, RTTY,\n"
     "              FT8, SAT). Par défaut, la bande et le mode choisis dans le\n"
     "              programme. Un indicatif sans contrée : code de retour 1.\n"},
    {"grid", "grid [--worked]",
     "              Écrit le tableau DXCC, champs séparés par des tabulations : une\n"
     "              ligne d'en-tête (Préfixe, Contrée, Mixed, SSB, CW, RTTY,\n"
     "              Satellite, les bandes de 1.8 Mhz à 144 Mhz), puis une ligne par\n"
     "              contrée de la liste DXCC (et par contrée contactée qu'elle n'a\n"
     "              pas), dans l'ordre des préfixes : C confirmée, W contactée,\n"
     "              - jamais. Avec --worked, seulement les contrées contactées.\n"},
    {"cluster", "cluster --host HOTE --port PORT [--count N] [--needed]",
     "              Se connecte à un serveur de cluster DX comme la fenêtre « Cluster DX »\n"
     "              (indicatif de connexion des réglages, sinon celui de la station) et\n"
     "              écrit une ligne par spot, champs séparés par des tabulations : heure\n"
     "              UTC (HHMM), fréquence en kHz telle que le spot la donne, indicatif\n"
     "              DX, bande, classe de mode (SSB, CW, RTTY, ou vide), préfixe DXCC,\n"
     "              contrée, puis l'état de la contrée, de la bande et du mode (N jamais\n"
     "              contacté, W contacté, C confirmé).\n"
     "              S'arrête après N spots (--count) ou quand le serveur ferme ; avec\n"
     "              --needed, seulement les spots dont un des trois états est N.\n"},
    {"confirm", "confirm FICHIER.adi",
     "              Importe les confirmations téléchargées de LoTW, comme le menu\n"
     "              « Importer les confirmations (LoTW) » : marque QSL « * » les QSO\n"
     "              confirmés (même indicatif, même bande, même genre de mode, à 30\n"
     "              minutes près) et écrit le compte rendu, avec les confirmations\n"
     "              qui ne correspondent à aucun QSO et les contrées nouvellement\n"
     "              confirmées pour un diplôme ou une bande. En cas d'échec, le log\n"
     "              n'est pas modifié.\n"},
    {"prefixes", "prefixes FICHIER.dat [--force]",
     "              Met à jour le fichier des préfixes et les positions des contrées\n"
     "              depuis un fichier des contrées cty.dat (et le cty.csv placé à côté),\n"
     "              comme le menu « Mettre à jour les préfixes (cty.dat) » : garde les\n"
     "              lignes ajoutées ou modifiées dans l'éditeur de préfixes, enregistre\n"
     "              puis écrit le résumé des changements. Les fichiers changent tous\n"
     "              ou aucun, même si la commande est tuée. Une mise à jour qui\n"
     "              supprimerait plus d'un dixième des entrées est refusée sans --force.\n"},
    {"recompute", "recompute [--dry-run]",
     "              Cherche à nouveau la contrée de chaque QSO du log de la station,\n"
     "              comme le menu « Recalculer les contrées du log » : écrit le nombre\n"
     "              de QSO qui changent de contrée, puis une ligne par changement\n"
     "              (indicatif, date, ancienne contrée -> nouvelle), et enregistre ;\n"
     "              seuls le préfixe DXCC et la contrée de ces QSO changent. Avec\n"
     "              --dry-run, écrit le résumé sans rien enregistrer.\n"},
};

constexpr std::string_view kOptions =
    "\n"
    "Options (avant ou après la commande) :\n"
    "  --station INDICATIF   la station dont le log est lu\n"
    "                        (par défaut : la station choisie dans le programme)\n"
    "  --data-dir DOSSIER    le dossier des données (par défaut : celui du programme)\n"
    "  --band BANDE          (needed) la bande du QSO envisagé\n"
    "  --mode MODE           (needed) le mode du QSO envisagé\n"
    "  --entities            (report) ajoute sous chaque diplôme ses lignes de contrées,\n"
    "                        chacune précédée d'une tabulation\n"
    "  --worked              (grid) seulement les contrées contactées\n"
    "  --force               (prefixes) enregistre même une mise à jour qui supprime\n"
    "                        plus d'un dixième des entrées du fichier des préfixes\n"
    "  --                    ce qui suit est un fichier, même s'il commence par « - »\n"
    "  Chaque option prend sa valeur après elle ou après « = » (--station=F6XYZ).\n"
    "\n"
    "  -h, --help            affiche cette aide (COMMANDE --help : l'aide de la commande)\n"
    "  --version             affiche la version\n";

constexpr std::string_view kStatuses =
    "\n"
    "Code de retour :\n"
    "  0  tout s'est bien passé (le log a été modifié s'il y avait quelque chose à faire) ;\n"
    "  1  échec : un fichier ne peut pas être lu ou écrit, le dossier de données est pris\n"
    "     par un autre VEL_DXCC, le serveur de cluster est introuvable ou refuse la\n"
    "     connexion, la sortie est pleine ou fermée... Le log n'a pas été modifié ;\n"
    "  2  commande ou option inconnue, ou que la commande ne prend pas ; le log n'a pas\n"
    "     été modifié ;\n"
    "  3  le log a été modifié, mais le compte rendu n'a pas pu être écrit (sortie\n"
    "     pleine ou fermée) : ne relancez pas la commande.\n";

constexpr std::string_view kSeeHelp = "Tapez « vel_dxcc --help » pour l'aide.\n";

const QStringList kHelpOptions{"-h", "--help", "--aide"};
constexpr std::string_view kVersionOption = "--version";

std::string generalHelp() {
    std::string help(kUsage);
    help += kIntro;
    for (const CommandHelp& c : kCommands) {
        help += "  ";
        help += c.usage;
        // A short command name keeps its text on the same line.
        if (c.usage.size() < 10) {
            help.append(10 - c.usage.size(), ' ');
            help += c.text.substr(12);
        } else {
            help += '\n';
            help += c.text;
        }
        help += '\n';
    }
    help.pop_back();
    help += kOptions;
    help += kStatuses;
    return help;
}

std::string commandHelp(const CommandHelp& c) {
    std::string help = "Usage : vel_dxcc " + std::string(c.usage) + " [options]\n\n";
    help += c.text;
    help += kOptions;
    help += kStatuses;
    return help;
}

const CommandHelp* findCommand(const QString& name) {
    for (const CommandHelp& c : kCommands)
        if (name == fromView(c.name)) return &c;
    return nullptr;
}

struct Options {
    std::optional<QString> station;
    std::optional<QString> dataDir;
    std::optional<QString> band;
    std::optional<QString> mode;
    bool entities = false;
    bool worked = false;
    bool force = false;
    bool version = false;
    QString command;
    QStringList files;  // the arguments that are no option, after the command
};

QString plainErrorText(const dxcc::FileError& e) {
    QString text = fileErrorText(e);
    text.replace("\r\n", "\n");
    return text;
}

QString plainText(std::string_view utf8) {
    return fromView(utf8).replace("\r\n", "\n");
}

int badUsage(std::ostream& err, const QString& message) {
    write(err, "vel_dxcc : " + message + "\n");
    err << kSeeHelp;
    return kCommandBadUsage;
}

int failure(std::ostream& err, const QString& message) {
    write(err, "vel_dxcc : " + message + "\n");
    return kCommandFailed;
}

// The command and its options, in any order; an error message when they
// cannot be read.
std::optional<QString> readArguments(const QStringList& args, Options& options) {
    bool onlyFiles = false;
    auto positional = [&](const QString& arg) {
        if (options.command.isEmpty())
            options.command = arg;
        else
            options.files << arg;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (onlyFiles || arg == "-" || !arg.startsWith('-')) {
            positional(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        if (arg == fromView(kVersionOption)) {
            options.version = true;
            continue;
        }
        if (arg == "--entities") {
            options.entities = true;
            continue;
        }
        if (arg == "--worked") {
            options.worked = true;
            continue;
        }
        if (arg == "--force") {
            options.force = true;
            continue;
        }
        const QString name = arg.section('=', 0, 0);
        std::optional<QString>* value = name == "--station"    ? &options.station
                                        : name == "--data-dir" ? &options.dataDir
                                        : name == "--band"     ? &options.band
                                        : name == "--mode"     ? &options.mode
                                                               : nullptr;
        if (!value) return "option inconnue : " + arg;
        if (arg.contains('=')) {
            *value = arg.section('=', 1);
            continue;
        }
        if (i + 1 >= args.size() || args[i + 1].startsWith("--"))
            return "l'option " + arg + " attend une valeur.";
        *value = args[++i];
    }
    return std::nullopt;
}

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

// The settings as a command sees them: the command line changes no setting.
class ReadOnlySettings : public dxcc::SessionSettings {
public:
    explicit ReadOnlySettings(std::shared_ptr<const dxcc::SessionSettings> settings)
        : settings_(std::move(settings)) {}
    std::string get(std::string_view section, std::string_view key,
                    std::string_view defaultValue) const override {
        return settings_ ? settings_->get(section, key, defaultValue) : std::string(defaultValue);
    }
    void set(std::string_view, std::string_view, std::string_view) override {}

private:
    std::shared_ptr<const dxcc::SessionSettings> settings_;
};

enum class Access { Read, Write };

// Makes the data folder ready before anything reads it, as the windows do at
// start; says on the error output what the operator must know.
void openDataFolder(dxcc::LogSession& session, const CommandDefaults& defaults, std::ostream& err) {
    const dxcc::FolderOutcome opened = session.openDataFolder(
        defaults.shippedFiles ? defaults.shippedFiles() : std::vector<dxcc::ShippedFile>{});
    if (opened.fileError) write(err, "vel_dxcc : " + plainErrorText(*opened.fileError) + "\n");
    for (const std::string& message : opened.messages)
        write(err, "vel_dxcc : " + plainText(message) + "\n");
}

// The station's session with its log loaded, or the exit status of a failure.
// A command that writes the log holds the data folder from before the log is
// read until it ends, and refuses while another copy of the program has it.
std::variant<std::unique_ptr<dxcc::LogSession>, int> openStation(const Options& options,
                                                                 const CommandDefaults& defaults,
                                                                 Access access, std::ostream& err) {
    const QString folder = options.dataDir.value_or(defaults.dataDir());
    auto session =
        std::make_unique<dxcc::LogSession>(argumentPath(folder), commandSettings(defaults));
    const dxcc::SessionOutcome opened = session->openStation(
        options.station ? std::optional(options.station->trimmed().toStdString()) : std::nullopt);
    if (!opened.ok()) {
        const QString why = opened.messages.empty() ? QString() : fromView(opened.messages[0]);
        return options.station ? badUsage(err, why) : failure(err, why);
    }
    if (access == Access::Write &&
        session->claimDataFolder() == dxcc::DataFolderLock::Outcome::InUse)
        return failure(err, fromView(dxcc::lock_messages::kAlreadyOpenForImport) + folder);
    openDataFolder(*session, defaults, err);
    const dxcc::LoadOutcome loaded = session->loadLog();
    if (loaded.kind != dxcc::LoadOutcome::Kind::Loaded)
        return failure(err, "lecture du log de la station " +
                                fromCp1252(dxcc::displayForm(session->station())) +
                                " impossible.\n" + plainErrorText(*loaded.error));
    return session;
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

int report(const Options& options, const CommandDefaults& defaults, std::ostream& out,
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

int import(const Options& options, const CommandDefaults& defaults, std::ostream& out,
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

int exportLog(const Options& options, const CommandDefaults& defaults, std::ostream& out,
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

int confirm(const Options& options, const CommandDefaults& defaults, std::ostream& out,
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

int prefixes(const Options& options, const CommandDefaults& defaults, std::ostream& out,
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

// An argument quoted in a message: its start when it is long.
QString shortened(const QString& argument) {
    constexpr qsizetype kShown = 24;
    return argument.size() <= kShown ? argument : argument.left(kShown) + "…";
}

int needed(const Options& options, const CommandDefaults& defaults, std::ostream& out,
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

int grid(const Options& options, const CommandDefaults& defaults, std::ostream& out,
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

// Where the command stands among the arguments (options may come first):
// the first argument that is neither an option nor an option's value; -1 when
// there is none.
qsizetype commandIndex(const QStringList& arguments) {
    static const QStringList kTakingValue{"--station", "--data-dir", "--band", "--mode",
                                          "--host",    "--port",     "--count"};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (kTakingValue.contains(arguments[i])) {
            ++i;
            continue;
        }
        if (!arguments[i].startsWith('-')) return i;
    }
    return -1;
}

// Help asked anywhere before "--", whatever other options stand beside it: the
// help of the command named, or the general help; the exit status.
std::optional<int> helpIfAsked(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    const qsizetype end = arguments.indexOf("--");
    const QStringList options = end < 0 ? arguments : arguments.mid(0, end);
    if (std::none_of(options.begin(), options.end(),
                     [](const QString& a) { return kHelpOptions.contains(a); }))
        return std::nullopt;
    const qsizetype at = commandIndex(options);
    const CommandHelp* command = at >= 0 ? findCommand(options[at]) : nullptr;
    if (at >= 0 && !command) return badUsage(err, "commande inconnue : " + options[at]);
    write(out, fromView(command ? commandHelp(*command) : generalHelp()));
    return delivered(out) ? kCommandOk : failure(err, fromView(kOutputLost));
}

}  // namespace

std::shared_ptr<dxcc::SessionSettings> commandSettings(const CommandDefaults& defaults) {
    return std::make_shared<ReadOnlySettings>(defaults.settings);
}

bool isCommandLine(int argc, char** argv, bool hasDisplay) {
    if (argc < 2) return false;
    const QString first = QString::fromLocal8Bit(argv[1]);
    if (!first.startsWith('-')) return true;
    bool qtOption = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (kHelpOptions.contains(arg) || arg == fromView(kVersionOption) ||
            arg.startsWith("--station") || arg.startsWith("--data-dir") || arg == "--entities" ||
            arg == "--worked" || arg == "--force" || findCommand(arg))
            return true;
        if (arg == "-platform") qtOption = true;
    }
    // Without a display the windows could only fail: the arguments are read
    // as a command line, which says what it does not understand.
    return !hasDisplay && !qtOption;
}

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

int runCommand(const QStringList& arguments, const CommandDefaults& defaults, std::ostream& out,
               std::ostream& err) {
    if (const std::optional<int> status = helpIfAsked(arguments, out, err)) return *status;
    // The cluster command reads options of its own (--host, --port, ...).
    if (const qsizetype at = commandIndex(arguments); at >= 0 && arguments[at] == "cluster") {
        QStringList rest = arguments;
        rest.removeAt(at);
        return clusterCommand(rest, defaults, out, err);
    }
    if (const qsizetype at = commandIndex(arguments); at >= 0 && arguments[at] == "recompute") {
        QStringList rest = arguments;
        rest.removeAt(at);
        return recomputeCommand(rest, defaults, out, err);
    }
    Options options;
    if (std::optional<QString> error = readArguments(arguments, options))
        return badUsage(err, *error);
    if (options.version) {
        writeUtf8Line(out, "vel_dxcc" + std::string(dxcc::kRevision));
        return delivered(out) ? kCommandOk : failure(err, fromView(kOutputLost));
    }
    const CommandHelp* command = findCommand(options.command);
    if (!command && !options.command.isEmpty())
        return badUsage(err, "commande inconnue : " + options.command);
    if (!command) return badUsage(err, "commande manquante.");
    if (options.command == "report") return report(options, defaults, out, err);
    if (options.command == "import") return import(options, defaults, out, err);
    if (options.command == "export") return exportLog(options, defaults, out, err);
    if (options.command == "needed") return needed(options, defaults, out, err);
    if (options.command == "grid") return grid(options, defaults, out, err);
    if (options.command == "prefixes") return prefixes(options, defaults, out, err);
    return confirm(options, defaults, out, err);
}

int runCommandLine(int argc, char** argv) {
    // A reader that closes the pipe (| head) makes a write fail, which the
    // command reports, rather than kill the program after the log changed.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(fromView(dxcc::kProgramTitle));
    const CommandDefaults defaults{std::make_shared<const QtSettingsStore>(),
                                   [] { return chooseDataDir(); }, [] { return shippedFiles(); }};
    return runCommand(argumentTexts(argc, argv).mid(1), defaults, std::cout, std::cerr);
}

}  // namespace ui
