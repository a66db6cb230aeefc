#include "core/session/auto_log.h"

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

AutoLog::AutoLog(LogSession& session) : session_(session), pending_(session.dataDir()) {}

AutoLogOutcome AutoLog::receive(std::string_view adif) {
    AutoLogOutcome outcome;
    for (const std::string& record : adifRecords(adif)) {
        try {
            pending_.add(record);
        } catch (const FileError&) {
            inMemory_.push_back(record);
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
        inFile = pending_.read();
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
}

}  // namespace dxcc
