#include "windows/search/search_window.h"

#include <QPointer>

#include "core/search/search_messages.h"
#include "running_log.h"

namespace {

namespace msg = dxcc::search_messages;
using testing_support::logLine;

constexpr auto& m = testing_support::messageText;

class SearchWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writePrefixes({dxcc::buildPrefixEntry("F", "France", "F")});
        writeLog({
            logLine("F5ABC", "01/02/08"),                                    // line 1
            logLine("F5ABC/P", "01/02/08"),                                  // 2
            logLine("F5AB", "02/02/08"),                                     // 3
            logLine("FR5AB", "03/02/08", "CW", "7.0 Mhz", "FR", ""),         // 4
            logLine("TM5XX", "01/02/08"),                                    // 5
            logLine("G4ABC", "04/02/08", "SSB", "14 Mhz ", "G", "England"),  // 6
            logLine("F5ABCDEFGHIJ", "05/02/08"),                             // 7
            logLine("F5ABC", "06/02/08"),                                    // 8
        });
        start();
    }

    ui::SearchWindow* open() {
        QTest::mouseClick(w->entryForm()->Rechercher, Qt::LeftButton);
        return window<ui::SearchWindow>("Recherche_Indicatif");
    }
    // The line numbers of the results, as they begin each result line.
    static QList<int> found(const ui::SearchWindow* s) {
        QList<int> numbers;
        for (const QString& line : rows(s->QSO_Effectues)) numbers << line.left(6).toInt();
        return numbers;
    }
    static bool allEmpty(const ui::SearchWindow* s) {
        return s->Indica->text().isEmpty() && s->Data->text().isEmpty() &&
               s->Depa->text().isEmpty();
    }
};

TEST_F(SearchWindowTest, EachFieldChecksItsTextAndTheSelectedOptionSearches) {
    ui::SearchWindow* s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->windowTitle(), "Rechercher un QSO par...");
    EXPECT_TRUE(s->Option1[0]->isChecked());
    EXPECT_EQ(s->focusWidget(), s->Indica);

    // By callsign: the exact callsign only, typed in lower case.
    QTest::keyClicks(s->Indica, "f5abc");
    EXPECT_EQ(s->Indica->text(), "F5ABC");
    enter(s->Indica);
    EXPECT_EQ(found(s), (QList<int>{1, 8}));
    EXPECT_TRUE(allEmpty(s));
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(s->QSO_Effectues->model()->index(0, 0).data().toString(),
              w->Liste_DXCC->model()->index(0, 0).data().toString());
    QTest::keyClicks(s->Indica, "f5abcdefghij");
    enter(s->Indica);
    EXPECT_EQ(found(s), (QList<int>{7}));
    QTest::keyClicks(s->Indica, "F5ABCDEFGHIJK");
    enter(s->Indica);
    EXPECT_EQ(s->Indica->text(), "F5ABCDEFGHIJK");
    enter(s->Indica);  // nothing is searched: the old results stay
    EXPECT_EQ(found(s), (QList<int>{7}));
    type(s->Indica, "");
    enter(s->Indica);
    EXPECT_EQ(takeMessages(), (QStringList{m(msg::kCallsignTooLong), m(msg::kCallsignTooLong),
                                           m(msg::kCallsignEmpty)}));

    // By date: a click in the field selects its option; the format is checked.
    QTest::mouseClick(s->Data, Qt::LeftButton);
    EXPECT_TRUE(s->Option1[1]->isChecked());
    for (const char* refused : {"", "1/02/08", "01/0208", "01/02/2008"}) {
        type(s->Data, refused);
        enter(s->Data);
    }
    EXPECT_EQ(takeMessages(), (QStringList{m(msg::kDateFormat), m(msg::kDateFormat),
                                           m(msg::kDateFormat), m(msg::kDateTooLong)}));
    type(s->Data, "01/02/08");
    enter(s->Data);
    EXPECT_EQ(found(s), (QList<int>{1, 2, 5}));

    // By prefix: every callsign that begins with it, whatever its entity.
    QTest::mouseClick(s->Depa, Qt::LeftButton);
    EXPECT_TRUE(s->Option1[2]->isChecked());
    QTest::keyClicks(s->Depa, "f");
    enter(s->Depa);
    EXPECT_EQ(found(s), (QList<int>{1, 2, 3, 4, 7, 8}));
    QTest::keyClicks(s->Depa, "tm");
    enter(s->Depa);
    EXPECT_EQ(found(s), (QList<int>{5}));
    QTest::keyClicks(s->Depa, "abcdefg");
    enter(s->Depa);
    enter(s->Depa);
    type(s->Depa, "");
    enter(s->Depa);
    EXPECT_EQ(takeMessages(),
              (QStringList{m(msg::kPrefixTooLong), m(msg::kPrefixTooLong), m(msg::kPrefixEmpty)}));

    // Choosing an option puts the focus in its field.
    QTest::mouseClick(s->Option1[0], Qt::LeftButton);
    EXPECT_EQ(s->focusWidget(), s->Indica);

    // Tab then Enter: the date field's check, then the search of the selected
    // option with its own field's text.
    QTest::keyClick(s->Indica, Qt::Key_Tab);
    EXPECT_EQ(s->focusWidget(), s->Data);
    QTest::keyClicks(s->Data, "01/02/08");
    enter(s->Data);
    EXPECT_EQ(takeMessages(), QStringList{m(msg::kCallsignEmpty)});
    QTest::keyClicks(s->Indica, "g4abc");
    QTest::keyClick(s->Indica, Qt::Key_Tab);
    type(s->Data, "01/02/08");
    enter(s->Data);
    EXPECT_EQ(found(s), (QList<int>{6}));

    // Nothing found: the message, an empty list, empty fields.
    QTest::keyClicks(s->Indica, "zz9zz");
    enter(s->Indica);
    EXPECT_EQ(takeMessages(), QStringList{m(msg::kNothingFound)});
    EXPECT_TRUE(found(s).isEmpty());
    EXPECT_TRUE(allEmpty(s));
}

TEST_F(SearchWindowTest, DoubleClickOnAResultShowsItsContactInTheMainWindowAndCloses) {
    QPointer<ui::SearchWindow> s = open();
    QTest::keyClicks(s->Indica, "f5abc");
    enter(s->Indica);
    doubleClickRow(s->QSO_Effectues, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(s.isNull());
    ui::EntryForm* f = w->entryForm();
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 7);
    EXPECT_TRUE(w->Liste_DXCC->selectionModel()->isRowSelected(7));
    EXPECT_EQ(f->Date_A->text(), "06/02/08");
    EXPECT_TRUE(f->Annule_Saisie->isEnabled());

    // The results follow the log: a contact deleted before a result leaves it
    // naming the same contact.
    s = open();
    QTest::keyClicks(s->Indica, "g4abc");
    enter(s->Indica);
    EXPECT_EQ(found(s), (QList<int>{6}));
    clickRow(w->Liste_DXCC, 0);
    t.dialogs->answers.push_back(true);
    QTest::mouseClick(f->Annule_Saisie, Qt::LeftButton);
    ASSERT_EQ(w->Liste_DXCC->model()->rowCount(), 7);
    EXPECT_EQ(found(s), (QList<int>{5}));
    EXPECT_TRUE(rows(s->QSO_Effectues).value(0).startsWith("     5  G4ABC"));
    doubleClickRow(s->QSO_Effectues, 0);
    EXPECT_EQ(f->Ind_A->text(), "G4ABC");
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 4);

    // During a modification only the highlight moves.
    doubleClickRow(w->Liste_DXCC, 0);
    ASSERT_TRUE(f->state().listLocked());
    EXPECT_EQ(f->Ind_A->text(), "F5ABC/P");
    s = open();
    QTest::keyClicks(s->Indica, "tm5xx");
    enter(s->Indica);
    // Enter on a result chooses it as a double-click does.
    clickRow(s->QSO_Effectues, 0);
    enter(s->QSO_Effectues);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(s.isNull());
    EXPECT_EQ(w->Liste_DXCC->currentIndex().row(), 3);
    EXPECT_EQ(f->Ind_A->text(), "F5ABC/P");
    EXPECT_TRUE(f->state().listLocked());
}

}  // namespace
