#include "platform/splash.h"

#include <QApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace ui {

Flash::Flash(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("Flash");
    setFrameStyle();
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    QFont f = font();
    f.setPointSize(f.pointSize() + 3);
    f.setBold(true);
    for (QLabel* l : {Label1, Label2}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFont(f);
        layout->addWidget(l);
    }
    setFixedSize(360, 110);
}

void Flash::setFrameStyle() {
    setStyleSheet("ui--Flash { border: 2px solid #404040; background: #FFFFC0; }");
    setAttribute(Qt::WA_StyledBackground);
}

void Flash::showMessage(const QString& first, const QString& second) {
    Label1->setText(first);
    Label2->setText(second);
    // Centred horizontally, somewhat below the centre of the screen.
    if (QScreen* s = QApplication::primaryScreen()) {
        QRect r = s->availableGeometry();
        move(r.center().x() - width() / 2, r.center().y() - height() / 2 + 133);
    }
    show();
    raise();
    QApplication::processEvents();
}

}  // namespace ui
