// Any bytes as a station log: the load, the main list's lines, and each
// operation of the entry form on what was loaded. After each one the file and
// the memory copy must hold the same lines, and the file exactly what a plain
// list of lines would give.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"
#include "core/record/record_dates.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc;

constexpr const char* kStation = "F6XYZ";

std::vector<std::string> memoryLines(const Logbook& log) {
    std::vector<std::string> out;
    for (size_t i = 0; i < log.size(); ++i) out.emplace_back(log.record(i));
    return out;
}

// The file holds `expected`, one CR LF after each line, and so does the copy.
void checkMirrors(const Logbook& log, const std::vector<std::string>& expected) {
    FUZZ_CHECK(readFileBytes(log.logPath()) == joinLines(expected));
    FUZZ_CHECK(memoryLines(log) == expected);
}

// Each display line is as wide as the list and shows every field of the
// record, blanks added up to the field's width.
void checkDisplayLines(const Logbook& log) {
    constexpr Field kFields[] = {
        Field::Callsign, Field::FirstName,   Field::Date,    Field::Time,       Field::Mode,
        Field::Band,     Field::RstReceived, Field::RstSent, Field::DxccPrefix, Field::EntityName};
    for (size_t i = 0; i < log.size(); ++i) {
        const std::string display = log.displayLine(i);
        FUZZ_CHECK(display.size() == kDisplayLineLength);
        const std::string rebuilt = recordFromDisplayLine(display);
        for (Field f : kFields) {
            const std::string_view stored = recordField(log.record(i), f);
            const std::string_view shown = recordField(rebuilt, f);
            FUZZ_CHECK(padRight(stored, shown.size()) == shown);
        }
        FUZZ_CHECK(recordQslMark(rebuilt) == recordQslMark(log.record(i)));
    }
}

// A record whose date and time come from the input, so the insert meets every
// kind of date.
std::string newRecord(std::string_view input) {
    QsoFields f;
    f.callsign = "F5NEW";
    f.date = fuzzing::fieldFrom(input, input.size() / 2, kDateWidth, '0');
    f.time = fuzzing::fieldFrom(input, input.size() / 2 + kDateWidth, kTimeWidth, '0');
    f.mode = "CW";
    f.band = "14 Mhz ";
    f.rstReceived = "599";
    f.rstSent = "599";
    return buildRecord(f);
}

// The insert goes before the first line dated at or after the record; lines
// without a readable date never stop it.
void checkInsertPlace(const std::vector<std::string>& lines, size_t row, std::string_view record) {
    const auto key = recordDateTimeKey(record);
    if (!key) {
        FUZZ_CHECK(row == lines.size());
        return;
    }
    for (size_t i = 0; i < row; ++i) {
        const auto before = recordDateTimeKey(lines[i]);
        FUZZ_CHECK(!before || *before < *key);
    }
    if (row < lines.size()) {
        const auto at = recordDateTimeKey(lines[row]);
        FUZZ_CHECK(at && *at >= *key);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path& dir = fuzzing::dataDir();
    Logbook log(dir);
    log.setStationCallsign(kStation);
    fuzzing::writeRaw(log.logPath(), input);
    log.load();

    std::vector<std::string> lines;
    for (std::string_view l : splitLines(input)) lines.emplace_back(l);
    FUZZ_CHECK(memoryLines(log) == lines);
    checkDisplayLines(log);

    const std::string record = newRecord(input);
    const LogChange inserted = log.insertInDateOrder(record);
    FUZZ_CHECK(inserted.kind == LogChange::Kind::Inserted && inserted.count == 1);
    checkInsertPlace(lines, inserted.row, record);
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(inserted.row), record);
    checkMirrors(log, lines);

    const size_t middle = lines.size() / 2;
    const std::string changed = record.substr(0, kCallsignWidth) + lines[middle];
    log.modifyAt(middle, lines[middle], changed);
    lines[middle] = changed;
    checkMirrors(log, lines);

    // Modify and delete name the line by its row and check it still holds
    // what was opened.
    bool refused = false;
    try {
        log.removeAt(0, lines[0] + "x");
    } catch (const LogLineChanged&) {
        refused = true;
    }
    FUZZ_CHECK(refused);
    checkMirrors(log, lines);

    log.removeAt(lines.size() - 1, lines.back());
    lines.pop_back();
    checkMirrors(log, lines);

    log.appendRecord(record);
    lines.push_back(record);
    checkMirrors(log, lines);
    return 0;
}
