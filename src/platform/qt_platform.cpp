#include "platform/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <cstdlib>
#include <optional>

#include "core/base/program_constants.h"
#include "platform/text.h"

namespace ui {

namespace {

QString settingsKey(std::string_view section, std::string_view key) {
    return fromView(section) + "/" + fromView(key);
}

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QString programTitle() {
    return fromView(dxcc::kProgramTitle);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(
#ifdef Q_OS_WIN
          QSettings::NativeFormat,
#else
          QSettings::IniFormat,
#endif
          QSettings::UserScope, "VEL_DXCC", fromView(dxcc::kSettingsApplication))) {
}

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

std::string QtSettingsStore::get(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    return settings_->value(settingsKey(section, key), fromView(defaultValue))
        .toString()
        .toStdString();
}

void QtSettingsStore::set(std::string_view section, std::string_view key, std::string_view value) {
    settings_->setValue(settingsKey(section, key), fromView(value));
    settings_->sync();
}

void QtDialogs::inform(const QString& text, const QString& title) {
    QString shown = text;
    shown.replace("\r\n", "\n");
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? programTitle() : title, shown,
                    QMessageBox::Ok, dialogParent());
    box.exec();
}

namespace {

bool askOuiNon(const QString& text, QMessageBox::StandardButton enterAnswers) {
    QMessageBox box(QMessageBox::NoIcon, programTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.button(QMessageBox::Yes)->setText("Oui");
    box.button(QMessageBox::No)->setText("Non");
    box.setDefaultButton(enterAnswers);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool QtDialogs::askYesNo(const QString& text) {
    return askOuiNon(text, QMessageBox::Yes);
}

bool QtDialogs::askYesNoDestructive(const QString& text) {
    return askOuiNon(text, QMessageBox::No);
}

bool QtDialogs::askOkCancelCritical(const QString& text) {
    QMessageBox box(QMessageBox::Critical, programTitle(), text,
                    QMessageBox::Ok | QMessageBox::Cancel, dialogParent());
    box.button(QMessageBox::Cancel)->setText("Annuler");
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

QString QtDialogs::openFile(const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(dialogParent(), caption, QString(), filter);
}

QString QtDialogs::saveFile(const QString& caption, const QString& filter) {
    return QFileDialog::getSaveFileName(dialogParent(), caption, QString(), filter);
}

QString chooseDataDir() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(exeDir + "/" + fromView(dxcc::kPrefixFileName))) return exeDir;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dir);
    return dir;
}

namespace {

const QString kShippedPrefixFile = ":/data/Prefixe_DXCC.txt";
const QString kShippedExactCallFile = ":/data/Exceptions_DXCC.txt";
const QString kShippedEntityFile = ":/data/Entites_DXCC.txt";

std::optional<std::string> resourceBytes(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll().toStdString();
}

}  // namespace

std::string shippedPrefixFile() {
    return resourceBytes(kShippedPrefixFile).value_or(std::string());
}

std::string shippedExactCallFile() {
    return resourceBytes(kShippedExactCallFile).value_or(std::string());
}

std::vector<dxcc::ShippedFile> shippedFiles() {
    std::vector<dxcc::ShippedFile> files;
    if (auto bytes = resourceBytes(kShippedPrefixFile))
        files.push_back({std::string(dxcc::kPrefixFileName), std::move(*bytes)});
    if (auto bytes = resourceBytes(kShippedExactCallFile))
        files.push_back({std::string(dxcc::kExactCallFileName), std::move(*bytes)});
    if (auto bytes = resourceBytes(kShippedEntityFile))
        files.push_back({std::string(dxcc::kEntityDataFileName), std::move(*bytes)});
    files.push_back({std::string(dxcc::kFirstNameFileName), {}});
    return files;
}

AppContext makeProductionContext() {
    AppContext ctx;
    ctx.dataDir = chooseDataDir();
    ctx.clock = std::make_shared<SystemClock>();
    ctx.dialogs = std::make_shared<QtDialogs>();
    // Settings are synced at every write, so ending here loses nothing.
    ctx.quit = [](int code) { std::exit(code); };
    ctx.openExternalUrl = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
    return ctx;
}

}  // namespace ui
