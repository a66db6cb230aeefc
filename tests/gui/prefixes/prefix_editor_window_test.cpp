#include "windows/prefixes/prefix_editor_window.h"

#include <filesystem>

#include "core/prefixes/prefix_editor_messages.h"
#include "platform/colours.h"
#include "running_log.h"

namespace {

namespace msg = dxcc::prefix_editor_messages;

constexpr auto& m = testing_support::messageText;

const std::string k1A = dxcc::buildPrefixEntry("1A", "Sov Mil Order of Malta", "1A");
const std::string kF = dxcc::buildPrefixEntry("F", "France", "F");
const std::string kG = dxcc::buildPrefixEntry("G", "England", "G");
const std::string kTm = dxcc::buildPrefixEntry("TM", "France", "F");
// A line that no editor wrote: it must come back byte for byte.
const std::string kOdd = "XX   Odd\tlayout  XX";

class PrefixEditorWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override { writeLog({}); }

    ui::PrefixEditorWindow* open() {
        start();
        w->Mnu_Ajout_Prefixe->trigger();
        return window<ui::PrefixEditorWindow>("Ajout_Prefixe");
    }
    static QStringList shown(const std::vector<std::string>& lines) {
        QStringList list;
        for (const std::string& line : lines) list << QString::fromStdString(line);
        return list;
    }
    static bool atRest(QLineEdit* field) {
        return !field->isEnabled() && field->text().isEmpty() &&
               ui::backgroundOf(field) == ui::kRestColour;
    }
    static bool awaitsInput(const ui::PrefixEditorWindow* e, QWidget* field) {
        return field->isEnabled() && e->focusWidget() == field &&
               field->palette().color(QPalette::Base) == ui::kInputColour;
    }
    // An entry keyed field by field, Enter after each.
    static void keyEntry(ui::PrefixEditorWindow* e, const char* prefix, const char* entity,
                         const char* dxcc) {
        for (auto [field, text] : {std::pair{e->N_Prefixe, prefix}, std::pair{e->N_Pays, entity},
                                   std::pair{e->N_DXCC, dxcc}}) {
            QTest::keyClicks(field, text);
            enter(field);
        }
    }
};

TEST_F(PrefixEditorWindowTest, AnEntryTypedFieldByFieldIsSavedAtItsPlaceAndLookedUpAtOnce) {
    writePrefixes({kG, kF, kOdd, kTm, k1A});
    ui::PrefixEditorWindow* e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->windowTitle(), "Edition d'un prefixe");
    EXPECT_EQ(rows(e->Liste_DXCC), shown({k1A, kF, kG, kTm, kOdd}));
    EXPECT_TRUE(awaitsInput(e, e->N_Prefixe));
    EXPECT_TRUE(atRest(e->N_Pays));
    EXPECT_TRUE(atRest(e->N_DXCC));
    EXPECT_FALSE(e->Enregistrer->isEnabled());
    EXPECT_FALSE(e->Supprimer->isEnabled());
    EXPECT_EQ(entryFormLookup("fr5ab"), "F");

    // Each field refuses what the file cannot hold and keeps the focus.
    enter(e->N_Prefixe);
    QTest::keyClicks(e->N_Prefixe, "abcdefg");
    EXPECT_EQ(e->N_Prefixe->text(), "ABCDEFG");
    enter(e->N_Prefixe);
    EXPECT_TRUE(awaitsInput(e, e->N_Prefixe));
    type(e->N_Prefixe, "fr");
    enter(e->N_Prefixe);
    EXPECT_EQ(ui::backgroundOf(e->N_Prefixe), ui::kRestColour);
    EXPECT_TRUE(awaitsInput(e, e->N_Pays));
    enter(e->N_Pays);
    QTest::keyClicks(e->N_Pays, QString(34, 'x'));
    enter(e->N_Pays);
    EXPECT_TRUE(awaitsInput(e, e->N_Pays));
    type(e->N_Pays, "Reunion island");
    enter(e->N_Pays);
    EXPECT_EQ(e->N_Pays->text(), "Reunion island");
    EXPECT_TRUE(awaitsInput(e, e->N_DXCC));
    enter(e->N_DXCC);
    QTest::keyClicks(e->N_DXCC, "abcdefg");
    enter(e->N_DXCC);
    EXPECT_FALSE(e->Enregistrer->isEnabled());
    type(e->N_DXCC, "fr");
    enter(e->N_DXCC);
    EXPECT_EQ(takeMessages(),
              (QStringList{m(msg::kCallsignPrefixEmpty), m(msg::kCallsignPrefixTooLong),
                           m(msg::kEntityNameEmpty), m(msg::kEntityNameTooLong),
                           m(msg::kDxccPrefixEmpty), m(msg::kDxccPrefixTooLong)}));
    EXPECT_TRUE(e->Enregistrer->isEnabled());
    EXPECT_EQ(e->focusWidget(), e->Enregistrer);
    EXPECT_EQ(e->Enregistrer->palette().color(QPalette::Button), ui::kInputColour);

    enter(e->Enregistrer);
    const std::string kFr = dxcc::buildPrefixEntry("FR", "Reunion island", "FR");
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({k1A, kF, kFr, kG, kTm, kOdd}));
    EXPECT_EQ(rows(e->Liste_DXCC), shown({k1A, kF, kFr, kG, kTm, kOdd}));
    EXPECT_TRUE(awaitsInput(e, e->N_Prefixe));
    EXPECT_TRUE(e->N_Prefixe->text().isEmpty());
    EXPECT_TRUE(atRest(e->N_Pays));
    EXPECT_TRUE(atRest(e->N_DXCC));
    EXPECT_FALSE(e->Enregistrer->isEnabled());
    EXPECT_NE(e->Enregistrer->palette().color(QPalette::Button), ui::kInputColour);
    EXPECT_TRUE(takeMessages().isEmpty());
    // The entry form's lookup sees the new entry at once.
    EXPECT_EQ(entryFormLookup("fr5ab"), "FR");
}

// Ticked, "Indicatif exact" shows the exact calls and makes the line typed
// one of them: a whole callsign, '/' included, saved in Exceptions_DXCC.txt.
TEST_F(PrefixEditorWindowTest, AnExactCallIsTypedSavedFoundAndRemovedInItsOwnList) {
    const std::string kFtdm = dxcc::buildExactCallLine("TO8FTDM", "Guadeloupe", "FG");
    writePrefixes({kF, kTm});
    write("Exceptions_DXCC.txt", lines({kFtdm}));
    ui::PrefixEditorWindow* e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(entryFormLookup("tm5xyz/p"), "F");

    // The operator types the callsign, then ticks the box beside it: the
    // callsign stays, the list shows the exact calls.
    QTest::keyClicks(e->N_Prefixe, "tm5xyz/p");
    QTest::keyClick(e, Qt::Key_Tab);
    ASSERT_EQ(e->focusWidget(), e->Indicatif_Exact);
    QTest::keyClick(e->Indicatif_Exact, Qt::Key_Space);
    EXPECT_TRUE(e->Indicatif_Exact->isChecked());
    EXPECT_EQ(rows(e->Liste_DXCC), shown({kFtdm}));
    EXPECT_EQ(e->N_Prefixe->text(), "TM5XYZ/P");
    EXPECT_TRUE(e->Label9->text().startsWith("Indicatif"));
    enter(e->N_Prefixe);
    type(e->N_Pays, "Corsica");
    enter(e->N_Pays);
    type(e->N_DXCC, "TK");
    enter(e->N_DXCC);
    enter(e->Enregistrer);
    const std::string kMine = dxcc::buildExactCallLine("TM5XYZ/P", "Corsica", "TK");
    EXPECT_EQ(read("Exceptions_DXCC.txt"), lines({kMine, kFtdm}));
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({kF, kTm}));
    EXPECT_EQ(rows(e->Liste_DXCC), shown({kMine, kFtdm}));
    EXPECT_TRUE(takeMessages().isEmpty());
    EXPECT_EQ(entryFormLookup("tm5xyz/p"), "TK");

    // A callsign no log could hold is refused on Enter.
    type(e->N_Prefixe, "tm5xyz/pqrstu");
    enter(e->N_Prefixe);
    EXPECT_EQ(takeMessages(), QStringList{m(msg::kExactCallTooLong)});

    // Found in the list, removed with the delete button and the save.
    clickRow(e->Liste_DXCC, 0);
    EXPECT_EQ(e->N_Prefixe->text(), "TM5XYZ/P");
    QTest::mouseClick(e->Supprimer, Qt::LeftButton);
    enter(e->Enregistrer);
    EXPECT_EQ(read("Exceptions_DXCC.txt"), lines({kFtdm}));
    EXPECT_EQ(entryFormLookup("tm5xyz/p"), "F");

    // Unticked, the prefixes again.
    QTest::mouseClick(e->Indicatif_Exact, Qt::LeftButton);
    EXPECT_EQ(rows(e->Liste_DXCC), shown({kF, kTm}));
}

TEST_F(PrefixEditorWindowTest, DeleteAndEditChangeTheFileOnlyWhenSaved) {
    writePrefixes({k1A, kF, kG, kTm, kOdd});
    ui::PrefixEditorWindow* e = open();
    ASSERT_NE(e, nullptr);

    // A click shows the line; delete, then save.
    clickRow(e->Liste_DXCC, 2);
    EXPECT_EQ(e->N_Prefixe->text(), "G");
    EXPECT_EQ(e->N_Pays->text(), "England");
    EXPECT_EQ(e->N_DXCC->text(), "G");
    EXPECT_FALSE(e->N_Prefixe->isEnabled());
    EXPECT_TRUE(e->Supprimer->isEnabled());
    EXPECT_EQ(e->Supprimer->palette().color(QPalette::Button), ui::kInputColour);
    QTest::mouseClick(e->Supprimer, Qt::LeftButton);
    EXPECT_EQ(rows(e->Liste_DXCC), shown({k1A, kF, kTm, kOdd}));
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({k1A, kF, kG, kTm, kOdd}));
    EXPECT_TRUE(atRest(e->N_Prefixe) && atRest(e->N_Pays) && atRest(e->N_DXCC));
    EXPECT_FALSE(e->Supprimer->isEnabled());
    EXPECT_EQ(e->focusWidget(), e->Enregistrer);
    enter(e->Enregistrer);
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({k1A, kF, kTm, kOdd}));
    EXPECT_TRUE(awaitsInput(e, e->N_Prefixe));

    // A double-click opens the line (Enter, from the keyboard); Clear_P and a
    // new entry still replace it.
    clickRow(e->Liste_DXCC, 0);
    QTest::keyClick(e->Liste_DXCC, Qt::Key_Down);
    EXPECT_EQ(e->N_Pays->text(), "France");
    EXPECT_TRUE(e->Supprimer->isEnabled());
    enter(e->Liste_DXCC);
    EXPECT_EQ(e->N_Prefixe->text(), "F");
    EXPECT_TRUE(awaitsInput(e, e->N_Prefixe));
    EXPECT_FALSE(e->Supprimer->isEnabled());
    EXPECT_TRUE(e->editor().editMode());
    QTest::mouseClick(e->Clear_P, Qt::LeftButton);
    EXPECT_TRUE(awaitsInput(e, e->N_Prefixe));
    EXPECT_TRUE(atRest(e->N_Pays) && atRest(e->N_DXCC));
    keyEntry(e, "tk", "Corsica", "tk");
    enter(e->Enregistrer);
    EXPECT_EQ(read("Prefixe_DXCC.txt"),
              lines({k1A, dxcc::buildPrefixEntry("TK", "Corsica", "TK"), kTm, kOdd}));
    EXPECT_FALSE(e->editor().editMode());
    EXPECT_TRUE(takeMessages().isEmpty());

    // The entity list of the awarding body, from the editor.
    QTest::mouseClick(e->Command1, Qt::LeftButton);
    EXPECT_NE(w->findChild<QWidget*>("Liste_ARRL"), nullptr);
}

// Clicks between a delete and the save only show lines; an entry typed again
// is refused with the line that holds it.
TEST_F(PrefixEditorWindowTest, NoLineIsSavedTwice) {
    writePrefixes({k1A, kF, kG, kTm});
    ui::PrefixEditorWindow* e = open();
    ASSERT_NE(e, nullptr);
    clickRow(e->Liste_DXCC, 0);
    QTest::mouseClick(e->Supprimer, Qt::LeftButton);
    clickRow(e->Liste_DXCC, 1);
    EXPECT_EQ(e->N_Pays->text(), "England");
    QTest::mouseClick(e->Enregistrer, Qt::LeftButton);
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({kF, kG, kTm}));
    EXPECT_TRUE(takeMessages().isEmpty());

    keyEntry(e, "tm", "France", "f");
    enter(e->Enregistrer);
    EXPECT_EQ(takeMessages(),
              QStringList{m(msg::kDuplicateEntry) + "\r\n" + QString::fromStdString(kTm)});
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({kF, kG, kTm}));
    EXPECT_EQ(rows(e->Liste_DXCC), shown({kF, kG, kTm}));
    EXPECT_TRUE(awaitsInput(e, e->N_Prefixe));
}

TEST_F(PrefixEditorWindowTest, MissingUnwritableAndUnreadableFiles) {
    // No file: an empty list, and the first save creates it.
    ui::PrefixEditorWindow* e = open();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Liste_DXCC->model()->rowCount(), 0);
    keyEntry(e, "f", "France", "f");
    enter(e->Enregistrer);
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({kF}));

    // A save that cannot write: the number, its meaning, the refusal; the file
    // and the fields stay.
    const auto scratch = ui::toPath(t.path("Temporaire.txt"));
    std::filesystem::create_directory(scratch);
    keyEntry(e, "g", "England", "g");
    enter(e->Enregistrer);
    const QStringList shown = takeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("Erreur N° ")) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].endsWith("\r\n" + m(msg::kNotSaved))) << shown[0].toStdString();
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({kF}));
    EXPECT_EQ(e->N_Pays->text(), "England");
    EXPECT_EQ(e->Liste_DXCC->model()->rowCount(), 1);
    std::filesystem::remove(scratch);
    enter(e->Enregistrer);
    EXPECT_EQ(read("Prefixe_DXCC.txt"), lines({kF, kG}));
    e->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A file that is there but cannot be read is never replaced by a save.
    ASSERT_TRUE(QFile::remove(t.path("Prefixe_DXCC.txt")));
    std::filesystem::create_directory(ui::toPath(t.path("Prefixe_DXCC.txt")));
    w->Mnu_Ajout_Prefixe->trigger();
    e = window<ui::PrefixEditorWindow>("Ajout_Prefixe");
    ASSERT_NE(e, nullptr);
    const QStringList refused = takeMessages();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused[0].contains("Prefixe_DXCC.txt")) << refused[0].toStdString();
    EXPECT_FALSE(e->N_Prefixe->isEnabled());
    EXPECT_FALSE(e->Clear_P->isEnabled());
    EXPECT_FALSE(e->Enregistrer->isEnabled());
}

}  // namespace
