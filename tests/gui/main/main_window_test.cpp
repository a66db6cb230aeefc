#include "windows/main/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/entry/entry_messages.h"
#include "platform/qt_platform.h"
#include "platform/web_view.h"
#include "running_log.h"
#include "test_doubles.h"
#include "windows/station/recovery_window.h"
#include "windows/station/station_window.h"

namespace {

using testing_support::TestContext;

constexpr const char* kGlobal = "Setup ";
const QString kFirstInstallMessage =
    "\r\nPremiere installation, vous devez entrer votre Indicatif\r\n\r\n";

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

using testing_support::whenModalShown;

// Typed with the keyboard alone, into the real settings store.
TEST(StartUp, FirstInstallationAsksForTheStationAndCreatesItsLog) {
    QTemporaryDir settingsDir;
    const QString ini = settingsDir.path() + "/DXCC.ini";
    TestContext t(std::make_shared<ui::QtSettingsStore>(ini));
    testing_support::ModalExpectation station;
    t.dialogs->onMessage = [&](const QString& text) {
        if (text == kFirstInstallMessage)
            station = whenModalShown([](QWidget* w) {
                EXPECT_EQ(w->objectName(), "Station");
                EXPECT_EQ(w->windowTitle(), "Selection Indicaif");
                auto* field = w->findChild<QLineEdit*>("New_Indicatif");
                QTest::keyClicks(field, "fxxxx/p");
                QTest::keyClick(field, Qt::Key_Return);  // on to "Validez"
                QTest::keyClick(w->findChild<QPushButton*>("Validation"), Qt::Key_Return);
            });
    };
    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));

    ASSERT_FALSE(t.dialogs->messages.isEmpty());
    EXPECT_EQ(t.dialogs->messages.first(), kFirstInstallMessage);
    EXPECT_EQ(w.windowTitle(), "  VEL_DXCC    Revision  1.0.4");
    EXPECT_EQ(w.I_Station->text(), "FXXXX/P");
    EXPECT_EQ(readAll(t.path("FXXXX_P_DXCC.log")), QByteArray());
    QSettings stored(ini, QSettings::IniFormat);
    EXPECT_EQ(stored.value("Setup /Indicatif Station").toString(), "FXXXX_P");
    EXPECT_EQ(stored.value("Setup FXXXX_P/bande Utilisee").toString(), "0");
    EXPECT_EQ(stored.value("Setup FXXXX_P/Revision").toString(), " 1.0.4");
    EXPECT_EQ(stored.value("Setup /Chemin Repertoire").toString(), t.ctx.dataDir);
    EXPECT_EQ(w.entryForm()->Bande_A->currentText(), "1.8 Mhz");
    EXPECT_EQ(w.entryForm()->Mode_A->currentText(), "SSB");
    EXPECT_TRUE(w.Mnu_Date_Auto->isChecked());
    EXPECT_FALSE(w.Mnu_Date_Man->isChecked());
    EXPECT_EQ(w.Liste_DXCC->model()->rowCount(), 0);
    EXPECT_EQ(w.entryForm()->Mode_Aff->text(), "Saisie QSO");
}

TEST(StartUp, ClosingTheStationWindowLeavesNoStationAndAnEmptyList) {
    TestContext t;
    testing_support::ModalExpectation station;
    t.dialogs->onMessage = [&](const QString& text) {
        if (text == kFirstInstallMessage) station = whenModalShown([](QWidget* w) { w->close(); });
    };
    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));
    EXPECT_EQ(w.I_Station->text(), "FXXXX");
    EXPECT_FALSE(t.settings->has(kGlobal, "Indicatif Station"));
    EXPECT_TRUE(t.quitCodes.isEmpty());
}

TEST(StartUp, LoadsTheLogAndSelectsItsStoredBandModeAndDateMode) {
    TestContext t;
    t.settings->set(kGlobal, "Indicatif Station", "F6XYZ");
    t.settings->set("Setup F6XYZ", "bande Utilisee", "4");
    t.settings->set("Setup F6XYZ", "Mode Utilise", "1");
    t.settings->set("Setup F6XYZ", "Date Auto", "Non");
    writeFile(t.path("F6XYZ_DXCC.log"), "F5ABC\r\nF5DEF\nF5GHI\r\n");
    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));
    EXPECT_TRUE(t.dialogs->messages.isEmpty());
    EXPECT_EQ(w.I_Station->text(), "F6XYZ");
    ASSERT_EQ(w.Liste_DXCC->model()->rowCount(), 3);
    EXPECT_EQ(w.Liste_DXCC->model()->index(2, 0).data().toString().left(13), "     3  F5GHI");
    EXPECT_EQ(w.Liste_DXCC->currentIndex().row(), 2);
    EXPECT_EQ(w.entryForm()->Bande_A->currentText(), "14 Mhz ");
    EXPECT_EQ(w.entryForm()->Mode_A->currentText(), "CW");
    EXPECT_FALSE(w.Mnu_Date_Auto->isChecked());
    EXPECT_TRUE(w.Mnu_Date_Man->isChecked());
}

TEST(StartUp, StoredPositionsOutsideTheListSelectTheFirstItem) {
    TestContext t;
    t.settings->set(kGlobal, "Indicatif Station", "F6XYZ");
    t.settings->set("Setup F6XYZ", "bande Utilisee", "12");
    t.settings->set("Setup F6XYZ", "Mode Utilise", "-1");
    writeFile(t.path("F6XYZ_DXCC.log"), "");
    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));
    EXPECT_EQ(w.entryForm()->Bande_A->currentIndex(), 0);
    EXPECT_EQ(w.entryForm()->Mode_A->currentIndex(), -1);
}

TEST(Recovery, MissingLogOpensTheRecoveryWindowAndInitialiserForgetsTheStation) {
    TestContext t;
    t.settings->set(kGlobal, "Indicatif Station", "F6XYZ");
    t.settings->set("Setup F6XYZ", "Locator", "JN18du");
    auto recovery = whenModalShown([](QWidget* w) {
        EXPECT_EQ(w->objectName(), "Gestion_Erreur");
        EXPECT_EQ(w->windowTitle(), "Gestiom erreur");
        EXPECT_EQ(w->findChild<QLabel*>("Ind_Station1")->text(), "F6XYZ");
        EXPECT_EQ(w->findChild<QLabel*>("Ind_Station2")->text(), "F6XYZ");
        EXPECT_EQ(w->findChild<QLabel*>("Err_Departement")->text(), "_DXCC.log");
        QTest::mouseClick(w->findChild<QPushButton*>("Initialisation"), Qt::LeftButton);
        // "Initialiser" hands the focus to "Quitter": Enter presses it.
        QTest::keyClick(w->findChild<QPushButton*>("Quitter"), Qt::Key_Return);
    });
    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));
    EXPECT_EQ(t.quitCodes, QList<int>{0});
    EXPECT_EQ(t.settings->get(kGlobal, "Indicatif Station", ""), "FXXXX");
    // The station given up takes its locator along.
    EXPECT_EQ(t.settings->get("Setup F6XYZ", "Locator", "none"), "");
    EXPECT_FALSE(QFile::exists(t.path("F6XYZ_DXCC.log")));

    // The next start is a first installation again.
    TestContext again;
    again.settings->values = t.settings->values;
    testing_support::ModalExpectation station;
    again.dialogs->onMessage = [&](const QString& text) {
        if (text == kFirstInstallMessage) station = whenModalShown([](QWidget* w) { w->close(); });
    };
    ui::MainWindow w2(again.ctx, again.session);
    w2.startUp(again.session.startUp({}));
    EXPECT_EQ(again.dialogs->messages.value(0), kFirstInstallMessage);
}

TEST(Recovery, ClosingTheWindowByItsFrameEndsTheProgram) {
    TestContext t;
    t.settings->set(kGlobal, "Indicatif Station", "F6XYZ");
    auto recovery = whenModalShown([](QWidget* w) { w->close(); });
    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));
    EXPECT_EQ(t.quitCodes, QList<int>{0});
    EXPECT_EQ(t.settings->get(kGlobal, "Indicatif Station", ""), "F6XYZ");
}

TEST(LoadErrors, AnyOtherFailureShowsItsNumberAndEnds) {
    TestContext t;
    t.settings->set(kGlobal, "Indicatif Station", "F6XYZ");
    QDir(t.dir.path()).mkdir("F6XYZ_DXCC.log");  // a directory cannot be read as a log
    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));
    ASSERT_EQ(t.dialogs->messages.size(), 1);
    EXPECT_TRUE(t.dialogs->messages[0].startsWith("Erreur N°  75\r\n"));
    EXPECT_EQ(t.quitCodes, QList<int>{75});
}

class RunningMainWindow : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writeFile(t.path("F6XYZ_DXCC.log"), "F5ABC\r\n");
        start();
    }
};

TEST_F(RunningMainWindow, StationChangeFromTheMenu) {
    w->Mnu_New_Indicatif->trigger();
    auto* station = w->findChild<ui::StationWindow*>("Station");
    ASSERT_NE(station, nullptr);
    QTest::keyClicks(station->New_Indicatif, "fxxxx/p");
    EXPECT_EQ(station->New_Indicatif->text(), "FXXXX_P");
    QApplication::setActiveWindow(station);
    ASSERT_TRUE(QTest::qWaitForWindowActive(station));
    QTest::keyClick(station->New_Indicatif, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), station->Validation);
    QTest::keyClick(station->Validation, Qt::Key_Return);
    EXPECT_EQ(w->I_Station->text(), "FXXXX/P");
    EXPECT_EQ(t.settings->get(kGlobal, "Indicatif Station", ""), "FXXXX_P");
    EXPECT_TRUE(QFile::exists(t.path("FXXXX_P_DXCC.log")));
    EXPECT_EQ(w->Liste_DXCC->model()->rowCount(), 0);
    EXPECT_EQ(w->logbook().logPath().filename().string(), "FXXXX_P_DXCC.log");
}

TEST_F(RunningMainWindow, StationRefusalsKeepTheStation) {
    w->Mnu_New_Indicatif->trigger();
    auto* station = w->findChild<ui::StationWindow*>("Station");
    ASSERT_NE(station, nullptr);
    QTest::mouseClick(station->Validation, Qt::LeftButton);
    QTest::keyClicks(station->New_Indicatif, "ABCDEFGHIJKLM");
    QTest::mouseClick(station->Validation, Qt::LeftButton);
    station->New_Indicatif->setText("F5 ABC");
    QTest::mouseClick(station->Validation, Qt::LeftButton);
    EXPECT_EQ(
        t.dialogs->messages,
        (QStringList{"Vous devez entrer un indicatif", "12 caracteres maximum pour l'indicatif",
                     "L'indicatif ne doit comporter que des lettres des chiffres ou le signe "
                     "'_' "}));
    EXPECT_TRUE(station->New_Indicatif->text().isEmpty());
    station->close();
    EXPECT_EQ(w->I_Station->text(), "F6XYZ");
    EXPECT_EQ(w->logbook().stationCallsign(), "F6XYZ");
}

TEST_F(RunningMainWindow, ChoosingAnExistingStationKeepsItsLogAndSettings) {
    writeFile(t.path("F1AAA_DXCC.log"), "ONE\r\nTWO\r\n");
    t.settings->set("Setup F1AAA", "bande Utilisee", "2");
    w->switchStation("F1AAA");
    EXPECT_EQ(w->Liste_DXCC->model()->rowCount(), 2);
    EXPECT_EQ(t.settings->get("Setup F1AAA", "bande Utilisee", ""), "2");
    EXPECT_EQ(w->entryForm()->Bande_A->currentText(), "7.0 Mhz");
}

TEST_F(RunningMainWindow, DateModeItemsTickAndStorePerStation) {
    w->entryForm()->Date_A->setText("01/02/08");
    w->Mnu_Date_Man->trigger();
    EXPECT_FALSE(w->Mnu_Date_Auto->isChecked());
    EXPECT_TRUE(w->Mnu_Date_Man->isChecked());
    EXPECT_EQ(w->entryForm()->Date_A->text(), "01/02/08");
    EXPECT_EQ(t.settings->get("Setup F6XYZ", "Date Auto", ""), "Non");
    w->Mnu_Date_Auto->trigger();
    EXPECT_TRUE(w->Mnu_Date_Auto->isChecked());
    EXPECT_FALSE(w->Mnu_Date_Man->isChecked());
    EXPECT_TRUE(w->entryForm()->Date_A->text().isEmpty());
    EXPECT_EQ(t.settings->get("Setup F6XYZ", "Date Auto", ""), "Oui");
}

TEST_F(RunningMainWindow, ClockShowsUtcAndLocalTimeEachSecond) {
    EXPECT_EQ(w->Label33->text(), "01/01/09");
    EXPECT_EQ(w->Label37->text(), "00:05 Utc");
    t.clock->utc = QDateTime(QDate(2010, 12, 31), QTime(23, 59, 30), Qt::UTC);
    t.clock->local = QDateTime(QDate(2011, 1, 1), QTime(0, 59, 30), Qt::LocalTime);
    // The next tick comes within a second; a loaded machine may take longer.
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->Label37->text() == "23:59 Utc"; }, 10000));
    EXPECT_EQ(w->Label33->text(), "31/12/10");
    EXPECT_EQ(w->Label37->text(), "23:59 Utc");
    EXPECT_EQ(w->Label34->text(), "00:59 Loc");
}

TEST_F(RunningMainWindow, ResetAsksFirstThenEmptiesTheLog) {
    t.dialogs->answers = {false};
    w->Mnu_RAZ->trigger();
    EXPECT_EQ(t.dialogs->messages,
              QStringList{"!!! ATTENTION !!! le log F6XYZ va etre effacé , Continuer ?"});
    EXPECT_EQ(t.dialogs->safeDefaultQuestions, t.dialogs->messages);
    EXPECT_EQ(readAll(t.path("F6XYZ_DXCC.log")), "F5ABC\r\n");
    t.dialogs->answers = {true};
    w->Mnu_RAZ->trigger();
    EXPECT_EQ(readAll(t.path("F6XYZ_DXCC.log")), "");
    EXPECT_EQ(w->Liste_DXCC->model()->rowCount(), 0);
}

// The form never keeps showing a contact that left the log, nor one of the
// previous station's log.
TEST_F(RunningMainWindow, ResetAndStationChangeEmptyTheContactShown) {
    ui::EntryForm* form = w->entryForm();
    writeFile(t.path("F1AAA_DXCC.log"), "ONE\r\n");
    struct Step {
        const char* name;
        std::function<void()> change;
    };
    const Step steps[] = {
        {"station change", [&] { w->switchStation("F1AAA"); }},
        {"back", [&] { w->switchStation("F6XYZ"); }},
        {"reset",
         [&] {
             t.dialogs->answers = {true};
             w->Mnu_RAZ->trigger();
         }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ASSERT_GT(w->Liste_DXCC->model()->rowCount(), 0);
        form->selectRow(0);
        ASSERT_FALSE(form->Ind_A->text().isEmpty());
        step.change();
        EXPECT_TRUE(form->Ind_A->text().isEmpty());
        EXPECT_TRUE(form->Prenom_A->text().isEmpty());
        EXPECT_EQ(form->Mode_Aff->text(), ui::fromView(dxcc::entry_messages::kModeEntry));
    }
    EXPECT_EQ(w->Liste_DXCC->model()->rowCount(), 0);
}

TEST_F(RunningMainWindow, AboutAndHistoryMessages) {
    w->Mnu_A_Propos->trigger();
    w->Mnu_Historique->trigger();
    ASSERT_EQ(t.dialogs->messages.size(), 2);
    EXPECT_TRUE(t.dialogs->messages[0].startsWith("VEL_DXCC  Révision  1.0.4\r\n\r\n    "));
    const QStringList history = t.dialogs->messages[1].split("\r\n");
    ASSERT_EQ(history.size(), 6);  // five lines, each ended by CR LF
    EXPECT_EQ(history[0], "V1.0.0   le 11/03/2008 creation");
    EXPECT_EQ(history[4],
              "V1.0.4   le 17/06/2008 Modification Import ADIF pour log a lignes multiples");
}

TEST_F(RunningMainWindow, TheKeyboardHelpNamesEveryLiveWindow) {
    EXPECT_EQ(w->Mnu_Aide_Clavier->shortcut(), QKeySequence(Qt::Key_F1));
    w->Mnu_Aide_Clavier->trigger();
    ASSERT_EQ(t.dialogs->messages.size(), 1);
    const QString help = t.dialogs->messages[0];
    for (const char* tool : {"Tableau DXCC", "Progression DXCC", "Carte du monde", "Cluster DX",
                             "Réglages de la radio (Hamlib)", "Ctrl+F", "Ctrl+I"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(tool))) << tool;
}

TEST_F(RunningMainWindow, MenuWindowsOpenOnceAndShowAgain) {
    w->Mnu_DXCC_Mixed->trigger();
    w->Mnu_DXCC_Mixed->trigger();
    EXPECT_EQ(w->findChildren<QWidget*>("DXCC_Mixed").size(), 1);
    w->Mnu_Reglement->trigger();
    QWidget* rules = w->findChild<QWidget*>("Reglement");
    ASSERT_NE(rules, nullptr);
    EXPECT_EQ(rules->windowTitle(), "Reglement");
    EXPECT_NE(rules->findChild<QWidget*>("WebBrowser1"), nullptr);
    EXPECT_EQ(rules->property("url").toString(), "https://www.arrl.org/rules");
    w->openArrlList();
    QWidget* entities = w->findChild<QWidget*>("Liste_ARRL");
    ASSERT_NE(entities, nullptr);
    EXPECT_EQ(entities->windowTitle(), "Liste des contrées DXCC de l'ARRL");
    EXPECT_EQ(entities->property("url").toString(),
              "https://www.arrl.org/awards/dxcc/dxcclist.txt");
    // Without the browser's module (not beside the test program), the pages
    // go to the system browser.
    EXPECT_EQ(t.openedUrls, (QStringList{"https://www.arrl.org/rules",
                                         "https://www.arrl.org/awards/dxcc/dxcclist.txt"}));
}

#ifdef VEL_WEB_MODULE_BUILT
TEST_F(RunningMainWindow, WebPagesOpenInTheBrowserModuleWhenItIsThere) {
    qputenv(ui::kWebModuleDirVariable, VEL_WEB_MODULE_BUILT);
    w->Mnu_Reglement->trigger();
    QWidget* rules = w->findChild<QWidget*>("Reglement");
    ASSERT_NE(rules, nullptr);
    QWidget* view = rules->findChild<QWidget*>("WebBrowser1");
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(view->metaObject()->className(), "QWebEngineView");
    EXPECT_TRUE(t.openedUrls.isEmpty());
}

TEST_F(RunningMainWindow, AnUnreachablePageShowsOurFrenchNoteNotTheBrowsersErrorPage) {
    qputenv(ui::kWebModuleDirVariable, VEL_WEB_MODULE_BUILT);
    // Nothing listens on the discard port here: the load fails at once.
    QWidget* page =
        ui::createWebWindow("Reglement", "Reglement", "http://127.0.0.1:9/rules", nullptr, w.get());
    QWidget* view = page->findChild<QWidget*>("WebBrowser1");
    ASSERT_NE(view, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(view->property("unreachable").toBool(), 20000);
    delete page;
}
#endif

}  // namespace
