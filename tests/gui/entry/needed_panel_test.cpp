#include "windows/entry/needed_panel.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QtTest/QTest>
#include <memory>

#include "core/awards/needed_messages.h"
#include "core/geo/geo_messages.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "platform/text.h"
#include "running_log.h"
#include "test_doubles.h"
#include "windows/entry/entry_form.h"
#include "windows/main/main_window.h"
#include "windows/station/locator_window.h"

namespace {

constexpr auto& m = testing_support::messageText;

std::string qso(const char* call, const char* date, const char* mode, const char* band,
                const char* dxcc, const char* entity, char qsl) {
    return dxcc::buildRecord(
        dxcc::QsoFields{call, "", date, "10:00", mode, band, "59", "59", dxcc, entity, qsl});
}

// The main window on a small log: England worked in SSB on 14 MHz (confirmed)
// and in CW on 7 MHz (not confirmed); Japan never worked.
class NeededPanelTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        std::string prefixes;
        for (auto [prefix, entity, dxcc] :
             {std::array<const char*, 3>{"G", "England", "G"}, {"JA", "Japan", "JA"}})
            prefixes += dxcc::buildPrefixEntry(prefix, entity, dxcc) + "\r\n";
        write("Prefixe_DXCC.txt", prefixes);
        write("Entites_DXCC.txt",
              "G\tEngland\t52.77\t-1.47\tEU\t14\t27\t0.00\r\n"
              "JA\tJapan\t36.40\t138.38\tAS\t25\t45\t9.00\r\n");
        write("F6XYZ_DXCC.log",
              qso("G3AAA", "01/02/08", "SSB", "14 Mhz ", "G", "England", '*') + "\r\n" +
                  qso("G3AAA", "05/03/08", "CW", "7.0 Mhz", "G", "England", ' ') + "\r\n" +
                  qso("G4BBB", "06/03/08", "CW", "7.0 Mhz", "G", "England", ' ') + "\r\n");
        t.settings->set("Setup F6XYZ", "bande Utilisee", "4");  // 14 Mhz
        t.settings->set("Setup F6XYZ", "Mode Utilise", "0");    // SSB
    }
    // The messages of the start-up are kept for the test to see.
    void start() {
        startUp();
        f = w->entryForm();
        p = f->Besoin_DXCC;
    }
    void callsign(const QString& call) {
        QTest::keyClicks(f->Ind_A, call);
        QTest::keyClick(f->Ind_A, Qt::Key_Return);
    }
    static void choose(QComboBox* box, const QString& item) {
        box->setFocus();
        box->setCurrentIndex(box->findText(item));
    }
    QString cell(int cls, int band) const {
        return p->findChild<QLabel*>(QString("Case_%1_%2").arg(cls).arg(band))->text();
    }
    QString statusBar() const { return w->findChild<QLabel*>("Barre_Etat")->text(); }

    ui::EntryForm* f = nullptr;
    ui::NeededPanel* p = nullptr;
};

TEST_F(NeededPanelTest, StatusFollowsTheCallsignBandAndModeAtOnce) {
    start();
    EXPECT_TRUE(p->Etat_Besoin->text().isEmpty());
    callsign("g4xyz");
    struct Row {
        const char* band;
        const char* mode;
        std::string_view status;
    };
    const Row rows[] = {
        {"14 Mhz ", "SSB", dxcc::needed_messages::kAlreadyConfirmed},
        {"7.0 Mhz", "CW", dxcc::needed_messages::kToConfirm},
        {"14 Mhz ", "CW", dxcc::needed_messages::kToConfirm},
        {"21 Mhz ", "SSB", dxcc::needed_messages::kNewBand},
        {"14 Mhz ", "DIG", dxcc::needed_messages::kNewMode},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.band) + r.mode);
        choose(f->Bande_A, r.band);
        choose(f->Mode_A, r.mode);
        EXPECT_EQ(p->Etat_Besoin->text(), m(r.status));
    }
    // The grid: SSB on 14 MHz confirmed, CW on 7 MHz worked, nothing else.
    EXPECT_EQ(cell(0, 4), "C");
    EXPECT_EQ(cell(1, 2), "W");
    EXPECT_EQ(cell(1, 4), "");
    EXPECT_EQ(cell(0, 2), "");
    // Zones and local time from the entity file; no heading without a locator.
    EXPECT_TRUE(p->Infos_Contree->text().contains("EU · CQ 14 · ITU 27 · heure locale 00:05"))
        << p->Infos_Contree->text().toStdString();
    EXPECT_FALSE(p->Infos_Contree->text().contains("Cap"));

    // Another entity, never worked; the earlier contacts are of the callsign only.
    f->Efface_QSO();
    EXPECT_TRUE(p->Etat_Besoin->text().isEmpty());
    callsign("ja1zz");
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kNewEntity));
    EXPECT_TRUE(p->QSO_Precedents->text().isEmpty());
    EXPECT_TRUE(p->Infos_Contree->text().contains("heure locale 09:05"));
}

TEST_F(NeededPanelTest, EarlierContactsLatestFirstAndCountsFollowTheLog) {
    start();
    EXPECT_EQ(statusBar(), "3" + m(dxcc::needed_messages::kStatusQsos) + "1" +
                               m(dxcc::needed_messages::kStatusWorked) + "1" +
                               m(dxcc::needed_messages::kStatusConfirmed));
    callsign("g3aaa");
    const QStringList lines = p->QSO_Precedents->text().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("05/03/08 10:00  7.0 Mhz CW")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("01/02/08 10:00  14 Mhz  SSB *")) << lines[1].toStdString();

    // A contact with Japan stored through the form: the counts and the panel
    // follow without a new pass.
    f->Efface_QSO();
    callsign("ja1zz");
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kNewEntity));
    QTest::keyClick(f->Prenom_A, Qt::Key_Return);
    QTest::keyClick(f->RST_A, Qt::Key_Return);
    QTest::keyClick(f->RSTE_A, Qt::Key_Return);
    QTest::keyClick(f->QSL_A, Qt::Key_Return);
    t.dialogs->answers.push_back(true);
    QTest::keyClick(f->Valide_A, Qt::Key_Return);
    EXPECT_TRUE(statusBar().startsWith("4" + m(dxcc::needed_messages::kStatusQsos) + "2"))
        << statusBar().toStdString();
    EXPECT_EQ(t.session.needed().entity("JA"), dxcc::Need::Worked);
    callsign("ja1zz");
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kToConfirm));
    EXPECT_EQ(p->QSO_Precedents->text().count('\n'), 0);
    EXPECT_FALSE(p->QSO_Precedents->text().isEmpty());
}

// A chaser types a callsign after another: the panel answers for the text in
// the callsign field at each key, Enter or not, and never with a message.
TEST_F(NeededPanelTest, ThePanelFollowsTheCallsignAsItIsTyped) {
    start();
    callsign("ja1zz");
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kNewEntity));
    EXPECT_EQ(takeMessages().size(), 1);  // a new prefix: said on Enter
    ASSERT_FALSE(f->Ind_A->hasFocus());

    // Back in the callsign field, the next callsign typed over the first.
    f->Ind_A->setFocus();
    type(f->Ind_A, "g3a");
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kAlreadyConfirmed));
    // The entity fields follow too: no contact stored with the entity before.
    EXPECT_EQ(f->Prefixe_A->text(), "G");
    EXPECT_EQ(f->Pays_A->text().trimmed(), "England");
    EXPECT_TRUE(p->Infos_Contree->text().contains("EU · CQ 14"))
        << p->Infos_Contree->text().toStdString();
    EXPECT_TRUE(p->QSO_Precedents->text().isEmpty());
    QTest::keyClicks(f->Ind_A, "aa");
    EXPECT_EQ(p->QSO_Precedents->text().count('\n'), 1);
    // 14 MHz SSB, the band and mode chosen: the line of the latest such contact.
    const QString worked = m(dxcc::needed_messages::kWorkedOnBandAndMode);
    EXPECT_EQ(p->workedBefore->text(), worked + "01/02/08");
    choose(f->Mode_A, "CW");
    EXPECT_TRUE(p->workedBefore->text().isEmpty());
    choose(f->Bande_A, "7.0 Mhz");
    EXPECT_EQ(p->workedBefore->text(), worked + "05/03/08");
    QTest::keyClick(f->Ind_A, Qt::Key_Backspace);  // G3AA: never worked itself
    EXPECT_TRUE(p->workedBefore->text().isEmpty());
    EXPECT_TRUE(p->QSO_Precedents->text().isEmpty());
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kToConfirm));

    // Emptied: nothing at all, not the entity of the last Enter.
    type(f->Ind_A, "");
    for (QLabel* label : {p->Etat_Besoin, p->workedBefore, p->Infos_Contree, p->QSO_Precedents})
        EXPECT_TRUE(label->text().isEmpty()) << label->objectName().toStdString();
    // A text with no entity shows none either.
    type(f->Ind_A, "QQ");
    EXPECT_TRUE(p->Etat_Besoin->text().isEmpty());
    EXPECT_TRUE(f->Prefixe_A->text().isEmpty());
    EXPECT_TRUE(f->Pays_A->text().isEmpty());
    EXPECT_TRUE(t.dialogs->messages.isEmpty()) << t.dialogs->messages.join('|').toStdString();

    // A contact opened from the list shows its own prefix, whatever it resolves to.
    doubleClickRow(w->Liste_DXCC, 2);
    EXPECT_EQ(f->Ind_A->text(), "G4BBB");
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kToConfirm));
    EXPECT_EQ(p->workedBefore->text(), worked + "06/03/08");
    // Its callsign edited: the panel answers for the new text, the contact's
    // fields wait for Enter.
    type(f->Ind_A, "ja1zz");
    EXPECT_EQ(p->Etat_Besoin->text(), m(dxcc::needed_messages::kNewEntity));
    EXPECT_EQ(f->Prefixe_A->text(), "G");
    EXPECT_TRUE(t.dialogs->messages.isEmpty());
}

TEST_F(NeededPanelTest, LocatorWindowChecksStoresAndShowsTheHeading) {
    start();
    callsign("ja1zz");
    struct Row {
        const char* typed;
        bool refused;
        const char* stored;
    };
    const Row rows[] = {
        {"JN18", false, "JN18"},
        {"jn18DU", false, "JN18du"},
        {"ZZ99zz", true, "JN18du"},
        {"JN1", true, "JN18du"},
        {"", false, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        t.dialogs->messages.clear();
        auto* dialog = new ui::LocatorWindow(
            t.ctx, t.session.settings(), [this] { f->showNeeded(); }, w.get());
        dialog->Locator_Station->setText(r.typed);
        QTest::keyClick(dialog->Locator_Station, Qt::Key_Return);
        EXPECT_EQ(t.dialogs->messages,
                  r.refused ? QStringList{m(dxcc::geo::kLocatorMalformed)} : QStringList{});
        EXPECT_EQ(t.settings->get("Setup F6XYZ", "Locator", "none"), r.stored);
        if (r.refused) dialog->close();
        const bool heading = !QString(r.stored).isEmpty();
        EXPECT_EQ(p->Infos_Contree->text().contains("Cap "), heading)
            << p->Infos_Contree->text().toStdString();
    }
}

}  // namespace
