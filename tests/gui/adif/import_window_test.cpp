#include "windows/adif/import_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QtTest/QTest>

#include "core/adif/adif_messages.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "platform/text.h"
#include "running_log.h"
#include "test_doubles.h"
#include "windows/main/main_window.h"

namespace {

namespace msg = dxcc::adif_messages;
using ui::fromView;

class ImportWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writePrefixes({dxcc::buildPrefixEntry("G", "England", "G"),
                       dxcc::buildPrefixEntry("F", "France", "F")});
        writeLog({old1, old2});
        start();
    }
    QByteArray read(const QString& name) const {
        return QByteArray::fromStdString(RunningLog::read(name));
    }
    QStringList logLines() const {
        return QString::fromLatin1(read(kLog)).split("\r\n", Qt::SkipEmptyParts);
    }
    static std::string qso(const char* call, const char* date) {
        dxcc::QsoFields f{call, "",   date, "10:00",   "SSB", "14 Mhz ",
                          "59", "59", "G",  "England", ' '};
        return dxcc::buildRecord(f);
    }

    const QString kLog = "F6XYZ_DXCC.log";
    const std::string old1 = qso("G4OLD", "01/02/08"), old2 = qso("G4NEW", "01/03/08");
};

// A file from 2007 goes in as one block before the 2008 lines; what had to be
// substituted is gathered in one closing window.
TEST_F(ImportWindowTest, TheBlockGoesInAtItsDateAndTheMessagesAreGathered) {
    write("export.adi",
          "Export <adif_ver:5>3.1.0 <eoh>\r\n"
          "<call:5>g4abc <qso_date:8>20070101 <time_on:6>101500 <band:3>20m <mode:5>PSK31 "
          "<rst_sent:3>599 <rst_rcvd:3>579 <name:5>Jérôm <qsl_rcvd:1>y <eor>\n"
          "<CALL:5:S>F5XYZ<QSO_DATE:8>20090101<TIME_ON:4>0800<FREQ:6>14.074<MODE:3>FT8<EOR>\n"
          "<CALL:5>G0AAA<QSO_DATE:8>20070102<TIME_ON:4>0900<MODE:2>CW<EOR>\n");
    t.dialogs->files.push_back(t.path("export.adi"));
    w->Mnu_Import_ADIF->trigger();

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0],
              "G4ABC        JÉRÔM           01/01/07 10:15 PSK 14 Mhz  579 599 G      "
              "England                            *");
    EXPECT_TRUE(lines[1].startsWith("F5XYZ        "));  // the block is never split
    EXPECT_EQ(lines[1].mid(44, 11), "FT8 14 Mhz ");
    EXPECT_EQ(lines[2].mid(48, 7), "1.8 Mhz");  // no band at all
    EXPECT_EQ(lines[3].toStdString(), old1);
    EXPECT_EQ(w->Liste_DXCC->model()->rowCount(), 5);
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 4);
    EXPECT_TRUE(t.dialogs->messages.isEmpty());  // nothing asked, one box per record avoided

    auto* report = w->findChild<ui::ImportReportWindow*>("Rapport_Import");
    ASSERT_NE(report, nullptr);
    const QString text = report->Texte_Rapport->toPlainText();
    EXPECT_TRUE(text.startsWith(fromView(msg::kImportedCount) + "3")) << text.toStdString();
    EXPECT_TRUE(text.contains(fromView(msg::kBandMissing).trimmed())) << text.toStdString();
    EXPECT_TRUE(text.contains("G0AAA"));
}

TEST_F(ImportWindowTest, NoFileOrAFailureLeavesTheLogAsItWas) {
    const QByteArray before = read(kLog);
    w->Mnu_Import_ADIF->trigger();  // the dialog is cancelled
    EXPECT_EQ(t.dialogs->messages, QStringList{fromView(msg::kNoFileChosen)});

    t.dialogs->messages.clear();
    write("export.adi", "<CALL:5>G4ABC<QSO_DATE:8>20070101<TIME_ON:4>1015<BAND:3>20M<EOR>");
    QDir(t.dir.path()).mkdir("Temporaire6.txt");  // the new log cannot be written
    t.dialogs->files.push_back(t.path("export.adi"));
    w->Mnu_Import_ADIF->trigger();
    ASSERT_EQ(t.dialogs->messages.size(), 1);
    EXPECT_TRUE(t.dialogs->messages[0].startsWith("Erreur N° "));
    EXPECT_TRUE(t.dialogs->messages[0].contains("Le log n'a pas été modifié"));
    EXPECT_EQ(read(kLog), before);
    EXPECT_EQ(w->Liste_DXCC->model()->rowCount(), 2);
    EXPECT_EQ(w->findChild<ui::ImportReportWindow*>("Rapport_Import"), nullptr);
}

}  // namespace
