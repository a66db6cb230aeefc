#pragma once

#include <QTableView>

namespace ui {

// The list of spots, newest on top. While the operator has not scrolled down
// to older spots, the newest stays in view as spots come (whatever the view
// did meanwhile to show a chosen row); once the operator has, the rows in
// view stay put until the operator scrolls back to the top.
class SpotView : public QTableView {
public:
    explicit SpotView(QWidget* parent = nullptr);

    // Shows the newest spot and follows the new ones again.
    void showNewest();
    bool followsNewest() const { return following_; }

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The operator moved the view: it follows the new spots when at the top.
    void operatorScrolled(int position);

    bool following_ = true;
};

}  // namespace ui
