#include "windows/cluster/cluster_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>

#include "core/prefixes/prefix_table.h"
#include "fake_cluster_server.h"
#include "running_log.h"
#include "windows/cluster/on_air.h"

namespace {

using testing_support::FakeClusterServer;
using testing_support::logLine;

// The main window over a log where Japan is confirmed on 14 MHz in CW and
// France only worked, its cluster window fed by a local server.
class ClusterWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        std::vector<std::string> prefixes;
        for (auto [call, name, dxcc] : {std::tuple{"F", "France", "F"}, {"JA", "Japan", "JA"},
                                        {"OH", "Finland", "OH"}})
            prefixes.push_back(dxcc::buildPrefixEntry(call, name, dxcc));
        writePrefixes(prefixes);
        writeLog({logLine("JA1AA", "01/01/09", "CW", "14 Mhz ", "JA", "Japan", '*'),
                  logLine("F5AA", "02/01/09", "SSB", "7.0 Mhz", "F", "France", ' ')});
        t.settings->set("Setup ", "Cluster Hote", "127.0.0.1");
        t.settings->set("Setup ", "Cluster Port", QString::number(server.port()));
        start();
        w->onAir()->Mnu_Cluster->trigger();
        cluster = window<ui::ClusterWindow>("Cluster_DX");
        ASSERT_NE(cluster, nullptr);
        QTest::mouseClick(cluster->Connecter, Qt::LeftButton);
        ASSERT_TRUE(server.waitForLogin("F6XYZ"));
        server.send("DX de W3LPL: 14025.0 JA1ABC CW 599 0312Z\r\n"
                    "DX de W3LPL: 14195.0 JA2XYZ SSB 0313Z\r\n"
                    "DX de W3LPL: 7013.5 OH2BH 0314Z\r\n"
                    "DX de W3LPL: 7150.0 F5XYZ 0315Z\r\n");
        ASSERT_TRUE(QTest::qWaitFor([&] { return spots()->rowCount() == 4; }, 5000));
    }
    QAbstractItemModel* spots() const { return cluster->Liste_Spots->model(); }
    QString cell(int row, int column) const { return spots()->index(row, column).data().toString(); }
    QColor colour(int row) const {
        return spots()->index(row, 0).data(Qt::BackgroundRole).value<QColor>();
    }
    QStringList callsigns() const {
        QStringList calls;
        for (int r = 0; r < spots()->rowCount(); ++r) calls << cell(r, ui::SpotTableModel::Callsign);
        return calls;
    }
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
    EXPECT_EQ(colour(0), ui::spotColour(dxcc::cluster::SpotColour::ToConfirm));
    EXPECT_EQ(colour(1), ui::spotColour(dxcc::cluster::SpotColour::NewEntity));
    EXPECT_EQ(colour(2), ui::spotColour(dxcc::cluster::SpotColour::NewSlot));
    EXPECT_EQ(colour(3), ui::spotColour(dxcc::cluster::SpotColour::Confirmed));
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

TEST(ClusterWindowAlone, ConnectingWithoutAServerTellsTheOperator) {
    testing_support::TestContext t;
    struct NoNeeds : dxcc::cluster::NeededLookup {
        dxcc::cluster::SpotNeed entity(std::string_view) const override { return {}; }
        dxcc::cluster::SpotNeed band(std::string_view, std::string_view) const override { return {}; }
        dxcc::cluster::SpotNeed mode(std::string_view, dxcc::ModeClass) const override { return {}; }
    } needs;
    ui::ClusterWindow window(t.ctx, t.session, needs);
    QTest::mouseClick(window.Connecter, Qt::LeftButton);
    EXPECT_EQ(t.dialogs->messages,
              QStringList{"Aucun serveur de cluster n'est réglé : choisissez « Réglages du cluster DX »."});
    EXPECT_EQ(window.client().state(), ui::ClusterClient::State::Disconnected);
}

}  // namespace
