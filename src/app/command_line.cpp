#include "app/command_line.h"

#include "app/cluster_command.h"

#include <QCoreApplication>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <variant>

#include "core/adif/adif_export.h"
#include "core/adif/adif_import.h"
#include "core/adif/adif_messages.h"
#include "core/adif/confirmation_merge.h"
#include "core/awards/award_report.h"
#include "core/awards/needed_messages.h"
#include "core/awards/needed_report.h"
#include "core/base/text_utils.h"
#include "core/base/file_error.h"
#include "core/logbook/log_messages.h"
#include "core/session/log_session.h"
#include "core/base/program_constants.h"
#include "core/record/qso_record.h"
#include "core/session/station_callsign.h"
#include "platform/data_dir_lock.h"
#include "platform/file_error_text.h"
#include "platform/qt_platform.h"
#include "platform/text.h"

namespace ui {

namespace {

constexpr std::string_view kHelp =
    "Usage : vel_dxcc [commande] [options]\n"
    "\n"
    "Sans commande, vel_dxcc ouvre le carnet de trafic et ses fenêtres.\n"
    "\n"
    "Commandes :\n"
    "  report      Écrit, sans fenêtre, ce que montrent les fenêtres des diplômes DXCC\n"
    "              pour le log de la station : une ligne par diplôme et par comptage,\n"
    "              quatre champs séparés par des tabulations : le diplôme (Mixed, SSB,\n"
    "              CW, RTTY, chaque bande, 5 bandes, Satellite), « confirmés » ou\n"
    "              « contactés », puis la ligne d'état et la ligne de ce qui manque,\n"
    "              telles que les fenêtres les affichent (UTF-8, blancs compris).\n"
    "\n"
    "  import FICHIER.adi\n"
    "              Importe un fichier ADIF dans le log de la station, comme le menu\n"
    "              « Importer un fichier au format ADIF » : écrit les messages\n"
    "              regroupés et le nombre de QSO importés. En cas d'échec, le log\n"
    "              n'est pas modifié.\n"
    "\n"
    "  export FICHIER.adi\n"
    "              Écrit tout le log de la station dans un fichier ADIF 3.1 (UTF-8),\n"
    "              comme le menu « Exporter le log au format ADIF » ; un fichier qui\n"
    "              existe est remplacé. Écrit le nombre de QSO exportés.\n"
    "\n"
    "  confirm FICHIER.adi\n"
    "              Importe les confirmations téléchargées de LoTW, comme le menu\n"
    "              « Importer les confirmations (LoTW) » : marque QSL « * » les QSO\n"
    "              confirmés (même indicatif, même bande, même genre de mode, à 30\n"
    "              minutes près) et écrit le compte rendu, avec les confirmations\n"
    "              qui ne correspondent à aucun QSO. En cas d'échec, le log n'est\n"
    "              pas modifié.\n"
    "\n"
    "  cluster --host HOTE --port PORT [--count N] [--needed]\n"
    "              Se connecte à un serveur de cluster DX comme la fenêtre « Cluster DX »\n"
    "              (indicatif de connexion des réglages, sinon celui de la station) et\n"
    "              écrit une ligne par spot, champs séparés par des tabulations : heure\n"
    "              UTC (HHMM), fréquence en kHz telle que le spot la donne, indicatif\n"
    "              DX, bande, classe de mode (SSB, CW, RTTY, ou vide), préfixe DXCC,\n"
    "              contrée, puis l'état de la contrée, de la bande et du mode (N jamais\n"
    "              contacté, W contacté, C confirmé).\n"
    "              S'arrête après N spots (--count) ou quand le serveur ferme ; avec\n"
    "              --needed, seulement les spots dont un des trois états est N.\n"
    "\n"
    "  needed INDICATIF [--band BANDE] [--mode MODE]\n"
    "              Ce que rapporterait un QSO avec cet indicatif : une ligne, champs\n"
    "              séparés par des tabulations : l'indicatif, le préfixe DXCC, la\n"
    "              contrée, son état (N jamais contactée, W contactée, C confirmée),\n"
    "              l'état sur la bande, l'état dans le genre de mode, puis le cap\n"
    "              (degrés, chemin court) et la distance (km) depuis le locator de la\n"
    "              station (vides sans locator). BANDE : nom ADIF (20M, 70CM) ou\n"
    "              fréquence en MHz ; MODE : mode ADIF ou du log (SSB, CW, RTTY,\n"
    "              FT8, SAT). Par défaut, la bande et le mode choisis dans le\n"
    "              programme. Un indicatif sans contrée : code de retour 1.\n"
    "\n"
    "  grid        Écrit le tableau DXCC, champs séparés par des tabulations : une\n"
    "              ligne d'en-tête (Préfixe, Contrée, Mixed, SSB, CW, RTTY,\n"
    "              Satellite, les bandes de 1.8 Mhz à 144 Mhz), puis une ligne par\n"
    "              contrée contactée : C confirmée, W contactée, - jamais.\n"
    "\n"
    "Options :\n"
    "  --station INDICATIF   la station dont le log est lu\n"
    "                        (par défaut : la station choisie dans le programme)\n"
    "  --data-dir DOSSIER    le dossier des données (par défaut : celui du programme)\n"
    "  --band BANDE          (needed) la bande du QSO envisagé\n"
    "  --mode MODE           (needed) le mode du QSO envisagé\n"
    "  --entities            (report) ajoute sous chaque diplôme ses lignes de contrées,\n"
    "                        chacune précédée d'une tabulation\n"
    "\n"
    "  -h, --help            affiche cette aide\n"
    "\n"
    "Code de retour : 0 si tout va bien, 1 si un fichier ne peut pas être lu ou écrit\n"
    "(ou si le serveur de cluster est introuvable ou refuse la connexion), 2 si la\n"
    "commande ou une option est inconnue.\n";

constexpr std::string_view kSeeHelp = "Tapez « vel_dxcc --help » pour l'aide.\n";

const QStringList kHelpOptions{"-h", "--help", "--aide"};

struct Options {
    std::optional<QString> station;
    std::optional<QString> dataDir;
    std::optional<QString> band;
    std::optional<QString> mode;
    bool entities = false;
    QStringList files;  // the arguments that are no option
};

QString plainErrorText(const dxcc::FileError& e) {
    QString text = fileErrorText(e);
    text.replace("\r\n", "\n");
    return text;
}

void write(std::ostream& stream, const QString& text) {
    stream << text.toStdString();
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

// The options of a sub-command; an error message when they cannot be read.
std::optional<QString> readOptions(const QStringList& args, Options& options) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == "--entities") {
            options.entities = true;
            continue;
        }
        if (!arg.startsWith("--")) {
            options.files << arg;
            continue;
        }
        std::optional<QString>* value = arg == "--station"    ? &options.station
                                        : arg == "--data-dir" ? &options.dataDir
                                        : arg == "--band"     ? &options.band
                                        : arg == "--mode"     ? &options.mode
                                                              : nullptr;
        if (!value) return "option inconnue : " + arg;
        if (i + 1 >= args.size() || args[i + 1].startsWith("--"))
            return "l'option " + arg + " attend une valeur.";
        *value = args[++i];
    }
    return std::nullopt;
}

// Writes every award line, and the entity lines under it when asked.
void writeReport(const dxcc::Logbook& log, bool entities, std::ostream& out) {
    for (const dxcc::ReportItem& item : dxcc::reportItems()) {
        const dxcc::AwardResult result = dxcc::evaluateAward(log, *item.award, item.basis);
        out << dxcc::reportLine(item, result) << '\n';
        if (!entities) continue;
        for (const std::string& line : result.lines) write(out, "\t" + fromCp1252(line) + "\n");
    }
}

// The station's session with its log loaded, or the exit status of a failure.
std::variant<std::unique_ptr<dxcc::LogSession>, int> openStation(const Options& options,
                                                                 const CommandDefaults& defaults,
                                                                 std::ostream& err) {
    const QString given = options.station.value_or(defaults.station()).trimmed();
    const std::string station = dxcc::storedForm(toCp1252(given));
    if (!options.station && station == dxcc::kNoStation)
        return failure(err,
                       "aucune station n'est choisie : lancez vel_dxcc une première fois ou "
                       "indiquez --station INDICATIF.");
    if (dxcc::checkStationCallsign(station) != dxcc::StationCheck::Ok)
        return badUsage(err, "indicatif de station invalide : " + given);

    auto session =
        std::make_unique<dxcc::LogSession>(toPath(options.dataDir.value_or(defaults.dataDir())));
    session->setStation(station);
    try {
        session->log().load();
    } catch (const dxcc::FileError& e) {
        return failure(err, "lecture du log de la station " +
                                fromCp1252(dxcc::displayForm(station)) + " impossible.\n" +
                                plainErrorText(e));
    }
    return session;
}

int report(const Options& options, const CommandDefaults& defaults, std::ostream& out,
           std::ostream& err) {
    if (!options.files.isEmpty()) return badUsage(err, "argument inconnu : " + options.files[0]);
    auto opened = openStation(options, defaults, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    const auto& session = std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    writeReport(session->log(), options.entities, out);
    out.flush();
    if (!out) return failure(err, "écriture du rapport impossible.");
    return kCommandOk;
}

int import(const Options& options, const CommandDefaults& defaults, std::ostream& out,
           std::ostream& err) {
    if (options.files.size() != 1 || options.entities)
        return badUsage(err,
                        "import attend un seul fichier ADIF et les options --station, "
                        "--data-dir.");
    // The windows of another copy may be writing the same log (and the same
    // scratch files): the import waits until they are closed.
    DataDirLock lock(options.dataDir.value_or(defaults.dataDir()));
    if (lock.tryLock() == DataDirLock::Outcome::InUse)
        return failure(err, fromView(lock_messages::kAlreadyOpenForImport) + lock.dataDir());
    auto opened = openStation(options, defaults, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    dxcc::adif::LogImport result;
    try {
        result = dxcc::adif::importIntoLog(session.log(), toPath(options.files[0]),
                                           session.prefixes().table());
    } catch (const dxcc::FileError& e) {
        return failure(err,
                       plainErrorText(e) + "\n" + fromView(dxcc::adif_messages::kLogUnchanged));
    }
    for (const std::string& line : dxcc::adif::reportLines(result.imported.report))
        out << line << '\n';
    out.flush();
    return out ? kCommandOk : kCommandFailed;
}

int exportLog(const Options& options, const CommandDefaults& defaults, std::ostream& out,
              std::ostream& err) {
    if (options.files.size() != 1 || options.entities)
        return badUsage(err,
                        "export attend un seul fichier ADIF et les options --station, "
                        "--data-dir.");
    auto opened = openStation(options, defaults, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    const dxcc::Logbook& log = std::get<std::unique_ptr<dxcc::LogSession>>(opened)->log();
    const std::filesystem::path file = toPath(options.files[0]);
    if (dxcc::adif::isDataFile(log, file))
        return failure(err, fromView(dxcc::adif_messages::kExportOverDataFile));
    dxcc::adif::ExportReport report;
    try {
        report = dxcc::adif::exportLog(log, file);
    } catch (const dxcc::FileError& e) {
        return failure(err,
                       plainErrorText(e) + "\n" + fromView(dxcc::adif_messages::kExportNotWritten));
    }
    for (const std::string& line : dxcc::adif::exportReportLines(report)) out << line << '\n';
    out.flush();
    return out ? kCommandOk : kCommandFailed;
}

int confirm(const Options& options, const CommandDefaults& defaults, std::ostream& out,
            std::ostream& err) {
    if (options.files.size() != 1 || options.entities)
        return badUsage(err,
                        "confirm attend un seul fichier ADIF et les options --station, "
                        "--data-dir.");
    auto opened = openStation(options, defaults, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    dxcc::adif::LogConfirmation result;
    try {
        result = dxcc::adif::confirmIntoLog(session.log(), toPath(options.files[0]),
                                            session.prefixes().table());
    } catch (const dxcc::FileError& e) {
        return failure(err,
                       plainErrorText(e) + "\n" + fromView(dxcc::adif_messages::kLogUnchanged));
    } catch (const dxcc::LogLineChanged&) {
        return failure(err, fromView(dxcc::log_messages::kLineChanged).replace("\r\n", "\n"));
    }
    for (const std::string& line : dxcc::adif::confirmationReportLines(result.report))
        out << line << '\n';
    out.flush();
    return out ? kCommandOk : kCommandFailed;
}

QString settingOf(const CommandDefaults& defaults, const std::string& section,
                  std::string_view key) {
    return defaults.setting ? defaults.setting(fromCp1252(section), fromView(key)) : QString();
}

// The entry of a list stored by position in the station's settings (the entry
// form's band or mode); the first one when the setting is missing or wrong.
std::string_view storedListItem(const CommandDefaults& defaults, const std::string& section,
                                std::string_view key, std::span<const std::string_view> items) {
    const QString value = settingOf(defaults, section, key);
    const int index = dxcc::listIndexFromSetting(value.isEmpty() ? "0" : value.toStdString(),
                                                 static_cast<int>(items.size()));
    return items[index >= 0 ? static_cast<size_t>(index) : 0];
}

int needed(const Options& options, const CommandDefaults& defaults, std::ostream& out,
           std::ostream& err) {
    if (options.files.size() != 1 || options.entities)
        return badUsage(err,
                        "needed attend un seul indicatif et les options --band, --mode, "
                        "--station, --data-dir.");
    auto opened = openStation(options, defaults, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    const std::string section = session.stationSection();

    const std::string band =
        options.band ? dxcc::bandLabelOfArgument(toCp1252(*options.band))
                     : std::string(dxcc::trimBlanks(storedListItem(defaults, section,
                                                                   dxcc::kKeyBandIndex, dxcc::kBands)));
    if (band.empty()) return badUsage(err, fromView(dxcc::needed_messages::kBadBand) + *options.band);
    const std::optional<dxcc::NeedClass> needClass =
        options.mode ? dxcc::needClassOfArgument(toCp1252(*options.mode))
                     : dxcc::needClassOfMode(
                           storedListItem(defaults, section, dxcc::kKeyModeIndex, dxcc::kModes));
    if (!needClass)
        return badUsage(err, fromView(dxcc::needed_messages::kBadMode) + options.mode.value_or(""));

    const std::string callsign = dxcc::upperCaseCp1252(dxcc::trimBlanks(toCp1252(options.files[0])));
    const dxcc::LookupResult found = session.prefixes().lookup(callsign);
    if (!found.found() || found.dxccPrefix.empty())
        return failure(err, fromView(dxcc::needed_messages::kNoEntity) + fromCp1252(callsign) + ".");

    session.logChanged(dxcc::LogChange{});
    const dxcc::NeededIndex& index = session.needed();
    const auto station =
        dxcc::geo::locatorCenter(toCp1252(settingOf(defaults, section, dxcc::kKeyStationLocator)));
    const auto bearing =
        dxcc::entityBearing(station, session.entityData().find(found.dxccPrefix));
    const std::string line = dxcc::neededLine(
        callsign, found.dxccPrefix, found.entityName, index.entity(found.dxccPrefix),
        index.band(found.dxccPrefix, band), index.mode(found.dxccPrefix, *needClass), bearing);
    write(out, fromCp1252(line) + "\n");
    out.flush();
    return out ? kCommandOk : kCommandFailed;
}

int grid(const Options& options, const CommandDefaults& defaults, std::ostream& out,
         std::ostream& err) {
    if (!options.files.isEmpty() || options.entities || options.band || options.mode)
        return badUsage(err, "grid n'attend que les options --station, --data-dir.");
    auto opened = openStation(options, defaults, err);
    if (int* status = std::get_if<int>(&opened)) return *status;
    dxcc::LogSession& session = *std::get<std::unique_ptr<dxcc::LogSession>>(opened);
    session.logChanged(dxcc::LogChange{});
    const std::vector<std::string> lines = dxcc::neededGridLines(session.needed());
    // The heading is UTF-8 already; the entity lines hold the log's bytes.
    for (size_t i = 0; i < lines.size(); ++i)
        write(out, (i == 0 ? QString::fromStdString(lines[i]) : fromCp1252(lines[i])) + "\n");
    out.flush();
    return out ? kCommandOk : kCommandFailed;
}

}  // namespace

bool isCommandLine(int argc, char** argv) {
    if (argc < 2) return false;
    const QString first = QString::fromLocal8Bit(argv[1]);
    return kHelpOptions.contains(first) || !first.startsWith('-');
}

int runCommand(const QStringList& arguments, const CommandDefaults& defaults, std::ostream& out,
               std::ostream& err) {
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (kHelpOptions.contains(command) ||
        (command == "report" && rest.size() == 1 && kHelpOptions.contains(rest.front()))) {
        out << kHelp;
        return kCommandOk;
    }
    if (command == "cluster") return clusterCommand(rest, defaults, out, err);
    Options options;
    if (command == "report" || command == "import" || command == "export" || command == "confirm" ||
        command == "needed" || command == "grid") {
        if (std::optional<QString> error = readOptions(rest, options)) return badUsage(err, *error);
    }
    if (command == "report") return report(options, defaults, out, err);
    if (command == "import") return import(options, defaults, out, err);
    if (command == "export") return exportLog(options, defaults, out, err);
    if (command == "confirm") return confirm(options, defaults, out, err);
    if (command == "needed") return needed(options, defaults, out, err);
    if (command == "grid") return grid(options, defaults, out, err);
    return badUsage(err, "commande inconnue : " + command);
}

int runCommandLine(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(fromView(dxcc::kProgramTitle));
    const QtSettingsStore settings;
    const CommandDefaults defaults{[&settings] {
                                       return settings.get(fromView(dxcc::kGlobalSection),
                                                           fromView(dxcc::kKeyStationCallsign),
                                                           fromView(dxcc::kNoStation));
                                   },
                                   [] { return chooseDataDir(); },
                                   [&settings](const QString& section, const QString& key) {
                                       return settings.get(section, key, QString());
                                   }};
    return runCommand(QCoreApplication::arguments().mid(1), defaults, std::cout, std::cerr);
}

}  // namespace ui
