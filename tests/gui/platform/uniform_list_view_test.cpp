#include "platform/uniform_list_view.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QStringListModel>
#include <QTest>

#include "platform/column_list.h"

namespace {

struct ShownList {
    ShownList() {
        QStringList rows;
        for (int i = 0; i < 1000; ++i) rows << QString("ligne %1").arg(i);
        model.setStringList(rows);
        ui::setUpColumnList(&view);
        view.setModel(&model);
        view.resize(300, 200);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        view.setCurrentIndex(model.index(0));
    }
    int row() const { return view.currentIndex().row(); }
    QStringListModel model;
    ui::UniformListView view;
};

// Where a row stands is worked out from its number: what is drawn at a
// point is the row found there, at the top, the middle and the end.
TEST(UniformListView, RowsStandWhereTheirNumberSaysAndAreFoundThere) {
    ShownList l;
    const int height = l.view.visualRect(l.model.index(0)).height();
    ASSERT_GT(height, 0);
    EXPECT_EQ(l.view.verticalScrollBar()->maximum(), 1000 * height - l.view.viewport()->height());
    for (int row : {0, 1, 499, 998, 999}) {
        const QModelIndex index = l.model.index(row);
        l.view.scrollTo(index, QAbstractItemView::PositionAtCenter);
        const QRect rect = l.view.visualRect(index);
        EXPECT_EQ(rect.height(), height) << row;
        EXPECT_TRUE(l.view.viewport()->rect().intersects(rect)) << row;
        EXPECT_EQ(l.view.indexAt(rect.center()), index) << row;
        EXPECT_EQ(l.view.indexAt(rect.topLeft()), index) << row;
    }
    // Below the last row, nothing.
    const QRect last = l.view.visualRect(l.model.index(999));
    EXPECT_FALSE(
        l.view.indexAt(QPoint(last.center().x(), last.bottom() + height / 2 + 1)).isValid());
    // Rows just added are within reach at once, before the list has laid itself out again.
    l.model.insertRows(1000, 100);
    const QModelIndex added = l.model.index(1099);
    l.view.scrollTo(added);
    EXPECT_TRUE(l.view.viewport()->rect().contains(l.view.visualRect(added).center()));
}

// The keys move the current row as in any list, and the row reached is shown.
TEST(UniformListView, KeysMoveByARowAPageOrToTheEnds) {
    ShownList l;
    const int page = l.view.viewport()->height() / l.view.visualRect(l.model.index(0)).height();
    struct Step {
        Qt::Key key;
        int row;
    };
    const Step steps[] = {
        {Qt::Key_Down, 1},   {Qt::Key_Down, 2},
        {Qt::Key_Up, 1},     {Qt::Key_PageDown, 1 + page},
        {Qt::Key_PageUp, 1}, {Qt::Key_Up, 0},
        {Qt::Key_Up, 0},     {Qt::Key_End, 999},
        {Qt::Key_Down, 999}, {Qt::Key_PageUp, 999 - page},
        {Qt::Key_Home, 0},
    };
    for (const Step& s : steps) {
        QTest::keyClick(&l.view, s.key);
        EXPECT_EQ(l.row(), s.row) << s.key;
        EXPECT_TRUE(
            l.view.viewport()->rect().contains(l.view.visualRect(l.view.currentIndex()).center()))
            << s.key;
        EXPECT_TRUE(l.view.selectionModel()->isSelected(l.view.currentIndex())) << s.key;
    }
}

// A click selects the row under the mouse, wherever the list is scrolled.
TEST(UniformListView, AClickSelectsTheRowUnderTheMouse) {
    ShownList l;
    for (int row : {3, 640, 999}) {
        const QModelIndex index = l.model.index(row);
        l.view.scrollTo(index, QAbstractItemView::PositionAtBottom);
        QTest::mouseClick(l.view.viewport(), Qt::LeftButton, {}, l.view.visualRect(index).center());
        EXPECT_EQ(l.row(), row);
        EXPECT_EQ(l.view.selectionModel()->selectedIndexes(), QModelIndexList{index});
    }
    // Rows removed: the range of the scroll bar follows.
    l.model.removeRows(100, 900);
    QApplication::processEvents();
    l.view.doItemsLayout();
    const int height = l.view.visualRect(l.model.index(0)).height();
    EXPECT_EQ(l.view.verticalScrollBar()->maximum(),
              std::max(0, 100 * height - l.view.viewport()->height()));
}

// Scrolling moves what is shown: the rows that come into view are painted.
TEST(UniformListView, ScrollingRepaintsTheRowsThatComeIntoView) {
    ShownList l;
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    QApplication::processEvents();
    l.view.viewport()->installEventFilter(&counter);
    for (Qt::Key k : {Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown}) {
        counter.paints = 0;
        QTest::keyClick(&l.view, k);
        QApplication::processEvents();
        EXPECT_GT(counter.paints, 0) << k;
    }
    counter.paints = 0;
    l.view.verticalScrollBar()->setValue(l.view.verticalScrollBar()->value() + 5);
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
}

}  // namespace
