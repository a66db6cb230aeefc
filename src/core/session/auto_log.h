#pragma once

#include <cstddef>
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
}  // namespace auto_log_messages

struct AutoLogOutcome : SessionOutcome {
    std::vector<std::string> logged;  // the records put in the log now
    size_t duplicates = 0;            // contacts the log already held
    size_t waiting = 0;               // contacts still waiting after this
    // The pending file could not take them either: they wait in memory only,
    // and a kill would lose them.
    bool inMemoryOnly = false;
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
class AutoLog {
public:
    explicit AutoLog(LogSession& session);

    // The contacts of an ADIF text (one record or more), logged now if the
    // log can take them, else kept waiting.
    AutoLogOutcome receive(std::string_view adif);
    // Tries again to log what waits (from this run or a killed one).
    AutoLogOutcome retry();
    // Contacts waiting, in the file and in memory, as last seen.
    size_t waiting() const { return waiting_; }
    const PendingContacts& pendingFile() const { return pending_; }

private:
    void commitWaiting(AutoLogOutcome& outcome);

    LogSession& session_;
    PendingContacts pending_;
    // Those the pending file could not take.
    std::vector<std::string> inMemory_;
    size_t waiting_ = 0;
};

}  // namespace dxcc
