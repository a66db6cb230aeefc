#include "platform/uniform_list_view.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace ui {

UniformListView::UniformListView(QWidget* parent) : QListView(parent) {
    // What the view does itself: rows of one height, scrolled by the pixel.
    setUniformItemSizes(true);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
}

int UniformListView::rowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

void UniformListView::measureRows() const {
    rowHeight_ = 0;
    rowWidth_ = 0;
    if (rowCount() == 0) return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex first = model()->index(0, modelColumn(), rootIndex());
    const QSize size = itemDelegateForIndex(first)->sizeHint(option, first);
    rowHeight_ = std::max(1, size.height() + 2 * spacing());
    rowWidth_ = size.width() + 2 * spacing();
}

int UniformListView::rowHeight() const {
    if (rowHeight_ == 0) measureRows();
    return rowHeight_;
}

void UniformListView::doItemsLayout() {
    measureRows();
    // The plain view's layout: scroll bars and a repaint, no per-row pass.
    QAbstractItemView::doItemsLayout();
}

QRect UniformListView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex() || index.column() != modelColumn() ||
        rowHeight() == 0)
        return {};
    // As wide as the viewport, or as the text when it is wider.
    const int width = std::max(rowWidth_, viewport()->width());
    return {-horizontalOffset(), index.row() * rowHeight_ - verticalOffset(), width, rowHeight_};
}

QModelIndex UniformListView::indexAt(const QPoint& point) const {
    if (rowHeight() == 0 || point.y() < 0) return {};
    const qint64 row = (static_cast<qint64>(point.y()) + verticalOffset()) / rowHeight_;
    if (row >= rowCount() ||
        point.x() + horizontalOffset() >= std::max(rowWidth_, viewport()->width()))
        return {};
    return model()->index(static_cast<int>(row), modelColumn(), rootIndex());
}

int UniformListView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int UniformListView::verticalOffset() const {
    return verticalScrollBar()->value();
}

int UniformListView::rowsPerPage() const {
    return rowHeight_ > 0 ? std::max(1, viewport()->height() / rowHeight_) : 1;
}

void UniformListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // Rows just added: the scroll bar's range first, or the new ones are out of reach.
    executeDelayedItemsLayout();
    const QRect rect = visualRect(index);
    if (!rect.isValid()) return;
    const int top = rect.top() + verticalOffset();
    const int height = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    switch (hint) {
        case PositionAtTop:
            bar->setValue(top);
            break;
        case PositionAtBottom:
            bar->setValue(top + rowHeight_ - height);
            break;
        case PositionAtCenter:
            bar->setValue(top - (height - rowHeight_) / 2);
            break;
        case EnsureVisible:
            if (rect.top() < 0)
                bar->setValue(top);
            else if (rect.bottom() >= height)
                bar->setValue(top + rowHeight_ - height);
            break;
    }
}

QModelIndex UniformListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = rowCount();
    if (rows == 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return model()->index(0, modelColumn(), rootIndex());
    int row = current.row();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MovePageUp:
            row -= rowsPerPage();
            break;
        case MovePageDown:
            row += rowsPerPage();
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
    }
    return model()->index(std::clamp(row, 0, rows - 1), modelColumn(), rootIndex());
}

std::pair<int, int> UniformListView::rowsIn(const QRect& area) const {
    if (rowHeight() == 0 || rowCount() == 0) return {0, -1};
    const qint64 top = static_cast<qint64>(std::max(0, area.top())) + verticalOffset();
    const qint64 bottom = static_cast<qint64>(area.bottom()) + verticalOffset();
    if (bottom < 0) return {0, -1};
    return {static_cast<int>(std::min<qint64>(top / rowHeight_, rowCount())),
            static_cast<int>(std::min<qint64>(bottom / rowHeight_, rowCount() - 1))};
}

void UniformListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const auto [first, last] = rowsIn(rect.normalized());
    if (last < first) return;
    selectionModel()->select(QItemSelection(model()->index(first, modelColumn(), rootIndex()),
                                            model()->index(last, modelColumn(), rootIndex())),
                             flags);
}

QRegion UniformListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    const QRect shown = viewport()->rect();
    for (const QItemSelectionRange& range : selection) {
        if (range.parent() != rootIndex() || range.left() > modelColumn() ||
            range.right() < modelColumn())
            continue;
        const QRect top = visualRect(model()->index(range.top(), modelColumn(), rootIndex()));
        const QRect bottom = visualRect(model()->index(range.bottom(), modelColumn(), rootIndex()));
        region += QRect(top.topLeft(), bottom.bottomRight()).intersected(shown);
    }
    return region;
}

void UniformListView::updateGeometries() {
    const int rows = rowCount();
    const qint64 contentHeight = static_cast<qint64>(rows) * rowHeight();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(std::max(1, rowHeight_));
    vertical->setPageStep(viewport()->height());
    vertical->setRange(
        0, static_cast<int>(std::clamp<qint64>(contentHeight - viewport()->height(), 0, INT_MAX)));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(std::max(1, fontMetrics().averageCharWidth()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setRange(0, std::max(0, rowWidth_ - viewport()->width()));
    // Past QListView's own, which works from the positions it would have stored.
    QAbstractItemView::updateGeometries();
}

void UniformListView::scrollContentsBy(int dx, int dy) {
    QAbstractItemView::scrollContentsBy(dx, dy);
}

void UniformListView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const bool enabled = isEnabled();
    const bool focused = hasFocus() || viewport()->hasFocus();
    const QModelIndex current = currentIndex();
    const auto [first, last] = rowsIn(event->rect());
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, modelColumn(), rootIndex());
        QStyleOptionViewItem item = option;
        item.rect = visualRect(index);
        item.state.setFlag(QStyle::State_Enabled,
                           enabled && (model()->flags(index) & Qt::ItemIsEnabled));
        if (!item.state.testFlag(QStyle::State_Enabled))
            item.palette.setCurrentColorGroup(QPalette::Disabled);
        item.state.setFlag(QStyle::State_Selected,
                           selectionModel() && selectionModel()->isSelected(index));
        item.state.setFlag(QStyle::State_HasFocus, focused && index == current);
        itemDelegateForIndex(index)->paint(&painter, item, index);
    }
}

void UniformListView::tellAccessibility(const QModelIndex& index, int event) const {
#if QT_CONFIG(accessibility)
    if (!QAccessible::isActive() || !index.isValid()) return;
    QAccessibleEvent accessible(const_cast<UniformListView*>(this),
                                static_cast<QAccessible::Event>(event));
    accessible.setChild(index.row());
    QAccessible::updateAccessibility(&accessible);
#else
    (void)index;
    (void)event;
#endif
}

void UniformListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus()) tellAccessibility(current, QAccessible::Focus);
    QAbstractItemView::currentChanged(current, previous);
}

void UniformListView::selectionChanged(const QItemSelection& selected,
                                       const QItemSelection& deselected) {
    tellAccessibility(selected.indexes().value(0), QAccessible::SelectionAdd);
    tellAccessibility(deselected.indexes().value(0), QAccessible::SelectionRemove);
    QAbstractItemView::selectionChanged(selected, deselected);
}

}  // namespace ui
