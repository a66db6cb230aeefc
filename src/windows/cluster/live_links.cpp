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
      feed_(new ClusterFeed(ctx, session, needed_, {}, this)),
      digital_(new DigitalFeed(session, this)) {
    connect(feed_, &ClusterFeed::bell, this, [] { QApplication::beep(); });
    connect(digital_, &DigitalFeed::decoderTuned, this, &LiveLinks::decoderTuned);
    connect(digital_, &DigitalFeed::dxCallChosen, this, [this](const QString& callsign) {
        if (plainEntry_()) emit callsignChosen(callsign);
    });
    connect(digital_, &DigitalFeed::newEntityHeard, this, [this](const QString& text) {
        if (session_.settings().digitalLink().sound) QApplication::beep();
        emit alert(text);
    });
    connect(radio_, &RadioLink::status, this, &LiveLinks::radioStatus);
    connect(radio_, &RadioLink::reading, this, &LiveLinks::radioReading);
}

LiveLinks::~LiveLinks() {
    // The windows go before the feeds they show; the feeds close their
    // connections themselves; the radio's thread stops here.
    delete cluster_;
    delete digitalWindow_;
    radio_->stop();
}

void LiveLinks::start() {
    restartRadio();
    feed_->resume();
    digital_->resume();
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

void LiveLinks::openDigital() {
    if (!digitalWindow_) {
        // Closing it only hides it: the decodes and the listening stay.
        digitalWindow_ = new DigitalWindow(session_, *digital_, &window_);
        connect(digitalWindow_, &DigitalWindow::decodeChosen, this, &LiveLinks::decodeChosen);
    }
    if (!digital_->link().listening()) digital_->startListening();
    digitalWindow_->show();
    digitalWindow_->raise();
    digitalWindow_->activateWindow();
}

void LiveLinks::decoderTuned(const QString& band, dxcc::ModeClass modeClass) {
    if (!plainEntry_()) return;
    const auto selection =
        dxcc::radio::formSelectionForSpot(toCp1252(band), modeClass, dxcc::kBands, dxcc::kModes);
    emit bandAndModeChosen(fromCp1252(selection.band), selection.mode);
}

void LiveLinks::decodeChosen(int row) {
    // The decoder calls the station (when it accepts requests); it tunes the
    // radio itself.
    digital_->replyTo(row);
    if (!plainEntry_()) return;
    const dxcc::digital::DecodeRow& r = digital_->decodes().rowAt(row);
    if (r.decode.callsign().empty()) return;
    const auto selection = dxcc::radio::formSelectionForSpot(
        r.decode.band, dxcc::digital::classOfDecoderMode(r.decode.mode), dxcc::kBands,
        dxcc::kModes);
    emit spotTaken(QString::fromStdString(r.decode.callsign()), fromCp1252(selection.band),
                   selection.mode);
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
