#pragma once

#include <QCoreApplication>
#include <QObject>

class QApplication;

namespace ui {

// What must be set before the QApplication exists: shared OpenGL contexts for
// the embedded browser, and its sandbox turned off when running as root
// (Chromium refuses to start otherwise).
void prepareApplication();

// Keyboard habits of desktop programs, for every window: Enter on a focused
// push button presses it; Escape closes a secondary window.
class KeyboardHabits : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs Qt's own French texts (standard buttons, file dialogs) into `app`;
// false when the translations are not installed (Debian: qt6-translations-l10n).
bool installFrenchQtTranslations(QCoreApplication& app);

// Sets the application style, installs the keyboard habits and Qt's French texts.
void setUpApplication(QApplication& app);

}  // namespace ui
