#pragma once

#include <QColor>
#include <QWidget>

#include "core/logbook/need.h"

namespace ui {

// The one field that awaits input.
inline const QColor kInputColour{0xC0, 0xFF, 0xC0};
// Filled or idle fields, lists and selectors.
inline const QColor kRestColour{0xFF, 0xFF, 0xC0};

// What the log holds of an entity (or of a band or mode of it), alike in every
// window: the entry panel, the DXCC table, the map and the spots. A mark
// colour fills something on its own (the panel's verdict, a dot of the map); a
// light one lies under text (a cell, a spot's row).
// Never worked: a new entity.
inline const QColor kNewEntityMark{0xD0, 0x10, 0x10};
inline const QColor kNewEntityLight{0xFF, 0x8C, 0x8C};
// Worked, but not on this band or in this class of modes.
inline const QColor kNewSlotMark{0xFF, 0x99, 0x00};
inline const QColor kNewSlotLight{0xFF, 0xC8, 0x6E};
// Worked, never confirmed.
inline const QColor kWorkedMark{0xF0, 0xA0, 0x00};
inline const QColor kWorkedLight{0xFF, 0xE0, 0x80};
// The verdict "to confirm", which must not read as a new band beside it.
inline const QColor kToConfirmMark{0x30, 0x60, 0xD0};
// Confirmed.
inline const QColor kConfirmedMark{0x20, 0x90, 0x30};
inline const QColor kConfirmedLight{0x9B, 0xE0, 0x9B};
// A cell of a band or class never worked.
inline const QColor kNeverWorkedLight{0xF4, 0xF4, 0xF4};

// The background of a row of a list of what the band brings (a spot, a
// decode) by what a contact would bring: the light colours above; invalid
// (the view's own) when the callsign has no entity.
QColor needRowColour(dxcc::NeedColour colour);

// Paints a field's background.
void paintBackground(QWidget* w, const QColor& colour);
// Gives a button back the system's own colour, after the input colour.
void paintButtonFace(QWidget* button);
// The background colour a field was painted with.
QColor backgroundOf(const QWidget* w);

}  // namespace ui
