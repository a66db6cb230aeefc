#include "windows/cluster/spot_view.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace ui {

SpotView::SpotView(QWidget* parent) : QTableView(parent) {
    // One step a row: a row's place in the scroll bar is its number.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Only the operator's own moves of the bar count, not the view's.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { operatorScrolled(verticalScrollBar()->sliderPosition()); });
}

void SpotView::showNewest() {
    following_ = true;
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
}

void SpotView::operatorScrolled(int position) {
    following_ = position <= verticalScrollBar()->minimum();
}

void SpotView::keyPressEvent(QKeyEvent* event) {
    QTableView::keyPressEvent(event);
    operatorScrolled(verticalScrollBar()->value());
}

void SpotView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    QTableView::rowsInserted(parent, start, end);
    if (parent.isValid()) return;
    if (following_) {
        bar->setValue(bar->minimum());
    } else if (start <= top) {
        // Rows came above the ones the operator reads: they stay in view.
        updateGeometries();
        bar->setValue(top + (end - start + 1));
    }
}

}  // namespace ui
