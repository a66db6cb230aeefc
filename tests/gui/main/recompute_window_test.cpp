#include "windows/main/recompute_window.h"

#include "core/session/recompute_messages.h"
#include "running_log.h"

namespace {

namespace msg = dxcc::recompute_messages;
using testing_support::logLine;

class RecomputeWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writePrefixes({dxcc::buildPrefixEntry("EA8", "Canary Islands", "EA8"),
                       dxcc::buildPrefixEntry("F", "France", "F")});
        // Stored by the classic rule, which read only the first characters.
        writeLog({logLine("F5ABC/EA8", "01/02/08"), logLine("F5BBB", "02/02/08")});
        start();
    }
    // The menu item, the summary answered by `answer`.
    void recompute(std::function<void(ui::RecomputeDialog*)> answer) {
        auto shown = testing_support::whenModalShown([&](QWidget* modal) {
            auto* d = qobject_cast<ui::RecomputeDialog*>(modal);
            ASSERT_NE(d, nullptr);
            answer(d);
        });
        w->Mnu_Recalcul_Contrees->trigger();
    }
};

TEST_F(RecomputeWindowTest, TheSummaryComesFirstAndSavingTakesChoosingTheButton) {
    const std::string before = read("F6XYZ_DXCC.log");
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        recompute([&](ui::RecomputeDialog* d) {
            EXPECT_EQ(d->Nombre_Changements->text(), "1" + ui::fromView(msg::kChangeCount));
            EXPECT_EQ(d->Texte_Resume->toPlainText(),
                      "F5ABC/EA8  01/02/08  F France -> EA8 Canary Islands");
            EXPECT_EQ(d->focusWidget(), d->Annuler);
            QTest::keyClick(d->focusWidget(), key);
        });
        EXPECT_EQ(read("F6XYZ_DXCC.log"), before);
        EXPECT_EQ(takeMessages(), QStringList());
    }

    recompute([](ui::RecomputeDialog* d) {
        QTest::keyClick(d->focusWidget(), Qt::Key_Backtab);
        ASSERT_EQ(d->focusWidget(), d->Enregistrer);
        QTest::keyClick(d->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(read("F6XYZ_DXCC.log"),
              lines({logLine("F5ABC/EA8", "01/02/08", "SSB", "14 Mhz ", "EA8", "Canary Islands"),
                     logLine("F5BBB", "02/02/08")}));
    EXPECT_EQ(takeMessages(), QStringList());
    // The list and the needed status follow at once.
    EXPECT_TRUE(rows(w->Liste_DXCC)[0].contains("Canary Islands"));
    EXPECT_NE(t.session.needed().entity("EA8"), t.session.needed().entity("ZZZ"));

    // Done: nothing more to change, and the operator is told so.
    w->Mnu_Recalcul_Contrees->trigger();
    EXPECT_EQ(takeMessages(), QStringList{"0" + ui::fromView(msg::kChangeCount)});
}

}  // namespace
