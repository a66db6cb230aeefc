#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace ui {

// A window named `objectName` showing `url`: an embedded browser when Qt
// WebEngine is built in, otherwise a note saying the page was opened in the
// system browser. Deleted when closed.
QWidget* createWebWindow(const QString& objectName, const QString& title, const QString& url,
                         const std::function<bool(const QString&)>& openExternalUrl,
                         QWidget* parent);

}  // namespace ui
