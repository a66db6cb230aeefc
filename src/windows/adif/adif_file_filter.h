#pragma once

#include <QString>

#include "core/adif/adif_messages.h"
#include "platform/text.h"

namespace ui {

// The filter of every file dialog that opens or saves an ADIF file.
inline QString adifFileFilter() {
    namespace msg = dxcc::adif_messages;
    return fromView(msg::kFileFilterName) + " (" + fromView(msg::kFileFilterPattern) + ")";
}

}  // namespace ui
