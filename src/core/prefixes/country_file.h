#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/prefixes/prefix_table.h"

namespace dxcc {

// The amateur country files: cty.dat, and the cty.csv that may come with it.
// Both list the same entities, each under its main prefix ("F", "3D2/c",
// "*TA1": a '*' marks an entity that counts only for other awards than DXCC).

// A country file that cannot be used; the message (UTF-8) says why.
class CountryFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entity as the country files give it.
struct CountryEntity {
    std::string mainPrefix;            // as written, '*' kept
    std::string name;                  // English name
    std::string number;                // DXCC entity number; empty until known
    std::vector<std::string> aliases;  // alias tokens as written ("=K1ABC(5)[8]", "KG4")
    std::string continent;
    int cqZone = 0;
    int ituZone = 0;
    double latitude = 0;        // north positive
    double westLongitude = 0;   // WEST positive, as the country files write it
    double hoursBehindUtc = 0;  // positive behind UTC, as the country files write it

    bool otherAwardsOnly() const { return !mainPrefix.empty() && mainPrefix.front() == '*'; }
};

// Reads cty.dat: per entity a header line "name: CQ: ITU: continent: lat:
// lon: offset: main prefix:" and its aliases separated by commas, ended by ';'.
// Bytes 0x80-0x9F, which no name may hold, read as '?'. Throws
// CountryFileError for a header that lacks a field or a number, when the last
// record is not ended (a file cut short), and when no entity is found.
std::vector<CountryEntity> parseCtyDat(std::string_view bytes);

// Reads cty.csv: per line main prefix, name, entity number, continent, CQ,
// ITU, latitude, longitude, offset, aliases separated by blanks and ended by
// ';'. Throws CountryFileError for a line that lacks a field or a number, and
// when the last line's aliases are not ended (a file cut short).
std::vector<CountryEntity> parseCtyCsv(std::string_view bytes);

// The entities of both files, as cty.csv orders and numbers them, with the
// aliases of both. Throws CountryFileError when they do not list the same
// main prefixes.
std::vector<CountryEntity> joinCountryFiles(const std::vector<CountryEntity>& dat,
                                            const std::vector<CountryEntity>& csv);

// cty.dat alone has no entity numbers. Each entity is numbered after itself,
// and each '*' entity after the DXCC entity it belongs to: the one whose main
// prefix `current` gives for the '*' entity's main prefix (without its "/x"
// suffix: "*GM/s" asks for "GM"), else the one whose main prefix is the
// longest beginning of it. A '*' entity that belongs to none is dropped; its
// name goes to `leftOut`.
std::vector<CountryEntity> numberWithoutCsv(const std::vector<CountryEntity>& dat,
                                            const PrefixTable& current,
                                            std::vector<std::string>& leftOut);

}  // namespace dxcc
