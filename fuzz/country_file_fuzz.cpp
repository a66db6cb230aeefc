// Any bytes as a country file (cty.dat, then cty.csv): either refused with a
// reason, or built into a prefix file, an exact-call file and entity data the
// program reads back whole, whose every line keeps its columns.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text_file.h"
#include "core/prefixes/country_file.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_entries.h"
#include "core/prefixes/prefix_update.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc;

bool hasControl(std::string_view line, bool tabAllowed) {
    return std::any_of(line.begin(), line.end(), [&](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && !(tabAllowed && c == '\t')) || byte == 0x7F;
    });
}

// Each exact call once, in the editor's order, found by the index; nothing of
// the operator's, the merge is the build.
void checkExactCalls(const std::string& exactFile) {
    const std::vector<std::string_view> lines = splitLines(exactFile);
    FUZZ_CHECK(std::is_sorted(lines.begin(), lines.end(), prefixLineLess));
    const ExactCallTable table = ExactCallTable::parse(exactFile);
    FUZZ_CHECK(table.size() == lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].size() == kExactCallLength);
        FUZZ_CHECK(!hasControl(lines[i], false));
        FUZZ_CHECK(!table.callsign(i).empty() && table.findLine(table.callsign(i)) == i);
    }
    const PrefixMerge merge = mergeOperatorExactCalls(exactFile, exactFile, exactFile);
    FUZZ_CHECK(merge.fileBytes == exactFile && merge.operatorLines.empty());
}

void checkBuild(const std::vector<CountryEntity>& entities) {
    std::vector<std::string> leftOut;
    CountryBuild build;
    try {
        build = buildCountryFiles(entities, leftOut);
    } catch (const CountryFileError&) {
        return;
    }
    const std::vector<std::string_view> lines = splitLines(build.prefixFile);
    FUZZ_CHECK(std::is_sorted(lines.begin(), lines.end(), prefixLineLess));
    for (std::string_view line : lines) {
        FUZZ_CHECK(line.size() == kPrefixEntryLength);
        FUZZ_CHECK(!hasControl(line, false));
        FUZZ_CHECK(!parsePrefixEntry(line).callsignPrefix.empty());
    }
    FUZZ_CHECK(PrefixTable::parse(build.prefixFile).entries().size() == lines.size());
    checkExactCalls(build.exactFile);
    size_t entityLines = 0;
    for (std::string_view line : splitLines(build.entityFile)) {
        FUZZ_CHECK(!hasControl(line, true));
        if (line.starts_with('#')) continue;
        ++entityLines;
        FUZZ_CHECK(std::count(line.begin(), line.end(), '\t') == 8);
    }
    FUZZ_CHECK(entityLines == build.entities.size());
    // Nothing of the operator's, nothing changed: the merge is the build.
    const PrefixMerge merge =
        mergeOperatorLines(build.prefixFile, build.prefixFile, build.prefixFile);
    FUZZ_CHECK(merge.fileBytes == build.prefixFile && merge.operatorLines.empty());
    FUZZ_CHECK(summarizePrefixUpdate(build.prefixFile, merge.fileBytes).changesNothing());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const PrefixTable current =
        PrefixTable::parse(buildPrefixEntry("TA1", "Turkey", "TA") + "\r\n");
    std::vector<CountryEntity> dat;
    try {
        dat = parseCtyDat(input);
        FUZZ_CHECK(!dat.empty());
        std::vector<std::string> leftOut;
        checkBuild(numberWithoutCsv(dat, current, leftOut));
    } catch (const CountryFileError&) {
    }
    try {
        const std::vector<CountryEntity> csv = parseCtyCsv(input);
        checkBuild(csv);
        if (!dat.empty()) checkBuild(joinCountryFiles(dat, csv));
    } catch (const CountryFileError&) {
    }
    return 0;
}
