#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QtTest/QTest>

#include "core/adif/adif_messages.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "platform/text.h"
#include "running_log.h"
#include "test_doubles.h"
#include "windows/adif/import_window.h"
#include "windows/main/main_window.h"

namespace {

namespace msg = dxcc::adif_messages;
using ui::fromView;

class AdifExportConfirmTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writePrefixes({dxcc::buildPrefixEntry("G", "England", "G"),
                       dxcc::buildPrefixEntry("F", "France", "F")});
        writeLog({log[0], log[1], log[2]});
        start();
    }
    QByteArray read(const QString& name) const {
        return QByteArray::fromStdString(RunningLog::read(name));
    }
    QString listRow(int row) const {
        return w->Liste_DXCC->model()->index(row, 0).data().toString();
    }
    static std::string qso(const char* call, const char* name, const char* time, const char* mode,
                           const char* prefix, const char* entity) {
        return dxcc::buildRecord(
            {call, name, "17/06/08", time, mode, "14 Mhz ", "59", "57", prefix, entity, ' '});
    }

    const QString kLog = "F6XYZ_DXCC.log";
    const std::string log[3] = {qso("G4ABC", "JOHN", "10:00", "SSB", "G", "England"),
                                qso("F5ABC", "J\xC9R\xD4ME", "11:00", "FT4", "F", "France"),
                                qso("F5XYZ", "", "12:00", "CW", "F", "France")};
};

// The operator picks a name without suffix: the file gets ".adi", holds the
// whole log, and the operator is told how many QSOs went where. The log's own
// file is refused, and a cancelled dialog does nothing.
TEST_F(AdifExportConfirmTest, ExportWritesTheWholeLogWhereTheOperatorSays) {
    ASSERT_EQ(w->Mnu_Export_ADIF->parent(), w->Mnu_Fichier);
    EXPECT_EQ(w->Mnu_Export_ADIF->text(), "Exporter le log au format ADIF");
    t.dialogs->saveFiles.push_back(t.path("carnet"));
    w->Mnu_Export_ADIF->trigger();

    const QString file = QString::fromUtf8(read("carnet.adi"));
    const QStringList lines = file.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].contains("F6XYZ"));
    EXPECT_TRUE(lines[1].endsWith("<EOH>"));
    EXPECT_TRUE(
        lines[3].startsWith("<CALL:5>F5ABC <NAME:8>JÉRÔME <QSO_DATE:8>20080617 "
                            "<TIME_ON:4>1100 <BAND:3>20m <MODE:4>MFSK <SUBMODE:3>FT4 "))
        << lines[3].toStdString();
    EXPECT_EQ(t.dialogs->messages, QStringList{fromView(msg::kExportedCount) + "3\r\n" +
                                               fromView(msg::kExportedTo) + t.path("carnet.adi")});

    t.dialogs->messages.clear();
    const QByteArray before = read(kLog);
    t.dialogs->saveFiles.push_back(t.path(kLog));
    w->Mnu_Export_ADIF->trigger();
    EXPECT_EQ(t.dialogs->messages, QStringList{fromView(msg::kExportOverDataFile)});
    EXPECT_EQ(read(kLog), before);

    t.dialogs->messages.clear();
    w->Mnu_Export_ADIF->trigger();  // cancelled
    EXPECT_TRUE(t.dialogs->messages.isEmpty());
}

// The download marks the contact it confirms in the list, which keeps its
// selection; the report names the confirmation that matches nothing and can be
// copied. A file that cannot be read leaves the log as it was.
TEST_F(AdifExportConfirmTest, ConfirmationsMarkTheContactsAndTheReportCanBeCopied) {
    ASSERT_EQ(w->Mnu_Import_LoTW->parent(), w->Mnu_Fichier);
    EXPECT_EQ(w->Mnu_Import_LoTW->text(), "Importer les confirmations (LoTW)");
    write("lotwreport.adi",
          "ARRL Logbook of the World Status Report\n<eoh>\n"
          "<CALL:7>F5ABC/P\n<BAND:3>20M\n<MODE:3>FT8\n<QSO_DATE:8>20080617\n<TIME_ON:6>111500\n"
          "<QSL_RCVD:1>Y\n<eor>\n"
          "<CALL:5>K1ABC\n<BAND:3>40M\n<MODE:2>CW\n<QSO_DATE:8>20080618\n<TIME_ON:4>0900\n"
          "<QSL_RCVD:1>Y\n<eor>\n<APP_LoTW_EOF>\n");
    w->showLogRow(0);
    t.dialogs->files.push_back(t.path("lotwreport.adi"));
    w->Mnu_Import_LoTW->trigger();

    EXPECT_TRUE(t.dialogs->messages.isEmpty());
    EXPECT_TRUE(listRow(1).endsWith('*'));
    EXPECT_FALSE(listRow(0).endsWith('*'));
    EXPECT_FALSE(listRow(2).endsWith('*'));
    EXPECT_EQ(QString::fromLatin1(read(kLog)).split("\r\n")[1].toLatin1().toStdString(),
              log[1].substr(0, 106) + "*");
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 0);

    auto* report = w->findChild<ui::ImportReportWindow*>("Rapport_Confirmations");
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->windowTitle(), "Importer les confirmations (LoTW)");
    const QString text = report->Texte_Rapport->toPlainText();
    for (const char* expected :
         {"Confirmations lues : 2", "QSO nouvellement confirmés : 1", "QSO déjà confirmés : 0",
          "Confirmations sans QSO dans le log : 1", "   K1ABC        18/06/2008 09:00  40M     CW"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();
    QTest::mouseClick(report->Copier, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), text);
    report->close();

    const QByteArray before = read(kLog);
    t.dialogs->files.push_back(t.path("absent.adi"));
    w->Mnu_Import_LoTW->trigger();
    ASSERT_EQ(t.dialogs->messages.size(), 1);
    EXPECT_TRUE(t.dialogs->messages[0].startsWith("Erreur N°  53"));
    EXPECT_TRUE(t.dialogs->messages[0].contains("Le log n'a pas été modifié"));
    EXPECT_EQ(read(kLog), before);
}

}  // namespace
