#include "platform/column_list.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStyle>

#include "platform/colours.h"

namespace ui {

namespace {

int headingOffset(const QListView* list, int columnsLeft) {
    const int charWidth = QFontMetrics(list->font()).horizontalAdvance(QLatin1Char('M'));
    return listTextLeft(list) - columnsLeft * charWidth;
}

}  // namespace

QFont columnListFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

void setUpColumnList(UniformListView* list) {
    list->setFont(columnListFont());
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    paintBackground(list, kRestColour);
}

// The frame, then the item's margin.
int listTextLeft(const QListView* list) {
    return list->frameWidth() + list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
}

void alignHeadingWith(QLabel* heading, const QListView* list, int columnsLeft) {
    heading->setFont(list->font());
    heading->setContentsMargins(std::max(0, headingOffset(list, columnsLeft)), 0, 0, 0);
}

int headingOverhang(const QListView* list, int columnsLeft) {
    return std::max(0, -headingOffset(list, columnsLeft));
}

int listWidthFor(const QListView* list, int columns) {
    // Two characters to spare: the item's own margins vary with the style.
    constexpr int kSpare = 2;
    const int text =
        QFontMetrics(list->font()).horizontalAdvance(QString(columns + kSpare, QChar('M')));
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return text + 2 * listTextLeft(list) + scrollBar;
}

}  // namespace ui
