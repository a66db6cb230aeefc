#include "platform/colours.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>

namespace ui {

QColor needRowColour(dxcc::NeedColour colour) {
    using dxcc::NeedColour;
    switch (colour) {
        case NeedColour::NewEntity:
            return kNewEntityLight;
        case NeedColour::NewSlot:
            return kNewSlotLight;
        case NeedColour::ToConfirm:
            return kWorkedLight;
        case NeedColour::Confirmed:
            return kConfirmedLight;
        case NeedColour::Unknown:
            break;
    }
    return {};
}

void paintBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, colour);
        p.setColor(group, QPalette::Button, colour);
    }
    w->setPalette(p);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        combo->lineEdit()->setPalette(p);
}

void paintButtonFace(QWidget* button) {
    button->setPalette(QPalette());
}

QColor backgroundOf(const QWidget* w) {
    return w->palette().color(QPalette::Active, QPalette::Base);
}

}  // namespace ui
