// Any bytes as the exact-call file: the reader keeps every line, the index
// finds what a scan finds, the whole lookup with its slash rules answers
// from one of the two files or with no entity, the file beside the prefix
// file reads the same, and the update's merge keeps the operator's lines.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/text_file.h"
#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_table.h"
#include "core/prefixes/prefix_update.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc;

const std::string& prefixFile() {
    static const std::string bytes = joinLines({buildPrefixEntry("EA8", "Canary Islands", "EA8"),
                                                buildPrefixEntry("F", "France", "F"),
                                                buildPrefixEntry("K", "United States", "K"),
                                                buildPrefixEntry("UA", "European Russia", "UA"),
                                                buildPrefixEntry("UA9", "Asiatic Russia", "UA9")});
    return bytes;
}

// The first line, in file order, whose callsign is `callsign`.
size_t scanFor(const ExactCallTable& table, std::string_view callsign) {
    if (callsign.empty()) return ExactCallTable::kNoLine;
    for (size_t line = 0; line < table.size(); ++line)
        if (table.callsign(line) == callsign) return line;
    return ExactCallTable::kNoLine;
}

// Callsigns made of the file's own: each as it is, longer, with the suffixes
// and places of the slash rules.
std::vector<std::string> callsignsToTry(const ExactCallTable& table, std::string_view input) {
    std::vector<std::string> calls{"", "/", "F5ABC/MM", "UA9ABC/3",
                                   std::string(input.substr(0, 14))};
    for (size_t i = 0; i < table.size() && i < 32; ++i) {
        const std::string call(table.callsign(i));
        for (const std::string& made :
             {call, call + "X", call + "/P", call + "/P/QRP", "EA8/" + call, call + "/EA8",
              call + "/7", call + "/AM", call.substr(0, call.size() / 2)})
            calls.push_back(made);
    }
    return calls;
}

bool holds(const std::vector<PrefixEntry>& entries, const PrefixEntry* entry) {
    return !entries.empty() && entry >= entries.data() && entry < entries.data() + entries.size();
}

void checkLookup(const PrefixTable& table, const std::string& call) {
    const Resolution r = table.resolve(call);
    switch (r.kind) {
        case MatchKind::Exact:
            FUZZ_CHECK(holds(table.exactCalls().entities(), r.entry));
            FUZZ_CHECK(table.exactCalls().find(r.matched) == r.entry);
            break;
        case MatchKind::Prefix:
            FUZZ_CHECK(holds(table.entries(), r.entry));
            break;
        case MatchKind::MaritimeMobile:
        case MatchKind::None:
            FUZZ_CHECK(r.entry == nullptr);
            break;
    }
    FUZZ_CHECK(table.lookup(call).kind == r.kind);
}

// A merge with an empty base: every line of the file is the operator's, and
// each one stays.
void checkMerge(std::string_view input) {
    const PrefixMerge merge = mergeOperatorExactCalls(input, "", prefixFile());
    for (const std::string& line : merge.operatorLines)
        FUZZ_CHECK(std::find(merge.lines.begin(), merge.lines.end(), line) != merge.lines.end());
    FUZZ_CHECK(summarizeExactCallUpdate(input, input).changesNothing());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const ExactCallTable exact = ExactCallTable::parse(input);
    FUZZ_CHECK(exact.size() == countLines(input));
    FUZZ_CHECK(exact.entities().size() <= exact.size());
    const PrefixTable table = PrefixTable::parse(prefixFile(), input);
    FUZZ_CHECK(table.exactCalls().size() == exact.size());

    const std::vector<std::string> calls = callsignsToTry(exact, input);
    for (const std::string& call : calls) {
        FUZZ_CHECK(exact.findLine(call) == scanFor(exact, call));
        checkLookup(table, call);
    }

    const std::filesystem::path dir = fuzzing::dataDir();
    fuzzing::writeRaw(dir / "Prefixe_DXCC.txt", prefixFile());
    fuzzing::writeRaw(dir / "Exceptions_DXCC.txt", input);
    PrefixFile files(dir / "Prefixe_DXCC.txt", std::chrono::milliseconds(0));
    for (const std::string& call : calls)
        FUZZ_CHECK(files.lookup(call).matchedPrefix == table.lookup(call).matchedPrefix);
    FUZZ_CHECK(!files.exactCallsUnreadable());

    checkMerge(input);
    return 0;
}
