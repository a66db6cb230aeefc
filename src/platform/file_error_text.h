#pragma once

#include <QString>

#include "core/base/file_error.h"

namespace ui {

// "Erreur N° " and the code, what it means in French, and the file concerned.
QString fileErrorText(const dxcc::FileError& e);

}  // namespace ui
