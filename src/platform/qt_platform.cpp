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

#include "core/base/program_constants.h"
#include "platform/text.h"

namespace ui {

namespace {

QString settingsKey(const QString& section, const QString& key) {
    return section + "/" + key;
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

QString QtSettingsStore::get(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    return settings_->value(settingsKey(section, key), defaultValue).toString();
}

void QtSettingsStore::set(const QString& section, const QString& key, const QString& value) {
    settings_->setValue(settingsKey(section, key), value);
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

}  // namespace

std::string shippedPrefixFile() {
    QFile file(kShippedPrefixFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void installInitialFiles(const QString& dataDir) {
    const QString prefixFile = dataDir + "/" + fromView(dxcc::kPrefixFileName);
    if (!QFileInfo::exists(prefixFile) && QFile::exists(kShippedPrefixFile)) {
        QFile::copy(kShippedPrefixFile, prefixFile);
        QFile::setPermissions(
            prefixFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QString entityFile = dataDir + "/" + fromView(dxcc::kEntityDataFileName);
    if (!QFileInfo::exists(entityFile) && QFile::exists(":/data/Entites_DXCC.txt")) {
        QFile::copy(":/data/Entites_DXCC.txt", entityFile);
        QFile::setPermissions(
            entityFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QString firstNames = dataDir + "/" + fromView(dxcc::kFirstNameFileName);
    if (!QFileInfo::exists(firstNames)) {
        QFile f(firstNames);
        f.open(QIODevice::WriteOnly);
    }
}

AppContext makeProductionContext() {
    AppContext ctx;
    ctx.dataDir = chooseDataDir();
    installInitialFiles(ctx.dataDir);
    ctx.settings = std::make_shared<QtSettingsStore>();
    ctx.clock = std::make_shared<SystemClock>();
    ctx.dialogs = std::make_shared<QtDialogs>();
    // Settings are synced at every write, so ending here loses nothing.
    ctx.quit = [](int code) { std::exit(code); };
    ctx.openExternalUrl = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
    return ctx;
}

}  // namespace ui
