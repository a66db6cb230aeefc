#pragma once

#include <QDateTime>
#include <QString>

#include "core/base/dates.h"
#include "platform/app_context.h"

namespace ui {

dxcc::DateTimeParts partsOf(const QDateTime& t);
// The UTC date as the entry form takes it: "JJ/MM/AA".
QString utcDateText(const Clock& clock);
// The UTC time as the entry form takes it: "HH:MM".
QString utcTimeText(const Clock& clock);

}  // namespace ui
