#include "windows/prefixes/prefix_update_window.h"

#include <functional>

#include "core/prefixes/prefix_update_messages.h"
#include "core/session/recompute_messages.h"
#include "running_log.h"
#include "windows/main/recompute_window.h"
#include "windows/prefixes/prefix_editor_window.h"

namespace {

namespace msg = dxcc::prefix_update_messages;

const std::string kF = dxcc::buildPrefixEntry("F", "France", "F");
const std::string kTo = dxcc::buildPrefixEntry("TO", "France", "F");
const std::string kMine = dxcc::buildPrefixEntry("F8ZZ", "Corse", "TK");

class PrefixUpdateWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writeLog({});
        writePrefixes({kF, kMine, kTo});
        write("Prefixe_DXCC_base.txt", lines({kF, kTo}));
        write("cty.dat",
              "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n"
              "Guadeloupe:  08:  11:  NA:  16.13:  61.67:  4.0:  FG:\n    FG,TO;\n");
        start();
    }
    // Picks the country file through the menu as the operator does.
    void update() {
        t.dialogs->files.push_back(t.path("cty.dat"));
        w->Mnu_Maj_Prefixes->trigger();
    }
};

TEST_F(PrefixUpdateWindowTest, TheSummaryComesFirstEscapeKeepsTheFileEnterSavesIt) {
    const std::string before = read("Prefixe_DXCC.txt");
    EXPECT_EQ(entryFormLookup("TO5X"), "F");

    QString summary;
    {
        auto shown = testing_support::whenModalShown([&](QWidget* modal) {
            auto* d = qobject_cast<ui::PrefixUpdateDialog*>(modal);
            ASSERT_NE(d, nullptr);
            summary = d->Texte_Resume->toPlainText();
            EXPECT_EQ(d->focusWidget(), d->Enregistrer);
            QTest::keyClick(d->focusWidget(), Qt::Key_Escape);
        });
        update();
    }
    EXPECT_TRUE(summary.contains(ui::fromView(msg::kMoved) + "1\n")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("  TO : F -> FG")) << summary.toStdString();
    EXPECT_TRUE(summary.contains(ui::fromView(msg::kOperatorKept) + "1\n"));
    EXPECT_EQ(read("Prefixe_DXCC.txt"), before);
    EXPECT_EQ(read("Entites_DXCC.txt"), "<missing>");
    EXPECT_EQ(takeMessages(), QStringList());
    EXPECT_EQ(entryFormLookup("TO5X"), "F");

    // An open prefix editor must not keep the old list: its next save would
    // write it over the new file.
    w->Mnu_Ajout_Prefixe->trigger();
    auto* editor = window<ui::PrefixEditorWindow>("Ajout_Prefixe");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->editor().list().size(), 3u);
    {
        auto shown = testing_support::whenModalShown(
            [](QWidget* modal) { QTest::keyClick(modal->focusWidget(), Qt::Key_Return); });
        t.dialogs->answers.push_back(false);  // the recompute of the log, offered
        update();
    }
    EXPECT_EQ(editor->editor().list().size(), 5u);
    EXPECT_EQ(takeMessages(),
              QStringList{ui::fromView(dxcc::recompute_messages::kOfferAfterUpdate)});
    EXPECT_EQ(read("Prefixe_DXCC.txt"),
              lines({kF, kMine, dxcc::buildPrefixEntry("FG", "Guadeloupe", "FG"),
                     dxcc::buildPrefixEntry("TM", "France", "F"),
                     dxcc::buildPrefixEntry("TO", "Guadeloupe", "FG")}));
    EXPECT_NE(read("Prefixe_DXCC_base.txt").find("TM     France"), std::string::npos);
    EXPECT_NE(read("Entites_DXCC.txt").find("FG\tGuadeloupe\t16.13\t-61.67"), std::string::npos);
    EXPECT_EQ(entryFormLookup("TO5X"), "FG");

    // The same file again: nothing to save, and the operator is told so.
    update();
    EXPECT_EQ(takeMessages(), QStringList{ui::fromView(msg::kNothingChanged)});
}

// A country file that would remove more than a tenth of the entries: the
// warning comes first, and Enter cancels; saving takes choosing the button.
TEST_F(PrefixUpdateWindowTest, AnUpdateThatGutsThePrefixFileIsSavedOnlyByChoosingTheButton) {
    write("gut.dat", "France:  14:  27:  EU:  46.00:  -2.00:  -1.0:  F:\n    F,TM;\n");
    const std::string before = read("Prefixe_DXCC.txt");
    auto updateFrom = [&](std::function<void(ui::PrefixUpdateDialog*)> answer) {
        auto shown = testing_support::whenModalShown([&](QWidget* modal) {
            auto* d = qobject_cast<ui::PrefixUpdateDialog*>(modal);
            ASSERT_NE(d, nullptr);
            answer(d);
        });
        t.dialogs->files.push_back(t.path("gut.dat"));
        w->Mnu_Maj_Prefixes->trigger();
    };
    updateFrom([](ui::PrefixUpdateDialog* d) {
        ASSERT_NE(d->Avertissement, nullptr);
        EXPECT_EQ(d->Avertissement->text(),
                  "ATTENTION : cette mise à jour supprimerait 1 des 3 entrées du fichier des "
                  "préfixes (plus d'un dixième) : le fichier des contrées est peut-être "
                  "incomplet.\n" +
                      ui::fromView(msg::kRemovesManyWindow));
        EXPECT_TRUE(d->Texte_Resume->toPlainText().startsWith(
            "ATTENTION : cette mise à jour supprimerait 1 des 3 entrées du fichier des préfixes "
            "(plus d'un dixième) : le fichier des contrées est peut-être incomplet.\n"));
        EXPECT_EQ(d->focusWidget(), d->Annuler);
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(read("Prefixe_DXCC.txt"), before);
    EXPECT_EQ(read("Entites_DXCC.txt"), "<missing>");
    EXPECT_EQ(takeMessages(), QStringList());

    // The operator goes to "Enregistrer" and presses Enter there.
    t.dialogs->answers.push_back(false);  // the recompute of the log, offered
    updateFrom([](ui::PrefixUpdateDialog* d) {
        QTest::keyClick(d->focusWidget(), Qt::Key_Backtab);
        ASSERT_EQ(d->focusWidget(), d->Enregistrer);
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(read("Prefixe_DXCC.txt"),
              lines({kF, kMine, dxcc::buildPrefixEntry("TM", "France", "F")}));
    EXPECT_EQ(takeMessages(),
              QStringList{ui::fromView(dxcc::recompute_messages::kOfferAfterUpdate)});
}

// Once the prefixes are new, the log is offered their entities; Yes leads
// to the recompute's summary.
TEST_F(PrefixUpdateWindowTest, AfterTheUpdateTheRecomputeOfTheLogIsOffered) {
    writeLog({testing_support::logLine("TO5X", "01/02/08")});
    ASSERT_TRUE(w->loadLog());
    QString summary;
    testing_support::ModalExpectation recompute;
    {
        auto shown = testing_support::whenModalShown([&](QWidget* modal) {
            QTest::keyClick(modal->focusWidget(), Qt::Key_Return);
            // The summary of the update closed, the recompute's comes next.
            recompute = testing_support::whenModalShown([&](QWidget* next) {
                auto* d = qobject_cast<ui::RecomputeDialog*>(next);
                ASSERT_NE(d, nullptr);
                summary = d->Texte_Resume->toPlainText();
                QTest::keyClick(d->focusWidget(), Qt::Key_Escape);
            });
        });
        t.dialogs->answers.push_back(true);
        update();
    }
    EXPECT_EQ(summary, "TO5X  01/02/08  F France -> FG Guadeloupe");
    EXPECT_EQ(takeMessages(),
              QStringList{ui::fromView(dxcc::recompute_messages::kOfferAfterUpdate)});
}

}  // namespace
