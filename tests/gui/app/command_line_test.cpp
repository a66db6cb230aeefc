#include "app/command_line.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <QUtf8StringView>
#include <sstream>

#include "command_runner.h"
#include "core/record/qso_record.h"
#include "core/session/data_folder_lock.h"
#include "platform/text.h"
#include "sample_award_log.h"

namespace {

// A confirmation from LoTW of the JA1AA contact of the log.
const char kLotwConfirmation[] =
    "<eoh>\n<call:5>JA1AA\n<band:3>15m\n<mode:3>SSB\n<qso_date:8>20080106\n"
    "<time_on:6>101500\n<qsl_rcvd:1>Y\n<eor>\n";

// Every award in both bases, as the windows word them.
const char* const kReport[] = {
    "Mixed\tconfirmés\t 3 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "Mixed\tIl vous manque 97 préfixes confirmés",
    "Mixed\tcontactés\t 4 préfixes contactés,\t",
    "SSB\tconfirmés\t 1 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "SSB\tIl vous manque 99 préfixes confirmés",
    "SSB\tcontactés\t 2 préfixes contactés\t",
    "CW\tconfirmés\t 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "CW\tIl vous manque 100 préfixes confirmés",
    "CW\tcontactés\t 1 préfixes contactés\t",
    "RTTY\tconfirmés\t 1 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "RTTY\tIl vous manque 99 préfixes confirmés",
    "RTTY\tcontactés\t 1 préfixes contactés\t",
    "1.8 Mhz\tconfirmés\tVous ne pouvez pas encore obtenir le diplôme DXCC 1.8 Mhz\tIl vous "
    "manque  100 préfixes confirmés",
    "1.8 Mhz\tcontactés\t 0 préfixes contactés\t",
    "3.5 Mhz\tconfirmés\tVous ne pouvez pas encore obtenir le diplôme DXCC 3.5 Mhz\tIl vous "
    "manque  100 préfixes confirmés",
    "3.5 Mhz\tcontactés\t 0 préfixes contactés\t",
    "7.0 Mhz\tconfirmés\t 1 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme "
    "DXCC 7.0 Mhz\tIl vous manque 99 préfixes confirmés",
    "7.0 Mhz\tcontactés\t 1 préfixes contactés\t",
    "10 Mhz\tconfirmés\t 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "10 Mhz \tIl vous manque 100 préfixes confirmés",
    "10 Mhz\tcontactés\t 0 préfixes contactés\t",
    "14 Mhz\tconfirmés\t 1 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "14 Mhz \tIl vous manque 99 préfixes confirmés",
    "14 Mhz\tcontactés\t 1 préfixes contactés\t",
    "18 Mhz\tconfirmés\t 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "18 Mhz \tIl vous manque 100 préfixes confirmés",
    "18 Mhz\tcontactés\t 0 préfixes contactés\t",
    "21 Mhz\tconfirmés\t 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "21 Mhz \tIl vous manque 100 préfixes confirmés",
    "21 Mhz\tcontactés\t 1 préfixes contactés\t",
    "24 Mhz\tconfirmés\t 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "24 Mhz \tIl vous manque 100 préfixes confirmés",
    "24 Mhz\tcontactés\t 0 préfixes contactés\t",
    "28 Mhz\tconfirmés\t 0 préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC "
    "28 Mhz \tIl vous manque 100 préfixes confirmés",
    "28 Mhz\tcontactés\t 0 préfixes contactés\t",
    "50 Mhz\tconfirmés\tVous ne pouvez pas encore obtenir le diplôme DXCC 50 Mhz \tIl vous "
    "manque  100 préfixes confirmés",
    "50 Mhz\tcontactés\t 0 préfixes contactés\t",
    "144 Mhz\tconfirmés\tVous ne pouvez pas encore obtenir le diplôme DXCC 144 Mhz\tIl vous "
    "manque  99 préfixes confirmés",
    "144 Mhz\tcontactés\t 1 préfixes contactés\t",
    "5 bandes\tconfirmés\tVous ne pouvez pas encore obtenir le diplôme DXCC 5 bandes\tIl manque  "
    "100 QSL sur 3.5 Mhz  99 QSL sur 7 Mhz  99 QSL sur 14 Mhz  100 QSL sur 21 Mhz  100 QSL sur 28 "
    "Mhz",
    "Satellite\tconfirmés\tVous ne pouvez pas encore obtenir le diplôme DXCC Satellite\tIl vous "
    "manque  99 préfixes confirmés",
    "Satellite\tcontactés\t 1 préfixes contactés,\t",
};

class CommandLineTest : public testing_support::CommandRunner {
protected:
    void SetUp() override {
        chooseStation("F6XYZ");
        writeFile("F6XYZ_DXCC.log", testing_support::sampleAwardLog());
        // An import needs a prefix file to give each QSO its entity.
        writeFile("Prefixe_DXCC.txt", "F      France                            F      /\r\n");
    }

    QStringList outLines() const {
        return QString::fromStdString(out.str()).split('\n', Qt::SkipEmptyParts);
    }

    // The station chosen in the settings.
    void chooseStation(const QString& station) {
        settings->set("Setup ", "Indicatif Station", station.toStdString());
    }

    // A refused command: its status, how its message begins, nothing on
    // standard output.
    void expectRefused(const QStringList& args, int status, const std::string& errStart) {
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(run(args), status);
        EXPECT_EQ(err.str().substr(0, errStart.size()), errStart);
        EXPECT_EQ(out.str(), "");
    }
};

TEST_F(CommandLineTest, ReportWritesEveryAwardAsTheWindowsWordIt) {
    ASSERT_EQ(run({"report", "--station", "f6xyz", "--data-dir", dir.path()}), ui::kCommandOk)
        << err.str();
    QStringList expected;
    for (const char* line : kReport) expected << QString::fromUtf8(line);
    EXPECT_EQ(outLines(), expected);
    EXPECT_EQ(err.str(), "");

    // The settings' station and the program's folder by default; the entity
    // lines under each award, in UTF-8.
    ASSERT_EQ(run({"report", "--entities"}), ui::kCommandOk) << err.str();
    const QStringList lines = outLines();
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], expected[0]);
    using namespace testing_support;
    EXPECT_EQ(lines.mid(1, 4), (QStringList{"\t" + listedEntity(1, kSatelliteConfirmed),
                                            "\t" + listedEntity(2, kSsbConfirmed),
                                            "\t" + listedEntity(3, kFt8Confirmed), expected[1]}));
    EXPECT_TRUE(lines[3].contains("JOSÉ"));
    EXPECT_EQ(lines.size(), expected.size() + 29);
}

// The import the menu item does, without a window: the gathered messages, the
// block at its date, and a failure that leaves the log as it was.
TEST_F(CommandLineTest, ImportMergesTheFileAndSaysWhatItDid) {
    const QString adi =
        writeFile("in.adi",
                  "<EOH>\n<CALL:5>K1ABC<QSO_DATE:8>20080101<TIME_ON:4>0900<MODE:2>CW<EOR>\n"
                  "<CALL:5>K1ABD<QSO_DATE:8>20080101<TIME_ON:4>0930<BAND:3>40m<EOR>\n");
    ASSERT_EQ(run({"import", adi}), ui::kCommandOk) << err.str();
    const QStringList lines = outLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "QSO importés : 2");
    EXPECT_TRUE(lines[1].startsWith("Bande absente, remplacée par 1.8 Mhz : 1 QSO"));
    const QByteArray before = readFile("F6XYZ_DXCC.log");
    const QList<QByteArray> stored = before.split('\n');
    ASSERT_EQ(stored.size(), 9);                 // eight lines and the end
    EXPECT_TRUE(stored[0].startsWith("K1ABC"));  // 01/01/08 comes before 02/01/08
    EXPECT_TRUE(stored[1].startsWith("K1ABD"));
    EXPECT_EQ(run({"import", dir.path() + "/missing.adi"}), ui::kCommandFailed);
    EXPECT_TRUE(QString::fromStdString(err.str()).contains("Le log n'a pas été modifié"));
    EXPECT_EQ(run({"import"}), ui::kCommandBadUsage);
    // Not while the windows of the program are open on the same folder.
    {
        dxcc::DataFolderLock windows(ui::toPath(dir.path()));
        ASSERT_EQ(windows.tryLock(), dxcc::DataFolderLock::Outcome::Held);
        err.str("");
        EXPECT_EQ(run({"import", adi}), ui::kCommandFailed);
        EXPECT_TRUE(QString::fromStdString(err.str()).contains("fermez-le avant d'importer"));
    }
    EXPECT_EQ(readFile("F6XYZ_DXCC.log"), before);
}

// The export and the confirmations the menu items do, without a window: what
// they did on standard output, failures in French with a non-zero status.
TEST_F(CommandLineTest, ExportAndConfirmWorkAsTheMenuItemsAndFailCleanly) {
    const QString adi = dir.path() + "/log.adi";
    ASSERT_EQ(run({"export", adi}), ui::kCommandOk) << err.str();
    EXPECT_EQ(outLines(), QStringList{"QSO exportés : 6"});
    const QByteArray text = readFile("log.adi");
    EXPECT_TRUE(text.startsWith("Log ADIF de la station F6XYZ (VEL_DXCC 1.0.4)\r\n"));
    EXPECT_EQ(text.count("<EOR>"), 6);

    const QString lotw = writeFile("lotw.adi", kLotwConfirmation);
    const QStringList first{"Confirmations lues : 1", "QSO nouvellement confirmés : 1",
                            "QSO déjà confirmés : 0", "Confirmations sans QSO dans le log : 0",
                            "Nouvelles contrées confirmées : JA Japan (Mixed, SSB, 21 Mhz)"};
    ASSERT_EQ(run({"confirm", lotw, "--station", "F6XYZ"}), ui::kCommandOk) << err.str();
    EXPECT_EQ(outLines(), first);
    EXPECT_TRUE(readFile("F6XYZ_DXCC.log")
                    .split('\n')[4]
                    .endsWith("Japan                              *\r"));
    ASSERT_EQ(run({"confirm", lotw}), ui::kCommandOk);
    EXPECT_EQ(outLines()[1], "QSO nouvellement confirmés : 0");
    EXPECT_EQ(outLines()[2], "QSO déjà confirmés : 1");
    EXPECT_EQ(outLines().size(), 4);  // nothing newly confirmed: no entity line

    struct Row {
        QStringList args;
        int status;
        std::string err;  // how the message begins
    };
    const Row rows[] = {
        {{"export"}, ui::kCommandBadUsage, "vel_dxcc : export attend un seul fichier ADIF"},
        {{"export", adi, adi}, ui::kCommandBadUsage, "vel_dxcc : export attend un seul fichier"},
        {{"export", dir.path() + "/F6XYZ_DXCC.log"},
         ui::kCommandFailed,
         "vel_dxcc : Ce fichier appartient à VEL_DXCC"},
        {{"export", dir.path() + "/absent/log.adi"}, ui::kCommandFailed, "vel_dxcc : Erreur N° "},
        {{"export", adi, "--station", "F6ABC"},
         ui::kCommandFailed,
         "vel_dxcc : lecture du log de la station F6ABC impossible."},
        {{"confirm", "--entities", lotw},
         ui::kCommandBadUsage,
         "vel_dxcc : confirm attend un seul fichier ADIF"},
        {{"confirm", dir.path() + "/absent.adi"}, ui::kCommandFailed, "vel_dxcc : Erreur N°  53"},
    };
    for (const Row& r : rows) expectRefused(r.args, r.status, r.err);
    EXPECT_TRUE(QString::fromStdString(err.str()).contains("Le log n'a pas été modifié"));
}

// The prefix update the menu item does, without a window: the summary of
// what changed on standard output, the files written; failures in French,
// nothing written.
TEST_F(CommandLineTest, PrefixesUpdateFromACountryFileAsTheMenuItem) {
    QDir(dir.path()).mkdir("cty");
    const QString ctyDat = dir.path() + "/cty/cty.dat";
    writeFile("cty/cty.dat",
              "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n"
              "Japan:  25:  45:  AS:  36.40:  -138.38:  -9.0:  JA:\n    JA,7J;\n");
    writeFile("cty/garbage.dat", "no country file here");
    const QByteArray mine = "F8ZZ   Corse                             TK     /\r\n";
    writeFile("Prefixe_DXCC.txt", mine);
    writeFile("Prefixe_DXCC_base.txt", "");

    struct Row {
        QStringList args;
        int status;
        std::string err;  // how the message begins
    };
    const Row refused[] = {
        {{"prefixes"}, ui::kCommandBadUsage, "vel_dxcc : prefixes attend un seul fichier"},
        {{"prefixes", ctyDat, "--station", "F6XYZ"},
         ui::kCommandBadUsage,
         "vel_dxcc : prefixes attend un seul fichier"},
        {{"prefixes", dir.path() + "/cty/garbage.dat"},
         ui::kCommandFailed,
         "vel_dxcc : " +
             (dir.path() + "/cty/garbage.dat : ligne de contrée illisible").toStdString()},
        {{"prefixes", dir.path() + "/cty"},
         ui::kCommandFailed,
         "vel_dxcc : " + (dir.path() + "/cty : ce n'est pas un fichier ordinaire").toStdString()},
        {{"prefixes", dir.path() + "/absent.dat"}, ui::kCommandFailed, "vel_dxcc : Erreur N°  53"},
        {{"prefixes", ctyDat, "--worked"},
         ui::kCommandBadUsage,
         "vel_dxcc : prefixes attend un seul fichier"},
        {{"prefixes", ctyDat, "--data-dir", dir.path() + "/absent"},
         ui::kCommandFailed,
         "vel_dxcc : le dossier de données " + dir.path().toStdString() +
             "/absent est introuvable.\nLes fichiers des préfixes n'ont pas été modifiés.\n"},
    };
    for (const Row& r : refused) {
        expectRefused(r.args, r.status, r.err);
        EXPECT_EQ(readFile("Prefixe_DXCC.txt"), mine) << r.args.join(' ').toStdString();
    }
    {
        dxcc::DataFolderLock windows(ui::toPath(dir.path()));
        ASSERT_EQ(windows.tryLock(), dxcc::DataFolderLock::Outcome::Held);
        EXPECT_EQ(run({"prefixes", ctyDat}), ui::kCommandFailed);
        EXPECT_TRUE(QString::fromStdString(err.str()).contains("Un autre VEL_DXCC a ce dossier"));
        EXPECT_TRUE(err.str().ends_with("\nLes fichiers des préfixes n'ont pas été modifiés.\n"))
            << err.str();
        EXPECT_EQ(readFile("Prefixe_DXCC.txt"), mine);
    }

    ASSERT_EQ(run({"prefixes", ctyDat, "--data-dir", dir.path()}), ui::kCommandOk) << err.str();
    const QStringList said = outLines();
    EXPECT_TRUE(said.contains("Entrées avant : 1"));
    EXPECT_TRUE(said.contains("Entrées après : 5"));
    EXPECT_TRUE(said.contains("Préfixes ajoutés : 4"));
    EXPECT_TRUE(said.contains("  F8ZZ   Corse                             TK     /"));
    EXPECT_EQ(readFile("Prefixe_DXCC.txt"),
              "7J     Japan                             JA     /\r\n"
              "F      France                            F      /\r\n" +
                  mine +
                  "JA     Japan                             JA     /\r\n"
                  "TM     France                            F      /\r\n");
    EXPECT_TRUE(
        readFile("Entites_DXCC.txt").contains("JA\tJapan\t36.40\t138.38\tAS\t25\t45\t9.00"));
    // The report's needed line now finds the new prefixes.
    ASSERT_EQ(run({"needed", "7J1ABC"}), ui::kCommandOk) << err.str();
    EXPECT_TRUE(out.str().starts_with("7J1ABC\tJA\tJapan\t")) << out.str();

    ASSERT_EQ(run({"prefixes", ctyDat}), ui::kCommandOk);
    EXPECT_EQ(outLines(), QStringList{"Ce fichier n'apporte aucun changement : le fichier des "
                                      "préfixes n'a pas été réécrit."});
}

TEST_F(CommandLineTest, FailuresAndHelpAreToldInFrench) {
    QDir(dir.path()).mkdir("F6DIR_DXCC.log");  // a folder cannot be read as a log
    struct Row {
        QStringList args;
        int status;
        std::string err;  // how the message begins
        QString settingsStation = "F6XYZ";
    };
    const Row rows[] = {
        {{"report", "--station", "F6ABC"},
         ui::kCommandFailed,
         "vel_dxcc : lecture du log de la station F6ABC impossible.\nErreur N°  53\nFichier "
         "introuvable.\n"},
        {{"report", "--station", "F6DIR"},
         ui::kCommandFailed,
         "vel_dxcc : lecture du log de la station F6DIR impossible.\nErreur N° "},
        {{"report"}, ui::kCommandFailed, "vel_dxcc : aucune station n'est choisie", "FXXXX"},
        {{"report", "--station", "F6/X!"},
         ui::kCommandBadUsage,
         "vel_dxcc : indicatif de station invalide : F6/X!\n"},
        {{"report", "--bavard"}, ui::kCommandBadUsage, "vel_dxcc : option inconnue : --bavard\n"},
        {{"report", "--station"},
         ui::kCommandBadUsage,
         "vel_dxcc : l'option --station attend une valeur.\n"},
        {{"rapport"}, ui::kCommandBadUsage, "vel_dxcc : commande inconnue : rapport\n"},
        // An option the command does not take is refused, never ignored.
        {{"report", "--band", "20M"},
         ui::kCommandBadUsage,
         "vel_dxcc : report n'attend que les options --entities, --station, --data-dir.\n"},
        {{"export", "x.adi", "--mode", "CW"},
         ui::kCommandBadUsage,
         "vel_dxcc : export attend un seul fichier ADIF"},
        {{"import", "x.adi", "--band=20M"},
         ui::kCommandBadUsage,
         "vel_dxcc : import attend un seul fichier ADIF"},
        {{"confirm", "x.adi", "--worked"},
         ui::kCommandBadUsage,
         "vel_dxcc : confirm attend un seul fichier ADIF"},
        {{"grid", "--mode", "CW"},
         ui::kCommandBadUsage,
         "vel_dxcc : grid n'attend que les options --worked"},
        {{"needed", "F5ABC", "--entities"}, ui::kCommandBadUsage, "vel_dxcc : needed attend"},
    };
    for (const Row& r : rows) {
        chooseStation(r.settingsStation);
        expectRefused(r.args, r.status, r.err);
    }

    for (const QStringList& args : {QStringList{"--help"}, QStringList{"-h"}}) {
        EXPECT_EQ(run(args), ui::kCommandOk);
        const QString help = QString::fromStdString(out.str());
        EXPECT_TRUE(help.startsWith("Usage : vel_dxcc [commande] [options]\n"));
        for (const char* word : {"report", "--station", "--data-dir", "--entities", "contactés",
                                 "export FICHIER.adi", "confirm FICHIER.adi"})
            EXPECT_TRUE(help.contains(word)) << word;
    }
}

TEST(CommandLine, SubCommandsHelpAndVersionRunWithoutWindowsAndNoDisplayNeverOpensThem) {
    struct Row {
        std::vector<const char*> argv;
        bool display;
        bool commandLine;
    };
    const Row rows[] = {
        {{"vel_dxcc"}, true, false},
        {{"vel_dxcc"}, false, false},
        {{"vel_dxcc", "report"}, true, true},
        {{"vel_dxcc", "--help"}, true, true},
        {{"vel_dxcc", "-h"}, true, true},
        {{"vel_dxcc", "rapport"}, true, true},
        {{"vel_dxcc", "-platform", "offscreen"}, true, false},
        {{"vel_dxcc", "-platform", "offscreen"}, false, false},
        {{"vel_dxcc", "--version"}, true, true},
        {{"vel_dxcc", "--data-dir", "D", "report"}, true, true},
        {{"vel_dxcc", "--station=F6XYZ", "report"}, true, true},
        {{"vel_dxcc", "-style", "fusion"}, true, false},
        {{"vel_dxcc", "-style", "fusion"}, false, true},
        {{"vel_dxcc", "--bavard"}, false, true},
        {{"vel_dxcc", "--band", "20M", "needed", "F5ABC"}, true, true},
        {{"vel_dxcc", "--worked", "grid"}, true, true},
        // Any option of the command table, whichever command takes it.
        {{"vel_dxcc", "--host=h", "--port", "7300"}, true, true},
    };
    for (const Row& r : rows) {
        std::vector<char*> argv;
        for (const char* a : r.argv) argv.push_back(const_cast<char*>(a));
        EXPECT_EQ(ui::isCommandLine(static_cast<int>(argv.size()), argv.data(), r.display),
                  r.commandLine)
            << argv.back() << " display " << r.display;
    }
}

// Options before or after the command, each command's own help, the version,
// and "--" before a file whose name starts with '-'.
TEST_F(CommandLineTest, OptionsMayComeAnywhereAndEachCommandHasItsHelp) {
    ASSERT_EQ(run({"--station", "F6XYZ", "--data-dir", dir.path(), "report"}), ui::kCommandOk)
        << err.str();
    const QString before = QString::fromStdString(out.str());
    ASSERT_EQ(run({"report", "--data-dir=" + dir.path(), "--station=F6XYZ"}), ui::kCommandOk);
    EXPECT_EQ(QString::fromStdString(out.str()), before);
    EXPECT_TRUE(before.startsWith("Mixed\tconfirmés"));

    EXPECT_EQ(run({"--version"}), ui::kCommandOk);
    EXPECT_EQ(out.str(), "vel_dxcc 1.0.4\n");

    struct Help {
        QStringList args;
        QString usage;
        const char* other;  // another command's text, absent from this help
    };
    const Help helps[] = {
        {{"import", "--help"}, "Usage : vel_dxcc import FICHIER.adi [options]\n", "LoTW"},
        {{"import", "-h"}, "Usage : vel_dxcc import FICHIER.adi [options]\n", "LoTW"},
        {{"--help", "confirm"}, "Usage : vel_dxcc confirm FICHIER.adi [options]\n", "ADIF 3.1"},
        {{"report", "--help"}, "Usage : vel_dxcc report [options]\n", "LoTW"},
        // Whatever other options stand beside it.
        {{"cluster", "--host", "h", "--port", "1", "--help"},
         "Usage : vel_dxcc cluster --host HOTE --port PORT [--count N] [--needed] [options]\n",
         "LoTW"},
        {{"-h", "--bavard", "import", "--band", "20M"},
         "Usage : vel_dxcc import FICHIER.adi [options]\n",
         "LoTW"},
        {{"--station", "F6XYZ", "--bavard", "--help"},
         "Usage : vel_dxcc [commande] [options]\n",
         "\xFF"},
    };
    for (const Help& h : helps) {
        SCOPED_TRACE(h.args.join(' ').toStdString());
        EXPECT_EQ(run(h.args), ui::kCommandOk);
        const QString help = QString::fromStdString(out.str());
        EXPECT_TRUE(help.startsWith(h.usage)) << help.toStdString();
        EXPECT_TRUE(help.contains("Code de retour"));
        EXPECT_FALSE(help.contains(h.other));
        EXPECT_EQ(err.str(), "");
    }

    // "-h" is no file name; after "--" any name is.
    EXPECT_EQ(run({"import", "--", "-h"}), ui::kCommandFailed);
    EXPECT_TRUE(QString::fromStdString(err.str()).contains("-h")) << err.str();
    struct Bad {
        QStringList args;
        std::string err;
    };
    const Bad bad[] = {
        {{"--bavard", "report"}, "vel_dxcc : option inconnue : --bavard\n"},
        {{"-x", "import", "f.adi"}, "vel_dxcc : option inconnue : -x\n"},
        {{"rapport", "--help"}, "vel_dxcc : commande inconnue : rapport\n"},
        {{"--data-dir", dir.path()}, "vel_dxcc : commande manquante.\n"},
    };
    for (const Bad& b : bad) expectRefused(b.args, ui::kCommandBadUsage, b.err);
}

// A stream that refuses every byte, as standard output on a full disk.
class FullStream : public std::streambuf {
protected:
    int overflow(int) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

// Every command that writes the log holds the data folder for the whole
// read-change-write and refuses while another holder has it; the status
// says whether the log changed, even when the report cannot be printed.
TEST_F(CommandLineTest, WritingCommandsHoldTheFolderAndTheStatusSaysWhetherTheLogChanged) {
    const QString adi = writeFile(
        "in.adi", "<CALL:5>K1ABC<QSO_DATE:8>20080101<TIME_ON:4>0930<BAND:3>20m<MODE:3>SSB<EOR>\n");
    const QString lotw = writeFile("lotw.adi", kLotwConfirmation);
    auto logBytes = [&] { return readFile("F6XYZ_DXCC.log"); };
    const QByteArray before = logBytes();
    {
        dxcc::DataFolderLock other(ui::toPath(dir.path()));
        ASSERT_EQ(other.tryLock(), dxcc::DataFolderLock::Outcome::Held);
        for (const QStringList& args : {QStringList{"import", adi}, QStringList{"confirm", lotw}}) {
            SCOPED_TRACE(args.join(' ').toStdString());
            EXPECT_EQ(run(args), ui::kCommandFailed);
            EXPECT_TRUE(QString::fromStdString(err.str()).contains("fermez-le")) << err.str();
            EXPECT_EQ(out.str(), "");
        }
        // Reading commands go on.
        EXPECT_EQ(run({"report"}), ui::kCommandOk);
    }
    EXPECT_EQ(logBytes(), before);

    // A lock file left empty, holding garbage or a process number that is
    // gone (a power cut, an export over it) locks no one out.
    for (const char* left : {"", "garbage\n", "999999999\nvel_dxcc\n"}) {
        writeFile("VEL_DXCC.lock", left);
        EXPECT_EQ(run({"confirm", lotw}), ui::kCommandOk) << left << err.str();
    }

    // The report cannot be printed: the status tells whether the log changed.
    FullStream full;
    std::ostream lost(&full);
    auto runLost = [&](const QStringList& args) {
        err.str({});
        return ui::runCommand(args, defaults, lost, err);
    };
    EXPECT_EQ(runLost({"import", adi}), ui::kCommandLogChangedReportLost);
    EXPECT_TRUE(QString::fromStdString(err.str()).contains("le log a été modifié")) << err.str();
    const QByteArray imported = logBytes();
    EXPECT_EQ(imported.count('\n'), before.count('\n') + 1);
    // Nothing left to confirm: nothing changed, the lost report is a plain failure.
    EXPECT_EQ(runLost({"confirm", lotw}), ui::kCommandFailed);
    EXPECT_TRUE(QString::fromStdString(err.str()).contains("compte rendu")) << err.str();
    EXPECT_EQ(logBytes(), imported);

    // The same for the prefixes: saved, then nothing more to save.
    const QString cty =
        writeFile("cty.dat", "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n");
    EXPECT_EQ(runLost({"prefixes", cty}), ui::kCommandLogChangedReportLost);
    EXPECT_TRUE(QString::fromStdString(err.str()).contains("préfixes ont été mis à jour"));
    EXPECT_EQ(runLost({"prefixes", cty}), ui::kCommandFailed);
    EXPECT_TRUE(QString::fromStdString(err.str()).contains("résumé impossible")) << err.str();
}

}  // namespace

namespace {

// The needed status of a callsign and the DXCC table, from the log of the
// fixture, a small prefix file and entity file, and the station's settings.
class NeededCommandTest : public CommandLineTest {
protected:
    void SetUp() override {
        CommandLineTest::SetUp();
        writeFile("Prefixe_DXCC.txt",
                  "DL     Germany                           DL     /\r\n"
                  "F      France                            F      /\r\n"
                  "G      England                           G      /\r\n"
                  "JA     Japan                             JA     /\r\n"
                  "VK     Australia                         VK     /\r\n");
        writeFile("Entites_DXCC.txt",
                  "F\tFrance\t46.00\t2.00\tEU\t14\t27\t1.00\r\n"
                  "JA\tJapan\t36.40\t138.38\tAS\t25\t45\t9.00\r\n"
                  "VK\tAustralia\t-23.70\t132.33\tOC\t30\t59\t10.00\r\n");
    }
};

TEST_F(NeededCommandTest, NeededAnswersPerEntityBandAndModeWithHeadingFromTheLocator) {
    settings->set("Setup F6XYZ", "Locator", "JN18du");
    struct Row {
        QStringList args;
        int status;
        const char* line;  // the output line, or the start of the error
    };
    const Row rows[] = {
        {{"F1ZZZ", "--band", "20M", "--mode", "USB"},
         ui::kCommandOk,
         "F1ZZZ\tF\tFrance\tC\tC\tC\t184\t318"},
        {{"f1zzz", "--band", "14.2", "--mode", "CW"},
         ui::kCommandOk,
         "F1ZZZ\tF\tFrance\tC\tC\tW\t184\t318"},
        {{"F1ZZZ", "--band", "40m", "--mode", "RTTY"},
         ui::kCommandOk,
         "F1ZZZ\tF\tFrance\tC\tN\tN\t184\t318"},
        {{"JA2XX", "--band", "15M", "--mode", "FT8"},
         ui::kCommandOk,
         "JA2XX\tJA\tJapan\tW\tW\tN\t34\t9591"},
        {{"DL5AA", "--band", "2M", "--mode", "SAT"},
         ui::kCommandOk,
         "DL5AA\tDL\tGermany\tC\tC\tC\t\t"},
        {{"VK3AB", "--band", "70CM", "--mode", "SSB"},
         ui::kCommandOk,
         "VK3AB\tVK\tAustralia\tN\tN\tN\t"},
        {{"ZZ1ZZ", "--band", "20M"}, ui::kCommandFailed, "vel_dxcc : aucune contrée DXCC"},
        {{"F1ZZZ", "--band", "99M"}, ui::kCommandBadUsage, "vel_dxcc : bande inconnue : 99M"},
        {{"F1ZZZ", "--mode", "XYZZY"}, ui::kCommandBadUsage, "vel_dxcc : mode inconnu : XYZZY"},
        {{"F1ZZZ", "F2ZZZ"}, ui::kCommandBadUsage, "vel_dxcc : needed attend"},
        // The entry form's checks of a callsign.
        {{"F5 ABC"}, ui::kCommandBadUsage, "vel_dxcc : Pas d'espace dans l'indicatif : F5 ABC\n"},
        {{QString(5000, 'A')},
         ui::kCommandBadUsage,
         "vel_dxcc : 12 caracteres maxi pour l'indicatif : AAAAAAAAAAAAAAAAAAAAAAAA…\n"},
        {{"F5ABC\tK1ABC"},
         ui::kCommandBadUsage,
         "vel_dxcc : Les retours à la ligne et les tabulations ne sont pas admis"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        EXPECT_EQ(run(QStringList{"needed"} + r.args), r.status) << err.str();
        const QString shown =
            QString::fromStdString(r.status == ui::kCommandOk ? out.str() : err.str());
        EXPECT_TRUE(shown.startsWith(QString::fromUtf8(r.line))) << shown.toStdString();
    }

    // Without a locator the heading and distance are empty; the band and mode
    // default to the entry form's, stored by position (7.0 Mhz, CW).
    settings->values.clear();
    chooseStation("F6XYZ");
    settings->set("Setup F6XYZ", "bande Utilisee", "2");
    settings->set("Setup F6XYZ", "Mode Utilise", "1");
    ASSERT_EQ(run({"needed", "G4ABC"}), ui::kCommandOk) << err.str();
    EXPECT_EQ(out.str(), "G4ABC\tG\tEngland\tC\tC\tN\t\t\n");
}

// Every entity of the DXCC list, and every worked one it lacks (DL, G), in
// the order of prefixes; with --worked, the entities worked only.
TEST_F(NeededCommandTest, GridListsEveryEntityAndWithWorkedTheWorkedOnes) {
    const QString heading = QString::fromUtf8(
        "Préfixe\tContrée\tMixed\tSSB\tCW\tRTTY\tSatellite\t1.8 Mhz\t3.5 Mhz\t7.0 Mhz\t10 Mhz\t"
        "14 Mhz\t18 Mhz\t21 Mhz\t24 Mhz\t28 Mhz\t50 Mhz\t144 Mhz");
    const QStringList worked{
        heading,
        "DL\tGermany\tC\t-\t-\t-\tC\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\tC",
        "F\tFrance\tC\tC\tW\t-\t-\t-\t-\t-\t-\tC\t-\t-\t-\t-\t-\t-",
        "G\tEngland\tC\t-\t-\tC\t-\t-\t-\tC\t-\t-\t-\t-\t-\t-\t-\t-",
        "JA\tJapan\tW\tW\t-\t-\t-\t-\t-\t-\t-\t-\t-\tW\t-\t-\t-\t-",
    };
    ASSERT_EQ(run({"grid"}), ui::kCommandOk) << err.str();
    EXPECT_EQ(outLines(),
              worked + QStringList{QString::fromUtf8(
                           "VK\tAustralia\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-\t-")});
    ASSERT_EQ(run({"grid", "--worked"}), ui::kCommandOk) << err.str();
    EXPECT_EQ(outLines(), worked);
    EXPECT_EQ(run({"grid", "extra"}), ui::kCommandBadUsage);
    EXPECT_EQ(run({"needed", "F5ABC", "--worked"}), ui::kCommandBadUsage);
}

// Output that cannot be written (a full disk) is said on standard error,
// with status 1, by every command that only reads.
TEST_F(NeededCommandTest, ReadingCommandsSayWhenTheirOutputIsLost) {
    FullStream full;
    std::ostream lost(&full);
    for (const QStringList& args :
         {QStringList{"grid"}, QStringList{"needed", "F5ABC"}, QStringList{"report"},
          QStringList{"--help"}, QStringList{"grid", "--help"}, QStringList{"--version"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        err.str({});
        EXPECT_EQ(ui::runCommand(args, defaults, lost, err), ui::kCommandFailed);
        EXPECT_TRUE(err.str().starts_with("vel_dxcc : écriture ")) << err.str();
    }
}

// Whatever a message quotes (a binary file's bytes, a confirmation file's
// date, an argument, an entity name of the prefix editor in Windows-1252),
// what the commands write is UTF-8 without control characters but line ends
// and tabs.
TEST_F(NeededCommandTest, EverythingWrittenIsUtf8) {
    const char binary[] =
        "\x7F"
        "ELF\x02\x01\x1B[2J\xFF\xFE\x00\x80\xE9t\xE9:\n";
    writeFile("binary.dat", QByteArray(binary, sizeof binary - 1));
    writeFile("lotw.adi",
              "<CALL:5>K1ABC<QSO_DATE:8>2024\xFF\x1B"
              "01<TIME_ON:4>1\xE9"
              "2\xFF<BAND:3>20m"
              "<MODE:2>CW<QSL_RCVD:1>Y<EOR>\n");
    writeFile("Entites_DXCC.txt", "FR\tR\xE9union\t-21.12\t55.53\tAF\t39\t53\t4.00\r\n");
    const auto check = [](const std::string& text) {
        EXPECT_TRUE(QUtf8StringView(text).isValidUtf8()) << text;
        for (unsigned char c : text) EXPECT_TRUE(c >= 0x20 || c == '\n' || c == '\t') << text;
    };
    EXPECT_EQ(run({"prefixes", dir.path() + "/binary.dat"}), ui::kCommandFailed);
    check(err.str());
    EXPECT_EQ(run({"\x1B]0;owned\x07rapport"}), ui::kCommandBadUsage);
    EXPECT_NE(err.str().find("\xEF\xBF\xBD]0;owned\xEF\xBF\xBDrapport"), std::string::npos)
        << err.str();
    check(err.str());
    ASSERT_EQ(run({"confirm", dir.path() + "/lotw.adi"}), ui::kCommandOk) << err.str();
    EXPECT_TRUE(out.str().find("K1ABC        2024\xEF\xBF\xBD") != std::string::npos) << out.str();
    check(out.str());
    ASSERT_EQ(run({"grid"}), ui::kCommandOk) << err.str();
    EXPECT_NE(out.str().find("\nFR\tR\xC3\xA9union\t-\t"), std::string::npos) << out.str();
    check(out.str());
}

}  // namespace
