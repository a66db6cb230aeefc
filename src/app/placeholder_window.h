#pragma once

#include <QString>
#include <QWidget>

namespace ui {

// Stands in for a window whose work is not built yet.
QWidget* createPlaceholderWindow(const QString& objectName, const QString& title, QWidget* parent);

}  // namespace ui
