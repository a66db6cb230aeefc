#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

#include "core/session/station_settings.h"

namespace ui {

// The cluster server, its port and the callsign given at its login (the
// station's unless another is set), kept in the settings.
class ClusterSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ClusterSettingsDialog(dxcc::StationSettings& settings, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* Cluster_Hote;
    QSpinBox* Cluster_Port;
    QLineEdit* Cluster_Indicatif;

private:
    dxcc::StationSettings& settings_;
};

// The radio: a Hamlib model chosen from its list (searchable), the serial
// device and speed, or host:port of a running rigctld.
class RigSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit RigSettingsDialog(dxcc::StationSettings& settings, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* Rig_Recherche;
    QListWidget* Rig_Modele;
    QLineEdit* Rig_Port;
    QComboBox* Rig_Vitesse;

private:
    void filterModels(const QString& text);
    dxcc::StationSettings& settings_;
};

}  // namespace ui
