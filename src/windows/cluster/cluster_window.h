#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "core/cluster/spot_classifier.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "windows/cluster/cluster_feed.h"
#include "windows/cluster/spot_table_model.h"
#include "windows/cluster/spot_view.h"
#include "windows/common/row_filter_model.h"

namespace ui {

// "Cluster DX": the spots of a DX cluster server coloured by what the log
// needs, the server's other lines, and a field for commands to the server.
// It shows the program's cluster feed: closing it leaves the feed running.
class ClusterWindow : public QWidget {
    Q_OBJECT
public:
    ClusterWindow(AppContext& ctx, dxcc::LogSession& session, ClusterFeed& feed,
                  QWidget* parent = nullptr);

    // As the Connecter button: connects to the server of the settings.
    void connectToServer() { feed_.connectToServer(); }
    ClusterFeed& feed() { return feed_; }

    QLabel* Etat_Cluster;
    QLabel* Unshown_Count;  // what a flood left out, since the connection
    QPushButton* Connecter;
    QPushButton* Deconnecter;
    QPushButton* Reglages_Cluster;
    QCheckBox* Filtre_Utile;
    QComboBox* Filtre_Bande;
    QComboBox* Filtre_Mode;
    QCheckBox* Sonnerie;
    SpotView* Liste_Spots;
    QPlainTextEdit* Console_Cluster;
    QLineEdit* Commande_Cluster;

signals:
    // A spot double-clicked: its callsign, band label, class of mode, frequency.
    void spotChosen(const QString& callsign, const QString& band, dxcc::ModeClass modeClass,
                    qint64 hertz);

private:
    void buildFilters();
    void buildList();
    void layOut();
    void applyFilters();
    void openSettings();
    void sendCommand();
    void showConsoleLines(const QStringList& lines);
    // The spot of a row of the list (double-clicked, or Enter) goes to the
    // entry form and the radio.
    void takeSpot(const QModelIndex& index);

    AppContext& ctx_;
    dxcc::LogSession& session_;
    ClusterFeed& feed_;
    RowFilterModel* filtered_;
};

}  // namespace ui
