#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "core/cluster/index_needed_lookup.h"
#include "core/radio/radio_follow.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"
#include "platform/hamlib_radio.h"
#include "windows/cluster/cluster_feed.h"
#include "windows/cluster/cluster_window.h"
#include "windows/digital/digital_feed.h"
#include "windows/digital/digital_window.h"

namespace ui {

// The station's live links: the DX cluster (its feed, for the program's life,
// and its window), the digital-mode programs (likewise) and the radio. What
// they bring for the entry form (the radio's or the decoder's band and mode,
// a spot or a decode chosen, the decoder's DX call) comes out as signals,
// only while `plainEntry` says the form is in plain entry; the main window
// wires them.
class LiveLinks : public QObject {
    Q_OBJECT
public:
    LiveLinks(AppContext& ctx, dxcc::LogSession& session, QWidget& window,
              std::function<bool()> plainEntry);
    ~LiveLinks() override;

    // Once the program has started: the radio of the settings is followed,
    // and the cluster connected again when the program last ended connected.
    void start();
    void openCluster();
    // Opens the digital-mode window, and listens if it did not yet.
    void openDigital();
    // The settings dialogs; a change is followed at once.
    void editClusterSettings();
    void editRadioSettings();
    // Follows the radio of the settings (or none).
    void restartRadio();
    RadioLink& radio() { return *radio_; }
    ClusterWindow* clusterWindow() const { return cluster_; }
    ClusterFeed& clusterFeed() { return *feed_; }
    DigitalWindow* digitalWindow() const { return digitalWindow_; }
    DigitalFeed& digitalFeed() { return *digital_; }

signals:
    // What the radio says of itself ("Radio : aucune", its frequency...).
    void radioStatus(const QString& text);
    // The band (an entry of the band list, or the log's label of a band the
    // list lacks) and the mode position the entry form should show.
    void bandAndModeChosen(const QString& band, std::optional<size_t> mode);
    // A spot chosen in the cluster window: the form takes its callsign.
    void spotTaken(const QString& callsign, const QString& band, std::optional<size_t> mode);
    // The decoder's DX call, for the form's callsign field.
    void callsignChosen(const QString& callsign);
    // What the operator should notice without looking (a new entity heard).
    void alert(const QString& text);

private:
    void radioReading(qint64 hertz, const QString& mode);
    void spotChosen(const QString& callsign, const QString& band, dxcc::ModeClass modeClass,
                    qint64 hertz);
    void decoderTuned(const QString& band, dxcc::ModeClass modeClass);
    void decodeChosen(int row);
    // A steady count for holding the radio's stale readings off.
    static dxcc::radio::RadioFollow::Time radioTime();

    AppContext& ctx_;
    dxcc::LogSession& session_;
    QWidget& window_;
    std::function<bool()> plainEntry_;
    dxcc::radio::RadioFollow follow_{dxcc::kBands, dxcc::kModes};
    dxcc::cluster::IndexNeededLookup needed_;
    RadioLink* radio_;
    ClusterFeed* feed_;
    QPointer<ClusterWindow> cluster_;
    DigitalFeed* digital_;
    QPointer<DigitalWindow> digitalWindow_;
};

}  // namespace ui
