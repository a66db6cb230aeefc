// Any bytes as the prefix file: the lookup table, the lookup itself against a
// plain scan, and the prefix editor's list and save, which must never lose a
// line it did not mean to change.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text_file.h"
#include "core/prefixes/prefix_entries.h"
#include "core/prefixes/prefix_table.h"
#include "core/session/log_session.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc;

// The first entry, in file order, of the longest callsign prefix that begins
// `callsign`.
const PrefixEntry* scanFor(const PrefixTable& table, std::string_view callsign) {
    const PrefixEntry* best = nullptr;
    for (const PrefixEntry& e : table.entries()) {
        if (e.callsignPrefix.empty() || !callsign.starts_with(e.callsignPrefix)) continue;
        if (best == nullptr || e.callsignPrefix.size() > best->callsignPrefix.size()) best = &e;
    }
    return best;
}

std::vector<std::string> callsignsToTry(const PrefixTable& table, std::string_view input) {
    std::vector<std::string> calls{"", "F", "F5ABC", "VP2E/W1AW", std::string(input.substr(0, 8))};
    const auto& entries = table.entries();
    for (size_t i = 0; i < entries.size() && i < 64; ++i) {
        calls.push_back(entries[i].callsignPrefix);
        calls.push_back(entries[i].callsignPrefix + "1AB");
        calls.push_back(entries[i].callsignPrefix.substr(0, entries[i].callsignPrefix.size() / 2));
    }
    return calls;
}

void checkLookup(const PrefixTable& table, std::string_view input) {
    for (const std::string& call : callsignsToTry(table, input)) {
        FUZZ_CHECK(table.matchPrefix(call) == scanFor(table, call));
        const LookupResult r = table.lookup(call);
        FUZZ_CHECK(r.found() == (table.match(call) != nullptr));
    }
}

std::vector<std::string> sortedBytes(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The editor's list holds every line of the file, in its order.
void checkList(const PrefixList& list, const std::vector<std::string>& fileLines) {
    const auto& lines = list.lines();
    FUZZ_CHECK(std::is_sorted(lines.begin(), lines.end(), prefixLineLess));
    FUZZ_CHECK(sortedBytes(lines) == sortedBytes(fileLines));
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const int forward = comparePrefixLines(lines[i], lines[i + 1]);
        const int backward = comparePrefixLines(lines[i + 1], lines[i]);
        FUZZ_CHECK((forward < 0 && backward > 0) || (forward == 0 && backward == 0));
        FUZZ_CHECK(forward != 0 || lines[i] == lines[i + 1]);
    }
}

// Editing the first line and saving: the file then holds every other line of
// the old file, and the new entry instead of the edited one.
void checkEditorSave(std::string_view input, const std::vector<std::string>& fileLines) {
    const std::filesystem::path& dir = fuzzing::dataDir();
    PrefixEditor editor(dir);
    editor.open();
    checkList(editor.list(), fileLines);
    if (editor.list().empty()) return;
    const std::string edited = editor.list().line(0);
    editor.beginEdit(0);
    const size_t callsignLength =
        1 + (input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 6);
    const PrefixFields fields{fuzzing::fieldFrom(input, 1, callsignLength, 'A'),
                              fuzzing::fieldFrom(input, 7, 12, 'B'),
                              fuzzing::fieldFrom(input, 19, 3, 'C')};
    LogSession session(dir);
    const PrefixSaveOutcome saved = session.savePrefixEntry(editor, fields);
    FUZZ_CHECK(saved.result.has_value());
    if (saved.result->status != PrefixSaveResult::Status::Saved) return;
    std::vector<std::string> expected = fileLines;
    expected.erase(std::find(expected.begin(), expected.end(), edited));
    expected.push_back(prefixEntryLine(fields));
    const std::string written = readFileBytes(editor.file());
    FUZZ_CHECK(written == editor.list().fileBytes());
    std::vector<std::string> writtenLines;
    for (std::string_view l : splitLines(written)) writtenLines.emplace_back(l);
    FUZZ_CHECK(sortedBytes(writtenLines) == sortedBytes(expected));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const PrefixTable table = PrefixTable::parse(input);
    FUZZ_CHECK(table.entries().size() == countLines(input));
    checkLookup(table, input);

    std::vector<std::string> lines;
    for (std::string_view l : splitLines(input)) lines.emplace_back(l);
    const std::filesystem::path file = fuzzing::dataDir() / "Prefixe_DXCC.txt";
    fuzzing::writeRaw(file, input);
    PrefixFile prefixFile(file, std::chrono::milliseconds(0));
    FUZZ_CHECK(!prefixFile.unreadable());
    for (const std::string& call : callsignsToTry(table, input))
        FUZZ_CHECK(prefixFile.lookup(call).matchedPrefix == table.lookup(call).matchedPrefix);

    checkEditorSave(input, lines);
    return 0;
}
