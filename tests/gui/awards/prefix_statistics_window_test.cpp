#include "windows/awards/prefix_statistics_window.h"

#include "core/awards/prefix_statistics_messages.h"
#include "platform/colours.h"
#include "running_log.h"

namespace {

namespace msg = dxcc::prefix_statistics_messages;
using testing_support::logLine;

constexpr auto& m = testing_support::messageText;

class PrefixStatisticsWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writePrefixes({
            dxcc::buildPrefixEntry("F", "France", "F"),
            dxcc::buildPrefixEntry("FR", "Reunion Island", "FR"),
            dxcc::buildPrefixEntry("TM", "France", "F"),
        });
        const char q = '*';
        writeLog({
            logLine("F5ABC", "01/02/08", "FM", "14 Mhz ", "F", "France", q),     // box 13
            logLine("TM5XX", "01/02/08", "PSK", "7.0 Mhz", "F", "France", q),    // box 9
            logLine("F5ABC", "01/02/08", "CW", "10 Mhz ", "F", "France", q),     // box 11
            logLine("F5ABC", "01/02/08", "SSB", "1.8 Mhz", "F", "France", q),    // box 1
            logLine("F5ABC", "01/02/08", "DIG", "21 Mhz ", "F", "France", q),    // no row
            logLine("F5ABC", "01/02/08", "SSB", "432 Mhz", "F", "France", q),    // no column
            logLine("F5ABC", "01/02/08", "CW", "3.5 Mhz", "F", "France"),        // unconfirmed
            logLine("FR5AB", "01/02/08", "SSB", "50 Mhz ", "FR", "Reunion", q),  // other entity
            logLine("F5XYZ", "01/02/08", "SSB", "28 Mhz ", "", "", q),           // unresolved
        });
        start();
    }

    static std::vector<int> marked(const ui::PrefixStatisticsWindow* s) {
        std::vector<int> boxes;
        for (QCheckBox* box : s->Chk)
            if (box->isChecked()) boxes.push_back(box->objectName().mid(4).chopped(1).toInt());
        return boxes;
    }
};

TEST_F(PrefixStatisticsWindowTest, EnterChecksThePrefixThenTheGridShowsItsEntity) {
    QTest::mouseClick(w->entryForm()->Stat_Pref, Qt::LeftButton);
    auto* s = window<ui::PrefixStatisticsWindow>("Stat_Prefixe");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->windowTitle(), "Statistiques du prefixe");
    EXPECT_EQ(s->focusWidget(), s->Pref_S);
    EXPECT_EQ(ui::backgroundOf(s->Pref_S), ui::kInputColour);
    EXPECT_FALSE(s->Afficher->isEnabled());

    enter(s->Pref_S);
    QTest::keyClicks(s->Pref_S, "abcdefg");
    EXPECT_EQ(s->Pref_S->text(), "ABCDEFG");
    enter(s->Pref_S);
    EXPECT_EQ(takeMessages(), (QStringList{m(msg::kPrefixEmpty), m(msg::kPrefixTooLong)}));
    EXPECT_FALSE(s->Afficher->isEnabled());

    // TM belongs to the entity F: every confirmed contact of France counts, a
    // digital mode in the RTTY row.
    type(s->Pref_S, "tm");
    enter(s->Pref_S);
    EXPECT_EQ(ui::backgroundOf(s->Pref_S), ui::kRestColour);
    EXPECT_TRUE(s->Afficher->isEnabled());
    EXPECT_EQ(s->Afficher->palette().color(QPalette::Button), ui::kInputColour);
    EXPECT_EQ(s->focusWidget(), s->Afficher);
    enter(s->Afficher);
    EXPECT_EQ(marked(s), (std::vector<int>{1, 9, 11, 13, 21}));
    EXPECT_EQ(s->windowTitle(), "Statistiques du préfixe TM   France");
    EXPECT_TRUE(s->Pref_S->text().isEmpty());
    EXPECT_EQ(s->focusWidget(), s->Pref_S);
    EXPECT_FALSE(s->Afficher->isEnabled());
    EXPECT_NE(s->Afficher->palette().color(QPalette::Button), ui::kInputColour);
    EXPECT_TRUE(takeMessages().isEmpty());

    // Each box stands under its band, each row beside its caption.
    for (size_t band = 0; band < dxcc::kStatisticsBandColumns; ++band) {
        EXPECT_GT(s->Label2[band + 1]->x(), s->Label2[band]->geometry().right());
        for (size_t row = 0; row < dxcc::kStatisticsModeRows; ++row) {
            const QRect box = s->Chk[dxcc::StatisticsGrid::cellIndex(band, row)]->geometry();
            EXPECT_NEAR(box.center().x(), s->Label2[band + 1]->geometry().center().x(), 2) << band;
            EXPECT_NEAR(box.center().y(), s->RowCaption[row]->geometry().center().y(), 2) << row;
        }
    }

    // A prefix that is no line's callsign prefix: an empty grid, no message.
    QTest::keyClicks(s->Pref_S, "f5");
    enter(s->Pref_S);
    enter(s->Afficher);
    EXPECT_TRUE(marked(s).empty());
    EXPECT_EQ(s->windowTitle(), "Statistiques du préfixe F5   ");
    type(s->Pref_S, "fr");
    enter(s->Pref_S);
    enter(s->Afficher);
    EXPECT_EQ(marked(s), (std::vector<int>{28}));

    // Without the prefix file no entity can be found: said, naming the file.
    ASSERT_TRUE(QFile::remove(t.path("Prefixe_DXCC.txt")));
    QTest::keyClicks(s->Pref_S, "f");
    enter(s->Pref_S);
    enter(s->Afficher);
    const QStringList shown = takeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("Erreur N°  53")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("Prefixe_DXCC.txt")) << shown[0].toStdString();
    EXPECT_TRUE(marked(s).empty());
    EXPECT_EQ(s->windowTitle(), "Statistiques du prefixe");
}

}  // namespace
