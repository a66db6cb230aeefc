#pragma once

#include "platform/uniform_list_view.h"

namespace ui {

// The main list. A line is shown in the entry fields only when the operator
// clicks it or moves to it with the keyboard: the current row that Qt sets by
// itself (when the list takes the focus with Tab) must not overwrite the fields.
// Enter opens the current line, as a double-click does.
class LogListView : public UniformListView {
    Q_OBJECT
public:
    using UniformListView::UniformListView;

signals:
    void operatorMovedTo(const QModelIndex& index);
    // Enter on the list: the keyboard's double-click.
    void operatorOpened();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ui
