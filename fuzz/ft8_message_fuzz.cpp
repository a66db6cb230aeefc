// Any text as a decoded message: the calls read from it are callsigns, the
// grid a locator, the report a report, and blanks around it change nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/digital/ft8_message.h"
#include "core/digital/mode_symbols.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc::digital;

bool sameReading(const MessageReading& a, const MessageReading& b) {
    return a.kind == b.kind && a.transmitter == b.transmitter && a.called == b.called &&
           a.cqTarget == b.cqTarget && a.grid == b.grid && a.report == b.report &&
           a.roger == b.roger && a.signOff == b.signOff;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const MessageReading r = readMessage(input);
    FUZZ_CHECK(r.transmitter.empty() || isCallsign(r.transmitter));
    FUZZ_CHECK(r.called.empty() || isCallsign(r.called));
    FUZZ_CHECK(r.grid.empty() || r.grid.size() == 4 || r.grid.size() == 6);
    FUZZ_CHECK(r.grid != "RR73");
    FUZZ_CHECK(r.report.size() <= 3);
    FUZZ_CHECK(r.cqTarget.size() <= 4);
    if (r.kind == MessageKind::Cq) FUZZ_CHECK(r.called.empty() && r.report.empty() && !r.roger);
    if (r.kind == MessageKind::FreeText) FUZZ_CHECK(sameReading(r, MessageReading{}));
    FUZZ_CHECK(sameReading(r, readMessage("  " + std::string(input) + " \t ")));
    isCallsign(input);
    modeOfSymbol(input);
    return 0;
}
