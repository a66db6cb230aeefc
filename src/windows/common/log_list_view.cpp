#include "windows/common/log_list_view.h"

#include <QKeyEvent>

namespace ui {

void LogListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit operatorOpened();
        return;
    }
    const QModelIndex before = currentIndex();
    UniformListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid()) emit operatorMovedTo(currentIndex());
}

}  // namespace ui
