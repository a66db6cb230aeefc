#include "windows/awards/award_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>

#include "core/record/qso_record.h"
#include "platform/text.h"
#include "sample_award_log.h"
#include "test_doubles.h"
#include "windows/main/main_window.h"

namespace {

using testing_support::TestContext;

using testing_support::kCwWorked;
using testing_support::kFt8Confirmed;
using testing_support::kSatelliteConfirmed;
using testing_support::kSsbConfirmed;
using testing_support::kSsbWorked;
const auto& listed = testing_support::listedEntity;

// What the splash window showed each time it appeared, and whether the busy
// pointer was up then.
class SplashWatcher : public QObject {
public:
    explicit SplashWatcher(QWidget* flash) : flash_(flash) { flash->installEventFilter(this); }
    bool visible() const { return flash_->isVisible(); }

    QStringList shown;
    QList<bool> busy;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            shown << flash_->findChild<QLabel*>("Label1")->text() + " / " +
                         flash_->findChild<QLabel*>("Label2")->text();
            busy << (QApplication::overrideCursor() != nullptr);
        }
        return false;
    }

private:
    QWidget* flash_;
};

class AwardWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.settings->set("Setup ", "Indicatif Station", "F6XYZ");
        write("Prefixe_DXCC.txt", "");
        write("Liste_Prenom.txt", "");
        write("F6XYZ_DXCC.log", testing_support::sampleAwardLog());
        w = std::make_unique<ui::MainWindow>(t.ctx, t.session);
        w->startUp(t.session.startUp({}));
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "Flash") splash = std::make_unique<SplashWatcher>(top);
        ASSERT_TRUE(splash);
    }
    // Closing a window deletes it once the event loop turns.
    static void close(QWidget* window) {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void write(const QString& name, const QByteArray& bytes) {
        QFile file(t.path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    ui::AwardWindow* open(QAction* item, const char* name) {
        item->trigger();
        QCoreApplication::processEvents();
        auto* window = w->findChild<ui::AwardWindow*>(name);
        EXPECT_TRUE(window && window->isVisible()) << name;
        return window;
    }
    static QStringList rows(const ui::AwardWindow* window) {
        QStringList lines;
        const QAbstractItemModel* model = window->Liste_Prefixes->model();
        for (int i = 0; i < model->rowCount(); ++i) lines << model->index(i, 0).data().toString();
        return lines;
    }
    static QStringList labels(const ui::AwardWindow* window) {
        return {window->Label1->text(), window->Label4->text()};
    }
    static void show(ui::AwardWindow* window, int basis = 1) {
        QTest::mouseClick(window->Q_Confirme->button(basis), Qt::LeftButton);
        QTest::mouseClick(window->Afficher, Qt::LeftButton);
    }
    // Moves a drop-down selector by `steps` items as the arrow keys do.
    static void choose(QComboBox* selector, int steps) {
        for (int i = 0; i < steps; ++i) QTest::keyClick(selector, Qt::Key_Down);
    }

    TestContext t;
    std::unique_ptr<ui::MainWindow> w;
    std::unique_ptr<SplashWatcher> splash;
};

TEST_F(AwardWindowTest, MixedCountsTheLogInMemoryInBothBases) {
    ui::AwardWindow* mixed = open(w->Mnu_DXCC_Mixed, "DXCC_Mixed");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->windowTitle(), "Diplôme DXCC Mixed");
    EXPECT_EQ(mixed->Label2->text(), "Diplôme DXCC Mixed");
    EXPECT_EQ(mixed->Q_Confirme->objectName(), "Q_Confirme");
    EXPECT_EQ(mixed->Q_Confirme->checkedId(), 1);
    EXPECT_EQ(labels(mixed), (QStringList{" ", ""}));
    EXPECT_TRUE(rows(mixed).isEmpty());
    // The splash waits from the opening until the first evaluation ends.
    EXPECT_EQ(splash->shown, QStringList{"Lecture du log F6XYZ / diplôme DXCC Mixed"});
    EXPECT_TRUE(splash->visible());

    // What the main list holds is counted, not what the file now holds.
    write("F6XYZ_DXCC.log", "");
    show(mixed);
    EXPECT_FALSE(splash->visible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(rows(mixed), (QStringList{listed(1, kSatelliteConfirmed), listed(2, kSsbConfirmed),
                                        listed(3, kFt8Confirmed)}));
    EXPECT_EQ(labels(mixed),
              (QStringList{" 3 préfixes confirmés, vous ne pouvez pas encore obtenir le "
                           "diplôme DXCC Mixed",
                           "Il vous manque 97 préfixes confirmés"}));

    show(mixed, 2);
    EXPECT_EQ(rows(mixed), (QStringList{listed(1, kSatelliteConfirmed), listed(2, kCwWorked),
                                        listed(3, kFt8Confirmed), listed(4, kSsbWorked)}));
    EXPECT_EQ(labels(mixed), (QStringList{" 4 préfixes contactés,", ""}));

    // The menu item brings the open window forward without loading it again.
    w->Mnu_DXCC_Mixed->trigger();
    EXPECT_EQ(w->findChildren<ui::AwardWindow*>().size(), 1);
    EXPECT_EQ(mixed->Label1->text(), " 4 préfixes contactés,");
}

TEST_F(AwardWindowTest, ModeWindowCountsTheChosenModeClass) {
    ui::AwardWindow* mode = open(w->Mnu_DXCC_SSB, "DXCC_SSB");
    ASSERT_TRUE(mode && mode->Mode_E);
    EXPECT_EQ(mode->windowTitle(), "Diplôme DXCC Mode");
    EXPECT_EQ(mode->Label2->text(), "Diplôme DXCC Mode");
    EXPECT_EQ(mode->Mode_E->currentText(), "SSB");
    EXPECT_EQ(mode->Mode_E->count(), 3);
    EXPECT_TRUE(splash->shown.isEmpty());

    choose(mode->Mode_E, 2);
    show(mode);
    EXPECT_EQ(rows(mode), QStringList{listed(1, kFt8Confirmed)});
    EXPECT_EQ(labels(mode), (QStringList{" 1 préfixes confirmés, vous ne pouvez pas encore "
                                         "obtenir le diplôme DXCC RTTY",
                                         "Il vous manque 99 préfixes confirmés"}));

    QTest::keyClick(mode->Mode_E, Qt::Key_Up);
    show(mode, 2);
    EXPECT_EQ(rows(mode), QStringList{listed(1, kCwWorked)});
    EXPECT_EQ(labels(mode), (QStringList{" 1 préfixes contactés", ""}));
    // Shown during each evaluation, under the busy pointer, and closed after.
    EXPECT_EQ(splash->shown, (QStringList{"Lecture du log F6XYZ / diplôme DXCC Mode RTTY",
                                          "Lecture du log F6XYZ / diplôme DXCC Mode CW"}));
    EXPECT_EQ(splash->busy, (QList<bool>{true, true}));
    EXPECT_FALSE(splash->visible());
}

TEST_F(AwardWindowTest, BandWindowGradesEachBandWithItsTable) {
    ui::AwardWindow* band = open(w->Mnu_DXCC_Bande, "DXCC_Bande");
    ASSERT_TRUE(band && band->Bande_E);
    EXPECT_EQ(band->windowTitle(), "Diplôme DXCC par Bande");
    EXPECT_EQ(band->Label2->text(), "Diplôme DXCC Bande");
    EXPECT_EQ(band->Bande_E->count(), 11);
    EXPECT_EQ(band->Bande_E->currentText(), "7.0 Mhz");
    EXPECT_EQ(band->Mode_E, nullptr);

    choose(band->Bande_E, 2);
    show(band);
    EXPECT_EQ(rows(band), QStringList{listed(1, kSsbConfirmed)});
    EXPECT_EQ(labels(band), (QStringList{" 1 préfixes confirmés, vous ne pouvez pas encore "
                                         "obtenir le diplôme DXCC 14 Mhz ",
                                         "Il vous manque 99 préfixes confirmés"}));

    choose(band->Bande_E, 6);
    ASSERT_EQ(band->Bande_E->currentText(), "144 Mhz");
    show(band);
    EXPECT_EQ(rows(band), QStringList{listed(1, kSatelliteConfirmed)});
    EXPECT_EQ(labels(band),
              (QStringList{"Vous ne pouvez pas encore obtenir le diplôme DXCC 144 Mhz",
                           "Il vous manque  99 préfixes confirmés"}));
    EXPECT_EQ(splash->shown, (QStringList{"Lecture du log F6XYZ / diplôme DXCC bande 14 Mhz ",
                                          "Lecture du log F6XYZ / diplôme DXCC bande 144 Mhz"}));
}

TEST_F(AwardWindowTest, FiveBandWindowEvaluatesAsItOpens) {
    ui::AwardWindow* fiveBand = open(w->Mnu_DXCC_5_Bandes, "DXCC_5B");
    ASSERT_TRUE(fiveBand);
    EXPECT_EQ(fiveBand->windowTitle(), "Diplomes DXCC 5 Bandes");
    EXPECT_EQ(fiveBand->Label2->text(), "Diplôme DXCC 5 Bandes");
    EXPECT_EQ(fiveBand->Afficher, nullptr);
    EXPECT_EQ(fiveBand->Q_Confirme, nullptr);
    EXPECT_EQ(rows(fiveBand), (QStringList{"", listed(1, kFt8Confirmed), "",
                                           listed(1, kSsbConfirmed), "", "", ""}));
    EXPECT_EQ(labels(fiveBand),
              (QStringList{"Vous ne pouvez pas encore obtenir le diplôme DXCC 5 bandes",
                           "Il manque  100 QSL sur 3.5 Mhz  99 QSL sur 7 Mhz  99 QSL sur 14 Mhz  "
                           "100 QSL sur 21 Mhz  100 QSL sur 28 Mhz"}));
    EXPECT_EQ(splash->shown, QStringList{"Lecture du log F6XYZ / diplôme DXCC 5 bandes "});
    EXPECT_FALSE(splash->visible());
}

TEST_F(AwardWindowTest, SatelliteWindowCountsSatInAnyCaseAndTakesItsSplashWhenClosed) {
    ui::AwardWindow* satellite = open(w->Mnu_DXCC_Sat, "DXCC_Sat");
    ASSERT_TRUE(satellite);
    EXPECT_EQ(satellite->windowTitle(), "Diplôme DXCC Satellite");
    EXPECT_EQ(satellite->Q_Confirme->objectName(), "Q_Contacte");
    EXPECT_TRUE(satellite->findChild<QRadioButton*>("Q_Contacte_2"));
    show(satellite);
    EXPECT_EQ(rows(satellite), QStringList{listed(1, kSatelliteConfirmed)});
    EXPECT_EQ(labels(satellite),
              (QStringList{"Vous ne pouvez pas encore obtenir le diplôme DXCC Satellite",
                           "Il vous manque  99 préfixes confirmés"}));
    show(satellite, 2);
    EXPECT_EQ(labels(satellite), (QStringList{" 1 préfixes contactés,", ""}));
    close(satellite);

    // Closed before any evaluation: the splash goes with it.
    satellite = open(w->Mnu_DXCC_Sat, "DXCC_Sat");
    ASSERT_TRUE(satellite);
    EXPECT_TRUE(splash->visible());
    close(satellite);
    EXPECT_FALSE(splash->visible());
}

}  // namespace
