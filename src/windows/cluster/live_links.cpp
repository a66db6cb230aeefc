#include "windows/cluster/live_links.h"

#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <chrono>

#include "core/base/program_constants.h"
#include "core/cluster/cluster_messages.h"
#include "core/radio/radio_follow.h"
#include "core/session/station_callsign.h"
#include "platform/text.h"
#include "windows/cluster/cluster_settings_dialog.h"

namespace ui {

namespace msg = dxcc::cluster::messages;

OnAir::OnAir(AppContext& ctx, dxcc::LogSession& session, EntryForm& form, QMainWindow& window,
             QMenu& tools)
    : QObject(&window), ctx_(ctx), session_(session), form_(form), window_(window),
      needed_(session.needed()), radio_(new RadioLink(this)),
      feed_(new ClusterFeed(ctx, session, needed_, {}, this)) {
    tools.addSeparator();
    Mnu_Cluster = tools.addAction(fromView(msg::kMenuCluster));
    Mnu_Cluster->setObjectName("Mnu_Cluster");
    Mnu_Reglages_Cluster = tools.addAction(fromView(msg::kMenuClusterSettings));
    Mnu_Reglages_Cluster->setObjectName("Mnu_Reglages_Cluster");
    Mnu_Reglages_Radio = tools.addAction(fromView(msg::kMenuRigSettings));
    Mnu_Reglages_Radio->setObjectName("Mnu_Reglages_Radio");
    Etat_Radio = new QLabel(fromView(msg::kRadioNone), &window);
    Etat_Radio->setObjectName("Etat_Radio");
    window.statusBar()->addPermanentWidget(Etat_Radio);

    connect(Mnu_Cluster, &QAction::triggered, this, &OnAir::openCluster);
    connect(Mnu_Reglages_Cluster, &QAction::triggered, this, [this] {
        ClusterSettingsDialog dialog(ctx_, fromCp1252(dxcc::displayForm(session_.station())),
                                     &window_);
        if (dialog.exec() == QDialog::Accepted) feed_->settingsChanged();
    });
    connect(feed_, &ClusterFeed::bell, this, [] { QApplication::beep(); });
    connect(Mnu_Reglages_Radio, &QAction::triggered, this, [this] {
        RigSettingsDialog dialog(ctx_, &window_);
        if (dialog.exec() == QDialog::Accepted) restartRadio();
    });
    connect(radio_, &RadioLink::status, Etat_Radio, &QLabel::setText);
    connect(radio_, &RadioLink::reading, this, &OnAir::radioReading);
    restartRadio();
}

OnAir::~OnAir() {
    // The cluster window goes before the feed it shows; the feed closes its
    // connection itself; the radio's thread stops here.
    delete cluster_;
    radio_->stop();
}

void OnAir::restartRadio() { radio_->start(readRigSettings(ctx_)); }

void OnAir::openCluster() {
    if (!cluster_) {
        // Closing it only hides it: the spots and the connection stay.
        cluster_ = new ClusterWindow(ctx_, session_, *feed_, &window_);
        connect(cluster_, &ClusterWindow::spotChosen, this, &OnAir::spotChosen);
    }
    cluster_->show();
    cluster_->raise();
    cluster_->activateWindow();
}

void OnAir::radioReading(qint64 hertz, const QString& mode) {
    if (!form_.inEntryMode()) return;
    const auto selection = follow_.reading({hertz, mode.toStdString()}, radioTime());
    form_.selectBandAndMode(fromCp1252(selection.band), selection.mode);
}

void OnAir::spotChosen(const QString& callsign, const QString& band, dxcc::ModeClass modeClass,
                       qint64 hertz) {
    const auto selection =
        dxcc::radio::formSelectionForSpot(toCp1252(band), modeClass, dxcc::kBands, dxcc::kModes);
    if (!form_.inEntryMode()) return;
    // The radio first: the form may stop on a message (a new prefix) for a while.
    const std::string_view radioMode =
        dxcc::radio::radioModeForSpot(modeClass, hertz, radio_->hasDataMode());
    radio_->tune(hertz, fromView(radioMode));
    follow_.requested(hertz, radioMode, radioTime());
    form_.takeSpot(callsign, fromCp1252(selection.band), selection.mode);
}

dxcc::radio::RadioFollow::Time OnAir::radioTime() {
    return std::chrono::duration_cast<dxcc::radio::RadioFollow::Time>(
        std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace ui
