#pragma once

#include <QDialog>
#include <QDialogButtonBox>

namespace ui {

// OK and "Annuler" at the foot of a settings dialog: Enter accepts, Escape cancels.
QDialogButtonBox* okCancel(QDialog* dialog);

}  // namespace ui
