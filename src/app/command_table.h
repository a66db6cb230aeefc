#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/command_line.h"

// The commands of the command line and their options, each one row: the
// parser, the help and the dispatch all read these tables, so they cannot
// disagree.
namespace ui {

// An option: its name, and the name of its value in the help (empty for an
// option that takes no value). `help`, when given, is its line in the general
// help; an option only one command takes is marked with that command there.
struct OptionRow {
    std::string_view name;
    std::string_view valueName;
    std::string_view help = {};
    // Help and version are asked with or without a command; the others are
    // options of the commands that name them.
    enum class Use { Command, Help, Version };
    Use use = Use::Command;

    bool takesValue() const { return !valueName.empty(); }
};

// What the operator gave a command, read from the tables.
struct CommandArguments {
    std::optional<QString> command;
    QStringList arguments;  // after the command, the ones that are no option
    // Each option given with its value (empty for an option without one); the
    // last one given counts.
    std::map<std::string, QString, std::less<>> options;

    bool has(std::string_view option) const;
    std::optional<QString> value(std::string_view option) const;
};

// Runs a command once its arguments are read and checked against its row;
// the exit status.
using CommandHandler = int (*)(const CommandArguments& arguments, const CommandDefaults& defaults,
                               std::ostream& out, std::ostream& err);

// A command: its name, its usage line and help text, the options it takes
// (in the order its refusal lists them), the one argument it takes ("un seul
// fichier ADIF", empty for none) and its handler.
struct CommandRow {
    std::string_view name;
    std::string_view usage;
    std::string_view help;
    std::vector<std::string_view> options;
    std::string_view argument;
    CommandHandler handler;

    bool takes(std::string_view option) const;
    // What the command says to arguments or options it does not take: "grid
    // n'attend que les options --worked, --station, --data-dir."
    QString refusal() const;
};

std::span<const OptionRow> optionTable();
std::span<const CommandRow> commandTable();

const OptionRow* findOption(std::string_view name);
const CommandRow* findCommand(const QString& name);

// The command and its options, in any order (an option's value after it or
// after '='; after "--", every argument is one); the message of what cannot
// be read.
std::variant<CommandArguments, QString> readArguments(const QStringList& args);

// Where the command stands among the arguments (options may come first):
// the first argument that is neither an option nor an option's value; -1 when
// there is none.
qsizetype commandIndex(const QStringList& arguments);

// Why `row` refuses what was given (an option it does not take, an argument
// missing or too many), or nothing.
std::optional<QString> refusedBy(const CommandRow& row, const CommandArguments& given);

// The help of every command, and of one.
std::string generalHelp();
std::string commandHelp(const CommandRow& row);

}  // namespace ui
