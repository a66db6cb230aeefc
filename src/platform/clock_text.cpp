#include "platform/clock_text.h"

#include "platform/text.h"

namespace ui {

dxcc::DateTimeParts partsOf(const QDateTime& t) {
    const QDate d = t.date();
    const QTime tm = t.time();
    return {d.year(), d.month(), d.day(), tm.hour(), tm.minute(), tm.second()};
}

QString utcDateText(const Clock& clock) {
    return fromView(dxcc::formatDate(partsOf(clock.utcNow())));
}

QString utcTimeText(const Clock& clock) {
    return fromView(dxcc::formatTime(partsOf(clock.utcNow()))).left(5);
}

}  // namespace ui
