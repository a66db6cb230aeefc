#pragma once

#include <QSettings>
#include <QWidget>
#include <string>
#include <vector>

#include "core/session/data_folder.h"
#include "core/session/session_settings.h"
#include "platform/app_context.h"

namespace ui {

// The settings: an INI file on Linux and macOS, the registry on Windows.
// Each value is written at once: nothing is saved at shut-down.
class QtSettingsStore : public dxcc::SessionSettings {
public:
    QtSettingsStore();  // the real user's store
    explicit QtSettingsStore(const QString& iniFile);
    std::string get(std::string_view section, std::string_view key,
                    std::string_view defaultValue) const override;
    void set(std::string_view section, std::string_view key, std::string_view value) override;

private:
    std::unique_ptr<QSettings> settings_;
};

class SystemClock : public Clock {
public:
    QDateTime utcNow() const override { return QDateTime::currentDateTimeUtc(); }
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
};

class QtDialogs : public Dialogs {
public:
    void inform(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text) override;
    bool askYesNoDestructive(const QString& text) override;
    bool askOkCancelCritical(const QString& text) override;
    QString openFile(const QString& caption, const QString& filter) override;
    QString saveFile(const QString& caption, const QString& filter) override;
};

// The data directory: the executable's directory when it already holds the prefix
// file (portable install), else the per-user application data directory.
QString chooseDataDir();

// The prefix file the program comes with (empty when it was built without one).
std::string shippedPrefixFile();
// The exact-call file the program comes with (empty when it was built without one).
std::string shippedExactCallFile();

// The files the program comes with, for a data folder that lacks them: the
// prefix file, the exact-call file, the entity data (when it was built with
// them) and an empty first-name file.
std::vector<dxcc::ShippedFile> shippedFiles();

// The production context.
AppContext makeProductionContext();

}  // namespace ui
