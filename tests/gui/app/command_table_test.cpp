// The command table: what a command does not take is refused before anything
// runs, and a name that is no command's never reaches a handler.
#include "app/command_table.h"

#include <gtest/gtest.h>

#include <QDir>

#include "command_runner.h"
#include "platform/text.h"

namespace {

class CommandTable : public testing_support::CommandRunner {
protected:
    // Nothing was read or written in the data folder.
    bool folderUntouched() const {
        return QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

const std::string kSeeHelp = "Tapez « vel_dxcc --help » pour l'aide.\n";

TEST_F(CommandTable, EveryOptionACommandDoesNotTakeIsRefusedBeforeItRuns) {
    for (const ui::CommandRow& command : ui::commandTable()) {
        for (const std::string_view name : command.options)
            EXPECT_NE(ui::findOption(name), nullptr) << command.name << " " << name;
        const QStringList argument =
            command.argument.empty() ? QStringList{} : QStringList{"F5ABC"};
        for (const ui::OptionRow& option : ui::optionTable()) {
            if (option.use != ui::OptionRow::Use::Command || command.takes(option.name)) continue;
            SCOPED_TRACE(std::string(command.name) + " " + std::string(option.name));
            QStringList args{ui::fromView(command.name)};
            args << argument << ui::fromView(option.name);
            if (option.takesValue()) args << "1";
            EXPECT_EQ(run(args), ui::kCommandBadUsage);
            EXPECT_EQ(err.str(), "vel_dxcc : " + command.refusal().toStdString() + "\n" + kSeeHelp);
            EXPECT_EQ(out.str(), "");
        }
    }
    EXPECT_TRUE(folderUntouched());
}

// A command that takes one argument refuses none or two; one that takes none
// names the first it was given.
TEST_F(CommandTable, ACommandRefusesTheArgumentsItDoesNotTake) {
    for (const ui::CommandRow& command : ui::commandTable()) {
        SCOPED_TRACE(std::string(command.name));
        const QString name = ui::fromView(command.name);
        if (command.argument.empty()) {
            EXPECT_EQ(run({name, "extra", "more"}), ui::kCommandBadUsage);
            EXPECT_EQ(err.str(), "vel_dxcc : argument inconnu : extra\n" + kSeeHelp);
            continue;
        }
        for (const QStringList& args : {QStringList{name}, QStringList{name, "a", "b"}}) {
            EXPECT_EQ(run(args), ui::kCommandBadUsage);
            EXPECT_EQ(err.str(), "vel_dxcc : " + command.refusal().toStdString() + "\n" + kSeeHelp);
        }
    }
    EXPECT_TRUE(folderUntouched());
}

// A name that is no row's, however close to one, reaches no handler: not the
// last command's, not the one it resembles.
TEST_F(CommandTable, AnUnknownCommandReachesNoHandler) {
    const QString adi = dir.path() + "/lotw.adi";
    for (const QStringList& args :
         {QStringList{"confirmer", adi}, QStringList{"Confirm", adi}, QStringList{"confirm ", adi},
          QStringList{"import\n", adi}, QStringList{"", "import", adi}, QStringList{"-", adi},
          QStringList{"--station", "F6XYZ", "export2", adi}, QStringList{"--", "--force", adi}}) {
        SCOPED_TRACE(args.join('|').toStdString());
        EXPECT_EQ(run(args), ui::kCommandBadUsage);
        EXPECT_TRUE(err.str().starts_with("vel_dxcc : commande inconnue : ")) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_TRUE(folderUntouched());
    for (const ui::CommandRow& row : ui::commandTable())
        EXPECT_EQ(ui::findCommand(ui::fromView(row.name)), &row);
}

// How an option and its value are read, wherever they stand.
TEST(CommandArguments, OptionsAndTheirValuesAreReadFromTheTable) {
    struct Row {
        QStringList args;
        std::optional<QString> command;
        QStringList arguments;
        std::map<std::string, QString, std::less<>> options;
        QString error;
    };
    const Row rows[] = {
        {{"--station", "F6XYZ", "needed", "K1ABC", "--band=20M"},
         "needed",
         {"K1ABC"},
         {{"--band", "20M"}, {"--station", "F6XYZ"}},
         {}},
        {{"--station", "F6XYZ"}, std::nullopt, {}, {{"--station", "F6XYZ"}}, {}},
        {{"", "import", "a.adi"}, "", {"import", "a.adi"}, {}, {}},
        {{"grid", "--worked", "--station=A", "--station=B"},
         "grid",
         {},
         {{"--station", "B"}, {"--worked", ""}},
         {}},
        {{"import", "--", "-h", "--force"}, "import", {"-h", "--force"}, {}, {}},
        {{"import", "-"}, "import", {"-"}, {}, {}},
        {{"--data-dir=a=b", "report"}, "report", {}, {{"--data-dir", "a=b"}}, {}},
        {{"report", "--worked=1"}, {}, {}, {}, "option inconnue : --worked=1"},
        {{"report", "--bavard"}, {}, {}, {}, "option inconnue : --bavard"},
        {{"report", "--station", "--data-dir", "d"},
         {},
         {},
         {},
         "l'option --station attend une valeur."},
        {{"cluster", "--host"}, {}, {}, {}, "l'option --host attend une valeur."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        const auto read = ui::readArguments(r.args);
        if (!r.error.isEmpty()) {
            ASSERT_TRUE(std::holds_alternative<QString>(read));
            EXPECT_EQ(std::get<QString>(read), r.error);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ui::CommandArguments>(read))
            << std::get<QString>(read).toStdString();
        const auto& given = std::get<ui::CommandArguments>(read);
        EXPECT_EQ(given.command, r.command);
        EXPECT_EQ(given.arguments, r.arguments);
        EXPECT_EQ(given.options, r.options);
    }
}

}  // namespace
