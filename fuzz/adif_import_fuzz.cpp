// Any bytes as an ADIF file: the reader, the conversion to log records and the
// merge into a small log. Every record must be one whole log line (107
// columns, no line break that would cut it in two), and the block must go
// into the file in one piece at the place the merge plan gives.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/adif/adif_import.h"
#include "core/adif/adif_reader.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc;

const PrefixTable& prefixes() {
    static const PrefixTable table = PrefixTable::parse(
        buildPrefixEntry("F", "France", "F") + "\r\n" + buildPrefixEntry("G", "England", "G") +
        "\r\n" + buildPrefixEntry("K", "United States", "K") + "\r\n");
    return table;
}

std::string logLine(const char* callsign, const char* date) {
    QsoFields f{callsign, "", date, "12:00", "SSB", "14 Mhz ", "59", "59", "F", "France", ' '};
    return buildRecord(f);
}

// Every field the reader gives lies inside the file's bytes.
void checkReader(std::string_view input) {
    adif::ReaderWarnings warnings;
    for (const auto& record : adif::readAll(input, &warnings)) {
        for (const adif::Field& f : record) {
            for (std::string_view part : {f.name, f.value}) {
                FUZZ_CHECK(part.empty() ||
                           (part.data() >= input.data() &&
                            part.data() + part.size() <= input.data() + input.size()));
            }
        }
    }
}

bool oneLogLine(std::string_view record) {
    if (record.size() != kRecordLength) return false;
    for (char c : record)
        if (c == '\n' || c == '\r' || c == '\0') return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkReader(input);

    const adif::AdifImport imported =
        adif::importAdif(input, prefixes(), {}, kLogFileLimits.maxLines, nullptr,
                         {adif::ImportSharing::kOnePart, 1});
    FUZZ_CHECK(imported.report.qsos == imported.records.size());
    // Read in two parts, the second sought from the middle on, it gives the same.
    const adif::AdifImport halves =
        adif::importAdif(input, prefixes(), {}, kLogFileLimits.maxLines, nullptr, {size / 2, 2});
    FUZZ_CHECK(halves.records.lines() == imported.records.lines());
    FUZZ_CHECK(reportLines(halves.report) == reportLines(imported.report));
    FUZZ_CHECK(halves.report.reader == imported.report.reader);
    FUZZ_CHECK(halves.mergeKey == imported.mergeKey);
    std::vector<std::string> records;
    for (size_t i = 0; i < imported.records.size(); ++i) records.emplace_back(imported.records[i]);
    for (const std::string& record : records) FUZZ_CHECK(oneLogLine(record));

    Logbook log(fuzzing::dataDir());
    log.setStationCallsign("F6XYZ");
    std::vector<std::string> lines{logLine("F5AAA", "01/01/07"), logLine("F5BBB", "01/01/12"),
                                   logLine("F5CCC", "01/01/20")};
    fuzzing::writeRaw(log.logPath(), joinLines(lines));
    log.load();
    const adif::MergePlan plan = adif::planMerge(log, imported);
    FUZZ_CHECK(plan.index <= lines.size());
    if (records.empty()) return 0;
    log.insertBlock(plan.index, records);
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(plan.index), records.begin(),
                 records.end());
    FUZZ_CHECK(readFileBytes(log.logPath()) == joinLines(lines));
    FUZZ_CHECK(log.size() == lines.size());
    return 0;
}
