// The operator's commands when the disk fails them, when the data folder
// vanishes, when another program changed the log, and when a second copy of
// the program starts on the same folder. Each command is done as a person at
// the keyboard does it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QtTest/QTest>
#include <cerrno>
#include <functional>
#include <map>
#include <memory>
#include <span>

#include "core/base/text_file.h"
#include "core/base/write_faults.h"
#include "core/logbook/log_messages.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "core/session/session_messages.h"
#include "platform/text.h"
#include "running_log.h"
#include "sample_records.h"
#include "test_doubles.h"
#include "windows/main/main_window.h"
#include "windows/main/start_up.h"
#include "windows/prefixes/prefix_editor_window.h"
#include "windows/station/station_window.h"

namespace {

using ui::fromView;

QByteArray record(const char* callsign, const char* date, const char* time) {
    dxcc::QsoFields q{callsign, "PAUL", date, time,      "SSB", "7.0 Mhz",
                      "59",     "59",   "G",  "England", ' '};
    return QByteArray::fromStdString(dxcc::buildRecord(q));
}

// The program running on a data folder with a log of three contacts.
struct Program : testing_support::RunningLogBase {
    Program() {
        write("Prefixe_DXCC.txt",
              QByteArray::fromStdString(dxcc::buildPrefixEntry("G", "England", "G") + "\r\n"));
        write("Liste_Prenom.txt", "G4AAA           PAUL\r\n");
        write("F6XYZ_DXCC.log", record("G4AAA", "01/01/08", "10:00") + "\r\n" +
                                    record("G4BBB", "01/02/08", "10:00") + "\r\n" +
                                    record("G4CCC", "01/03/08", "10:00") + "\r\n");
        startUp();
        f = w->entryForm();
        t.dialogs->messages.clear();
    }

    void write(const QString& name, const QByteArray& bytes) {
        RunningLogBase::write(name, bytes.toStdString());
    }
    std::map<QString, QByteArray> files() const {
        std::map<QString, QByteArray> out;
        for (const QString& name : QDir(t.dir.path()).entryList(QDir::Files)) {
            QFile file(t.path(name));
            out[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
        }
        return out;
    }
    // The main list shows exactly the lines of the file.
    void expectListEqualsFile() {
        const std::vector<std::string> lines = dxcc::readLines(w->logbook().logPath());
        QAbstractItemModel* model = w->Liste_DXCC->model();
        ASSERT_EQ(model->rowCount(), static_cast<int>(lines.size()));
        for (int row = 0; row < model->rowCount(); ++row)
            EXPECT_EQ(model->data(model->index(row, 0)).toString(),
                      ui::fromCp1252(dxcc::buildDisplayLine(lines[row], row + 1)));
    }

    void typeContact(const char* callsign) {
        QTest::keyClicks(f->Ind_A, callsign);
        enter(f->Ind_A);
        QTest::keyClicks(f->Prenom_A, "anne");
        enter(f->Prenom_A);
        if (f->Date_A->text().isEmpty()) {
            QTest::keyClicks(f->Date_A, "15/02/08");
            enter(f->Date_A);
            QTest::keyClicks(f->Heure_A, "12:00");
            enter(f->Heure_A);
        }
        for (QWidget* field : {static_cast<QWidget*>(f->RST_A), static_cast<QWidget*>(f->RSTE_A),
                               static_cast<QWidget*>(f->QSL_A)})
            enter(field);
    }
    void clickRow(int row) {
        const QRect r = w->Liste_DXCC->visualRect(w->Liste_DXCC->model()->index(row, 0));
        QTest::mouseClick(w->Liste_DXCC->viewport(), Qt::LeftButton, {}, r.center());
    }
    void commitWithYes() {
        t.dialogs->answers.push_back(true);
        QTest::mouseClick(f->Valide_A, Qt::LeftButton);
    }

    ui::EntryForm* f = nullptr;
};

// A command in two steps: what is typed before, and the act that writes.
struct Command {
    const char* name;
    std::function<void(Program&)> prepare;
    std::function<void(Program&)> act;
};

const Command kCommands[] = {
    {"append", [](auto& c) { c.typeContact("g4new"); }, [](auto& c) { c.commitWithYes(); }},
    {"insert",
     [](auto& c) {
         QTest::mouseClick(c.f->Ajout_QSO, Qt::LeftButton);
         c.typeContact("g4new");
     },
     [](auto& c) { c.commitWithYes(); }},
    {"modify",
     [](auto& c) {
         c.clickRow(1);
         QTest::mouseDClick(
             c.w->Liste_DXCC->viewport(), Qt::LeftButton, {},
             c.w->Liste_DXCC->visualRect(c.w->Liste_DXCC->model()->index(1, 0)).center());
         c.f->RSTE_A->setText("55");
     },
     [](auto& c) { c.commitWithYes(); }},
    {"delete", [](auto& c) { c.clickRow(1); },
     [](auto& c) {
         c.t.dialogs->answers.push_back(true);
         QTest::mouseClick(c.f->Annule_Saisie, Qt::LeftButton);
     }},
    {"import",
     [](auto& c) {
         c.write("export.adi",
                 "<CALL:5>G4ADI<QSO_DATE:8>20080202<TIME_ON:4>1100<BAND:3>20m<MODE:3>SSB<EOR>\n");
         c.t.dialogs->files.push_back(c.t.path("export.adi"));
     },
     [](auto& c) { c.w->Mnu_Import_ADIF->trigger(); }},
    {"reset", [](auto&) {},
     [](auto& c) {
         c.t.dialogs->answers.push_back(true);
         c.w->Mnu_RAZ->trigger();
     }},
    {"station change",
     [](auto& c) {
         c.w->Mnu_New_Indicatif->trigger();
         auto* station = c.w->template findChild<ui::StationWindow*>("Station");
         ASSERT_NE(station, nullptr);
         QTest::keyClicks(station->New_Indicatif, "f1new");
     },
     [](auto& c) {
         auto* station = c.w->template findChild<ui::StationWindow*>("Station");
         ASSERT_NE(station, nullptr);
         QTest::mouseClick(station->Validation, Qt::LeftButton);
     }},
    {"prefix editor save",
     [](auto& c) {
         c.w->Mnu_Ajout_Prefixe->trigger();
         auto* editor = c.w->template findChild<ui::PrefixEditorWindow*>("Ajout_Prefixe");
         ASSERT_NE(editor, nullptr);
         for (auto [field, text] :
              {std::pair{editor->N_Prefixe, "tk"}, std::pair{editor->N_Pays, "Corsica"},
               std::pair{editor->N_DXCC, "tk"}}) {
             QTest::keyClicks(field, text);
             Program::enter(field);
         }
     },
     [](auto& c) {
         auto* editor = c.w->template findChild<ui::PrefixEditorWindow*>("Ajout_Prefixe");
         ASSERT_NE(editor, nullptr);
         Program::enter(editor->Enregistrer);
     }},
};

struct DiskFault {
    int error;
    QString number;   // the error's first line
    QString meaning;  // what it means, in French
};

const DiskFault kDiskFaults[] = {
    {ENOSPC, "Erreur N°  61", "Le disque est plein."},
    {EACCES, "Erreur N°  70", "Permission refusée."},
    {EROFS, "Erreur N°  70", "Le disque est en lecture seule."},
};

// The seam makes every write of the data files fail, as the disk would.
TEST(CommandsOnAFailingDisk, EveryCommandSaysWhyAndChangesNothing) {
    for (const Command& command : kCommands) {
        for (const DiskFault& fault : kDiskFaults) {
            SCOPED_TRACE(std::string(command.name) + ", " + fault.meaning.toStdString());
            Program p;
            command.prepare(p);
            const auto before = p.files();
            {
                dxcc::ScopedWriteFault full(
                    [&](dxcc::WriteStep, const std::filesystem::path&) { return fault.error; });
                command.act(p);
            }
            const QString shown = p.t.dialogs->messages.join("\n---\n");
            EXPECT_TRUE(shown.contains(fault.number + "\r\n" + fault.meaning))
                << shown.toStdString();
            EXPECT_EQ(p.files(), before);
            p.expectListEqualsFile();
            EXPECT_EQ(p.w->I_Station->text(), "F6XYZ");
        }
    }
}

TEST(CommandsOnAFailingDisk, ADataFolderThatVanishedIsReportedAndTheListKept) {
    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.name);
        Program p;
        command.prepare(p);
        const int rows = p.w->Liste_DXCC->model()->rowCount();
        const QString away = p.t.dir.path() + ".away";
        ASSERT_TRUE(QDir().rename(p.t.dir.path(), away));
        command.act(p);
        ASSERT_TRUE(QDir().rename(away, p.t.dir.path()));
        EXPECT_TRUE(p.t.dialogs->messages.join("\n").contains("Erreur N°  76"))
            << p.t.dialogs->messages.join("\n").toStdString();
        EXPECT_EQ(p.w->Liste_DXCC->model()->rowCount(), rows);
        EXPECT_EQ(p.w->I_Station->text(), "F6XYZ");
    }
}

// Another program added a contact after the log was loaded: the command works
// on the file as it now is, keeps that contact, and says so.
TEST(CommandsOnAFailingDisk, ALogChangedOnDiskIsReadAgainAndTheOperatorTold) {
    // The commands on the log; reset and station change replace the list
    // whatever the file holds.
    for (const Command& command : std::span(kCommands).first(5)) {
        SCOPED_TRACE(command.name);
        Program p;
        command.prepare(p);
        QFile log(p.t.path("F6XYZ_DXCC.log"));
        ASSERT_TRUE(log.open(QIODevice::Append));
        const QByteArray outside = record("G4OUT", "01/04/08", "10:00");
        log.write(outside + "\r\n");
        log.close();
        const QByteArray before = p.files()["F6XYZ_DXCC.log"];
        command.act(p);
        EXPECT_TRUE(
            p.t.dialogs->messages.contains(fromView(dxcc::log_messages::kFileChangedReloaded)))
            << p.t.dialogs->messages.join("\n").toStdString();
        p.expectListEqualsFile();
        EXPECT_TRUE(p.files()["F6XYZ_DXCC.log"].contains(outside));
        EXPECT_NE(p.files()["F6XYZ_DXCC.log"], before);  // and the command was carried out
    }
}

// Start-up over a log no program of ours wrote: a clear message, then the end.
TEST(HostileLog, IsRefusedAtStartUpWithItsNumberAndMeaning) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        QString message;
        int code;
    };
    const Case cases[] = {
        {"a directory", [](const QString& p) { QDir().mkdir(p); },
         "Erreur N°  75\r\nUn dossier porte ce nom : ce n'est pas un fichier.", 75},
        {"a 2 GB file",
         [](const QString& p) {
             QFile file(p);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             ASSERT_TRUE(file.resize(qint64{2} << 30));  // sparse: no room taken
         },
         "Erreur N°  7\r\nLe fichier est trop volumineux pour être chargé en mémoire", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::RunningLogBase program;
        testing_support::TestContext& t = program.t;
        c.make(t.path("F6XYZ_DXCC.log"));
        program.startUp();
        ui::MainWindow& w = *program.w;
        ASSERT_EQ(t.dialogs->messages.size(), 1);
        EXPECT_TRUE(t.dialogs->messages[0].startsWith(c.message))
            << t.dialogs->messages[0].toStdString();
        EXPECT_EQ(t.quitCodes, QList<int>{c.code});
        EXPECT_EQ(w.Liste_DXCC->model()->rowCount(), 0);
    }
}

// Two copies of the program on one data folder.
TEST(DataDirLock, ASecondCopyIsToldMayQuitAndCannotWriteWhileTheFirstRuns) {
    testing_support::TestContext t;
    namespace lock = dxcc::lock_messages;
    const QString question =
        fromView(lock::kAlreadyOpen) + t.dir.path() + fromView(lock::kAlreadyOpenQuestion);
    EXPECT_TRUE(ui::tellStartUp(t.ctx, t.session.startUp({}), t.dir.path()));
    EXPECT_TRUE(t.session.holdsDataFolder());
    EXPECT_TRUE(QFile::exists(t.path("VEL_DXCC.lock")));
    EXPECT_TRUE(t.dialogs->messages.isEmpty());

    // The second copy: quit, or go on at the operator's own risk.
    auto second = std::make_unique<dxcc::LogSession>(ui::toPath(t.dir.path()));
    const dxcc::StartUpOutcome secondStart = second->startUp({});
    EXPECT_EQ(secondStart.lock, dxcc::DataFolderLock::Outcome::InUse);
    ASSERT_TRUE(second->openStation("F6XYZ").ok());
    t.dialogs->answers = {true, false};
    EXPECT_FALSE(ui::tellStartUp(t.ctx, secondStart, t.dir.path()));
    EXPECT_EQ(t.quitCodes, QList<int>{0});
    EXPECT_TRUE(ui::tellStartUp(t.ctx, secondStart, t.dir.path()));
    EXPECT_FALSE(second->holdsDataFolder());
    EXPECT_EQ(t.dialogs->messages, (QStringList{question, question}));

    // ... but it writes nothing while the first one runs.
    const dxcc::CommitAction append;
    const dxcc::CommitOutcome refused = second->commitEntry(
        append, testing_support::qso("F5ABC", "01/02/08", "10:00"), "F5ABC", "JEAN");
    EXPECT_EQ(refused.failure, dxcc::SessionOutcome::Failure::FolderInUse);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_TRUE(fromView(refused.messages[0]).contains(t.dir.path()));
    EXPECT_FALSE(QFile::exists(t.path("F6XYZ_DXCC.log")));
    EXPECT_FALSE(QFile::exists(t.path("Liste_Prenom.txt")));
    EXPECT_EQ(second->resetLog().failure, dxcc::SessionOutcome::Failure::FolderInUse);
    EXPECT_EQ(second->switchStation("F1NEW").failure, dxcc::SessionOutcome::Failure::FolderInUse);
    EXPECT_FALSE(QFile::exists(t.path("F1NEW_DXCC.log")));
}

TEST(DataDirLock, AFolderThatCannotBeLockedIsReportedAndTheProgramGoesOn) {
    testing_support::TestContext t;
    namespace lock = dxcc::lock_messages;
    const QString missing = t.path("not/there");
    dxcc::LogSession session(ui::toPath(missing));
    EXPECT_TRUE(ui::tellStartUp(t.ctx, session.startUp({}), missing));
    EXPECT_FALSE(session.holdsDataFolder());
    EXPECT_EQ(t.dialogs->messages,
              QStringList{fromView(lock::kCannotLock) + missing + fromView(lock::kCannotLockEnd)});
}

}  // namespace
