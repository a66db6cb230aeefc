#include "windows/cluster/spot_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

namespace ui {

SpotView::SpotView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setStretchLastSection(true);
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit chosen(index);
    });
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
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentIndex().isValid()) emit chosen(currentIndex());
        return;
    }
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
