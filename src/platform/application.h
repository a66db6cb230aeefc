#pragma once

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

// Sets the application style and installs the keyboard habits.
void setUpApplication(QApplication& app);

}  // namespace ui
