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
#include "app/command_station.h"
#include "app/log_commands.h"
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
    if (options.command == "report") return reportCommand(options, defaults, out, err);
    if (options.command == "import") return importCommand(options, defaults, out, err);
    if (options.command == "export") return exportCommand(options, defaults, out, err);
    if (options.command == "needed") return neededCommand(options, defaults, out, err);
    if (options.command == "grid") return gridCommand(options, defaults, out, err);
    if (options.command == "prefixes") return prefixesCommand(options, defaults, out, err);
    return confirmCommand(options, defaults, out, err);
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
