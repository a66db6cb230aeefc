#include "platform/hamlib_radio.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "fake_cluster_server.h"
#include "running_log.h"
#include "windows/cluster/on_air.h"

namespace {

TEST(HamlibRadio, DummyRigInProcessIsReadAndTuned) {
    ui::HamlibRadio radio({ui::kDummyRigModel, {}, 0});
    EXPECT_FALSE(radio.read().has_value());  // not open yet
    ASSERT_EQ(radio.open(), std::nullopt);
    ASSERT_TRUE(radio.tune(14'074'000));
    const auto reading = radio.read();
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->hertz, 14'074'000);
    EXPECT_FALSE(reading->mode.empty());
}

TEST(HamlibRadio, FrenchErrorsForAMissingPortOrNoRadio) {
    ui::HamlibRadio serial({1035, "/dev/nonexistent-radio-port", 38400});  // a serial model
    EXPECT_EQ(serial.open(), QString("Radio : port /dev/nonexistent-radio-port absent"));
    ui::HamlibRadio none({0, {}, 0});
    EXPECT_EQ(none.open(), QString("Radio : aucune"));
    // rigctld's network model with nobody listening: no answer.
    const QString port = QString::number(testing_support::freeLoopbackPort());
    ui::HamlibRadio network({ui::kRigctldModel, "127.0.0.1:" + port, 0});
    EXPECT_EQ(network.open(), QString("Radio : pas de réponse"));
}

TEST(HamlibRadio, ModelListIsSortedAndHoldsTheNetworkModel) {
    const auto models = ui::hamlibRigModels();
    ASSERT_GT(models.size(), 100u);
    EXPECT_TRUE(std::any_of(models.begin(), models.end(),
                            [](const ui::RigModel& m) { return m.id == ui::kRigctldModel; }));
    EXPECT_TRUE(std::is_sorted(models.begin(), models.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    }));
}

// A rigctld with Hamlib's dummy radio on a free loopback port, stopped at the end.
class Rigctld {
public:
    Rigctld() {
        program_ = QStandardPaths::findExecutable("rigctld");
        if (program_.isEmpty()) return;
        port_ = testing_support::freeLoopbackPort();
        process_.start(program_, {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port_)});
        started_ = process_.waitForStarted(5000) &&
                   QTest::qWaitFor([this] { return set({"F", "14074000"}); }, 5000);
    }
    ~Rigctld() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(3000)) process_.kill();
            process_.waitForFinished(3000);
        }
    }
    bool available() const { return !program_.isEmpty(); }
    bool started() const { return started_; }
    QString address() const { return "127.0.0.1:" + QString::number(port_); }
    // Changes the radio as another program would, through rigctl.
    bool set(const QStringList& command) {
        QProcess rigctl;
        rigctl.start("rigctl", QStringList{"-m", "2", "-r", address()} + command);
        return rigctl.waitForFinished(5000) && rigctl.exitStatus() == QProcess::NormalExit &&
               rigctl.exitCode() == 0;
    }

private:
    QString program_;
    quint16 port_ = 0;
    QProcess process_;
    bool started_ = false;
};

class RadioFollowTest : public testing_support::RunningLog {};

TEST_F(RadioFollowTest, BandAndModeFollowRigctldInEntryModeOnly) {
    Rigctld rigctld;
    if (!rigctld.available()) GTEST_SKIP() << "rigctld is not installed (package libhamlib-utils)";
    ASSERT_TRUE(rigctld.started());
    writeLog({testing_support::logLine("F5AA", "02/01/09")});
    writePrefixes({});
    t.settings->set("Setup ", "Rig Modele", QString::number(ui::kRigctldModel));
    t.settings->set("Setup ", "Rig Port", rigctld.address());
    start();
    ui::EntryForm* form = w->entryForm();
    QLabel* status = w->onAir()->Etat_Radio;

    ASSERT_TRUE(rigctld.set({"F", "7010000", "M", "CW", "0"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Bande_A->currentText() == "7.0 Mhz"; }, 8000))
        << status->text().toStdString();
    EXPECT_EQ(form->Mode_A->currentText(), "CW");
    EXPECT_TRUE(status->text().startsWith("7 010,000 kHz")) << status->text().toStdString();

    ASSERT_TRUE(rigctld.set({"F", "14074000", "M", "PKTUSB", "0"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Bande_A->currentText() == "14 Mhz "; }, 8000));
    EXPECT_EQ(form->Mode_A->currentText(), "DIG");

    // A contact opened for modification keeps its band and mode.
    doubleClickRow(w->Liste_DXCC, 0);
    ASSERT_FALSE(form->inEntryMode());
    const QString band = form->Bande_A->currentText();
    ASSERT_TRUE(rigctld.set({"F", "21200000", "M", "USB", "0"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith("21 200,000 kHz"); }, 8000));
    QTest::qWait(200);
    EXPECT_EQ(form->Bande_A->currentText(), band);

    // The radio goes away: the status says so and the window stays alive.
    w->onAir()->radio().stop();
    w->onAir()->radio().start({ui::kRigctldModel, "127.0.0.1:" +
                                   QString::number(testing_support::freeLoopbackPort()), 0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Radio : pas de réponse"; }, 8000));
}

TEST_F(RadioFollowTest, AChosenSpotTunesTheRadio) {
    Rigctld rigctld;
    if (!rigctld.available()) GTEST_SKIP() << "rigctld is not installed (package libhamlib-utils)";
    ASSERT_TRUE(rigctld.started());
    writePrefixes({dxcc::buildPrefixEntry("OH", "Finland", "OH")});
    writeLog({});
    testing_support::FakeClusterServer server;
    t.settings->set("Setup ", "Rig Modele", QString::number(ui::kRigctldModel));
    t.settings->set("Setup ", "Rig Port", rigctld.address());
    t.settings->set("Setup ", "Cluster Hote", "127.0.0.1");
    t.settings->set("Setup ", "Cluster Port", QString::number(server.port()));
    start();
    QLabel* status = w->onAir()->Etat_Radio;
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text().contains("kHz"); }, 8000));
    w->onAir()->openCluster();
    ui::ClusterWindow* cluster = w->onAir()->clusterWindow();
    cluster->connectToServer();
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    server.send("DX de W3LPL: 7013.5 OH2BH 0314Z\r\n");
    QTableView* view = cluster->Liste_Spots;
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount() == 1; }, 5000));
    emit view->doubleClicked(view->model()->index(0, 2));
    EXPECT_EQ(w->entryForm()->Ind_A->text(), "OH2BH");
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith("7 013,500 kHz"); }, 8000))
        << status->text().toStdString();
}

}  // namespace
