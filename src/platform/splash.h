#pragma once

#include <QLabel>
#include <QWidget>

namespace ui {

// Two-line notice shown while long work runs (log load, import, evaluations).
class Flash : public QWidget {
    Q_OBJECT
public:
    explicit Flash(QWidget* parent = nullptr);
    // Shows the two lines and lets the window paint once.
    void showMessage(const QString& first, const QString& second);

    QLabel* Label1;
    QLabel* Label2;

private:
    void setFrameStyle();
};

}  // namespace ui
