#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/session/log_session.h"
#include "core/session/pending_contacts.h"

namespace dxcc {

// What the operator is told of contacts a digital-mode program logged (UTF-8).
namespace auto_log_messages {
inline constexpr std::string_view kLogged = "QSO enregistré depuis WSJT-X : ";
inline constexpr std::string_view kWaitingOne = "1 QSO en attente d'enregistrement dans le log.";
inline constexpr std::string_view kWaitingMany = " QSO en attente d'enregistrement dans le log.";
inline constexpr std::string_view kKeptInMemory =
    "Le fichier des QSO en attente ne peut pas être écrit : les QSO en attente ne sont "
    "gardés qu'en mémoire.";
inline constexpr std::string_view kRefused =
    " QSO refusés : trop de QSO attendent déjà en mémoire.";
}  // namespace auto_log_messages

struct AutoLogOutcome : SessionOutcome {
    std::vector<std::string> logged;  // the records put in the log now
    size_t duplicates = 0;            // contacts the log already held
    size_t waiting = 0;               // contacts still waiting after this
    // The pending file could not take them either: they wait in memory only,
    // and a kill would lose them.
    bool inMemoryOnly = false;
    // Contacts neither the log, the pending file nor the memory could take.
    size_t refused = 0;
};

// The line told for a contact logged: "QSO enregistré depuis WSJT-X : K1ABC,
// 01/02/24 10:00, 14 Mhz, FT8" (UTF-8).
std::string loggedContactLine(std::string_view record);
// "3 QSO en attente d'enregistrement dans le log." (UTF-8); empty for none.
std::string waitingLine(size_t waiting);

// Contacts logged by a digital-mode program go into the log through the
// session, as an import does: the same tables, the same rule for a contact
// the log already holds (so the same contact received twice, as a QSO Logged
// and a Logged ADIF, from a repeated datagram or a second program, is logged
// once). A contact is first written to the pending file, then committed, then
// taken out of the file: a kill at any moment leaves it in the log or in the
// file, and what both hold is found a duplicate at the next try.
//
// When the operator wants to see each contact first, it waits in the pending
// file too, from its arrival until the operator committed it (the log holds
// it then) or threw it away; the contacts a killed run left there are offered
// again, never logged unseen. The retry of the contacts that wait for the log
// leaves those alone.
class AutoLog {
public:
    // Contacts queued for the operator, at most: a hostile sender cannot fill
    // the memory with them (those beyond wait in the pending file).
    static constexpr size_t kMaxToConfirm = 100;
    // Contacts kept in memory when neither the log nor the pending file can
    // take them, at most: hours of traffic, yet a flood of made-up contacts
    // cannot fill the memory. Those beyond are refused, and the operator told.
    static constexpr size_t kMaxInMemory = 1000;

    explicit AutoLog(LogSession& session);

    // The contacts of an ADIF text (one record or more), logged now if the
    // log can take them, else kept waiting.
    AutoLogOutcome receive(std::string_view adif);
    // Tries again to log what waits (from this run or a killed one).
    AutoLogOutcome retry();
    // Contacts waiting for the log, in the file and in memory, as last seen
    // (not those queued for the operator).
    size_t waiting() const { return waiting_; }
    const PendingContacts& pendingFile() const { return pending_; }

    // The operator asked first: the contacts of an ADIF text written to the
    // pending file and queued for the operator, but for those the log or the
    // queue holds already.
    AutoLogOutcome holdForOperator(std::string_view adif);
    // What waits for the log (left in the pending file by a killed run or by a
    // copy that logs by itself), queued for the operator instead; what the log
    // holds already leaves the file.
    AutoLogOutcome offerWaiting();
    bool hasContactToConfirm() const { return !toConfirm_.empty(); }
    // The oldest contact queued, as the log stores it, now shown to the
    // operator until shownContactLeft(); empty when none is queued or one is
    // shown already.
    std::string showNextContact();
    bool showingContact() const { return shown_.has_value(); }
    // The contact shown is no longer in the entry form. It leaves the pending
    // file when the log holds it now (the operator committed it) or the
    // operator threw it away (`discarded`); otherwise (the form was reset
    // under it, or it was committed changed) it is queued first again.
    void shownContactLeft(bool discarded);

private:
    // Keeps a contact only in memory, within kMaxInMemory; counts it refused beyond.
    void keepInMemory(const std::string& record, AutoLogOutcome& outcome);
    static void tellRefused(AutoLogOutcome& outcome);

    // A contact for the operator: the record as the pending file holds it,
    // and as the log would store it.
    struct ToConfirm {
        std::string adif;
        std::string logRecord;
        bool inFile = false;  // false: the pending file could not take it
    };
    enum class Reading { New, InLog, NoContact };
    // The record as the import reads it against the log.
    Reading read(const std::string& adif, std::string* logRecord = nullptr) const;
    bool queued(std::string_view logRecord) const;
    // `inFile` without one copy of each record queued for the operator.
    std::vector<std::string> notHeld(std::vector<std::string> inFile) const;
    void commitWaiting(AutoLogOutcome& outcome);
    void dropFromFile(const std::vector<std::string>& records);

    LogSession& session_;
    PendingContacts pending_;
    // Those the pending file could not take.
    std::vector<std::string> inMemory_;
    size_t waiting_ = 0;
    std::deque<ToConfirm> toConfirm_;
    std::optional<ToConfirm> shown_;
};

}  // namespace dxcc
