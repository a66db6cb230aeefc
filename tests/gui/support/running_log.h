#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QListView>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "platform/text.h"
#include "sample_records.h"
#include "test_doubles.h"
#include "windows/entry/entry_form.h"
#include "windows/main/main_window.h"

namespace testing_support {

// One of the program's own texts as the dialogs show it.
inline QString messageText(std::string_view text) {
    return ui::fromView(text);
}

// A contact of the windows' tests as the log stores it: at noon, no first name.
inline std::string logLine(const char* callsign, const char* date, const char* mode = "SSB",
                           const char* band = "14 Mhz ", const char* dxcc = "F",
                           const char* entity = "France", char qsl = ' ') {
    return logLine({callsign, "", date, "12:00", mode, band, "59", "59", dxcc, entity, qsl});
}

// The main window running on the station F6XYZ, over a log and a prefix file
// that each test writes first. A test that needs several programs in turn
// builds this part as often as it needs; a fixture takes `RunningLog` below.
struct RunningLogBase {
    RunningLogBase() {
        t.settings->set("Setup ", "Indicatif Station", "F6XYZ");
        write("Liste_Prenom.txt", "");
    }

    void write(const QString& name, const std::string& bytes) {
        QFile file(t.path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string read(const QString& name) const {
        QFile file(t.path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }
    static std::string lines(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\r\n";
        return bytes;
    }
    void writeLog(const std::vector<std::string>& records) {
        write("F6XYZ_DXCC.log", lines(records));
    }
    void writePrefixes(const std::vector<std::string>& entries) {
        write("Prefixe_DXCC.txt", lines(entries));
    }

    // The main window started, the messages of its start-up kept.
    void startUp() {
        w = std::make_unique<ui::MainWindow>(t.ctx, t.session);
        w->startUp(t.session.startUp({}));
    }
    // The main window started, the messages of its start-up forgotten.
    void start() {
        startUp();
        t.dialogs->messages.clear();
    }
    // The secondary window `name` of the main window, once open.
    template <class Window>
    Window* window(const char* name) const {
        return w->findChild<Window*>(name);
    }
    QStringList& messages() { return t.dialogs->messages; }
    // Every message shown since the last call.
    QStringList takeMessages() {
        QStringList shown = t.dialogs->messages;
        t.dialogs->messages.clear();
        return shown;
    }

    // Keys and clicks as an operator makes them.
    static void enter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }
    static void type(QWidget* field, const QString& text) {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    static void clickRow(QListView* list, int row) {
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }
    static void doubleClickRow(QListView* list, int row) {
        clickRow(list, row);
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    // The DXCC prefix the entry form finds for a callsign typed into it.
    QString entryFormLookup(const QString& callsign) {
        ui::EntryForm* f = w->entryForm();
        QTest::mouseClick(f->Efface_A, Qt::LeftButton);
        QTest::keyClicks(f->Ind_A, callsign);
        enter(f->Ind_A);
        const QString found = f->Prefixe_A->text();
        QTest::mouseClick(f->Efface_A, Qt::LeftButton);
        takeMessages();
        return found;
    }
    static QStringList rows(const QListView* list) {
        QStringList shown;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            shown << list->model()->index(r, 0).data().toString();
        return shown;
    }

    TestContext t;
    std::unique_ptr<ui::MainWindow> w;
};

class RunningLog : public ::testing::Test, public RunningLogBase {};

}  // namespace testing_support
