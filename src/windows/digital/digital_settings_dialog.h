#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

#include "core/session/station_settings.h"

namespace ui {

// Where WSJT-X and JTDX send their datagrams, and what the program does with
// them, kept in the settings.
class DigitalSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit DigitalSettingsDialog(dxcc::StationSettings& settings, QWidget* parent = nullptr);
    void accept() override;

    QLineEdit* WSJTX_Adresse;
    QSpinBox* WSJTX_Port;
    QCheckBox* Surlignage;
    QCheckBox* Son_Nouvelle_Contree;
    QCheckBox* Suivre_DX;
    QCheckBox* Demander_Avant;

private:
    dxcc::StationSettings& settings_;
};

}  // namespace ui
