#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

#include "core/base/program_constants.h"
#include "platform/application.h"
#include "running_log.h"
#include "windows/search/search_window.h"

namespace {

class ConveniencesTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writePrefixes({dxcc::buildPrefixEntry("F", "France", "F")});
        writeLog({testing_support::logLine("F5ABC", "01/02/08")});
    }
};

TEST_F(ConveniencesTest, MainWindowKeepsItsSizeAndPlace) {
    start();
    w->show();
    w->setGeometry(40, 60, 1300, 760);
    const QRect chosen = w->geometry();
    w->close();
    const std::string saved = t.settings->get("Setup ", "Fenetre Principale", "");
    ASSERT_FALSE(saved.empty());
    w.reset();
    start();
    EXPECT_EQ(w->geometry(), chosen);
}

TEST_F(ConveniencesTest, ShortcutsOpenSearchImportAndHelp) {
    start();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QApplication::setActiveWindow(w.get());
    QTest::keyClick(w->entryForm()->Ind_A, Qt::Key_F, Qt::ControlModifier);
    EXPECT_NE(window<ui::SearchWindow>("Recherche_Indicatif"), nullptr);
    EXPECT_EQ(w->Mnu_Import_ADIF->shortcut(), QKeySequence("Ctrl+I"));
    QApplication::setActiveWindow(w.get());
    QTest::keyClick(w->entryForm()->Ind_A, Qt::Key_F1);
    const QStringList shown = takeMessages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("Ctrl+F")) << shown[0].toStdString();
}

TEST(QtTranslationsTest, StandardButtonsSpeakFrench) {
    ASSERT_TRUE(ui::installFrenchQtTranslations(*QCoreApplication::instance()));
    QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().toStdString(), "Annuler");
    EXPECT_TRUE(box.button(QDialogButtonBox::Yes)->text().contains("Oui"));
    // Leave the other tests the untranslated texts they expect.
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

}  // namespace
