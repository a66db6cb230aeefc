#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "fake_cluster_server.h"
#include "platform/hamlib_radio.h"
#include "running_log.h"
#include "windows/cluster/live_links.h"

namespace {

TEST(HamlibRadio, DummyRigInProcessIsReadAndTuned) {
    ui::HamlibRadio radio({ui::kDummyRigModel, {}, 0});
    EXPECT_FALSE(radio.read().has_value());  // not open yet
    ASSERT_EQ(radio.open(), std::nullopt);
    ASSERT_TRUE(radio.tune(14'074'000, {}));
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
        started_ = process_.waitForStarted(5000) && QTest::qWaitFor(
                                                        [this] {
                                                            return set({"F", "14074000"});
                                                        },
                                                        5000);
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
    bool set(const QStringList& command) { return rigctl(command).has_value(); }
    // The radio's mode, as rigctl reads it ("CW").
    QString mode() { return rigctl({"m"}).value_or("").split('\n').value(0); }

private:
    std::optional<QString> rigctl(const QStringList& command) {
        QProcess rigctl;
        rigctl.start("rigctl", QStringList{"-m", "2", "-r", address()} + command);
        if (!rigctl.waitForFinished(5000) || rigctl.exitStatus() != QProcess::NormalExit ||
            rigctl.exitCode() != 0)
            return std::nullopt;
        return QString::fromUtf8(rigctl.readAllStandardOutput());
    }

    QString program_;
    quint16 port_ = 0;
    QProcess process_;
    bool started_ = false;
};

class RadioFollowTest : public testing_support::RunningLog {
protected:
    // The main window following `rigctld`, with the cluster window connected
    // to a test server.
    void startWithCluster(const QString& radio, testing_support::FakeClusterServer& server) {
        followRadio(radio);
        t.settings->set("Setup ", "Cluster Hote", "127.0.0.1");
        t.settings->set("Setup ", "Cluster Port", std::to_string(server.port()));
        start();
        w->liveLinks()->openCluster();
        w->liveLinks()->clusterWindow()->connectToServer();
        ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    }
    // The spot sent by the server, double-clicked in the cluster window.
    void chooseSpot(testing_support::FakeClusterServer& server, const QByteArray& line) {
        QTableView* view = w->liveLinks()->clusterWindow()->Liste_Spots;
        const int before = view->model()->rowCount();
        server.send(line + "\r\n");
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount() > before; }, 5000));
        emit view->doubleClicked(view->model()->index(0, 2));
    }
    bool statusStartsWith(const QString& text, int timeoutMs = 8000) {
        return QTest::qWaitFor([&] { return w->Etat_Radio->text().startsWith(text); }, timeoutMs);
    }
    // The settings that make the main window follow the radio at `address`.
    void followRadio(const QString& address) {
        t.settings->set("Setup ", "Rig Modele", std::to_string(ui::kRigctldModel));
        t.settings->set("Setup ", "Rig Port", address.toStdString());
    }
};

// The same with Hamlib's own rigctld serving its dummy radio; skipped where
// rigctld is not installed.
class RigctldFollowTest : public RadioFollowTest {
protected:
    void SetUp() override {
        RadioFollowTest::SetUp();
        if (!rigctld.available())
            GTEST_SKIP() << "rigctld is not installed (package libhamlib-utils)";
        ASSERT_TRUE(rigctld.started());
    }

    Rigctld rigctld;
};

TEST_F(RigctldFollowTest, BandAndModeFollowRigctldInEntryModeOnly) {
    writeLog({testing_support::logLine("F5AA", "02/01/09")});
    writePrefixes({});
    followRadio(rigctld.address());
    start();
    ui::EntryForm* form = w->entryForm();
    QLabel* status = w->Etat_Radio;

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
    // Each reading reaches the form before the status that comes with it: once
    // the status shows both changes, the form has had them.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return status->text().startsWith("21 200,000 kHz") && status->text().endsWith("USB");
        },
        8000))
        << status->text().toStdString();
    EXPECT_EQ(form->Bande_A->currentText(), band);

    // The radio goes away: the status says so and the window stays alive.
    w->liveLinks()->radio().stop();
    w->liveLinks()->radio().start(
        {ui::kRigctldModel, "127.0.0.1:" + QString::number(testing_support::freeLoopbackPort()),
         0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Radio : pas de réponse"; }, 8000));
}

TEST_F(RigctldFollowTest, AChosenSpotTunesTheRadio) {
    writePrefixes({dxcc::buildPrefixEntry("OH", "Finland", "OH")});
    writeLog({});
    testing_support::FakeClusterServer server;
    startWithCluster(rigctld.address(), server);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->Etat_Radio->text().contains("kHz"); }, 8000));
    chooseSpot(server, "DX de W3LPL: 7013.5 OH2BH 0314Z");
    EXPECT_EQ(w->entryForm()->Ind_A->text(), "OH2BH");
    ASSERT_TRUE(statusStartsWith("7 013,500 kHz")) << w->Etat_Radio->text().toStdString();
}

// Each spot's class sets the radio's mode as well as its frequency, and the
// form keeps the spot's mode once the radio reports it.
TEST_F(RigctldFollowTest, AChosenSpotSetsTheRadiosModeAndTheFormKeepsIt) {
    writePrefixes({dxcc::buildPrefixEntry("K", "United States", "K")});
    writeLog({});
    testing_support::FakeClusterServer server;
    ASSERT_TRUE(rigctld.set({"F", "21200000", "M", "USB", "0"}));
    startWithCluster(rigctld.address(), server);
    ui::EntryForm* form = w->entryForm();
    ASSERT_TRUE(statusStartsWith("21 200,000 kHz  USB"));

    struct Case {
        QByteArray spot;
        QString status;
        QString radioMode;
        QString band;
        QString formMode;
    };
    const Case cases[] = {
        {"DX de W3LPL: 14025.0 K1ABC CW 0314Z", "14 025,000 kHz  CW", "CW", "14 Mhz ", "CW"},
        {"DX de W3LPL: 7150.0 K1ABD SSB 0315Z", "7 150,000 kHz  LSB", "LSB", "7.0 Mhz", "SSB"},
        // Hamlib's dummy radio lists no data mode: USB, the form staying digital.
        {"DX de W3LPL: 14074.0 K1ABE FT8 0316Z", "14 074,000 kHz  USB", "USB", "14 Mhz ", "DIG"},
        {"DX de W3LPL: 28495.0 K1ABF SSB 0317Z", "28 495,000 kHz  USB", "USB", "28 Mhz ", "SSB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spot.toStdString());
        form->Efface_QSO();
        chooseSpot(server, c.spot);
        EXPECT_EQ(form->Mode_A->currentText(), c.formMode);
        ASSERT_TRUE(statusStartsWith(c.status)) << w->Etat_Radio->text().toStdString();
        EXPECT_EQ(rigctld.mode(), c.radioMode);
        // The radio's report of the new mode leaves the form as the spot set it.
        EXPECT_EQ(form->Bande_A->currentText(), c.band);
        EXPECT_EQ(form->Mode_A->currentText(), c.formMode);
    }
    // Turned to another mode on the radio itself: the form follows.
    ASSERT_TRUE(rigctld.set({"M", "CW", "0"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Mode_A->currentText() == "CW"; }, 8000));
}

// A band that the entry list lacks is shown under the log's label for it and
// logged so, and stays for the next contact while the radio stays there.
TEST_F(RigctldFollowTest, ABandTheListLacksIsShownAndLogged) {
    writePrefixes({dxcc::buildPrefixEntry("G", "England", "G")});
    writeLog({});
    followRadio(rigctld.address());
    ASSERT_TRUE(rigctld.set({"F", "21200000", "M", "USB", "0"}));
    start();
    ui::EntryForm* form = w->entryForm();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Bande_A->currentText() == "21 Mhz "; }, 8000));

    ASSERT_TRUE(rigctld.set({"F", "5357000", "M", "CW", "0"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Bande_A->currentText() == "60M"; }, 8000))
        << form->Bande_A->currentText().toStdString();
    EXPECT_EQ(form->Mode_A->currentText(), "CW");
    // The operator's stored band is still the last one of the list.
    EXPECT_EQ(t.settings->get("Setup F6XYZ", "bande Utilisee", ""), "6");

    for (const char* call : {"G3AAA", "G4BBB"}) {
        type(form->Ind_A, call);
        for (QWidget* field : std::initializer_list<QWidget*>{
                 form->Ind_A, form->Prenom_A, form->RST_A, form->RSTE_A, form->QSL_A})
            enter(field);
        t.dialogs->answers.push_back(true);
        enter(form->Valide_A);
        EXPECT_EQ(form->Bande_A->currentText(), "60M");
    }
    const std::string log = read("F6XYZ_DXCC.log");
    ASSERT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
    for (size_t at : {size_t(0), log.find('\n') + 1})
        EXPECT_EQ(dxcc::parseRecord(log.substr(at, log.find('\r', at) - at)).band, "60M    ");

    ASSERT_TRUE(rigctld.set({"F", "14074000", "M", "PKTUSB", "0"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Bande_A->currentText() == "14 Mhz "; }, 8000));
    form->Efface_QSO();
    EXPECT_EQ(form->Bande_A->currentText(), "14 Mhz ");
}

// A frequency no radio can be on (rigctld passes on whatever it was given) is
// no reading: the radio counts as silent until it reports a real one.
TEST_F(RigctldFollowTest, ImpossibleFrequenciesAreNoReading) {
    writePrefixes({});
    writeLog({});
    followRadio(rigctld.address());
    ASSERT_TRUE(rigctld.set({"F", "21200000", "M", "USB", "0"}));
    start();
    ASSERT_TRUE(statusStartsWith("21 200,000 kHz"));
    for (const char* frequency : {"9.2e18", "nan", "-5"}) {
        SCOPED_TRACE(frequency);
        ASSERT_TRUE(rigctld.set({"F", frequency}));
        EXPECT_TRUE(statusStartsWith("Radio : pas de réponse"))
            << w->Etat_Radio->text().toStdString();
        EXPECT_EQ(w->entryForm()->Bande_A->currentText(), "21 Mhz ");
        ASSERT_TRUE(rigctld.set({"F", "21200000"}));
        ASSERT_TRUE(statusStartsWith("21 200,000 kHz"));
    }
}

// A radio server that accepts and then never answers a whole line: it sends
// a byte now and then, so the radio library keeps waiting for the rest.
class SilentRadio {
public:
    SilentRadio() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) clients.push_back(s);
        });
        QObject::connect(&trickle_, &QTimer::timeout, [this] {
            for (QTcpSocket* s : clients)
                if (s->state() == QAbstractSocket::ConnectedState) s->write("x");
        });
        trickle_.start(300);
    }
    QString address() const { return "127.0.0.1:" + QString::number(server_.serverPort()); }
    bool waitForClients(size_t count) {
        return QTest::qWaitFor([&] { return clients.size() >= count; }, 8000);
    }

    std::vector<QTcpSocket*> clients;

private:
    QTcpServer server_;
    QTimer trickle_;
};

TEST_F(RadioFollowTest, ASilentRadioNeverHoldsTheWindow) {
    writeLog({});
    writePrefixes({});
    SilentRadio radio;
    followRadio(radio.address());
    start();
    QLabel* status = w->Etat_Radio;
    EXPECT_EQ(status->text(), "Radio : connexion…");
    ASSERT_TRUE(radio.waitForClients(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Radio : pas de réponse"; }, 10000));

    // OK in the radio's settings while the radio's thread is stuck in its open.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->objectName(), "Reglages_Radio");
        enter(dialog);
    });
    w->Mnu_Reglages_Radio->trigger();
    EXPECT_EQ(status->text(), "Radio : connexion…");
    ASSERT_TRUE(radio.waitForClients(2));
    // The first radio was let go of, not waited for: it is still connected.
    QCoreApplication::processEvents();
    EXPECT_EQ(radio.clients[0]->state(), QAbstractSocket::ConnectedState);
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "Radio : pas de réponse"; }, 10000));
    // Closing the main window does not wait for either.
    w.reset();
    EXPECT_EQ(radio.clients[1]->state(), QAbstractSocket::ConnectedState);
}

// The whole program, quitting while its radio's thread is stuck: the process
// ends (and so lets go of the data folder) although the radio never answers.
TEST(RadioProgram, QuittingNeverWaitsForASilentRadio) {
    SilentRadio radio;
    QTemporaryDir home;
    const QString data = home.path() + "/.local/share/VEL_DXCC";
    const QString config = home.path() + "/.config/VEL_DXCC";
    ASSERT_TRUE(QDir().mkpath(data) && QDir().mkpath(config));
    QFile(data + "/F6XYZ_DXCC.log").open(QIODevice::WriteOnly);
    {
        QSettings ini(config + "/DXCC.ini", QSettings::IniFormat);
        ini.setValue("Setup /Indicatif Station", "F6XYZ");
        ini.setValue("Setup /Rig Modele", ui::kRigctldModel);
        ini.setValue("Setup /Rig Port", radio.address());
    }
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.remove("XDG_CONFIG_HOME");
    env.remove("XDG_DATA_HOME");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VEL_DXCC_QUIT_WHEN_SHOWN", "1");
    program.setProcessEnvironment(env);
    program.start(VEL_PROGRAM, {});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 20000))
        << "still running while its radio does not answer";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit)
        << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    // The radio's thread had reached the silent radio before the program quit.
    EXPECT_TRUE(radio.waitForClients(1));
}

}  // namespace
