#include "app/command_table.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "app/cluster_command.h"
#include "app/log_commands.h"
#include "app/recompute_command.h"
#include "app/wsjtx_command.h"
#include "platform/text.h"

namespace ui {

namespace {

// Every option a command may take. A new option is one row here, and named in
// the rows of the commands that take it.
const OptionRow kOptionRows[] = {
    {"--station", "INDICATIF",
     "la station dont le log est lu\n(par défaut : la station choisie dans le programme)"},
    {"--data-dir", "DOSSIER", "le dossier des données (par défaut : celui du programme)"},
    {"--band", "BANDE", "la bande du QSO envisagé"},
    {"--mode", "MODE", "le mode du QSO envisagé"},
    {"--entities", "",
     "ajoute sous chaque diplôme ses lignes de contrées,\nchacune précédée d'une tabulation"},
    {"--worked", "", "seulement les contrées contactées"},
    {"--force", "",
     "enregistre même une mise à jour qui supprime\nplus d'un dixième des entrées du fichier "
     "des préfixes"},
    {"--dry-run", "", "écrit le résumé sans modifier le log"},
    {"--host", "HOTE"},
    {"--port", "PORT"},
    {"--count", "N"},
    {"--needed", ""},
    {"--listen", "ADRESSE:PORT"},
    {"--log", ""},
    {"--version", "", {}, OptionRow::Use::Version},
    {"-h", "", {}, OptionRow::Use::Help},
    {"--help", "", {}, OptionRow::Use::Help},
    {"--aide", "", {}, OptionRow::Use::Help},
};

// Every command, in the order of the help. A new command is one row here and
// its handler, in a file of its own.
const CommandRow kCommandRows[] = {
    {"report",
     "report",
     "              Écrit, sans fenêtre, ce que montrent les fenêtres des diplômes DXCC\n"
     "              pour le log de la station : une ligne par diplôme et par comptage,\n"
     "              quatre champs séparés par des tabulations : le diplôme (Mixed, SSB,\n"
     "              CW, RTTY, chaque bande, 5 bandes, Satellite), « confirmés » ou\n"
     "              « contactés », puis la ligne d'état et la ligne de ce qui manque,\n"
     "              telles que les fenêtres les affichent (UTF-8, blancs compris).\n",
     {"--entities", "--station", "--data-dir"},
     "",
     reportCommand},
    {"import",
     "import FICHIER.adi",
     "              Importe un fichier ADIF dans le log de la station, comme le menu\n"
     "              « Importer un fichier au format ADIF » : écrit les messages\n"
     "              regroupés et le nombre de QSO importés. En cas d'échec, le log\n"
     "              n'est pas modifié.\n",
     {"--station", "--data-dir"},
     "un seul fichier ADIF",
     importCommand},
    {"export",
     "export FICHIER.adi",
     "              Écrit tout le log de la station dans un fichier ADIF 3.1 (UTF-8),\n"
     "              comme le menu « Exporter le log au format ADIF » ; un fichier qui\n"
     "              existe est remplacé (jamais un tube, un périphérique ni un fichier\n"
     "              du programme, refusés). Écrit le nombre de QSO exportés.\n",
     {"--station", "--data-dir"},
     "un seul fichier ADIF",
     exportCommand},
    {"needed",
     "needed INDICATIF [--band BANDE] [--mode MODE]",
     "              Ce que rapporterait un QSO avec cet indicatif : une ligne, champs\n"
     "              séparés par des tabulations : l'indicatif, le préfixe DXCC, la\n"
     "              contrée, son état (N jamais contactée, W contactée, C confirmée),\n"
     "              l'état sur la bande, l'état dans le genre de mode, puis le cap\n"
     "              (degrés, chemin court) et la distance (km) depuis le locator de la\n"
     "              station (vides sans locator). BANDE : nom ADIF (20M, 70CM) ou\n"
     "              fréquence en MHz ; MODE : mode ADIF ou du log (SSB, CW, RTTY,\n"
     "              FT8, SAT). Par défaut, la bande et le mode choisis dans le\n"
     "              programme. Un indicatif sans contrée : code de retour 1.\n",
     {"--band", "--mode", "--station", "--data-dir"},
     "un seul indicatif",
     neededCommand},
    {"grid",
     "grid [--worked]",
     "              Écrit le tableau DXCC, champs séparés par des tabulations : une\n"
     "              ligne d'en-tête (Préfixe, Contrée, Mixed, SSB, CW, RTTY,\n"
     "              Satellite, les bandes de 1.8 Mhz à 144 Mhz), puis une ligne par\n"
     "              contrée de la liste DXCC (et par contrée contactée qu'elle n'a\n"
     "              pas), dans l'ordre des préfixes : C confirmée, W contactée,\n"
     "              - jamais. Avec --worked, seulement les contrées contactées.\n",
     {"--worked", "--station", "--data-dir"},
     "",
     gridCommand},
    {"cluster",
     "cluster --host HOTE --port PORT [--count N] [--needed]",
     "              Se connecte à un serveur de cluster DX comme la fenêtre « Cluster DX »\n"
     "              (indicatif de connexion des réglages, sinon celui de la station) et\n"
     "              écrit une ligne par spot, champs séparés par des tabulations : heure\n"
     "              UTC (HHMM), fréquence en kHz telle que le spot la donne, indicatif\n"
     "              DX, bande, classe de mode (SSB, CW, RTTY, ou vide), préfixe DXCC,\n"
     "              contrée, puis l'état de la contrée, de la bande et du mode (N jamais\n"
     "              contacté, W contacté, C confirmé).\n"
     "              S'arrête après N spots (--count) ou quand le serveur ferme ; avec\n"
     "              --needed, seulement les spots dont un des trois états est N.\n",
     {"--host", "--port", "--count", "--needed", "--station", "--data-dir"},
     "",
     clusterCommand},
    {"wsjtx",
     kWsjtxUsage,
     kWsjtxHelp,
     {"--listen", "--count", "--needed", "--log", "--station", "--data-dir"},
     "",
     wsjtxCommand},
    {"confirm",
     "confirm FICHIER.adi",
     "              Importe les confirmations téléchargées de LoTW, comme le menu\n"
     "              « Importer les confirmations (LoTW) » : marque QSL « * » les QSO\n"
     "              confirmés (même indicatif, même bande, même genre de mode, à 30\n"
     "              minutes près) et écrit le compte rendu, avec les confirmations\n"
     "              qui ne correspondent à aucun QSO et les contrées nouvellement\n"
     "              confirmées pour un diplôme ou une bande. En cas d'échec, le log\n"
     "              n'est pas modifié.\n",
     {"--station", "--data-dir"},
     "un seul fichier ADIF",
     confirmCommand},
    {"prefixes",
     "prefixes FICHIER.dat [--force]",
     "              Met à jour le fichier des préfixes et les positions des contrées\n"
     "              depuis un fichier des contrées cty.dat (et le cty.csv placé à côté),\n"
     "              comme le menu « Mettre à jour les préfixes (cty.dat) » : garde les\n"
     "              lignes ajoutées ou modifiées dans l'éditeur de préfixes, enregistre\n"
     "              puis écrit le résumé des changements. Les fichiers changent tous\n"
     "              ou aucun, même si la commande est tuée. Une mise à jour qui\n"
     "              supprimerait plus d'un dixième des entrées est refusée sans --force.\n",
     {"--data-dir", "--force"},
     "un seul fichier cty.dat",
     prefixesCommand},
    {"recompute",
     "recompute [--dry-run]",
     "              Cherche à nouveau la contrée de chaque QSO du log de la station,\n"
     "              comme le menu « Recalculer les contrées du log » : écrit le nombre\n"
     "              de QSO qui changent de contrée, puis une ligne par changement\n"
     "              (indicatif, date, ancienne contrée -> nouvelle), et enregistre ;\n"
     "              seuls le préfixe DXCC et la contrée de ces QSO changent. Avec\n"
     "              --dry-run, écrit le résumé sans rien enregistrer.\n",
     {"--dry-run", "--station", "--data-dir"},
     "",
     recomputeCommand},
};

constexpr std::string_view kUsage = "Usage : vel_dxcc [commande] [options]\n";

constexpr std::string_view kIntro =
    "\n"
    "Sans commande, vel_dxcc ouvre le carnet de trafic et ses fenêtres.\n"
    "\n"
    "Commandes :\n";

constexpr std::string_view kOptionsHeading =
    "\n"
    "Options (avant ou après la commande) :\n";

constexpr std::string_view kOptionsEnd =
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

// Where an option's help starts on its line, and the help's next lines.
constexpr size_t kOptionHelpColumn = 24;

// The command that alone takes `option`, or none.
const CommandRow* onlyTaker(std::string_view option) {
    const CommandRow* taker = nullptr;
    for (const CommandRow& row : kCommandRows) {
        if (!row.takes(option)) continue;
        if (taker) return nullptr;
        taker = &row;
    }
    return taker;
}

// The options' part of the help: each option that has a help line, marked
// with the command that alone takes it.
std::string optionsHelp() {
    std::string help(kOptionsHeading);
    for (const OptionRow& option : kOptionRows) {
        if (option.help.empty()) continue;
        std::string line = "  " + std::string(option.name);
        if (option.takesValue()) line += " " + std::string(option.valueName);
        line.append(line.size() + 2 < kOptionHelpColumn ? kOptionHelpColumn - line.size() : 2, ' ');
        if (const CommandRow* taker = onlyTaker(option.name))
            line += "(" + std::string(taker->name) + ") ";
        for (const char c : option.help) {
            line += c;
            if (c == '\n') line.append(kOptionHelpColumn, ' ');
        }
        help += line + "\n";
    }
    return help + std::string(kOptionsEnd);
}

}  // namespace

bool CommandArguments::has(std::string_view option) const {
    assert(findOption(option));
    return options.find(option) != options.end();
}

std::optional<QString> CommandArguments::value(std::string_view option) const {
    assert(findOption(option) && findOption(option)->takesValue());
    const auto found = options.find(option);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

bool CommandRow::takes(std::string_view option) const {
    return std::find(options.begin(), options.end(), option) != options.end();
}

QString CommandRow::refusal() const {
    QString text = fromView(name) + " " +
                   (argument.empty() ? QString("n'attend que les options ")
                                     : "attend " + fromView(argument) + " et les options ");
    for (size_t i = 0; i < options.size(); ++i) text += (i == 0 ? "" : ", ") + fromView(options[i]);
    return text + ".";
}

std::span<const OptionRow> optionTable() {
    return kOptionRows;
}

std::span<const CommandRow> commandTable() {
    return kCommandRows;
}

const OptionRow* findOption(std::string_view name) {
    for (const OptionRow& option : kOptionRows)
        if (option.name == name) return &option;
    return nullptr;
}

const CommandRow* findCommand(const QString& name) {
    for (const CommandRow& row : kCommandRows)
        if (name == fromView(row.name)) return &row;
    return nullptr;
}

std::variant<CommandArguments, QString> readArguments(const QStringList& args) {
    CommandArguments given;
    bool onlyArguments = false;
    // An empty first argument is the command, an unknown one: the next
    // argument is never taken for the command instead.
    bool commandGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (onlyArguments || arg == "-" || !arg.startsWith('-')) {
            if (!std::exchange(commandGiven, true))
                given.command = arg;
            else
                given.arguments << arg;
            continue;
        }
        if (arg == "--") {
            onlyArguments = true;
            continue;
        }
        const bool joined = arg.contains('=');
        const std::string name = (joined ? arg.section('=', 0, 0) : arg).toStdString();
        const OptionRow* option = findOption(name);
        // An option without a value takes no '=' either.
        if (!option || (joined && !option->takesValue())) return "option inconnue : " + arg;
        if (!option->takesValue()) {
            given.options[name] = QString();
        } else if (joined) {
            given.options[name] = arg.section('=', 1);
        } else {
            if (i + 1 >= args.size() || args[i + 1].startsWith("--"))
                return "l'option " + arg + " attend une valeur.";
            given.options[name] = args[++i];
        }
    }
    return given;
}

qsizetype commandIndex(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const OptionRow* option = findOption(arguments[i].toStdString());
        if (option && option->takesValue()) {
            ++i;
            continue;
        }
        if (!arguments[i].startsWith('-')) return i;
    }
    return -1;
}

std::optional<QString> refusedBy(const CommandRow& row, const CommandArguments& given) {
    if (row.argument.empty() && !given.arguments.isEmpty())
        return "argument inconnu : " + given.arguments[0];
    for (const auto& [name, value] : given.options)
        if (!row.takes(name) && findOption(name)->use == OptionRow::Use::Command)
            return row.refusal();
    if (!row.argument.empty() && given.arguments.size() != 1) return row.refusal();
    return std::nullopt;
}

std::string generalHelp() {
    std::string help(kUsage);
    help += kIntro;
    for (const CommandRow& c : kCommandRows) {
        help += "  ";
        help += c.usage;
        // A short command name keeps its text on the same line.
        if (c.usage.size() < 10) {
            help.append(10 - c.usage.size(), ' ');
            help += c.help.substr(12);
        } else {
            help += '\n';
            help += c.help;
        }
        help += '\n';
    }
    help.pop_back();
    help += optionsHelp();
    help += kStatuses;
    return help;
}

std::string commandHelp(const CommandRow& row) {
    std::string help = "Usage : vel_dxcc " + std::string(row.usage) + " [options]\n\n";
    help += row.help;
    help += optionsHelp();
    help += kStatuses;
    return help;
}

}  // namespace ui
