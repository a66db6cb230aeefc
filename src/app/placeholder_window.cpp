#include "app/placeholder_window.h"

#include <QLabel>
#include <QVBoxLayout>

namespace ui {

QWidget* createPlaceholderWindow(const QString& objectName, const QString& title, QWidget* parent) {
    auto* w = new QWidget(parent, Qt::Window);
    w->setObjectName(objectName);
    w->setWindowTitle(title);
    w->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(w);
    auto* label = new QLabel("En construction", w);
    label->setObjectName("Label_En_Construction");
    label->setAlignment(Qt::AlignCenter);
    QFont f = label->font();
    f.setPointSize(f.pointSize() + 4);
    label->setFont(f);
    layout->addWidget(label);
    w->resize(360, 140);
    return w;
}

}  // namespace ui
