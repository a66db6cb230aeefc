#include "ui/column_list.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>

namespace ui {

namespace {

// Left of a line's text inside the list: the frame, then the item's margin.
int textLeft(const QListView* list) {
    return list->frameWidth() + list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
}

}  // namespace

QFont columnListFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

void alignHeadingWith(QLabel* heading, const QListView* list) {
    heading->setContentsMargins(textLeft(list), 0, 0, 0);
}

int listWidthFor(const QListView* list, int columns) {
    // Two characters to spare: the item's own margins vary with the style.
    constexpr int kSpare = 2;
    const int text =
        QFontMetrics(list->font()).horizontalAdvance(QString(columns + kSpare, QChar('M')));
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return text + 2 * textLeft(list) + scrollBar;
}

}  // namespace ui
