#include "core/awards/dxcc_table.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "core/awards/award_evaluation.h"
#include "core/awards/needed_index.h"
#include "core/base/collation.h"
#include "core/base/text_utils.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {

const std::vector<std::string>& dxccTableColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> c{findAward("Mixed")->name};
        for (ModeClass k : kModeClasses) c.emplace_back(modeClassHeading(k));
        for (const AwardDefinition* band : awardsOfFamily(AwardFamily::Band))
            c.push_back(band->name);
        return c;
    }();
    return columns;
}

std::vector<TableEntity> tableEntities(const PrefixTable& prefixes,
                                       const std::vector<std::string>& workedPrefixes) {
    std::vector<TableEntity> out;
    std::unordered_set<std::string> seen;
    // Some entities have exact calls only (Peter 1 Island): they follow those
    // with prefixes.
    for (const auto* lines : {&prefixes.entries(), &prefixes.exactCalls().entities()}) {
        for (const PrefixEntry& e : *lines) {
            if (e.dxccPrefix.empty() || !seen.insert(e.dxccPrefix).second) continue;
            out.push_back({e.dxccPrefix, std::string(trimBlanks(e.entityName)), {}});
        }
    }
    for (const std::string& p : workedPrefixes) {
        const std::string prefix(trimBlanks(p));
        if (prefix.empty() || !seen.insert(prefix).second) continue;
        out.push_back({prefix, {}, {}});
    }
    return out;
}

DxccTable buildDxccTable(std::vector<TableEntity> entities, const CellLookup& cell) {
    DxccTable t;
    t.columns = dxccTableColumns();
    const size_t n = t.columns.size();
    t.confirmed.assign(n, 0);
    t.worked.assign(n, 0);
    t.rows.reserve(entities.size());
    for (TableEntity& e : entities) {
        DxccTableRow row{std::move(e), std::vector<Need>(n, Need::Never)};
        for (size_t c = 0; c < n; ++c) {
            const Need m = cell(row.entity.prefix, c);
            row.cells[c] = m;
            if (m == Need::Confirmed) ++t.confirmed[c];
            if (m != Need::Never) ++t.worked[c];
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

DxccTable dxccTableOf(const PrefixTable& prefixes, const NeededIndex& needed,
                      const EntityData& entityData) {
    std::vector<std::string> worked;
    std::unordered_map<std::string_view, std::string_view> loggedNames;
    for (const NeededIndex::EntityView& e : needed.entities()) {
        worked.emplace_back(e.dxccPrefix);
        loggedNames.emplace(e.dxccPrefix, e.entityName);
    }
    std::vector<TableEntity> entities = tableEntities(prefixes, worked);
    for (TableEntity& e : entities) {
        const EntityInfo* info = entityData.find(e.prefix);
        if (info) e.continent = info->continent;
        // An entity the prefix file lacks: named as its QSOs name it.
        if (e.entity.empty()) {
            const auto logged = loggedNames.find(e.prefix);
            if (logged != loggedNames.end()) e.entity = std::string(logged->second);
        }
        if (e.entity.empty() && info) e.entity = info->name;
    }
    return buildDxccTable(std::move(entities), neededCells(needed));
}

CellLookup neededCells(const NeededIndex& needed) {
    return [&needed](std::string_view prefix, size_t column) {
        if (column == 0) return needed.entity(prefix);
        if (column < kFirstBandColumn) return needed.mode(prefix, kModeClasses[column - 1]);
        return needed.band(prefix, dxccTableColumns()[column]);
    };
}

std::vector<MapEntity> mapEntities(const DxccTable& table, const EntityData& entityData) {
    std::vector<MapEntity> out;
    out.reserve(table.rows.size());
    for (const DxccTableRow& r : table.rows) {
        const EntityInfo* info = entityData.find(r.entity.prefix);
        if (!info) continue;
        out.push_back({r.entity.prefix, r.entity.entity, info->latitude, info->longitude,
                       r.cells.empty() ? Need::Never : r.cells[0]});
    }
    return out;
}

std::string newlyConfirmedLine(const DxccTable& before, const DxccTable& after) {
    std::unordered_map<std::string_view, const DxccTableRow*> old;
    for (const DxccTableRow& r : before.rows) old.emplace(r.entity.prefix, &r);
    std::string entities;
    for (const DxccTableRow& r : after.rows) {
        const auto it = old.find(r.entity.prefix);
        const DxccTableRow* was = it == old.end() ? nullptr : it->second;
        std::string columns;
        for (size_t c = 0; c < r.cells.size() && c < after.columns.size(); ++c) {
            if (r.cells[c] != Need::Confirmed) continue;
            if (was && c < was->cells.size() && was->cells[c] == Need::Confirmed) continue;
            if (!columns.empty()) columns += ", ";
            columns += after.columns[c];
        }
        if (columns.empty()) continue;
        if (!entities.empty()) entities += ", ";
        entities += r.entity.prefix;
        if (!r.entity.entity.empty()) entities += " " + r.entity.entity;
        entities += " (" + columns + ")";
    }
    return entities.empty() ? std::string()
                            : "Nouvelles contr\xE9"
                              "es confirm\xE9"
                              "es : " +
                                  entities;
}

namespace {

// Collation first, the bytes to part texts it holds equal.
int compareTexts(std::string_view a, std::string_view b) {
    const int c = collate(a, b);
    if (c != 0) return c;
    return a.compare(b);
}

}  // namespace

std::vector<size_t> tableRowOrder(const DxccTable& table, TableOrder order, int missingIn) {
    std::vector<size_t> rows;
    rows.reserve(table.rows.size());
    for (size_t i = 0; i < table.rows.size(); ++i) {
        if (missingIn >= 0 && static_cast<size_t>(missingIn) < table.columns.size() &&
            table.rows[i].cells[static_cast<size_t>(missingIn)] == Need::Confirmed)
            continue;
        rows.push_back(i);
    }
    auto key = [&](size_t i) -> const TableEntity& { return table.rows[i].entity; };
    std::stable_sort(rows.begin(), rows.end(), [&](size_t a, size_t b) {
        const TableEntity& x = key(a);
        const TableEntity& y = key(b);
        int c = 0;
        switch (order) {
            case TableOrder::Entity:
                c = compareTexts(x.entity, y.entity);
                break;
            case TableOrder::Continent:
                // Entities of no known continent last.
                if (x.continent.empty() != y.continent.empty()) return y.continent.empty();
                c = compareTexts(x.continent, y.continent);
                break;
            case TableOrder::Prefix:
                break;
        }
        if (c == 0) c = compareTexts(x.prefix, y.prefix);
        return c < 0;
    });
    return rows;
}

namespace {

void csvField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char ch : field) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
}

}  // namespace

std::string dxccTableCsv(const DxccTable& table, const std::vector<size_t>& rows) {
    std::string out =
        "Pr\xE9"
        "fixe,Contr\xE9"
        "e,Continent";
    for (const std::string& c : table.columns) {
        out += ',';
        csvField(out, c);
    }
    out += "\r\n";
    for (size_t i : rows) {
        const DxccTableRow& r = table.rows.at(i);
        csvField(out, r.entity.prefix);
        out += ',';
        csvField(out, r.entity.entity);
        out += ',';
        csvField(out, r.entity.continent);
        // A column never worked stays empty.
        for (Need m : r.cells) {
            out += ',';
            if (m != Need::Never) out += needLetter(m);
        }
        out += "\r\n";
    }
    auto totals = [&](std::string_view name, const std::vector<size_t>& counts) {
        out += ",";
        out += name;
        out += ",";
        for (size_t n : counts) {
            out += ',';
            out += std::to_string(n);
        }
        out += "\r\n";
    };
    totals("Total confirm\xE9", table.confirmed);
    totals("Total contact\xE9", table.worked);
    return out;
}

}  // namespace dxcc
