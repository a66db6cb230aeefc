#include "windows/cluster/cluster_settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/base/program_constants.h"
#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

namespace {

constexpr int kDefaultClusterPort = 7300;

QString global() { return fromView(dxcc::kGlobalSection); }

template <typename T>
T* named(T* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText("Annuler");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

ClusterSettingsDialog::ClusterSettingsDialog(AppContext& ctx, const QString& stationCallsign,
                                             QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
    setObjectName("Reglages_Cluster");
    setWindowTitle(fromView(dxcc::cluster::messages::kMenuClusterSettings));
    Cluster_Hote = named(new QLineEdit(this), "Cluster_Hote");
    Cluster_Port = named(new QSpinBox(this), "Cluster_Port");
    Cluster_Indicatif = named(new QLineEdit(this), "Cluster_Indicatif");
    Cluster_Port->setRange(1, 65535);
    Cluster_Hote->setMinimumWidth(fontMetrics().horizontalAdvance("dxc.example.org") * 2);

    using namespace dxcc::cluster;
    auto& s = *ctx_.settings;
    Cluster_Hote->setText(s.get(global(), fromView(kKeyClusterHost), {}));
    Cluster_Port->setValue(
        s.get(global(), fromView(kKeyClusterPort), QString::number(kDefaultClusterPort)).toInt());
    Cluster_Indicatif->setText(s.get(global(), fromView(kKeyClusterCallsign), stationCallsign));

    auto* form = new QFormLayout;
    form->addRow("Serveur :", Cluster_Hote);
    form->addRow("Port :", Cluster_Port);
    form->addRow("Indicatif de connexion :", Cluster_Indicatif);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

void ClusterSettingsDialog::accept() {
    using namespace dxcc::cluster;
    auto& s = *ctx_.settings;
    s.set(global(), fromView(kKeyClusterHost), Cluster_Hote->text().trimmed());
    s.set(global(), fromView(kKeyClusterPort), QString::number(Cluster_Port->value()));
    s.set(global(), fromView(kKeyClusterCallsign), Cluster_Indicatif->text().trimmed().toUpper());
    QDialog::accept();
}

RigSettingsDialog::RigSettingsDialog(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("Reglages_Radio");
    setWindowTitle(fromView(dxcc::cluster::messages::kMenuRigSettings));
    Rig_Recherche = named(new QLineEdit(this), "Rig_Recherche");
    Rig_Recherche->setPlaceholderText("Rechercher un modèle (ex. : FT-991, rigctld)");
    Rig_Modele = named(new QListWidget(this), "Rig_Modele");
    Rig_Port = named(new QLineEdit(this), "Rig_Port");
    Rig_Port->setPlaceholderText("/dev/ttyUSB0 ou 127.0.0.1:4532");
    Rig_Port->setMinimumWidth(fontMetrics().horizontalAdvance("/dev/ttyUSB0 ou 127.0.0.1:4532") + 24);
    Rig_Vitesse = named(new QComboBox(this), "Rig_Vitesse");
    Rig_Vitesse->addItem("Par défaut", 0);
    for (int speed : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        Rig_Vitesse->addItem(QString::number(speed), speed);

    const RigSettings current = readRigSettings(ctx_);
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
    using namespace dxcc::cluster;
    auto& s = *ctx_.settings;
    const QListWidgetItem* item = Rig_Modele->currentItem();
    const int model = item ? item->data(Qt::UserRole).toInt() : 0;
    s.set(global(), fromView(kKeyRigModel), QString::number(model));
    s.set(global(), fromView(kKeyRigPort), Rig_Port->text().trimmed());
    s.set(global(), fromView(kKeyRigSpeed), Rig_Vitesse->currentData().toString());
    QDialog::accept();
}

RigSettings readRigSettings(const AppContext& ctx) {
    using namespace dxcc::cluster;
    const auto& s = *ctx.settings;
    RigSettings r;
    r.model = s.get(global(), fromView(kKeyRigModel), "0").toInt();
    r.port = s.get(global(), fromView(kKeyRigPort), {});
    r.speed = s.get(global(), fromView(kKeyRigSpeed), "0").toInt();
    return r;
}

}  // namespace ui
