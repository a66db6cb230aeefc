#include "windows/digital/digital_feed.h"

#include "core/base/text_utils.h"
#include "core/digital/digital_window_text.h"
#include "core/digital/ft8_message.h"
#include "core/digital/logged_contact.h"
#include "core/record/qso_record.h"
#include "core/record/station_callsign.h"
#include "platform/colours.h"
#include "platform/text.h"

namespace ui {

namespace dd = dxcc::digital;
namespace msg = dd::window_messages;

namespace {

// Decoders whose last Status is remembered; made-up ids beyond start afresh.
constexpr size_t kMaxFollowed = 64;

dd::Colour onWire(const QColor& c) {
    return dd::Colour::rgb(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

dd::HighlightColours paletteColours() {
    using dxcc::NeedColour;
    return {onWire(needRowColour(NeedColour::NewEntity)),
            onWire(needRowColour(NeedColour::NewSlot)),
            onWire(needRowColour(NeedColour::ToConfirm)), onWire(QColor(Qt::black))};
}

}  // namespace

DigitalFeed::DigitalFeed(dxcc::LogSession& session, QObject* parent)
    : QObject(parent),
      session_(session),
      link_(new WsjtxLink(this)),
      model_(new DecodeTableModel(this)),
      highlights_(paletteColours()),
      autoLog_(session),
      settings_(session.settings().digitalLink()),
      listeningText_(fromView(msg::kNotListening)) {
    connect(link_, &WsjtxLink::received, this, &DigitalFeed::received);
    connect(link_, &WsjtxLink::silenceChanged, this, &DigitalFeed::decodersChanged);
    retryTimer_.setInterval(kRetryMs);
    connect(&retryTimer_, &QTimer::timeout, this, &DigitalFeed::retry);
}

DigitalFeed::~DigitalFeed() {
    // The decoders' windows lose the colours of a program that is gone.
    clearHighlights();
}

bool DigitalFeed::startListening() {
    settings_ = session_.settings().digitalLink();
    const QString address = QString::fromStdString(settings_.address);
    const QString where = address + ":" + QString::number(settings_.port);
    clearHighlights();
    if (settings_.port <= 0 || settings_.port > 65535 ||
        !link_->listen(address, quint16(settings_.port))) {
        setListeningText(fromView(msg::kCannotListen) + where + " : " + link_->errorText());
        return false;
    }
    session_.settings().setDigitalListening(true);
    setListeningText(fromView(msg::kListeningOn) + where);
    // What the log worked on each band, ready before the first decode (a
    // pass over the log), once the window has shown what it has to.
    QTimer::singleShot(0, this, [this] { worked_.bringUpToDate(session_.log()); });
    if (settings_.askBeforeLogging) offered(autoLog_.offerWaiting());
    return true;
}

void DigitalFeed::stopListening() {
    clearHighlights();
    link_->close();
    session_.settings().setDigitalListening(false);
    setListeningText(fromView(msg::kNotListening));
}

void DigitalFeed::resume() {
    if (settings_.listening) startListening();
    retry();
}

void DigitalFeed::settingsChanged() {
    const dxcc::DigitalLinkSettings before = settings_;
    settings_ = session_.settings().digitalLink();
    if (before.highlights && !settings_.highlights) clearHighlights();
    const bool moved = before.address != settings_.address || before.port != settings_.port;
    if (link_->listening() && moved) startListening();
}

void DigitalFeed::setListeningText(const QString& text) {
    listeningText_ = text;
    emit listeningChanged(text);
}

dd::DecodeContext DigitalFeed::context() {
    worked_.bringUpToDate(session_.log());
    return {session_.prefixes().table(), session_.needed(), session_.entityData(), here_, worked_};
}

void DigitalFeed::classify(dd::DecodeRow& row) {
    row.decode = dd::classifyDecode(row.decode.decode, row.tuning, context());
}

void DigitalFeed::received(const dd::Datagram& datagram) {
    const dd::DecoderState* decoder = link_->decoders().find(datagram.id);
    if (!decoder) return;
    if (const auto* decode = std::get_if<dd::Decode>(&datagram.message)) {
        takeDecode(*decode, *decoder);
    } else if (std::holds_alternative<dd::Status>(datagram.message)) {
        followStatus(*decoder);
    } else if (std::holds_alternative<dd::Close>(datagram.message)) {
        highlights_.forgetDecoder(decoder->id);
        followed_.erase(decoder->id);
    }
    if (const auto adif = dd::contactToLog(datagram, *decoder)) takeContact(*adif);
    // What the line of decoders shows may have changed: told once per batch.
    if (!std::holds_alternative<dd::Decode>(datagram.message)) {
        decodersChanged_ = true;
        queueFlush();
    }
}

void DigitalFeed::followStatus(const dd::DecoderState& decoder) {
    if (!decoder.status) return;
    if (followed_.size() >= kMaxFollowed && !followed_.contains(decoder.id)) followed_.clear();
    Followed& last = followed_[decoder.id];
    const dd::DecoderTuning& tuning = decoder.tuning;
    currentBand_ = std::string(dxcc::trimBlanks(tuning.band));
    if (tuning.band != last.tuning.band || tuning.mode != last.tuning.mode) {
        last.tuning = tuning;
        if (!tuning.band.empty())
            emit decoderTuned(fromCp1252(tuning.band), dd::classOfDecoderMode(tuning.mode));
    }
    const std::string dxCall(dxcc::trimBlanks(decoder.status->dxCall));
    if (dxCall == last.dxCall) return;
    last.dxCall = dxCall;
    if (settings_.followDxCall && dd::isCallsign(dxCall))
        emit dxCallChosen(QString::fromStdString(dxCall));
}

void DigitalFeed::takeDecode(const dd::Decode& decode, const dd::DecoderState& decoder) {
    dd::DecodeRow row{dd::classifyDecode(decode, decoder.tuning, context()), decoder.id,
                      decoder.tuning};
    if (settings_.highlights)
        if (auto highlight = highlights_.forDecode(decoder.id, row.decode))
            link_->sendHighlight(*highlight);
    const dd::ClassifiedDecode& d = row.decode;
    if (d.colour == dxcc::NeedColour::NewEntity) {
        if (alerted_.size() >= kMaxAlerted) alerted_.clear();
        if (alerted_.insert(d.callsign()).second && alert_.isEmpty())
            alert_ = QString::fromStdString(dd::newEntityText(d.callsign(), d.entityName));
    }
    batch_.push_back(std::move(row));
    queueFlush();
}

void DigitalFeed::queueFlush() {
    if (flushQueued_) return;
    flushQueued_ = true;
    // After the link's slice of datagrams: one insertion into the list for all.
    QTimer::singleShot(0, this, &DigitalFeed::flush);
}

void DigitalFeed::flush() {
    flushQueued_ = false;
    model_->add(std::exchange(batch_, {}));
    if (!alert_.isEmpty()) emit newEntityHeard(std::exchange(alert_, {}));
    if (std::exchange(decodersChanged_, false)) emit decodersChanged();
}

void DigitalFeed::takeContact(const std::string& adif) {
    if (settings_.askBeforeLogging) return offered(autoLog_.holdForOperator(adif));
    logged(autoLog_.receive(adif));
}

void DigitalFeed::offered(const dxcc::AutoLogOutcome& outcome) {
    logged(outcome);
    if (autoLog_.hasContactToConfirm()) emit contactToConfirm();
}

void DigitalFeed::logged(const dxcc::AutoLogOutcome& outcome) {
    emit contactsLogged(outcome);
    emit waitingChanged(QString::fromStdString(dxcc::waitingLine(autoLog_.waiting())));
    if (autoLog_.waiting() > 0) {
        if (!retryTimer_.isActive()) retryTimer_.start();
    } else {
        retryTimer_.stop();
    }
}

void DigitalFeed::retry() {
    // Asked first: nothing goes into the log unseen.
    if (settings_.askBeforeLogging) return offered(autoLog_.offerWaiting());
    logged(autoLog_.retry());
}

void DigitalFeed::followLog(const std::optional<dxcc::LogChange>& change) {
    if (change && change->kind != dxcc::LogChange::Kind::Reset)
        worked_.follow(session_.log(), *change);
    else
        worked_.markStale();
    here_ = session_.settings().stationPosition();
    if (settings_.highlights)
        send(highlights_.afterLogChange([this](std::string_view callsign, std::string_view id) {
            const dd::DecoderState* decoder = link_->decoders().find(id);
            return dd::colourOfCallsign(callsign, decoder ? decoder->tuning : dd::DecoderTuning{},
                                        context());
        }));
    model_->reclassify([this](dd::DecodeRow& row) { classify(row); });
}

void DigitalFeed::clearHighlights() {
    send(highlights_.clearAll());
}

void DigitalFeed::send(const std::vector<dd::HighlightToSend>& highlights) {
    for (const dd::HighlightToSend& h : highlights) link_->sendHighlight(h);
}

bool DigitalFeed::replyTo(int row) {
    if (row < 0 || row >= model_->rowCount()) return false;
    const dd::DecodeRow& r = model_->rowAt(row);
    return link_->sendReply(r.decoderId, dd::replyTo(r.decode.decode));
}

QString DigitalFeed::decodersText() const {
    QStringList parts;
    for (const dd::DecoderState& d : link_->decoders().all())
        parts << QString::fromStdString(dd::decoderText(d, link_->silent(d.id)));
    return parts.isEmpty() ? fromView(msg::kNoDecoder) : parts.join(QString::fromUtf8("   ·   "));
}

std::string DigitalFeed::ownContinent() {
    return dd::continentOfStation(dxcc::displayForm(session_.station()),
                                  session_.prefixes().table(), session_.entityData());
}

}  // namespace ui
