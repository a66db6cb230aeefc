#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

#include "platform/app_context.h"

namespace ui {

// The cluster server, its port and the callsign given at its login, kept in
// the global settings section.
class ClusterSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ClusterSettingsDialog(AppContext& ctx, const QString& stationCallsign, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* Cluster_Hote;
    QSpinBox* Cluster_Port;
    QLineEdit* Cluster_Indicatif;

private:
    AppContext& ctx_;
};

// The radio: a Hamlib model chosen from its list (searchable), the serial
// device and speed, or host:port of a running rigctld.
class RigSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit RigSettingsDialog(AppContext& ctx, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* Rig_Recherche;
    QListWidget* Rig_Modele;
    QLineEdit* Rig_Port;
    QComboBox* Rig_Vitesse;

private:
    void filterModels(const QString& text);
    AppContext& ctx_;
};

}  // namespace ui

#include "platform/hamlib_radio.h"

namespace ui {
// The radio of the settings (model 0 when none is chosen).
RigSettings readRigSettings(const AppContext& ctx);
}  // namespace ui
