#include "platform/application.h"

#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QPushButton>
#include <QStyleFactory>
#include <QTranslator>

namespace ui {

void prepareApplication() {
    // What the embedded browser's module needs from the start, since it is
    // loaded later: the OpenGL scene graph (its shared OpenGL context is made
    // when it is loaded: made here, it would load the OpenGL driver, some
    // 50 MB, into every start).
    if (qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND")) qputenv("QSG_RHI_BACKEND", "opengl");
    if (::geteuid() == 0) {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--no-sandbox")) flags += " --no-sandbox";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

bool KeyboardHabits::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && key->modifiers() == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            if (button->isEnabled()) button->click();
            return true;
        }
    }
    if (key->key() == Qt::Key_Escape) {
        QWidget* window = widget->window();
        // Dialogs close on Escape by themselves; other secondary windows do here.
        if (window && window->isWindow() && !qobject_cast<QDialog*>(window) &&
            !qobject_cast<QMainWindow*>(window) && widget == QApplication::focusWidget()) {
            window->close();
            return true;
        }
    }
    return false;
}

bool installFrenchQtTranslations(QCoreApplication& app) {
    // The interface is French whatever the system's language: Qt's own texts
    // (file dialogs, standard buttons) follow it, from Qt's translations.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::French, QLocale::France), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void setUpApplication(QApplication& app) {
    // Fusion honours the field colours on every platform.
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    app.installEventFilter(new KeyboardHabits(&app));
    installFrenchQtTranslations(app);
}

}  // namespace ui
