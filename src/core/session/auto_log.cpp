#include "core/session/auto_log.h"

#include <algorithm>
#include <utility>

#include "core/adif/adif_import.h"
#include "core/base/text_conversion.h"
#include "core/base/text_utils.h"
#include "core/record/qso_record.h"

namespace dxcc {

namespace msg = auto_log_messages;

std::string loggedContactLine(std::string_view record) {
    const auto part = [&](Field f) { return cp1252ToUtf8(trimBlanks(recordField(record, f))); };
    return std::string(msg::kLogged) + part(Field::Callsign) + ", " + part(Field::Date) + " " +
           part(Field::Time) + ", " + part(Field::Band) + ", " + part(Field::Mode);
}

std::string waitingLine(size_t waiting) {
    if (waiting == 0) return {};
    if (waiting == 1) return std::string(msg::kWaitingOne);
    return std::to_string(waiting) + std::string(msg::kWaitingMany);
}

namespace {

// The same contact by the import's rule: callsign, date, time, band and mode.
bool sameContact(std::string_view a, std::string_view b) {
    for (Field f : {Field::Callsign, Field::Date, Field::Time, Field::Band, Field::Mode})
        if (trimBlanks(recordField(a, f)) != trimBlanks(recordField(b, f))) return false;
    return true;
}

}  // namespace

AutoLog::AutoLog(LogSession& session) : session_(session), pending_(session.dataDir()) {}

AutoLogOutcome AutoLog::receive(std::string_view adif) {
    AutoLogOutcome outcome;
    for (const std::string& record : adifRecords(adif)) {
        try {
            pending_.add(record);
        } catch (const FileError&) {
            keepInMemory(record, outcome);
        }
    }
    commitWaiting(outcome);
    return outcome;
}

AutoLogOutcome AutoLog::retry() {
    AutoLogOutcome outcome;
    commitWaiting(outcome);
    return outcome;
}

void AutoLog::commitWaiting(AutoLogOutcome& outcome) {
    std::vector<std::string> inFile;
    try {
        inFile = notHeld(pending_.read());
    } catch (const FileError& e) {
        outcome.failedOn(e);
    }
    std::string text;
    for (const std::string& r : inFile) text.append(r).append("\n");
    for (const std::string& r : inMemory_) text.append(r).append("\n");
    waiting_ = inFile.size() + inMemory_.size();
    if (text.empty()) return;

    const ImportOutcome imported = session_.importAdifText(text);
    static_cast<SessionOutcome&>(outcome) = imported;
    if (imported.ok() && imported.import) {
        const adif::LogImport& done = *imported.import;
        // (A log read again, changed by another program, says no rows.)
        if (done.change.kind == LogChange::Kind::Inserted)
            for (size_t row = done.change.row; row < done.change.row + done.change.count; ++row)
                outcome.logged.emplace_back(session_.log().record(row));
        outcome.duplicates = done.imported.report.duplicates;
        inMemory_.clear();
        try {
            pending_.remove(inFile);
            waiting_ = 0;
        } catch (const FileError& e) {
            // In the log already: left in the file, they are found duplicates next time.
            outcome.fileError = e;
            waiting_ = inFile.size();
        }
    }
    outcome.waiting = waiting_;
    outcome.inMemoryOnly = !inMemory_.empty();
    if (outcome.inMemoryOnly) outcome.messages.emplace_back(msg::kKeptInMemory);
    if (waiting_ > 0) outcome.messages.push_back(waitingLine(waiting_));
    tellRefused(outcome);
}

void AutoLog::keepInMemory(const std::string& record, AutoLogOutcome& outcome) {
    if (inMemory_.size() < kMaxInMemory)
        inMemory_.push_back(record);
    else
        ++outcome.refused;
}

void AutoLog::tellRefused(AutoLogOutcome& outcome) {
    if (outcome.refused > 0)
        outcome.messages.push_back(std::to_string(outcome.refused) + std::string(msg::kRefused));
}

AutoLog::Reading AutoLog::read(const std::string& adif, std::string* logRecord) const {
    const adif::AdifImport read =
        adif::importAdif(adif, session_.prefixes().table(), {}, 1, &session_.log());
    if (!read.records.empty()) {
        if (logRecord) *logRecord = std::string(read.records[0]);
        return Reading::New;
    }
    return read.report.duplicates > 0 ? Reading::InLog : Reading::NoContact;
}

bool AutoLog::queued(std::string_view logRecord) const {
    const auto same = [&](const ToConfirm& c) { return sameContact(c.logRecord, logRecord); };
    return (shown_ && same(*shown_)) || std::any_of(toConfirm_.begin(), toConfirm_.end(), same);
}

std::vector<std::string> AutoLog::notHeld(std::vector<std::string> inFile) const {
    const auto drop = [&](const ToConfirm& c) {
        if (!c.inFile) return;
        if (const auto it = std::find(inFile.begin(), inFile.end(), c.adif); it != inFile.end())
            inFile.erase(it);
    };
    if (shown_) drop(*shown_);
    for (const ToConfirm& c : toConfirm_) drop(c);
    return inFile;
}

void AutoLog::dropFromFile(const std::vector<std::string>& records) {
    if (records.empty()) return;
    try {
        pending_.remove(records);
    } catch (const FileError&) {
        // Left in the file: found in the log (or thrown away) again next time.
    }
}

AutoLogOutcome AutoLog::holdForOperator(std::string_view adif) {
    AutoLogOutcome outcome;
    for (const std::string& record : adifRecords(adif)) {
        ToConfirm contact{record, {}, false};
        if (read(record, &contact.logRecord) != Reading::New || queued(contact.logRecord)) continue;
        try {
            pending_.add(record);
            contact.inFile = true;
        } catch (const FileError& e) {
            outcome.fileError = e;
        }
        // Beyond the queue's room it waits to be offered later, in the file
        // or, as a contact to log, in memory.
        if (toConfirm_.size() < kMaxToConfirm)
            toConfirm_.push_back(std::move(contact));
        else if (!contact.inFile)
            keepInMemory(record, outcome);
    }
    const auto onlyInMemory = [](const ToConfirm& c) { return !c.inFile; };
    outcome.inMemoryOnly = !inMemory_.empty() || (shown_ && onlyInMemory(*shown_)) ||
                           std::any_of(toConfirm_.begin(), toConfirm_.end(), onlyInMemory);
    if (outcome.inMemoryOnly) outcome.messages.emplace_back(msg::kKeptInMemory);
    tellRefused(outcome);
    return outcome;
}

AutoLogOutcome AutoLog::offerWaiting() {
    AutoLogOutcome outcome;
    std::vector<std::string> inFile;
    try {
        inFile = notHeld(pending_.read());
    } catch (const FileError& e) {
        outcome.failedOn(e);
    }
    std::vector<std::string> done;
    const auto offer = [&](const std::string& record, bool fromFile) {
        ToConfirm contact{record, {}, fromFile};
        if (read(record, &contact.logRecord) != Reading::New) {
            if (fromFile) done.push_back(record);
        } else if (queued(contact.logRecord)) {
            // (A copy in the file leaves it once the one queued is in the log.)
        } else if (toConfirm_.size() < kMaxToConfirm) {
            toConfirm_.push_back(std::move(contact));
        } else if (!fromFile) {
            inMemory_.push_back(record);
        }
    };
    for (const std::string& record : inFile) offer(record, true);
    for (const std::string& record : std::exchange(inMemory_, {})) offer(record, false);
    dropFromFile(done);
    waiting_ = inMemory_.size();
    return outcome;
}

std::string AutoLog::showNextContact() {
    if (shown_) return {};
    while (!toConfirm_.empty()) {
        ToConfirm next = std::move(toConfirm_.front());
        toConfirm_.pop_front();
        // Logged meanwhile (by the retry, before the operator asked first).
        if (read(next.adif) == Reading::InLog) {
            if (next.inFile) dropFromFile({next.adif});
            continue;
        }
        shown_ = std::move(next);
        return shown_->logRecord;
    }
    return {};
}

void AutoLog::shownContactLeft(bool discarded) {
    if (!shown_) return;
    ToConfirm left = std::move(*shown_);
    shown_.reset();
    if (!discarded && read(left.adif) != Reading::InLog) {
        toConfirm_.push_front(std::move(left));
        return;
    }
    if (left.inFile) dropFromFile({left.adif});
    // Those the queue had no room for come next.
    if (toConfirm_.empty()) offerWaiting();
}

}  // namespace dxcc
