#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dxcc {

// Where a DXCC entity lies and what it belongs to, as the country files give it.
struct EntityInfo {
    std::string dxccPrefix;  // as the prefix file names the entity ("G", "3D2/C")
    std::string name;        // the prefix file's entity name, trimmed
    double latitude = 0;     // degrees, north positive
    double longitude = 0;    // degrees, east positive
    std::string continent;   // "EU", "AS", "AF", "NA", "SA", "OC", "AN"
    int cqZone = 0;
    int ituZone = 0;
    double utcOffsetHours = 0;  // local time minus UTC ("+1" for France)
    int adifNumber = 0;         // the entity's number in ADIF's DXCC field; 0 when unknown
};

// The entity data file: one entity a line, fields separated by tabs, in this
// order: DXCC prefix, name, latitude, longitude (east positive), continent, CQ
// zone, ITU zone, UTC offset in hours, ADIF entity number (empty when unknown;
// files written before it was added end with the offset). Lines starting with
// '#' and empty lines are comments. Immutable once read.
class EntityData {
public:
    EntityData() = default;
    // Lines that do not hold eight or nine fields, or whose numbers do not
    // read, are skipped: one bad line never costs the others.
    static EntityData parse(std::string_view fileBytes);
    // Empty when the file cannot be read.
    static EntityData load(const std::filesystem::path& file);

    // The entity of a DXCC prefix (blanks trimmed, letter case ignored); null
    // when the file does not know it.
    const EntityInfo* find(std::string_view dxccPrefix) const;

    const std::vector<EntityInfo>& entities() const { return entities_; }
    bool empty() const { return entities_.empty(); }

private:
    void buildIndex();

    std::vector<EntityInfo> entities_;
    // Entity numbers ordered by upper-case prefix, for a binary search.
    std::vector<std::string> keys_;
    std::vector<size_t> order_;
};

// The data file's text for `entities`, as the tool that builds it writes it.
std::string formatEntityData(const std::vector<EntityInfo>& entities);

}  // namespace dxcc
