#include "windows/cluster/cluster_settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/cluster/cluster_messages.h"
#include "platform/hamlib_radio.h"
#include "platform/text.h"
#include "windows/common/dialog_buttons.h"
#include "windows/common/named.h"

namespace ui {

ClusterSettingsDialog::ClusterSettingsDialog(dxcc::StationSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("Reglages_Cluster");
    setWindowTitle(fromView(dxcc::cluster::messages::kMenuClusterSettings));
    Cluster_Hote = named(new QLineEdit(this), "Cluster_Hote");
    Cluster_Port = named(new QSpinBox(this), "Cluster_Port");
    Cluster_Indicatif = named(new QLineEdit(this), "Cluster_Indicatif");
    Cluster_Port->setRange(1, 65535);
    Cluster_Hote->setMinimumWidth(fontMetrics().horizontalAdvance("dxc.example.org") * 2);

    const dxcc::ClusterSettings current = settings_.cluster();
    Cluster_Hote->setText(QString::fromStdString(current.host));
    Cluster_Port->setValue(current.port);
    Cluster_Indicatif->setText(QString::fromStdString(current.login));

    auto* form = new QFormLayout;
    form->addRow("Serveur :", Cluster_Hote);
    form->addRow("Port :", Cluster_Port);
    form->addRow("Indicatif de connexion :", Cluster_Indicatif);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

void ClusterSettingsDialog::accept() {
    settings_.setClusterServer(Cluster_Hote->text().trimmed().toStdString(), Cluster_Port->value(),
                               Cluster_Indicatif->text().trimmed().toUpper().toStdString());
    QDialog::accept();
}

RigSettingsDialog::RigSettingsDialog(dxcc::StationSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("Reglages_Radio");
    setWindowTitle(fromView(dxcc::cluster::messages::kMenuRigSettings));
    Rig_Recherche = named(new QLineEdit(this), "Rig_Recherche");
    Rig_Recherche->setPlaceholderText("Rechercher un modèle (ex. : FT-991, rigctld)");
    Rig_Modele = named(new QListWidget(this), "Rig_Modele");
    Rig_Port = named(new QLineEdit(this), "Rig_Port");
    Rig_Port->setPlaceholderText("/dev/ttyUSB0 ou 127.0.0.1:4532");
    Rig_Port->setMinimumWidth(fontMetrics().horizontalAdvance("/dev/ttyUSB0 ou 127.0.0.1:4532") +
                              24);
    Rig_Vitesse = named(new QComboBox(this), "Rig_Vitesse");
    Rig_Vitesse->addItem("Par défaut", 0);
    for (int speed : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        Rig_Vitesse->addItem(QString::number(speed), speed);

    const RigSettings current = rigSettingsOf(settings_.radio());
    auto* none = new QListWidgetItem("Aucune radio", Rig_Modele);
    none->setData(Qt::UserRole, 0);
    for (const RigModel& m : hamlibRigModels()) {
        auto* item = new QListWidgetItem(QString("%1  (%2)").arg(m.name).arg(m.id), Rig_Modele);
        item->setData(Qt::UserRole, m.id);
        if (m.id == current.model) Rig_Modele->setCurrentItem(item);
    }
    if (!Rig_Modele->currentItem()) Rig_Modele->setCurrentItem(none);
    Rig_Port->setText(current.port);
    Rig_Vitesse->setCurrentIndex(std::max(0, Rig_Vitesse->findData(current.speed)));
    connect(Rig_Recherche, &QLineEdit::textChanged, this, &RigSettingsDialog::filterModels);

    auto* form = new QFormLayout;
    form->addRow("Port série ou hôte:port :", Rig_Port);
    form->addRow("Vitesse :", Rig_Vitesse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Modèle de radio (Hamlib) :", this));
    layout->addWidget(Rig_Recherche);
    layout->addWidget(Rig_Modele, 1);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
    resize(fontMetrics().horizontalAdvance('M') * 40, fontMetrics().height() * 30);
}

void RigSettingsDialog::filterModels(const QString& text) {
    for (int i = 0; i < Rig_Modele->count(); ++i) {
        QListWidgetItem* item = Rig_Modele->item(i);
        item->setHidden(!item->text().contains(text.trimmed(), Qt::CaseInsensitive));
    }
}

void RigSettingsDialog::accept() {
    const QListWidgetItem* item = Rig_Modele->currentItem();
    settings_.setRadio({item ? item->data(Qt::UserRole).toInt() : 0,
                        Rig_Port->text().trimmed().toStdString(),
                        Rig_Vitesse->currentData().toInt()});
    QDialog::accept();
}

}  // namespace ui
