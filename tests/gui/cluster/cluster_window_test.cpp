#include "windows/cluster/cluster_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "core/prefixes/prefix_table.h"
#include "fake_cluster_server.h"
#include "platform/colours.h"
#include "running_log.h"
#include "windows/cluster/live_links.h"

namespace {

using testing_support::FakeClusterServer;
using testing_support::logLine;

// The main window over a log where Japan is confirmed on 14 MHz in CW and
// France only worked, its cluster window fed by a local server.
class ClusterWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        std::vector<std::string> prefixes;
        for (auto [call, name, dxcc] :
             {std::tuple{"F", "France", "F"}, {"JA", "Japan", "JA"}, {"OH", "Finland", "OH"}})
            prefixes.push_back(dxcc::buildPrefixEntry(call, name, dxcc));
        writePrefixes(prefixes);
        writeLog({logLine("JA1AA", "01/01/09", "CW", "14 Mhz ", "JA", "Japan", '*'),
                  logLine("F5AA", "02/01/09", "SSB", "7.0 Mhz", "F", "France", ' ')});
        t.settings->set("Setup ", "Cluster Hote", "127.0.0.1");
        t.settings->set("Setup ", "Cluster Port", std::to_string(server.port()));
        start();
        w->Mnu_Cluster->trigger();
        cluster = window<ui::ClusterWindow>("Cluster_DX");
        ASSERT_NE(cluster, nullptr);
        QTest::mouseClick(cluster->Connecter, Qt::LeftButton);
        ASSERT_TRUE(server.waitForLogin("F6XYZ"));
        server.send(
            "DX de W3LPL: 14025.0 JA1ABC CW 599 0312Z\r\n"
            "DX de W3LPL: 14195.0 JA2XYZ SSB 0313Z\r\n"
            "DX de W3LPL: 7013.5 OH2BH 0314Z\r\n"
            "DX de W3LPL: 7150.0 F5XYZ 0315Z\r\n");
        ASSERT_TRUE(QTest::qWaitFor([&] { return spots()->rowCount() == 4; }, 5000));
    }
    QAbstractItemModel* spots() const { return cluster->Liste_Spots->model(); }
    QString cell(int row, int column) const {
        return spots()->index(row, column).data().toString();
    }
    QColor colour(int row) const {
        return spots()->index(row, 0).data(Qt::BackgroundRole).value<QColor>();
    }
    QStringList callsigns() const {
        QStringList calls;
        for (int r = 0; r < spots()->rowCount(); ++r)
            calls << cell(r, ui::SpotTableModel::Callsign);
        return calls;
    }
    // `count` spots of new callsigns on 20 m CW, the newest last.
    void sendSpots(int count, const QByteArray& first) {
        QByteArray lines;
        for (int i = 0; i < count; ++i)
            lines += "DX de W3LPL: 14020.0 " + first + QByteArray::number(i) + " CW 0400Z\r\n";
        const int before = spots()->rowCount();
        server.send(lines);
        ASSERT_TRUE(QTest::qWaitFor([&] { return spots()->rowCount() == before + count; }, 5000));
    }
    // The callsign of the first row in view.
    QString topRowInView() const {
        const int row = cluster->Liste_Spots->rowAt(0);
        return row < 0 ? QString() : cell(row, ui::SpotTableModel::Callsign);
    }
    ui::ClusterFeed& feed() const { return w->liveLinks()->clusterFeed(); }
    void doubleClickSpot(int row) {
        QTableView* view = cluster->Liste_Spots;
        const QModelIndex index = view->model()->index(row, ui::SpotTableModel::Callsign);
        view->scrollTo(index);
        const QPoint at = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    FakeClusterServer server;
    ui::ClusterWindow* cluster = nullptr;
};

TEST_F(ClusterWindowTest, SpotsAreColouredByWhatTheLogNeeds) {
    EXPECT_EQ(callsigns(), (QStringList{"F5XYZ", "OH2BH", "JA2XYZ", "JA1ABC"}));
    EXPECT_EQ(cell(1, ui::SpotTableModel::Entity), "Finland");
    EXPECT_EQ(cell(1, ui::SpotTableModel::Mode), "CW");  // from the band plan
    EXPECT_EQ(colour(0), ui::needRowColour(dxcc::NeedColour::ToConfirm));
    EXPECT_EQ(colour(1), ui::needRowColour(dxcc::NeedColour::NewEntity));
    EXPECT_EQ(colour(2), ui::needRowColour(dxcc::NeedColour::NewSlot));
    EXPECT_EQ(colour(3), ui::needRowColour(dxcc::NeedColour::Confirmed));
    EXPECT_EQ(cluster->Etat_Cluster->text(), "Connecté à 127.0.0.1");

    // Spotted again on the same band: its row comes to the top, no new row.
    server.send("DX de K1TTT: 14026.0 JA1ABC CW 0320Z\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell(0, ui::SpotTableModel::Time) == "0320"; }, 5000));
    EXPECT_EQ(callsigns(), (QStringList{"JA1ABC", "F5XYZ", "OH2BH", "JA2XYZ"}));
}

TEST_F(ClusterWindowTest, FiltersShowWhatTheOperatorAsks) {
    cluster->Filtre_Utile->click();
    EXPECT_EQ(callsigns(), (QStringList{"OH2BH", "JA2XYZ"}));
    cluster->Filtre_Utile->click();
    cluster->Filtre_Bande->setCurrentText("14 Mhz");
    EXPECT_EQ(callsigns(), (QStringList{"JA2XYZ", "JA1ABC"}));
    cluster->Filtre_Mode->setCurrentText("SSB");
    EXPECT_EQ(callsigns(), (QStringList{"JA2XYZ"}));
    cluster->Filtre_Bande->setCurrentIndex(0);
    EXPECT_EQ(callsigns(), (QStringList{"F5XYZ", "JA2XYZ"}));
    // A spot arriving later obeys the same filters.
    server.send("DX de K1TTT: 21250.0 OH1AA 0330Z\r\nDX de K1TTT: 21020.0 OH1BB 0331Z\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return callsigns().size() == 3; }, 5000));
    EXPECT_EQ(callsigns(), (QStringList{"OH1AA", "F5XYZ", "JA2XYZ"}));
}

TEST_F(ClusterWindowTest, DoubleClickFillsTheFormInEntryModeOnly) {
    ui::EntryForm* form = w->entryForm();
    doubleClickSpot(1);  // OH2BH on 7013.5, CW by the band plan
    EXPECT_EQ(form->Ind_A->text(), "OH2BH");
    EXPECT_EQ(form->Bande_A->currentText(), "7.0 Mhz");
    EXPECT_EQ(form->Mode_A->currentText(), "CW");
    EXPECT_EQ(form->Pays_A->text().trimmed(), "Finland");
    EXPECT_TRUE(form->Prenom_A->hasFocus() || form->Prenom_A->isEnabled());

    // Enter on a spot takes it as a double-click does.
    QTableView* view = cluster->Liste_Spots;
    view->setCurrentIndex(view->model()->index(2, ui::SpotTableModel::Callsign));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(form->Ind_A->text(), "JA2XYZ");
    EXPECT_EQ(form->Bande_A->currentText(), "14 Mhz ");

    // A contact opened for modification is never overwritten.
    doubleClickRow(w->Liste_DXCC, 0);
    ASSERT_FALSE(form->inEntryMode());
    const QString opened = form->Ind_A->text();
    doubleClickSpot(2);
    EXPECT_EQ(form->Ind_A->text(), opened);
}

TEST_F(ClusterWindowTest, CommandsGoToTheServerAndOtherLinesToTheConsole) {
    server.send("WWV de W0MU <18Z> : SFI=152\r\n");
    QTest::keyClicks(cluster->Commande_Cluster, "SH/DX 30");
    QTest::keyClick(cluster->Commande_Cluster, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.endsWith("SH/DX 30\r\n"); }, 5000));
    EXPECT_TRUE(cluster->Commande_Cluster->text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return cluster->Console_Cluster->toPlainText().contains("SFI=152"); }, 5000));
    EXPECT_TRUE(cluster->Console_Cluster->toPlainText().contains("> SH/DX 30"));
    QTest::mouseClick(cluster->Deconnecter, Qt::LeftButton);
    EXPECT_EQ(cluster->Etat_Cluster->text(), "Déconnecté");
}

TEST_F(ClusterWindowTest, TheNewestSpotStaysInViewAfterDoubleClicksAndAFilterChange) {
    ui::SpotView* view = cluster->Liste_Spots;
    sendSpots(60, "K1");
    ASSERT_EQ(topRowInView(), "K159");
    // Spots chosen far down the list, then a filter chosen and taken back:
    // the view moved to show them, yet the newest spot comes back into view.
    doubleClickSpot(40);
    doubleClickSpot(55);
    ASSERT_NE(topRowInView(), "K159");
    cluster->Filtre_Bande->setCurrentText("14 Mhz");
    EXPECT_EQ(topRowInView(), "K159");
    doubleClickSpot(50);
    cluster->Filtre_Bande->setCurrentIndex(0);
    EXPECT_EQ(topRowInView(), "K159");
    doubleClickSpot(58);
    sendSpots(3, "K2");
    EXPECT_EQ(topRowInView(), "K22");
    EXPECT_TRUE(view->followsNewest());
}

TEST_F(ClusterWindowTest, RowsTheOperatorScrolledToStayInViewUntilBackAtTheTop) {
    ui::SpotView* view = cluster->Liste_Spots;
    sendSpots(60, "K1");
    view->setFocus();
    QTest::keyClick(view, Qt::Key_PageDown);
    QTest::keyClick(view, Qt::Key_PageDown);
    const QString reading = topRowInView();
    ASSERT_NE(reading, "K159");
    EXPECT_FALSE(view->followsNewest());
    sendSpots(5, "K2");
    EXPECT_EQ(topRowInView(), reading);
    // Back at the top by the scroll bar: the new spots show again.
    view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    sendSpots(2, "K3");
    EXPECT_EQ(topRowInView(), "K31");
}

TEST_F(ClusterWindowTest, DataModesAreCalledDigitalWithTheModeTheSpotNames) {
    server.send("DX de W3LPL: 14074.0 OH1FT FT8 -12dB 0400Z\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return spots()->rowCount() == 5; }, 5000));
    EXPECT_EQ(cell(0, ui::SpotTableModel::Mode), "Numérique (FT8)");
    const QString tip = "Modes numériques (RTTY, FT8, FT4, PSK…) : ils comptent pour le DXCC RTTY.";
    EXPECT_EQ(spots()->index(0, ui::SpotTableModel::Mode).data(Qt::ToolTipRole).toString(), tip);
    const int digital = cluster->Filtre_Mode->findText("Numérique");
    ASSERT_GT(digital, 0);
    EXPECT_EQ(cluster->Filtre_Mode->findText("RTTY"), -1);
    EXPECT_EQ(cluster->Filtre_Mode->itemData(digital, Qt::ToolTipRole).toString(), tip);
    cluster->Filtre_Mode->setCurrentIndex(digital);
    EXPECT_EQ(callsigns(), QStringList{"OH1FT"});
}

TEST_F(ClusterWindowTest, ClosingTheWindowKeepsTheConnectionTheSpotsAndTheBell) {
    QTest::mouseClick(cluster->Sonnerie, Qt::LeftButton);
    server.send("WWV de W0MU <18Z> : SFI=152\r\n");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return cluster->Console_Cluster->toPlainText().contains("SFI=152"); }, 5000));
    cluster->close();
    ASSERT_FALSE(cluster->isVisible());
    QSignalSpy bells(&feed(), &ui::ClusterFeed::bell);
    // A new entity and a line while the window is closed.
    server.send("DX de W3LPL: 14025.0 UA9XX CW 0400Z\r\nWCY de DK0WCY-1 <17> : K=2\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return feed().spots().rowCount() == 5; }, 5000));
    EXPECT_EQ(bells.size(), 0);  // the prefix file does not know UA9: no entity
    server.send("DX de W3LPL: 14025.0 OH9ZZ CW 0401Z\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bells.size() == 1; }, 5000));
    EXPECT_EQ(feed().client().state(), ui::ClusterClient::State::Connected);

    w->Mnu_Cluster->trigger();
    EXPECT_EQ(window<ui::ClusterWindow>("Cluster_DX"), cluster);
    EXPECT_TRUE(cluster->isVisible());
    EXPECT_EQ(callsigns().mid(0, 2), (QStringList{"OH9ZZ", "UA9XX"}));
    EXPECT_TRUE(cluster->Console_Cluster->toPlainText().contains("SFI=152"));
    EXPECT_TRUE(cluster->Console_Cluster->toPlainText().contains("K=2"));
    EXPECT_EQ(cluster->Etat_Cluster->text(), "Connecté à 127.0.0.1");
}

TEST_F(ClusterWindowTest, ALoggedContactRecoloursTheSpots) {
    ASSERT_EQ(cell(1, ui::SpotTableModel::Callsign), "OH2BH");
    ASSERT_EQ(colour(1), ui::needRowColour(dxcc::NeedColour::NewEntity));
    ui::EntryForm* form = w->entryForm();
    doubleClickSpot(1);  // OH2BH on 7013.5, CW
    ASSERT_EQ(form->Ind_A->text(), "OH2BH");
    enter(form->Prenom_A);
    enter(form->RST_A);
    enter(form->RSTE_A);
    enter(form->QSL_A);
    t.dialogs->answers.push_back(true);
    enter(form->Valide_A);
    ASSERT_EQ(t.session.log().size(), 3u);
    EXPECT_EQ(colour(1), ui::needRowColour(dxcc::NeedColour::ToConfirm));
}

TEST_F(ClusterWindowTest, AFloodLeavesTheConsoleBoundedAndSaysWhatItLeftOut) {
    QByteArray flood;
    for (int i = 0; i < 100'000; ++i) flood += "talk line " + QByteArray::number(i) + "\r\n";
    flood += "last\r\n";
    QStringList shown;
    QObject::connect(&feed(), &ui::ClusterFeed::consoleLines,
                     [&shown](const QStringList& lines) { shown += lines; });
    server.send(flood);
    QPlainTextEdit* console = cluster->Console_Cluster;
    ASSERT_TRUE(QTest::qWaitFor([&] { return console->toPlainText().endsWith("last"); }, 60'000));
    EXPECT_LE(console->blockCount(), int(dxcc::cluster::kConsoleLines));
    EXPECT_TRUE(console->toPlainText().contains("talk line 99999\nlast"));
    // What was left out is counted, in the console, before what follows it.
    const QStringList notes = shown.filter("Arrivés trop vite, non affichés : ");
    ASSERT_FALSE(notes.isEmpty());
    uint64_t leftOut = 0;
    for (const QString& note : notes) leftOut += note.section(' ', 6, 6).toULongLong();
    EXPECT_EQ(leftOut + uint64_t(shown.size() - notes.size()), 100'001u);
    // The total stays in view after the flood, until the next connection.
    EXPECT_EQ(cluster->Unshown_Count->text(),
              "Arrivés trop vite, non affichés : " + QString::number(leftOut) + " autres lignes.");
    QTest::mouseClick(cluster->Connecter, Qt::LeftButton);
    EXPECT_EQ(cluster->Unshown_Count->text(), "");
}

// Two runs of the program in turn, over one data folder and one server.
class ClusterAcrossRuns : public ::testing::Test, public testing_support::RunningLogBase {
protected:
    void SetUp() override {
        writePrefixes({dxcc::buildPrefixEntry("F", "France", "F")});
        writeLog({});
        t.settings->set("Setup ", "Cluster Hote", "127.0.0.1");
        t.settings->set("Setup ", "Cluster Port", std::to_string(server.port()));
    }
    ui::ClusterClient::State stateAfterStart() {
        w.reset();
        start();
        return w->liveLinks()->clusterFeed().client().state();
    }
    FakeClusterServer server;
};

TEST_F(ClusterAcrossRuns, TheProgramConnectsAgainWhenLeftConnected) {
    EXPECT_EQ(stateAfterStart(), ui::ClusterClient::State::Disconnected);
    w->liveLinks()->openCluster();
    QTest::mouseClick(w->liveLinks()->clusterWindow()->Connecter, Qt::LeftButton);
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));

    // Ended while connected: the next start connects without a click, window closed.
    server.received.clear();
    EXPECT_NE(stateAfterStart(), ui::ClusterClient::State::Disconnected);
    EXPECT_EQ(w->liveLinks()->clusterWindow(), nullptr);
    ASSERT_TRUE(server.waitForLogin("F6XYZ"));
    EXPECT_EQ(server.connections, 2);

    // Disconnected by the operator: the next start stays so.
    w->liveLinks()->openCluster();
    QTest::mouseClick(w->liveLinks()->clusterWindow()->Deconnecter, Qt::LeftButton);
    EXPECT_EQ(stateAfterStart(), ui::ClusterClient::State::Disconnected);
}

TEST(ClusterWindowAlone, ConnectingWithoutAServerTellsTheOperator) {
    testing_support::TestContext t;
    struct NoNeeds : dxcc::cluster::NeededLookup {
        dxcc::Need entity(std::string_view) const override { return {}; }
        dxcc::Need band(std::string_view, std::string_view) const override { return {}; }
        dxcc::Need mode(std::string_view, dxcc::ModeClass) const override { return {}; }
    } needs;
    ui::ClusterFeed feed(t.ctx, t.session, needs);
    ui::ClusterWindow window(t.ctx, t.session, feed);
    QTest::mouseClick(window.Connecter, Qt::LeftButton);
    EXPECT_EQ(t.dialogs->messages,
              QStringList{
                  "Aucun serveur de cluster n'est réglé : choisissez « Réglages du cluster DX »."});
    EXPECT_EQ(feed.client().state(), ui::ClusterClient::State::Disconnected);
    EXPECT_EQ(t.settings->get("Setup ", "Cluster Connecte", "none"), "none");
}

}  // namespace
