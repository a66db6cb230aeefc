#include "windows/digital/digital_settings_dialog.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "core/digital/digital_window_text.h"
#include "platform/text.h"
#include "windows/common/dialog_buttons.h"
#include "windows/common/named.h"

namespace ui {

namespace msg = dxcc::digital::window_messages;

DigitalSettingsDialog::DigitalSettingsDialog(dxcc::StationSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("Reglages_WSJTX");
    setWindowTitle(fromView(msg::kSettingsTitle));
    WSJTX_Adresse = named(new QLineEdit(this), "WSJTX_Adresse");
    WSJTX_Port = named(new QSpinBox(this), "WSJTX_Port");
    Surlignage = named(new QCheckBox(fromView(msg::kHighlightsOption), this), "Surlignage");
    Son_Nouvelle_Contree =
        named(new QCheckBox(fromView(msg::kSoundOption), this), "Son_Nouvelle_Contree");
    Suivre_DX = named(new QCheckBox(fromView(msg::kFollowDxCallOption), this), "Suivre_DX");
    Demander_Avant = named(new QCheckBox(fromView(msg::kAskOption), this), "Demander_Avant");
    WSJTX_Port->setRange(1, 65535);
    WSJTX_Adresse->setMinimumWidth(fontMetrics().horizontalAdvance("255.255.255.255") * 2);
    WSJTX_Adresse->setToolTip(fromView(msg::kAddressTip));

    const dxcc::DigitalLinkSettings current = settings_.digitalLink();
    WSJTX_Adresse->setText(QString::fromStdString(current.address));
    WSJTX_Port->setValue(current.port);
    Surlignage->setChecked(current.highlights);
    Son_Nouvelle_Contree->setChecked(current.sound);
    Suivre_DX->setChecked(current.followDxCall);
    Demander_Avant->setChecked(current.askBeforeLogging);

    auto* form = new QFormLayout;
    form->addRow("Adresse :", WSJTX_Adresse);
    form->addRow("Port :", WSJTX_Port);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    for (QCheckBox* box : {Surlignage, Son_Nouvelle_Contree, Suivre_DX, Demander_Avant})
        layout->addWidget(box);
    layout->addWidget(okCancel(this));
}

void DigitalSettingsDialog::accept() {
    dxcc::DigitalLinkSettings link = settings_.digitalLink();
    link.address = WSJTX_Adresse->text().trimmed().toStdString();
    if (link.address.empty()) link.address = dxcc::DigitalLinkSettings{}.address;
    link.port = WSJTX_Port->value();
    link.highlights = Surlignage->isChecked();
    link.sound = Son_Nouvelle_Contree->isChecked();
    link.followDxCall = Suivre_DX->isChecked();
    link.askBeforeLogging = Demander_Avant->isChecked();
    settings_.setDigitalLink(link);
    QDialog::accept();
}

}  // namespace ui
