#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>

#include "core/base/write_faults.h"
#include "core/session/log_session.h"
#include "platform/qt_platform.h"
#include "platform/text.h"
#include "platform/uppercase.h"
#include "test_doubles.h"
#include "windows/main/start_up.h"

namespace {

TEST(Cp1252, RoundTripsTheFrenchAndTheTypographicCharacters) {
    const std::string bytes = "Pr\xE9nom \x80 \x9C \xC9T\xC9";  // é € œ É
    const QString text = ui::fromCp1252(bytes);
    EXPECT_EQ(text, QString::fromUtf8("Prénom € œ ÉTÉ"));
    EXPECT_EQ(ui::toCp1252(text), bytes);
    // One character, one byte: what the code page lacks becomes '?'.
    EXPECT_EQ(ui::toCp1252(QString::fromUtf8("Ж日")), "??");
}

TEST(UppercaseRule, OnlyAsciiLettersAndOptionallyTheSlash) {
    EXPECT_EQ(ui::applyUppercaseRule("f5abc/p é"), "F5ABC/P é");
    EXPECT_EQ(ui::applyUppercaseRule("fxxxx/p", true), "FXXXX_P");
}

QByteArray bytesOf(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The program's start, as main() makes it, and what it tells.
void startProgram(testing_support::TestContext& t) {
    EXPECT_TRUE(ui::tellStartUp(t.ctx, t.session.startUp(ui::shippedFiles()), t.ctx.dataDir));
}

// The windows' start on a folder of an earlier version, or a new one: before
// anything reads it, it gets the files the program comes with, byte for byte,
// and keeps every file the operator has; what cannot be put in is told.
TEST(InitialFiles, TheStartPutsInWhatTheFolderLacksAndKeepsWhatTheOperatorHas) {
    testing_support::TestContext t;
    startProgram(t);
    const QByteArray shippedPrefixes = bytesOf(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt");
    ASSERT_TRUE(shippedPrefixes.endsWith("/\r\n"));
    EXPECT_EQ(bytesOf(t.path("Prefixe_DXCC.txt")), shippedPrefixes);
    EXPECT_EQ(bytesOf(t.path("Entites_DXCC.txt")),
              bytesOf(VEL_SOURCE_DIR "/data/Entites_DXCC.txt"));
    EXPECT_EQ(bytesOf(t.path("Liste_Prenom.txt")), "");
    EXPECT_TRUE(QFile(t.path("Prefixe_DXCC.txt")).permissions() & QFile::WriteOwner);
    EXPECT_EQ(t.dialogs->messages, QStringList());
    EXPECT_EQ(t.session.prefixes().lookup("VK2ABC").dxccPrefix, "VK");
    EXPECT_NE(t.session.entityData().find("VK"), nullptr);

    // The operator's own files are never replaced; a missing one comes back.
    const QByteArray own = "F      France                            F      /\r\n";
    {
        QFile f(t.path("Prefixe_DXCC.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(own);
    }
    QFile::remove(t.path("Entites_DXCC.txt"));
    startProgram(t);
    EXPECT_EQ(bytesOf(t.path("Prefixe_DXCC.txt")), own);
    EXPECT_EQ(bytesOf(t.path("Entites_DXCC.txt")),
              bytesOf(VEL_SOURCE_DIR "/data/Entites_DXCC.txt"));

    // A folder that cannot be written (read-only) keeps the program going, and says so.
    QFile::remove(t.path("Prefixe_DXCC.txt"));
    {
        dxcc::ScopedWriteFault readOnly(
            [](dxcc::WriteStep, const std::filesystem::path&) { return EROFS; });
        startProgram(t);
    }
    ASSERT_EQ(t.dialogs->messages.size(), 1);
    EXPECT_TRUE(t.dialogs->messages[0].startsWith("Erreur N°  70"))
        << t.dialogs->messages[0].toStdString();
    EXPECT_TRUE(t.dialogs->messages[0].endsWith(
        "Le fichier des préfixes Prefixe_DXCC.txt manque dans le dossier de données et n'a pas pu "
        "y être mis : les indicatifs n'y trouveront pas leur contrée."));
    EXPECT_FALSE(QFile::exists(t.path("Prefixe_DXCC.txt")));
}

// Enter and Escape pressed on the real message box: a question that would
// destroy data must come back with the safe answer; an ordinary one keeps Yes
// as its default.
TEST(QuestionDefaults, EnterAndEscapeGiveTheSafeAnswerToDestructiveQuestions) {
    ui::QtDialogs dialogs;
    struct Case {
        const char* name;
        std::function<bool()> ask;
        bool enterAnswer;
    };
    const Case cases[] = {
        {"ordinary yes/no", [&] { return dialogs.askYesNo("Valider ?"); }, true},
        {"destructive yes/no", [&] { return dialogs.askYesNoDestructive("Supprimer ?"); }, false},
        {"critical ok/cancel", [&] { return dialogs.askOkCancelCritical("Effacer ?"); }, false},
    };
    for (const Case& c : cases) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            auto pressed =
                testing_support::whenModalShown([key](QWidget* box) { QTest::keyClick(box, key); });
            const bool answer = c.ask();
            EXPECT_EQ(answer, key == Qt::Key_Return && c.enterAnswer)
                << c.name << (key == Qt::Key_Return ? " / Enter" : " / Escape");
        }
    }
}

}  // namespace

// A data folder whose name holds an accented letter (a French user name).
TEST(DataPaths, AFolderWithAnAccentedNameHoldsTheLog) {
    QTemporaryDir root;
    const QString folder = root.path() + "/Données é";
    ASSERT_TRUE(QDir().mkpath(folder));
    dxcc::LogSession session(ui::toPath(folder));
    ASSERT_TRUE(session.openStation("F6XYZ").ok());
    ASSERT_TRUE(session.resetLog().ok());
    ASSERT_TRUE(session.commitEntry({}, "F5ABC", "F5ABC", "").ok());
    EXPECT_TRUE(QFileInfo::exists(folder + "/F6XYZ_DXCC.log"));
    EXPECT_EQ(ui::fromPath(session.log().logPath()), folder + "/F6XYZ_DXCC.log");
}
