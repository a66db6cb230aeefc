#pragma once

#include <QListView>
#include <utility>

namespace ui {

// A list whose rows all have the height of the first: where a row stands is
// worked out from its number instead of being stored. Qt's own list keeps two
// tables of every row's position (8 MB and a pass over every row at a million
// QSOs) even when its rows are told to be of one size.
class UniformListView : public QListView {
    Q_OBJECT
public:
    explicit UniformListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    QModelIndex indexAt(const QPoint& point) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void doItemsLayout() override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override;
    // The viewport moved by the scroll bars (QListView's would do nothing
    // without its stored positions).
    void scrollContentsBy(int dx, int dy) override;
    // The accessibility events name the row (QListView's would look for it in
    // the positions it did not store).
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    int rowCount() const;
    // The first and last rows that the viewport's `area` shows (last < first: none).
    std::pair<int, int> rowsIn(const QRect& area) const;
    // The rows a page holds, at least one.
    int rowsPerPage() const;
    // Height and width of every row, from the first row's size; measured
    // again at each layout, and when rows come to a list that had none.
    void measureRows() const;
    int rowHeight() const;
    void tellAccessibility(const QModelIndex& index, int event) const;

    mutable int rowHeight_ = 0;
    mutable int rowWidth_ = 0;
};

}  // namespace ui
