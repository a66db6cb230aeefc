#include "windows/entry/entry_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>
#include <memory>

#include "core/entry/entry_messages.h"
#include "core/logbook/log_messages.h"
#include "core/prefixes/lookup_messages.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "platform/colours.h"
#include "platform/text.h"
#include "running_log.h"
#include "test_doubles.h"
#include "windows/main/main_window.h"

namespace {

namespace msg = dxcc::entry_messages;

constexpr auto& m = testing_support::messageText;

QString record(const char* callsign, const char* date, const char* time, char qsl = ' ') {
    dxcc::QsoFields q{callsign, "PAUL", date, time,      "SSB", "7.0 Mhz",
                      "59",     "59",   "G",  "England", qsl};
    return QString::fromLatin1(dxcc::buildRecord(q));
}

class EntryFormTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        std::string prefixes;
        for (auto [prefix, entity, dxcc] : {std::array<const char*, 3>{"F", "France", "F"},
                                            {"FR", "Reunion Island", "FR"},
                                            {"G", "England", "G"},
                                            {"TM", "France", "F"}})
            prefixes += dxcc::buildPrefixEntry(prefix, entity, dxcc) + "\r\n";
        write("Prefixe_DXCC.txt", QByteArray::fromStdString(prefixes));
        write("F6XYZ_DXCC.log", "");
    }

    void write(const QString& name, const QByteArray& bytes) {
        RunningLog::write(name, bytes.toStdString());
    }
    QString read(const QString& name) const {
        QFile file(t.path(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }
    void writeLog(const QStringList& records) {
        write(log, (records.join("\r\n") + "\r\n").toLatin1());
    }
    QStringList logLines() const { return read(log).split("\r\n", Qt::SkipEmptyParts); }

    // The messages of the start-up are kept for the test to see.
    void start() {
        startUp();
        f = w->entryForm();
    }
    QWidget* focused() const { return w->focusWidget(); }
    std::string stored(const char* key) const {
        return t.settings->get("Setup F6XYZ", key, "none");
    }

    static void retype(QWidget* field, const QString& text) { type(field, text); }
    void clickRow(int row) { RunningLog::clickRow(w->Liste_DXCC, row); }
    void doubleClickRow(int row) { RunningLog::doubleClickRow(w->Liste_DXCC, row); }
    // Enter through the fields that follow the first name, with the given reports.
    void walkReportsAndQsl(const QString& received, const QString& sent, bool qsl) {
        retype(f->RST_A, received);
        enter(f->RST_A);
        retype(f->RSTE_A, sent);
        enter(f->RSTE_A);
        if (qsl) QTest::keyClick(f->QSL_A, Qt::Key_Space);
        enter(f->QSL_A);
    }
    void commit(bool answer) {
        t.dialogs->answers.push_back(answer);
        QTest::mouseClick(f->Valide_A, Qt::LeftButton);
    }
    // Reports 59 both ways, no QSL, and the commit answered yes.
    void commitWithReports59() {
        walkReportsAndQsl("59", "59", false);
        commit(true);
    }
    // Keys `text` into `field` after what it holds, then Enter.
    static void typeAndEnter(QWidget* field, const QString& text) {
        QTest::keyClicks(field, text);
        enter(field);
    }

    const QString log = "F6XYZ_DXCC.log";
    ui::EntryForm* f = nullptr;
};

TEST_F(EntryFormTest, OneContactFromCallsignToLogWithTheAutomaticDate) {
    t.settings->set("Setup F6XYZ", "bande Utilisee", "4");
    t.settings->set("Setup F6XYZ", "Mode Utilise", "1");
    write("Liste_Prenom.txt", "F5ABC           jean\r\n");
    start();
    EXPECT_EQ(f->Bande_A->currentText(), "14 Mhz ");
    EXPECT_EQ(f->Mode_A->currentText(), "CW");
    EXPECT_EQ(focused(), f->Ind_A);

    QTest::keyClicks(f->Ind_A, "f5abc");
    EXPECT_EQ(f->Ind_A->text(), "F5ABC");
    enter(f->Ind_A);
    const QString france = "France" + QString(27, ' ');
    EXPECT_EQ(messages(),
              QStringList{m(msg::kNewPrefix) + "F" + m(msg::kNewPrefixEntity) + france});
    EXPECT_EQ(f->Prenom_A->text(), "JEAN");
    EXPECT_EQ(f->Prefixe_A->text(), "F");
    EXPECT_EQ(f->Pays_A->text(), france);
    EXPECT_EQ(focused(), f->Prenom_A);
    EXPECT_EQ(ui::backgroundOf(f->Prenom_A), ui::kInputColour);
    EXPECT_EQ(ui::backgroundOf(f->Ind_A), ui::kRestColour);

    enter(f->Prenom_A);
    EXPECT_EQ(f->Date_A->text(), "01/01/09");
    EXPECT_EQ(f->Heure_A->text(), "00:05");
    EXPECT_EQ(focused(), f->RST_A);
    EXPECT_EQ(ui::backgroundOf(f->Date_A), ui::kRestColour);
    walkReportsAndQsl("59", "57", true);
    EXPECT_EQ(focused(), f->Valide_A);
    EXPECT_TRUE(f->Valide_A->isEnabled());

    t.dialogs->answers.push_back(true);
    enter(f->Valide_A);
    const QString line =
        "F5ABC        JEAN            01/01/09 00:05 CW  14 Mhz  59  57  F      "
        "France                             *";
    EXPECT_EQ(logLines(), QStringList{line});
    EXPECT_EQ(messages().last(), m(msg::kConfirmCommit));
    EXPECT_EQ(read("Liste_Prenom.txt"), "F5ABC           JEAN\r\n");
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 0);
    EXPECT_TRUE(w->Liste_DXCC->selectionModel()->isRowSelected(0));
    ASSERT_TRUE(f->state().selected());
    EXPECT_EQ(f->state().selected()->row, 0u);
    EXPECT_EQ(f->state().selected()->record, line.toStdString());
    // Ready for the next contact, on the same band and mode.
    EXPECT_EQ(f->Mode_Aff->text(), "Saisie QSO");
    EXPECT_TRUE(f->Ind_A->text().isEmpty());
    EXPECT_TRUE(f->Date_A->text().isEmpty());
    EXPECT_EQ(f->RSTE_A->text(), "59");
    EXPECT_FALSE(f->QSL_A->isChecked());
    EXPECT_FALSE(f->Valide_A->isEnabled());
    EXPECT_TRUE(f->Annule_Saisie->isEnabled());
    EXPECT_EQ(focused(), f->Ind_A);
    EXPECT_EQ(f->Bande_A->currentText(), "14 Mhz ");
    EXPECT_EQ(f->Mode_A->currentText(), "CW");
}

TEST_F(EntryFormTest, ManualDateInsertsByDateAndKeepsTheDateOfTheLastLine) {
    writeLog({record("G4AAA", "01/01/08", "10:00"), record("G4BBB", "01/03/08", "10:00")});
    start();
    w->Mnu_Date_Man->trigger();
    typeAndEnter(f->Ind_A, "g4xyz");
    EXPECT_TRUE(messages().isEmpty());  // G is in the log already
    enter(f->Prenom_A);
    EXPECT_EQ(focused(), f->Date_A);
    typeAndEnter(f->Date_A, "15/02/08");
    typeAndEnter(f->Heure_A, "12:00");
    commitWithReports59();

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("G4XYZ        "));
    EXPECT_EQ(lines[1].size(), 107);
    EXPECT_EQ(f->Date_A->text(), "01/03/08");
    EXPECT_FALSE(f->Date_A->isEnabled());
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 2);
}

TEST_F(EntryFormTest, InsertButtonInsertsByDateEvenWithTheAutomaticDate) {
    writeLog({record("G4AAA", "01/01/08", "10:00")});
    start();
    QTest::mouseClick(f->Ajout_QSO, Qt::LeftButton);
    EXPECT_EQ(f->Mode_Aff->text(), "Insertion QSO");
    EXPECT_EQ(focused(), f->Ind_A);
    typeAndEnter(f->Ind_A, "g4old");
    enter(f->Prenom_A);
    EXPECT_EQ(focused(), f->Date_A);  // not from the clock
    typeAndEnter(f->Date_A, "31/12/99");
    typeAndEnter(f->Heure_A, "23:59");
    commitWithReports59();

    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("G4OLD"));
    EXPECT_EQ(f->Mode_Aff->text(), "Saisie QSO");
    EXPECT_TRUE(f->Date_A->text().isEmpty());
}

TEST_F(EntryFormTest, DoubleClickOpensAContactAndTheCommitReplacesIt) {
    const QString first = record("G4AAA", "01/01/08", "10:00");
    const QString second = record("G4BBB", "01/03/08", "10:00", '*');
    writeLog({first, second});
    t.settings->set("Setup F6XYZ", "bande Utilisee", "0");
    start();
    clickRow(1);
    EXPECT_TRUE(f->QSL_A->isChecked());
    doubleClickRow(0);
    EXPECT_EQ(f->Mode_Aff->text(), "Modification QSO");
    EXPECT_EQ(f->Ind_A->text(), "G4AAA");
    EXPECT_EQ(f->Bande_A->currentText(), "7.0 Mhz");
    EXPECT_FALSE(f->QSL_A->isChecked());
    EXPECT_TRUE(f->Valide_A->isEnabled());
    EXPECT_TRUE(f->Pays_A->isEnabled());
    EXPECT_EQ(focused(), f->Ind_A);

    clickRow(1);  // the list is locked while modifying
    EXPECT_EQ(f->Ind_A->text(), "G4AAA");
    // The band is changed for this contact only.
    QTest::keyClick(f->Bande_A, Qt::Key_Down);
    QApplication::processEvents();
    enter(f->Bande_A);
    EXPECT_EQ(stored("bande Utilisee"), "0");
    retype(f->Mode_A, "rtty");
    retype(f->RSTE_A, "55");
    QTest::mouseClick(f->Ajout_QSO, Qt::LeftButton);  // still a modification
    commit(true);

    QString changed = first;
    changed.replace(44, 3, "RTT").replace(48, 7, "10 Mhz ").replace(60, 3, "55 ");
    EXPECT_EQ(logLines(), (QStringList{changed, second}));
    EXPECT_TRUE(read("Liste_Prenom.txt").startsWith("G4AAA           PAUL"));
    EXPECT_EQ(f->Mode_Aff->text(), "Saisie QSO");
    EXPECT_EQ(f->Bande_A->currentText(), "1.8 Mhz");
    // The opened line is gone from the log: it can no longer be offered for deletion.
    EXPECT_FALSE(f->Annule_Saisie->isEnabled());
    clickRow(0);  // unlocked again
    EXPECT_EQ(f->Ind_A->text(), "G4AAA");
}

TEST_F(EntryFormTest, CommitRefusesWhatTheRecordCannotHold) {
    writeLog({record("G4AAA", "01/01/08", "10:00")});
    start();
    doubleClickRow(0);
    QTest::keyClicks(f->Pays_A, QString(30, 'X'));
    commit(true);
    EXPECT_EQ(messages(), QStringList{m(msg::kEntityNameTooLong)});
    EXPECT_EQ(focused(), f->Pays_A);
    EXPECT_EQ(logLines(), QStringList{record("G4AAA", "01/01/08", "10:00")});
    EXPECT_EQ(f->Mode_Aff->text(), "Modification QSO");
}

TEST_F(EntryFormTest, AnsweringNoStoresNothingButResetsTheEntry) {
    start();
    QTest::keyClicks(f->Ind_A, "zz9zz");  // resolved by no prefix entry
    enter(f->Ind_A);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(f->Prefixe_A->text().isEmpty());
    typeAndEnter(f->Prenom_A, "anne");
    walkReportsAndQsl("59", "59", true);
    commit(false);
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_TRUE(read("Liste_Prenom.txt").isEmpty());
    EXPECT_TRUE(f->Ind_A->text().isEmpty());
    EXPECT_FALSE(f->QSL_A->isChecked());
    EXPECT_FALSE(f->Valide_A->isEnabled());
}

TEST_F(EntryFormTest, DeletionAskedNoThenYes) {
    const QString kept = record("G4AAA", "01/01/08", "10:00");
    const QString gone = record("G4BBB", "01/03/08", "10:00");
    writeLog({kept, gone});
    start();
    clickRow(1);
    t.dialogs->answers = {false};
    QTest::mouseClick(f->Annule_Saisie, Qt::LeftButton);
    EXPECT_EQ(messages(), QStringList{m(msg::kConfirmDelete)});
    EXPECT_EQ(t.dialogs->safeDefaultQuestions, QStringList{m(msg::kConfirmDelete)});
    EXPECT_EQ(logLines().size(), 2);
    EXPECT_FALSE(f->Annule_Saisie->isEnabled());
    EXPECT_TRUE(f->Ind_A->text().isEmpty());

    clickRow(1);
    t.dialogs->answers = {true};
    QTest::mouseClick(f->Annule_Saisie, Qt::LeftButton);
    EXPECT_EQ(logLines(), QStringList{kept});
    EXPECT_FALSE(f->Annule_Saisie->isEnabled());
    EXPECT_TRUE(f->Ind_A->text().isEmpty());
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 0);
}

TEST_F(EntryFormTest, DoubleClickWithoutAContactAsksForOne) {
    start();
    QTest::mouseDClick(w->Liste_DXCC->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(messages(), QStringList{m(msg::kClickToEdit)});
    EXPECT_EQ(f->Mode_Aff->text(), "Saisie QSO");
}

TEST_F(EntryFormTest, EveryFieldRefusesBadTextOnEnterAndStaysPut) {
    start();
    w->Mnu_Date_Man->trigger();
    auto refuses = [&](QWidget* field, const QString& text, std::string_view message) {
        messages().clear();
        field->setFocus();
        retype(field, text);
        const QColor colour = ui::backgroundOf(field);
        enter(field);
        EXPECT_EQ(messages(), QStringList{m(message)}) << text.toStdString();
        EXPECT_EQ(focused(), field) << text.toStdString();
        EXPECT_EQ(ui::backgroundOf(field), colour);
    };
    auto accepts = [&](QWidget* field, const QString& text, QWidget* next) {
        messages().clear();
        retype(field, text);
        enter(field);
        EXPECT_EQ(focused(), next) << text.toStdString();
    };
    refuses(f->Bande_A, "", msg::kBandEmpty);
    refuses(f->Bande_A, "144 MHZZ", msg::kBandTooLong);
    accepts(f->Bande_A, "144 MHZ", f->Mode_A);
    refuses(f->Mode_A, "", msg::kModeEmpty);
    refuses(f->Mode_A, "OLIVIA8", msg::kModeTooLong);
    accepts(f->Mode_A, "OLIVIA", f->Ind_A);
    refuses(f->Ind_A, "", msg::kCallsignEmpty);
    refuses(f->Ind_A, "VP2E/F5ABC/QR", msg::kCallsignTooLong);
    EXPECT_EQ(f->Ind_A->text(), "VP2E/F5ABC/QR");
    EXPECT_FALSE(f->Prenom_A->isEnabled());
    accepts(f->Ind_A, "VP2E/F5ABC/P", f->Prenom_A);
    refuses(f->Prenom_A, QString(16, 'A'), msg::kFirstNameTooLong);
    accepts(f->Prenom_A, "", f->Date_A);
    refuses(f->Date_A, "", msg::kDateEmpty);
    refuses(f->Date_A, "01-01-08", msg::kDateFormat);
    accepts(f->Date_A, "31/02/08", f->Heure_A);
    refuses(f->Heure_A, "", msg::kTimeEmpty);
    refuses(f->Heure_A, "12H30", msg::kTimeFormat);
    accepts(f->Heure_A, "12:30", f->RST_A);
    for (QLineEdit* report : {f->RST_A, f->RSTE_A}) {
        refuses(report, "", msg::kReportEmpty);
        refuses(report, "5999", msg::kReportTooLong);
        refuses(report, "699", msg::kReportFirstDigit);
        refuses(report, " 59", msg::kReportFirstDigit);
        accepts(report, "0NN", report == f->RST_A ? f->RSTE_A : static_cast<QWidget*>(f->QSL_A));
    }
}

TEST_F(EntryFormTest, BandAndModePositionsAreStoredAsTheOperatorChangesThem) {
    start();
    f->Bande_A->setFocus();
    QTest::keyClick(f->Bande_A, Qt::Key_Down);
    QTest::keyClick(f->Bande_A, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(stored("bande Utilisee"), "2");
    retype(f->Mode_A, "DIG");
    QApplication::processEvents();
    EXPECT_EQ(stored("Mode Utilise"), "2");
    retype(f->Mode_A, "PSK");
    QApplication::processEvents();
    EXPECT_EQ(stored("Mode Utilise"), "-1");
    // A refused Enter stores nothing.
    retype(f->Mode_A, "");
    QApplication::processEvents();
    t.settings->values.erase("Setup F6XYZ/Mode Utilise");
    enter(f->Mode_A);
    EXPECT_FALSE(t.settings->has("Setup F6XYZ", "Mode Utilise"));
    // Efface_A brings back the stored positions.
    QTest::mouseClick(f->Efface_A, Qt::LeftButton);
    EXPECT_EQ(f->Bande_A->currentText(), "7.0 Mhz");
    EXPECT_EQ(f->Mode_A->currentText(), "SSB");
}

TEST_F(EntryFormTest, NewPrefixComparesOverTheMatchedPrefix) {
    writeLog({record("F5ABC", "01/01/08", "10:00")});
    start();
    typeAndEnter(f->Ind_A, "tm1q");
    EXPECT_EQ(messages(), QStringList{m(msg::kNewPrefix) + "TM" + m(msg::kNewPrefixEntity) +
                                      "France" + QString(27, ' ')});
    EXPECT_EQ(f->Prefixe_A->text(), "F");
    QTest::mouseClick(f->Efface_A, Qt::LeftButton);
    messages().clear();
    typeAndEnter(f->Ind_A, "f8zz");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(EntryFormTest, AMaritimeMobileIsSaidOnceAndStoredWithoutAnEntity) {
    start();
    typeAndEnter(f->Ind_A, "f5abc/mm");
    EXPECT_EQ(messages(), QStringList{m(dxcc::lookup_messages::kMaritimeMobile)});
    EXPECT_TRUE(f->Prefixe_A->text().isEmpty());
    EXPECT_TRUE(f->Pays_A->text().trimmed().isEmpty());
    enter(f->Prenom_A);
    commitWithReports59();
    ASSERT_EQ(logLines().size(), 1);
    const std::string line = logLines()[0].toStdString();
    EXPECT_EQ(dxcc::recordField(line, dxcc::Field::Callsign).substr(0, 8), "F5ABC/MM");
    EXPECT_EQ(dxcc::recordField(line, dxcc::Field::DxccPrefix),
              std::string(dxcc::kDxccPrefixWidth, ' '));
    EXPECT_EQ(dxcc::recordField(line, dxcc::Field::EntityName).find_first_not_of(' '),
              std::string_view::npos);
    // Said once for the contact: the commit's own question follows, nothing else.
    EXPECT_EQ(messages().count(m(dxcc::lookup_messages::kMaritimeMobile)), 1);
    // A plain callsign afterwards says nothing of it.
    messages().clear();
    QTest::keyClicks(f->Ind_A, "g4xyz/am");
    QTest::mouseClick(f->Efface_A, Qt::LeftButton);
    typeAndEnter(f->Ind_A, "g4xyz");
    EXPECT_EQ(messages().count(m(dxcc::lookup_messages::kMaritimeMobile)), 0);
}

TEST_F(EntryFormTest, AnUnreadablePrefixFileIsReportedOnce) {
    QFile::remove(t.path("Prefixe_DXCC.txt"));
    start();
    for (const char* call : {"f5abc", "g4xyz"}) {
        retype(f->Ind_A, call);
        enter(f->Ind_A);
        QTest::mouseClick(f->Efface_A, Qt::LeftButton);
    }
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains("Prefixe_DXCC.txt"));
}

TEST_F(EntryFormTest, ListClicksAndKeyboardMovesShowTheContact) {
    writeLog({record("G4AAA", "01/01/08", "10:00"), record("G4BBB", "01/03/08", "11:00", '*')});
    start();
    clickRow(0);
    EXPECT_EQ(f->Ind_A->text(), "G4AAA");
    EXPECT_EQ(f->Prenom_A->text(), "PAUL");
    EXPECT_EQ(f->Pays_A->text(), "England");
    EXPECT_FALSE(f->Prenom_A->isEnabled());
    QTest::keyClick(w->Liste_DXCC, Qt::Key_Down);
    EXPECT_EQ(f->Ind_A->text(), "G4BBB");
    EXPECT_EQ(f->Heure_A->text(), "11:00");
    EXPECT_TRUE(f->QSL_A->isChecked());
    EXPECT_TRUE(f->Annule_Saisie->isEnabled());
}

TEST_F(EntryFormTest, PastedLettersBecomeCapitalsLikeTypedOnes) {
    start();
    QApplication::clipboard()->setText("f5abc/p");
    QTest::keyClick(f->Ind_A, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f->Ind_A->text(), "F5ABC/P");
    enter(f->Ind_A);
    QApplication::clipboard()->setText("jérôme");
    QTest::keyClick(f->Prenom_A, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f->Prenom_A->text(), "JéRôME");  // accented letters pass unchanged
}

TEST_F(EntryFormTest, FirstInstallationAnswersEveryKeyInTheCallsignField) {
    t.settings->values.clear();
    // The Station window opens modal at first installation; the operator closes it.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    start();
    messages().clear();
    typeAndEnter(f->Ind_A, "f5");
    EXPECT_EQ(messages(), QStringList(3, m(msg::kFirstInstallation)));
    EXPECT_FALSE(f->Prenom_A->isEnabled());
}

// A text copied from a web page ends in a line break: it must not split the
// contact's line in the log, nor the first-name file's.
TEST_F(EntryFormTest, PastedLineBreaksAndTabsNeverReachTheFiles) {
    start();
    QApplication::clipboard()->setText("f5abc\r\n");
    QTest::keyClick(f->Ind_A, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f->Ind_A->text(), "F5ABC");
    enter(f->Ind_A);
    QApplication::clipboard()->setText("jean\t\r\n");
    QTest::keyClick(f->Prenom_A, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f->Prenom_A->text(), "JEAN");
    enter(f->Prenom_A);
    commitWithReports59();
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_EQ(logLines()[0].size(), 107);
    EXPECT_EQ(read("Liste_Prenom.txt"), "F5ABC           JEAN\r\n");
}

// The rule upper-cases what is typed, where it is typed; the rest of the text
// stays, so a band label edited by hand is still a band label.
TEST_F(EntryFormTest, TheUppercaseRuleTouchesOnlyTheTypedCharacters) {
    t.settings->set("Setup F6XYZ", "bande Utilisee", "4");  // "14 Mhz "
    start();
    QLineEdit* band = f->Bande_A->lineEdit();
    band->setCursorPosition(2);
    QTest::keyClick(band, Qt::Key_Backspace);
    QTest::keyClicks(band, "8");
    EXPECT_EQ(band->text(), "18 Mhz ");
    enter(f->Bande_A);
    EXPECT_EQ(stored("bande Utilisee"), "5");

    retype(f->Mode_A, "cw");  // typed in small letters: still the list item
    enter(f->Mode_A);
    EXPECT_EQ(stored("Mode Utilise"), "1");
    typeAndEnter(f->Ind_A, "f5abc");
    f->Pays_A->setCursorPosition(6);
    QTest::keyClicks(f->Pays_A, " x");
    EXPECT_TRUE(f->Pays_A->text().startsWith("France X"));
    retype(band, "21 mhz");  // every letter typed: capitals, yet stored as the item
    EXPECT_EQ(band->text(), "21 MHZ");
    enter(f->Prenom_A);
    commitWithReports59();
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_EQ(logLines()[0].mid(44, 11), "CW  21 Mhz ");
}

// Lines another program wrote (LF ends, short lines) are edited and deleted in
// place; the list is told which rows changed instead of being reset.
TEST_F(EntryFormTest, EditAndDeleteFindLinesThisProgramDidNotWrite) {
    const QString first = record("G4AAA", "01/01/08", "10:00");
    const QString longer = record("G4CCC", "01/02/08", "10:00") + " EXTRA";
    write(log, (first + "\nG4BBB short\n" + longer + "\n").toLatin1());
    start();
    QSignalSpy resets(w->Liste_DXCC->model(), &QAbstractItemModel::modelReset);
    QSignalSpy removed(w->Liste_DXCC->model(), &QAbstractItemModel::rowsRemoved);

    clickRow(1);
    t.dialogs->answers = {true};
    QTest::mouseClick(f->Annule_Saisie, Qt::LeftButton);
    EXPECT_EQ(logLines(), (QStringList{first, longer}));
    EXPECT_EQ(removed.size(), 1);

    doubleClickRow(0);
    retype(f->Heure_A, "11:00");
    commit(true);
    QString changed = first;
    changed.replace(38, 5, "11:00");
    EXPECT_EQ(logLines(), (QStringList{changed, longer}));
    EXPECT_EQ(resets.size(), 0);
}

// Once the log changes, a line picked before names nothing: it is never
// reopened or written back.
TEST_F(EntryFormTest, ADeletedContactNeverComesBack) {
    const QString a = record("G4AAA", "01/01/08", "10:00");
    const QString b = record("G4BBB", "01/03/08", "10:00");
    writeLog({a, b});
    start();
    doubleClickRow(1);
    t.dialogs->answers = {true};
    QTest::mouseClick(f->Annule_Saisie, Qt::LeftButton);  // the opened contact
    EXPECT_EQ(logLines(), QStringList{a});
    const QRect below(0, w->Liste_DXCC->viewport()->height() - 3, 10, 2);
    QTest::mouseDClick(w->Liste_DXCC->viewport(), Qt::LeftButton, {}, below.center());
    EXPECT_EQ(f->Ind_A->text(), "G4AAA");  // the line now selected, not the deleted one
    commit(true);
    EXPECT_EQ(logLines(), QStringList{a});

    clickRow(0);
    t.dialogs->answers = {true};
    w->Mnu_RAZ->trigger();
    messages().clear();
    QTest::mouseDClick(w->Liste_DXCC->viewport(), Qt::LeftButton, {}, below.center());
    EXPECT_EQ(messages(), QStringList{m(msg::kClickToEdit)});
    EXPECT_FALSE(f->Annule_Saisie->isEnabled());
    EXPECT_TRUE(logLines().isEmpty());
}

// Every failed command says whether the contact is in the log.
TEST_F(EntryFormTest, FailuresSayWhetherTheContactWasStored) {
    QDir(t.dir.path()).mkdir("Temporaire.txt");  // the first-name file cannot be rewritten
    start();
    typeAndEnter(f->Ind_A, "f5abc");
    typeAndEnter(f->Prenom_A, "jean");
    walkReportsAndQsl("59", "59", false);
    messages().clear();
    commit(true);
    EXPECT_EQ(logLines().size(), 1);
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[1].startsWith(m(dxcc::log_messages::kStoredButFirstNameLost)));

    QDir(t.dir.path()).mkdir("Temporaire6.txt");  // an insertion cannot be written
    QTest::mouseClick(f->Ajout_QSO, Qt::LeftButton);
    typeAndEnter(f->Ind_A, "g4abc");
    enter(f->Prenom_A);
    typeAndEnter(f->Date_A, "01/02/08");
    typeAndEnter(f->Heure_A, "10:00");
    walkReportsAndQsl("59", "59", false);
    messages().clear();
    commit(true);
    EXPECT_EQ(logLines().size(), 1);
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[1].endsWith(m(dxcc::log_messages::kLogUnchanged)));
    EXPECT_EQ(f->Ind_A->text(), "G4ABC");  // nothing typed is lost
    EXPECT_FALSE(read("Liste_Prenom.txt").contains("G4ABC"));
}

// Only a click or the operator's own keyboard move shows a line; the row Qt
// makes current when the list takes the focus does not.
TEST_F(EntryFormTest, TabbingIntoTheListKeepsWhatIsTyped) {
    write("F1AAA_DXCC.log", (record("G4AAA", "01/01/08", "10:00") + "\r\n").toLatin1());
    start();
    w->switchStation("F1AAA");
    QTest::keyClicks(f->Ind_A, "f5abc");
    QApplication::setActiveWindow(w.get());
    w->Liste_DXCC->setCurrentIndex({});
    w->Liste_DXCC->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(f->Ind_A->text(), "F5ABC");
    QTest::keyClick(w->Liste_DXCC, Qt::Key_Down);
    QTest::keyClick(w->Liste_DXCC, Qt::Key_Up);
    EXPECT_EQ(f->Ind_A->text(), "G4AAA");
    QTest::keyClick(w->Liste_DXCC, Qt::Key_Return);  // the keyboard's double-click
    EXPECT_EQ(f->Mode_Aff->text(), "Modification QSO");
}

// Lines the import wrote on bands and modes the boxes do not list: looking at
// them, by click or arrow key, stores nothing, and the next contact is logged
// on the operator's own band and mode.
TEST_F(EntryFormTest, LookingAtALineOffTheBandListKeepsTheOperatorsBand) {
    t.settings->set("Setup F6XYZ", "bande Utilisee", "4");
    t.settings->set("Setup F6XYZ", "Mode Utilise", "1");
    auto offList = [](const char* call, const char* band, const char* mode) {
        dxcc::QsoFields q{call, "",   "01/01/08", "10:00",   mode, band,
                          "59", "59", "G",        "England", ' '};
        return QString::fromLatin1(dxcc::buildRecord(q));
    };
    writeLog({offList("G4AAA", "60M", "FT8"), offList("G4BBB", "630M", "JT9"),
              record("G4CCC", "01/01/08", "11:00")});
    start();
    const auto before = t.settings->values;
    clickRow(0);
    EXPECT_EQ(f->Bande_A->currentText(), "60M");
    EXPECT_EQ(f->Mode_A->currentText(), "FT8");
    QTest::keyClick(w->Liste_DXCC, Qt::Key_Down);
    EXPECT_EQ(f->Bande_A->currentText(), "630M");
    QTest::keyClick(w->Liste_DXCC, Qt::Key_Down);
    EXPECT_EQ(f->Bande_A->currentText(), "7.0 Mhz");
    QTest::keyClick(w->Liste_DXCC, Qt::Key_Up);
    EXPECT_EQ(f->Bande_A->currentText(), "630M");
    // Passing through the boxes on the way is looking too.
    f->Bande_A->setFocus();
    enter(f->Bande_A);
    QTest::keyClick(f->Mode_A, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(t.settings->values, before);

    retype(f->Ind_A, "f5abc");
    enter(f->Ind_A);
    EXPECT_EQ(f->Bande_A->currentText(), "14 Mhz ");
    EXPECT_EQ(f->Mode_A->currentText(), "CW");
    enter(f->Prenom_A);
    walkReportsAndQsl("59", "59", false);
    messages().clear();
    t.dialogs->answers.push_back(true);
    enter(f->Valide_A);
    EXPECT_EQ(messages(), QStringList{m(msg::kConfirmCommit)});
    ASSERT_EQ(logLines().size(), 4);
    EXPECT_EQ(logLines()[3].mid(44, 12), "CW  14 Mhz  ");
    EXPECT_EQ(stored("bande Utilisee"), "4");
}

// A field refused by the commit's re-check is the one field in the input colour.
TEST_F(EntryFormTest, TheRecheckPaintsOnlyTheRefusedField) {
    writeLog({record("G4AAA", "01/01/08", "10:00")});
    start();
    doubleClickRow(0);
    EXPECT_EQ(ui::backgroundOf(f->Ind_A), ui::kInputColour);
    f->RST_A->clear();
    QTest::mouseClick(f->Valide_A, Qt::LeftButton);
    EXPECT_EQ(messages().last(), m(msg::kReportEmpty));
    EXPECT_EQ(ui::backgroundOf(f->RST_A), ui::kInputColour);
    EXPECT_EQ(ui::backgroundOf(f->Ind_A), ui::kRestColour);
}

}  // namespace
