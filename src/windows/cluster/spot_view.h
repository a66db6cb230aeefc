#pragma once

#include <QTableView>

namespace ui {

// A list of what the band brings (spots, decodes), newest on top, chosen a
// row at a time, never edited. While the operator has not scrolled down to
// older rows, the newest stays in view as rows come (whatever the view did
// meanwhile to show a chosen row); once the operator has, the rows in view
// stay put until the operator scrolls back to the top.
class SpotView : public QTableView {
    Q_OBJECT
public:
    explicit SpotView(QWidget* parent = nullptr);

    // Shows the newest spot and follows the new ones again.
    void showNewest();
    bool followsNewest() const { return following_; }

signals:
    // A row double-clicked, or Enter on the current row.
    void chosen(const QModelIndex& index);

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The operator moved the view: it follows the new spots when at the top.
    void operatorScrolled(int position);

    bool following_ = true;
};

}  // namespace ui
