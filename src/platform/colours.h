#pragma once

#include <QColor>
#include <QWidget>

namespace ui {

// The one field that awaits input.
inline const QColor kInputColour{0xC0, 0xFF, 0xC0};
// Filled or idle fields, lists and selectors.
inline const QColor kRestColour{0xFF, 0xFF, 0xC0};

// Paints a field's background.
void paintBackground(QWidget* w, const QColor& colour);
// Gives a button back the system's own colour, after the input colour.
void paintButtonFace(QWidget* button);
// The background colour a field was painted with.
QColor backgroundOf(const QWidget* w);

}  // namespace ui
