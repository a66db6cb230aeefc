#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {

// A QSO whose callsign the lookup now gives another entity than the one
// stored with it.
struct EntityChange {
    size_t row = 0;
    std::string callsign;              // trimmed, as stored (Windows-1252)
    std::string date;                  // as stored: DD/MM/YY
    std::string oldPrefix, oldEntity;  // as stored, trimmed
    std::string newPrefix, newEntity;  // what the lookup gives, cut to the record's columns
};

// What the recompute of a log's entities would change, in log order.
struct EntityRecompute {
    size_t qsos = 0;  // QSOs looked up
    std::vector<EntityChange> changes;
};

// Looks every QSO of `log` up again with the one lookup of `table` and
// lists those whose stored DXCC prefix or entity name differs from what the
// lookup gives (blanks at the end aside): a maritime mobile or a callsign
// without entity gets empty fields.
EntityRecompute planEntityRecompute(const Logbook& log, const PrefixTable& table);

// The log's edits that carry out `plan` (see Logbook::setEntities).
std::vector<Logbook::EntityEdit> entityEdits(const EntityRecompute& plan);

// The summary for the operator to read before saving (UTF-8): "N QSO
// changent de contrée", then one line per change: callsign, date, the old
// prefix and entity, then the new ones.
std::vector<std::string> recomputeSummaryLines(const EntityRecompute& plan);

}  // namespace dxcc
