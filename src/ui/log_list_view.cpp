#include "ui/log_list_view.h"

namespace ui {

void LogListView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid()) emit operatorMovedTo(currentIndex());
}

}  // namespace ui
