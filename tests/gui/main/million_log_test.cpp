#include <gtest/gtest.h>

#include <QTest>

#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "synthetic_log.h"
#include "test_doubles.h"
#include "windows/main/main_window.h"

namespace {

// A log the size a big expedition keeps loads whole into the main list, and its
// last contact is reachable with the mouse.
TEST(MillionQsoLog, LoadsIntoTheListAndTheLastLineShowsItsContact) {
    constexpr size_t kQsos = 1'000'000;
    testing_support::TestContext t;
    const std::string prefixes = dxcc::readFileBytes(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt");
    const dxcc::PrefixTable table = dxcc::PrefixTable::parse(prefixes);
    const std::string logFile = t.path("F6XYZ_DXCC.log").toStdString();
    synth::writeSyntheticLog(logFile, kQsos, &table, synth::builtInCallsigns(20000, 7));
    t.settings->set("Setup ", "Indicatif Station", "F6XYZ");

    ui::MainWindow w(t.ctx, t.session);
    w.startUp(t.session.startUp({}));
    ASSERT_EQ(w.Liste_DXCC->model()->rowCount(), static_cast<int>(kQsos));
    const QModelIndex last = w.Liste_DXCC->model()->index(kQsos - 1, 0);
    EXPECT_EQ(w.Liste_DXCC->currentIndex(), last);

    const std::string lastRecord(w.logbook().record(kQsos - 1));
    const dxcc::QsoFields fields = dxcc::parseRecord(lastRecord);
    EXPECT_TRUE(
        last.data().toString().startsWith("1000000 " + QString::fromStdString(fields.callsign)));

    w.Liste_DXCC->scrollTo(last);
    QTest::mouseClick(w.Liste_DXCC->viewport(), Qt::LeftButton, {},
                      w.Liste_DXCC->visualRect(last).center());
    ui::EntryForm* f = w.entryForm();
    EXPECT_EQ(f->Ind_A->text().toStdString(), dxcc::trimBlanks(fields.callsign));
    EXPECT_EQ(f->Date_A->text().toStdString(), fields.date);
    EXPECT_EQ(f->Heure_A->text().toStdString(), fields.time);
    EXPECT_EQ(f->Pays_A->text().toStdString(), dxcc::trimBlanks(fields.entityName));
    EXPECT_EQ(f->QSL_A->isChecked(), fields.confirmed());
    EXPECT_TRUE(f->Annule_Saisie->isEnabled());
}

}  // namespace
