#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "core/cluster/cluster_stream.h"
#include "core/cluster/spot_classifier.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/cluster_client.h"
#include "windows/cluster/spot_table_model.h"

namespace ui {

// "Cluster DX": the spots of a DX cluster server coloured by what the log
// needs, the server's other lines, and a field for commands to the server.
class ClusterWindow : public QWidget {
    Q_OBJECT
public:
    ClusterWindow(AppContext& ctx, dxcc::LogSession& session,
                  const dxcc::cluster::NeededLookup& needed,
                  dxcc::cluster::ReconnectSchedule schedule = {}, QWidget* parent = nullptr);

    // Connects to the server of the settings (tells the operator when none is set).
    void connectToServer();
    void disconnectFromServer() { client_->disconnectFromServer(); }
    ClusterClient& client() { return *client_; }
    SpotTableModel& spots() { return *model_; }

    QLabel* Etat_Cluster;
    QPushButton* Connecter;
    QPushButton* Deconnecter;
    QPushButton* Reglages_Cluster;
    QCheckBox* Filtre_Utile;
    QComboBox* Filtre_Bande;
    QComboBox* Filtre_Mode;
    QCheckBox* Sonnerie;
    QTableView* Liste_Spots;
    QPlainTextEdit* Console_Cluster;
    QLineEdit* Commande_Cluster;

signals:
    // A spot double-clicked: its callsign, band label, class of mode, frequency.
    void spotChosen(const QString& callsign, const QString& band, dxcc::ModeClass modeClass,
                    qint64 hertz);
    // A new entity came up and the operator asked to hear of it.
    void bell();

private:
    void spotReceived(const dxcc::cluster::Spot& spot);
    void applyFilters();
    void openSettings();
    void sendCommand();
    QString setting(std::string_view key, const QString& fallback) const;

    AppContext& ctx_;
    dxcc::LogSession& session_;
    const dxcc::cluster::NeededLookup& needed_;
    ClusterClient* client_;
    SpotTableModel* model_;
    SpotFilterModel* filtered_;
};

}  // namespace ui
