#pragma once

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QObject>
#include <QPointer>

#include "core/cluster/index_needed_lookup.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/hamlib_radio.h"
#include "windows/cluster/cluster_feed.h"
#include "windows/cluster/cluster_window.h"
#include "windows/entry/entry_form.h"

class QMainWindow;

namespace ui {

// The main window's live side: the cluster (its feed, for the program's
// life, and its window) and the radio. Adds their items to the tools menu and
// the radio's status to the status bar; the entry form follows the radio's
// band and mode and takes the spots chosen, in plain entry only.
class OnAir : public QObject {
    Q_OBJECT
public:
    OnAir(AppContext& ctx, dxcc::LogSession& session, EntryForm& form, QMainWindow& window,
          QMenu& tools);
    ~OnAir() override;

    void openCluster();
    // Follows the radio of the settings (or none).
    void restartRadio();
    RadioLink& radio() { return *radio_; }
    ClusterWindow* clusterWindow() const { return cluster_; }
    ClusterFeed& clusterFeed() { return *feed_; }

    QAction* Mnu_Cluster;
    QAction* Mnu_Reglages_Cluster;
    QAction* Mnu_Reglages_Radio;
    QLabel* Etat_Radio;

private:
    void radioReading(qint64 hertz, const QString& mode);
    void spotChosen(const QString& callsign, const QString& band, dxcc::ModeClass modeClass,
                    qint64 hertz);
    // A steady count for holding the radio's stale readings off.
    static dxcc::radio::RadioFollow::Time radioTime();

    AppContext& ctx_;
    dxcc::LogSession& session_;
    EntryForm& form_;
    QMainWindow& window_;
    dxcc::radio::RadioFollow follow_{dxcc::kBands, dxcc::kModes};
    dxcc::cluster::IndexNeededLookup needed_;
    RadioLink* radio_;
    ClusterFeed* feed_;
    QPointer<ClusterWindow> cluster_;
};

}  // namespace ui
