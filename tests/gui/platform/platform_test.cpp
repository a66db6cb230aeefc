#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/session/log_session.h"
#include "platform/qt_platform.h"
#include "platform/text.h"
#include "platform/uppercase.h"

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

TEST(InitialFiles, FirstStartWritesTheBundledPrefixFileAndAnEmptyFirstNameFile) {
    QTemporaryDir dir;
    ui::installInitialFiles(dir.path());
    QFile shipped(VEL_SOURCE_DIR "/data/Prefixe_DXCC.txt");
    QFile written(dir.path() + "/Prefixe_DXCC.txt");
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), shipped.readAll());
    EXPECT_TRUE(written.permissions() & QFile::WriteOwner);  // the editor must rewrite it
    EXPECT_EQ(QFile(dir.path() + "/Liste_Prenom.txt").size(), 0);

    // Files the operator already has are never replaced.
    {
        QFile own(dir.path() + "/Prefixe_DXCC.txt");
        ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        own.write("F      France                            F      /\r\n");
    }
    ui::installInitialFiles(dir.path());
    EXPECT_EQ(QFile(dir.path() + "/Prefixe_DXCC.txt").size(), 51);
}

}  // namespace

// A data folder whose name holds an accented letter (a French user name).
TEST(DataPaths, AFolderWithAnAccentedNameHoldsTheLog) {
    QTemporaryDir root;
    const QString folder = root.path() + "/Données é";
    ASSERT_TRUE(QDir().mkpath(folder));
    dxcc::LogSession session(ui::toPath(folder));
    session.setStation("F6XYZ");
    ASSERT_TRUE(session.resetLog().ok());
    ASSERT_TRUE(session.commitEntry({}, "F5ABC", "F5ABC", "").ok());
    EXPECT_TRUE(QFileInfo::exists(folder + "/F6XYZ_DXCC.log"));
    EXPECT_EQ(ui::fromPath(session.log().logPath()), folder + "/F6XYZ_DXCC.log");
}
