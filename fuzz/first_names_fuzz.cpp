// Any bytes as the first-name memory: the lookup against a plain scan of the
// lines, and an update, which must keep every other callsign's line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "core/logbook/first_names.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"

namespace {

using namespace dxcc;

// The name of the last line whose first 12 columns, blanks trimmed, are the callsign.
std::optional<std::string> scanFor(const std::vector<std::string>& lines,
                                   std::string_view callsign) {
    std::optional<std::string> name;
    for (const std::string& line : lines) {
        if (trimBlanks(std::string_view(line).substr(0, kFirstNameCallsignColumns)) != callsign)
            continue;
        name = upperCaseCp1252(line.size() < kFirstNameColumn
                                   ? std::string_view{}
                                   : std::string_view(line).substr(kFirstNameColumn - 1));
    }
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path& dir = fuzzing::dataDir();
    FirstNameMemory memory(dir);
    fuzzing::writeRaw(memory.path(), input);

    std::vector<std::string> lines;
    for (std::string_view l : splitLines(input)) lines.emplace_back(l);
    std::vector<std::string> calls{"F5ABC", "", fuzzing::fieldFrom(input, 0, 6, ' ')};
    for (size_t i = 0; i < lines.size() && i < 32; ++i)
        calls.emplace_back(trimBlanks(std::string_view(lines[i]).substr(0, 12)));
    for (const std::string& call : calls) FUZZ_CHECK(memory.lookup(call) == scanFor(lines, call));

    // A callsign and a name as the entry form lets them through.
    const std::string callsign(trimBlanks(fuzzing::fieldFrom(input, 3, 1 + size % 12, 'K')));
    const std::string name = fuzzing::fieldFrom(input, size / 2, size % 16, 'E');
    if (callsign.empty()) return 0;
    memory.update(callsign, name);
    const std::string newLine = FirstNameMemory::makeLine(callsign, name);
    const std::string_view key = std::string_view(newLine).substr(0, kFirstNameCallsignColumns);

    std::vector<std::string> expected;
    bool replaced = false;
    for (const std::string& line : lines) {
        const bool same = std::string_view(line).substr(0, kFirstNameCallsignColumns) == key;
        expected.push_back(same ? newLine : line);
        replaced = replaced || same;
    }
    if (!replaced) expected.push_back(newLine);
    FUZZ_CHECK(readFileBytes(memory.path()) == joinLines(expected));
    return 0;
}
