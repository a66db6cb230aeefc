#include "ui/fixed_list.h"

#include <QFontDatabase>
#include <QStyle>

#include "ui/colours.h"

namespace ui {

QFont fixedListFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

void setUpFixedList(QListView* list) {
    list->setFont(fixedListFont());
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    paintBackground(list, kRestColour);
}

int listTextLeft(const QListView* list) {
    return list->frameWidth() + list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
}

namespace {

int headingOffset(const QListView* list, int columnsLeft) {
    const int charWidth = QFontMetrics(list->font()).horizontalAdvance(QLatin1Char('M'));
    return listTextLeft(list) - columnsLeft * charWidth;
}

}  // namespace

void alignHeadingOver(QLabel* heading, const QListView* list, int columnsLeft) {
    heading->setFont(list->font());
    heading->setContentsMargins(std::max(0, headingOffset(list, columnsLeft)), 0, 0, 0);
}

int headingOverhang(const QListView* list, int columnsLeft) {
    return std::max(0, -headingOffset(list, columnsLeft));
}

}  // namespace ui
