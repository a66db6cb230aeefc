#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/digital/decode_rows.h"
#include "core/digital/highlight_schedule.h"
#include "core/digital/worked_callsigns.h"
#include "core/session/auto_log.h"
#include "core/session/log_session.h"
#include "platform/wsjtx_link.h"
#include "windows/digital/decode_table_model.h"

namespace ui {

// The digital-mode programs (WSJT-X, JTDX) for as long as the program runs,
// whether the window is open or not: the link, every decode classified
// against the log (again when the log changes), the highlights sent back, and
// the contacts logged there put into the log (or, when the operator wants to
// see them first, handed to the entry form). The operator's wish to listen is
// kept in the settings, so the next start listens again.
class DigitalFeed : public QObject {
    Q_OBJECT
public:
    // How often contacts that wait for the log are tried again.
    static constexpr int kRetryMs = 30'000;
    // New entities alerted once each; past this many the memory starts afresh.
    static constexpr size_t kMaxAlerted = 10'000;

    DigitalFeed(dxcc::LogSession& session, QObject* parent = nullptr);
    ~DigitalFeed() override;

    // Listens on the address and port of the settings; false (and
    // listeningText() says why) when it cannot.
    bool startListening();
    void stopListening();
    // At start: listens when the program last ended listening, and tries
    // again the contacts a previous run left waiting (offers them to the
    // operator, when asked first).
    void resume();
    // The settings changed: listening follows the address and port, and the
    // highlights go when turned off.
    void settingsChanged();
    // The log changed (`change` when known): worked callsigns, colours and
    // highlights follow.
    void followLog(const std::optional<dxcc::LogChange>& change);
    // Tries again to log the contacts that wait (the timer does it every
    // kRetryMs while some wait).
    void retry();
    // Every highlight taken away (the program quits).
    void clearHighlights();
    // Asks the decoder that heard the decode of `row` to call its station.
    bool replyTo(int row);
    // The contacts to log that wait for the operator's Enter, oldest first;
    // each stays in the pending file until the operator is done with it.
    bool hasContactToConfirm() const { return autoLog_.hasContactToConfirm(); }
    // The next one, as the log stores it, for the entry form; empty while the
    // one taken before is still there (see contactToConfirmLeft).
    std::string takeContactToConfirm() { return autoLog_.showNextContact(); }
    bool showingContactToConfirm() const { return autoLog_.showingContact(); }
    // The contact taken left the entry form: committed, thrown away by the
    // operator (`discarded`), or else offered again.
    void contactToConfirmLeft(bool discarded) { autoLog_.shownContactLeft(discarded); }

    WsjtxLink& link() { return *link_; }
    DecodeTableModel& decodes() { return *model_; }
    QString listeningText() const { return listeningText_; }
    // Each decoder heard, on one line.
    QString decodersText() const;
    size_t waiting() const { return autoLog_.waiting(); }
    // The band (trimmed label) of the decoder whose Status came last; empty before any.
    const std::string& currentBand() const { return currentBand_; }
    // The station's own continent, for the filter that hides it.
    std::string ownContinent();

signals:
    // Contacts were put into the log (the main list must follow), or wait.
    void contactsLogged(const dxcc::AutoLogOutcome& outcome);
    // A contact to log waits for the operator (see takeContactToConfirm).
    void contactToConfirm();
    // "Nouvelle contrée entendue : …", the first time a callsign brings one.
    void newEntityHeard(const QString& text);
    // "3 QSO en attente…", or empty.
    void waitingChanged(const QString& text);
    void listeningChanged(const QString& text);
    void decodersChanged();
    // A decoder's Status: the band (the log's label) and mode it works.
    void decoderTuned(const QString& band, dxcc::ModeClass modeClass);
    // A decoder's DX call changed (and the operator wants it followed).
    void dxCallChosen(const QString& callsign);

private:
    void received(const dxcc::digital::Datagram& datagram);
    void followStatus(const dxcc::digital::DecoderState& decoder);
    void takeDecode(const dxcc::digital::Decode& decode,
                    const dxcc::digital::DecoderState& decoder);
    void takeContact(const std::string& adif);
    // Contacts queued for the operator: told, and shown when the form is free.
    void offered(const dxcc::AutoLogOutcome& outcome);
    void flush();
    void queueFlush();
    void logged(const dxcc::AutoLogOutcome& outcome);
    dxcc::digital::DecodeContext context();
    void classify(dxcc::digital::DecodeRow& row);
    void send(const std::vector<dxcc::digital::HighlightToSend>& highlights);
    void setListeningText(const QString& text);

    dxcc::LogSession& session_;
    WsjtxLink* link_;
    DecodeTableModel* model_;
    dxcc::digital::WorkedCallsigns worked_;
    dxcc::digital::HighlightSchedule highlights_;
    dxcc::AutoLog autoLog_;
    std::optional<dxcc::geo::LatLon> here_;
    std::vector<dxcc::digital::DecodeRow> batch_;
    bool flushQueued_ = false;
    bool decodersChanged_ = false;
    QString alert_;  // the first new entity of the batch
    dxcc::DigitalLinkSettings settings_;
    std::unordered_set<std::string> alerted_;
    // What each decoder's last Status said, to follow only its changes.
    struct Followed {
        dxcc::digital::DecoderTuning tuning;
        std::string dxCall;
    };
    std::map<std::string, Followed> followed_;
    QTimer retryTimer_;
    QString listeningText_;
    std::string currentBand_;
};

}  // namespace ui
