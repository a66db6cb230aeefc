#include "windows/cluster/live_links.h"

#include <QApplication>
#include <chrono>

#include "core/base/program_constants.h"
#include "core/radio/radio_follow.h"
#include "platform/text.h"
#include "windows/cluster/cluster_settings_dialog.h"

namespace ui {

LiveLinks::LiveLinks(AppContext& ctx, dxcc::LogSession& session, QWidget& window,
                     std::function<bool()> plainEntry)
    : QObject(&window),
      ctx_(ctx),
      session_(session),
      window_(window),
      plainEntry_(std::move(plainEntry)),
      needed_(session.needed()),
      radio_(new RadioLink(this)),
      feed_(new ClusterFeed(ctx, session, needed_, {}, this)) {
    connect(feed_, &ClusterFeed::bell, this, [] { QApplication::beep(); });
    connect(radio_, &RadioLink::status, this, &LiveLinks::radioStatus);
    connect(radio_, &RadioLink::reading, this, &LiveLinks::radioReading);
}

LiveLinks::~LiveLinks() {
    // The cluster window goes before the feed it shows; the feed closes its
    // connection itself; the radio's thread stops here.
    delete cluster_;
    radio_->stop();
}

void LiveLinks::start() {
    restartRadio();
    feed_->resume();
}

void LiveLinks::restartRadio() {
    radio_->start(rigSettingsOf(session_.settings().radio()));
}

void LiveLinks::editClusterSettings() {
    ClusterSettingsDialog dialog(session_.settings(), &window_);
    if (dialog.exec() == QDialog::Accepted) feed_->settingsChanged();
}

void LiveLinks::editRadioSettings() {
    RigSettingsDialog dialog(session_.settings(), &window_);
    if (dialog.exec() == QDialog::Accepted) restartRadio();
}

void LiveLinks::openCluster() {
    if (!cluster_) {
        // Closing it only hides it: the spots and the connection stay.
        cluster_ = new ClusterWindow(ctx_, session_, *feed_, &window_);
        connect(cluster_, &ClusterWindow::spotChosen, this, &LiveLinks::spotChosen);
    }
    cluster_->show();
    cluster_->raise();
    cluster_->activateWindow();
}

void LiveLinks::radioReading(qint64 hertz, const QString& mode) {
    if (!plainEntry_()) return;
    const auto selection = follow_.reading({hertz, mode.toStdString()}, radioTime());
    emit bandAndModeChosen(fromCp1252(selection.band), selection.mode);
}

void LiveLinks::spotChosen(const QString& callsign, const QString& band, dxcc::ModeClass modeClass,
                           qint64 hertz) {
    const auto selection =
        dxcc::radio::formSelectionForSpot(toCp1252(band), modeClass, dxcc::kBands, dxcc::kModes);
    if (!plainEntry_()) return;
    // The radio first: the form may stop on a message (a new prefix) for a while.
    const std::string_view radioMode =
        dxcc::radio::radioModeForSpot(modeClass, hertz, radio_->hasDataMode());
    radio_->tune(hertz, fromView(radioMode));
    follow_.requested(hertz, radioMode, radioTime());
    emit spotTaken(callsign, fromCp1252(selection.band), selection.mode);
}

dxcc::radio::RadioFollow::Time LiveLinks::radioTime() {
    return std::chrono::duration_cast<dxcc::radio::RadioFollow::Time>(
        std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace ui
