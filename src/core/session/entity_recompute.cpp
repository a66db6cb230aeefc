#include "core/session/entity_recompute.h"

#include <iterator>

#include "core/base/text_conversion.h"
#include "core/base/text_utils.h"
#include "core/base/two_processors.h"
#include "core/record/qso_record.h"
#include "core/session/recompute_messages.h"

namespace dxcc {

namespace {

std::string_view trimmedEnd(std::string_view text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// A field's text as the record holds it: cut to its columns, blanks at the end aside.
std::string_view asStored(std::string_view text, Field field) {
    return trimmedEnd(text.substr(0, kRecordFieldWidths[static_cast<size_t>(field)]));
}

// "F France", or "aucune" for no entity (UTF-8).
std::string entityText(std::string_view prefix, std::string_view entity) {
    if (prefix.empty() && entity.empty()) return std::string(recompute_messages::kNoEntity);
    std::string text = cp1252ToUtf8(prefix);
    if (entity.empty()) return text;
    if (!text.empty()) text += ' ';
    text += cp1252ToUtf8(entity);
    return text;
}

}  // namespace

namespace {

// The changes among the rows [begin, end), in their order.
std::vector<EntityChange> changesIn(const Logbook& log, const PrefixTable& table, size_t begin,
                                    size_t end) {
    std::vector<EntityChange> changes;
    for (size_t row = begin; row < end; ++row) {
        const std::string_view record = log.record(row);
        const std::string_view callsign = trimBlanks(recordField(record, Field::Callsign));
        const PrefixEntry* entry = table.resolve(callsign).entry;
        const std::string_view newPrefix =
            entry ? asStored(entry->dxccPrefix, Field::DxccPrefix) : std::string_view();
        const std::string_view newEntity =
            entry ? asStored(entry->entityName, Field::EntityName) : std::string_view();
        const std::string_view oldPrefix = trimmedEnd(recordField(record, Field::DxccPrefix));
        const std::string_view oldEntity = trimmedEnd(recordField(record, Field::EntityName));
        if (oldPrefix == newPrefix && oldEntity == newEntity) continue;
        changes.push_back({row, std::string(callsign),
                           std::string(recordField(record, Field::Date)),
                           std::string(trimBlanks(oldPrefix)), std::string(trimBlanks(oldEntity)),
                           std::string(newPrefix), std::string(newEntity)});
    }
    return changes;
}

// Below this many QSOs a second thread costs more than it saves.
constexpr size_t kRowsForTwoThreads = 50'000;

}  // namespace

EntityRecompute planEntityRecompute(const Logbook& log, const PrefixTable& table) {
    EntityRecompute plan;
    plan.qsos = log.size();
    if (log.size() < kRowsForTwoThreads || !twoProcessors()) {
        plan.changes = changesIn(log, table, 0, log.size());
        return plan;
    }
    // The log and the table are only read: each half of the log on a processor.
    const size_t middle = log.size() / 2;
    std::vector<EntityChange> second;
    onTwoProcessors([&] { plan.changes = changesIn(log, table, 0, middle); },
                    [&] { second = changesIn(log, table, middle, log.size()); });
    plan.changes.insert(plan.changes.end(), std::make_move_iterator(second.begin()),
                        std::make_move_iterator(second.end()));
    return plan;
}

std::vector<Logbook::EntityEdit> entityEdits(const EntityRecompute& plan) {
    std::vector<Logbook::EntityEdit> edits;
    edits.reserve(plan.changes.size());
    for (const EntityChange& c : plan.changes) edits.push_back({c.row, c.newPrefix, c.newEntity});
    return edits;
}

std::vector<std::string> recomputeSummaryLines(const EntityRecompute& plan) {
    std::vector<std::string> lines;
    lines.reserve(plan.changes.size() + 1);
    lines.push_back(std::to_string(plan.changes.size()) +
                    std::string(recompute_messages::kChangeCount));
    for (const EntityChange& c : plan.changes)
        lines.push_back(cp1252ToUtf8(c.callsign) + "  " + c.date + "  " +
                        entityText(c.oldPrefix, c.oldEntity) + " -> " +
                        entityText(c.newPrefix, c.newEntity));
    return lines;
}

}  // namespace dxcc
