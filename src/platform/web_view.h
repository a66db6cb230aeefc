#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace ui {

// Where else to look for the embedded browser's module (tests, a moved build).
inline constexpr const char* kWebModuleDirVariable = "VEL_DXCC_WEB_MODULE_DIR";

// A window named `objectName` showing `url`: an embedded browser when its
// module (Qt WebEngine) can be loaded, otherwise a note saying the page was
// opened in the system browser. Deleted when closed.
QWidget* createWebWindow(const QString& objectName, const QString& title, const QString& url,
                         const std::function<bool(const QString&)>& openExternalUrl,
                         QWidget* parent);

}  // namespace ui
