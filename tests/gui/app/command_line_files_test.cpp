// The command line and the data folder's files: every command puts in the
// files the program comes with, and the prefix update refuses a country file
// that would gut the prefix file unless told --force.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <sstream>

#include "app/command_line.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "core/session/data_folder_lock.h"
#include "memory_settings.h"
#include "platform/qt_platform.h"
#include "platform/text.h"

namespace {

QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class CommandLineFiles : public ::testing::Test {
protected:
    CommandLineFiles() {
        writeFile("F6XYZ_DXCC.log", dxcc::buildRecord({"F5BBB", "JEAN", "02/01/08", "10:00", "SSB",
                                                       "14 Mhz ", "59", "59", "F", "France", '*'}) +
                                        "\r\n");
    }
    void writeFile(const QString& name, const std::string& bytes) {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray read(const QString& name) const { return bytesOf(dir.path() + "/" + name); }
    static std::shared_ptr<testing_support::MemorySettings> stationSettings() {
        auto settings = std::make_shared<testing_support::MemorySettings>();
        settings->set("Setup ", "Indicatif Station", "F6XYZ");
        settings->set("Setup F6XYZ", "Locator", "JN18du");
        return settings;
    }
    int run(const QStringList& args) {
        out.str({});
        err.str({});
        return ui::runCommand(args, defaults, out, err);
    }

    QTemporaryDir dir;
    std::shared_ptr<testing_support::MemorySettings> settings = stationSettings();
    ui::CommandDefaults defaults{settings, [this] { return dir.path(); },
                                 [] { return ui::shippedFiles(); }};
    std::ostringstream out;
    std::ostringstream err;
};

// A folder of an earlier version, or a new one given with --data-dir, lacks
// the files the program comes with: each command puts them in first, so the
// needed line has its heading and an import finds the entities.
TEST_F(CommandLineFiles, EveryCommandPutsInTheFilesTheFolderLacks) {
    const QByteArray shippedPrefixes = bytesOf(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt");
    const QByteArray shippedEntities = bytesOf(VEL_SOURCE_DIR "/data/Entites_DXCC.txt");
    const QByteArray shippedExactCalls = bytesOf(VEL_SOURCE_DIR "/data/Exceptions_DXCC.txt");
    writeFile("in.adi",
              "<CALL:6>VK2ABC<QSO_DATE:8>20080101<TIME_ON:4>0930<BAND:3>20m"
              "<MODE:3>SSB<EOR>\n");
    for (const QStringList& args :
         {QStringList{"report"}, QStringList{"grid"}, QStringList{"export", dir.path() + "/x.adi"},
          QStringList{"needed", "VK2ABC"}, QStringList{"import", dir.path() + "/in.adi"},
          QStringList{"confirm", dir.path() + "/in.adi"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        for (const char* name :
             {"Prefixe_DXCC.txt", "Exceptions_DXCC.txt", "Entites_DXCC.txt", "Liste_Prenom.txt"})
            QFile::remove(dir.path() + "/" + name);
        EXPECT_EQ(run(args), ui::kCommandOk) << err.str();
        EXPECT_EQ(err.str(), "");
        EXPECT_EQ(read("Prefixe_DXCC.txt"), shippedPrefixes);
        EXPECT_EQ(read("Exceptions_DXCC.txt"), shippedExactCalls);
        EXPECT_EQ(read("Entites_DXCC.txt"), shippedEntities);
        EXPECT_EQ(read("Liste_Prenom.txt"), "");
        if (args[0] == "needed") {
            EXPECT_TRUE(
                QString::fromStdString(out.str()).startsWith("VK2ABC\tVK\tAustralia\tN\tN\tN\t"))
                << out.str();
        }
        if (args[0] == "import") {
            EXPECT_TRUE(read("F6XYZ_DXCC.log").contains("Australia"));
        }
    }
    // The needed line has its heading and distance, from the entity data.
    ASSERT_EQ(run({"needed", "VK2ABC"}), ui::kCommandOk);
    const QStringList fields = QString::fromStdString(out.str()).trimmed().split('\t');
    ASSERT_EQ(fields.size(), 8) << out.str();
    EXPECT_FALSE(fields[6].isEmpty());
    EXPECT_FALSE(fields[7].isEmpty());

    // The operator's own prefix file stays as it is.
    const std::string own = dxcc::buildPrefixEntry("VK", "Australie", "VK") + "\r\n";
    writeFile("Prefixe_DXCC.txt", own);
    EXPECT_EQ(run({"report"}), ui::kCommandOk);
    EXPECT_EQ(read("Prefixe_DXCC.txt"), QByteArray::fromStdString(own));

    // While the windows hold the folder, nothing can be put in: said, and the
    // reading command goes on.
    QFile::remove(dir.path() + "/Prefixe_DXCC.txt");
    dxcc::DataFolderLock windows(ui::toPath(dir.path()));
    ASSERT_EQ(windows.tryLock(), dxcc::DataFolderLock::Outcome::Held);
    EXPECT_EQ(run({"report"}), ui::kCommandOk);
    EXPECT_EQ(err.str(),
              "vel_dxcc : Le fichier des préfixes Prefixe_DXCC.txt manque dans le dossier de "
              "données et n'a pas pu y être mis : les indicatifs n'y trouveront pas leur "
              "contrée.\n");
    EXPECT_EQ(read("Prefixe_DXCC.txt"), "<missing>");
}

// A country file cut short is refused; one that would remove more than a
// tenth of the entries is saved only with --force.
TEST_F(CommandLineFiles, PrefixesRefusesAFileCutShortAndAGuttingUpdateWithoutForce) {
    std::string prefixes;
    for (const char* prefix : {"DL", "F", "G", "JA", "K", "TO", "VK", "W"})
        prefixes += dxcc::buildPrefixEntry(prefix, "Somewhere", prefix) + "\r\n";
    writeFile("Prefixe_DXCC.txt", prefixes);
    writeFile("Prefixe_DXCC_base.txt", prefixes);
    const std::string france = "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n";
    writeFile("cut.dat", france + "Japan:  25:  45:  AS:  36.40:  -138.38:  -9.0:  JA:\n    JA,7");
    writeFile("cty.dat", france);
    const QString cut = dir.path() + "/cut.dat", cty = dir.path() + "/cty.dat";

    EXPECT_EQ(run({"prefixes", cut}), ui::kCommandFailed);
    EXPECT_EQ(err.str(), "vel_dxcc : " + cut.toStdString() +
                             " : la dernière contrée ne se termine pas par « ; » : le fichier est "
                             "coupé (téléchargement interrompu ?).\n");
    // The folder got the shipped exact calls, which this country file lacks too.
    const QByteArray shippedExactCalls = bytesOf(VEL_SOURCE_DIR "/data/Exceptions_DXCC.txt");
    const std::string exactCount = std::to_string(shippedExactCalls.count("\r\n"));
    EXPECT_EQ(run({"prefixes", cty}), ui::kCommandFailed);
    EXPECT_EQ(err.str(),
              "vel_dxcc : ATTENTION : cette mise à jour supprimerait 7 des 8 entrées du fichier "
              "des préfixes (plus d'un dixième) : le fichier des contrées est peut-être "
              "incomplet. ATTENTION : cette mise à jour supprimerait " +
                  exactCount + " des " + exactCount +
                  " indicatifs exacts (plus d'un dixième) : le fichier des contrées est "
                  "peut-être incomplet.\nRien n'a été écrit ; l'option --force l'enregistre "
                  "quand même.\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(read("Prefixe_DXCC.txt"), QByteArray::fromStdString(prefixes));
    EXPECT_EQ(read("Prefixe_DXCC_base.txt"), QByteArray::fromStdString(prefixes));
    EXPECT_EQ(read("Exceptions_DXCC.txt"), shippedExactCalls);
    EXPECT_EQ(run({"report", "--force"}), ui::kCommandBadUsage);

    ASSERT_EQ(run({"--force", "prefixes", cty}), ui::kCommandOk) << err.str();
    EXPECT_TRUE(
        QString::fromStdString(out.str()).startsWith("ATTENTION : cette mise à jour "
                                                     "supprimerait 7 des 8 entrées"));
    EXPECT_EQ(read("Prefixe_DXCC.txt").toStdString(),
              dxcc::buildPrefixEntry("F", "France", "F") + "\r\n" +
                  dxcc::buildPrefixEntry("TM", "France", "F") + "\r\n");
    // The exact calls follow the country file, all or none with the prefixes.
    EXPECT_EQ(read("Exceptions_DXCC.txt"), "");
    EXPECT_EQ(read("Exceptions_DXCC_base.txt"), "");
}

}  // namespace
