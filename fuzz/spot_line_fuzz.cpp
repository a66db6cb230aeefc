// Any bytes from a cluster server: through the conversation (negotiation,
// line cutting, login) and the spot-line reader, then the classification.
// Every line handed on is printable text within the length limit, every spot
// has a frequency, a callsign and a time of the allowed shapes.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cluster/cluster_stream.h"
#include "core/cluster/spot_classifier.h"
#include "core/prefixes/prefix_table.h"
#include "fuzz_support.h"

namespace {

using namespace dxcc;
using namespace dxcc::cluster;

struct NullLink : ClusterLink {
    size_t sent = 0;
    void send(std::string_view bytes) override { sent += bytes.size(); }
};

struct EveryOther : NeededLookup {
    Need entity(std::string_view p) const override {
        return p.size() % 2 ? Need::Never : Need::Worked;
    }
    Need band(std::string_view, std::string_view b) const override {
        return b.size() % 2 ? Need::Confirmed : Need::Never;
    }
    Need mode(std::string_view, ModeClass) const override { return Need::Worked; }
};

const PrefixTable& prefixes() {
    static const PrefixTable table = PrefixTable::parse(
        buildPrefixEntry("F", "France", "F") + "\r\n" + buildPrefixEntry("JA", "Japan", "JA") +
        "\r\n" + buildPrefixEntry("VP8", "Falkland Islands", "VP8") + "\r\n");
    return table;
}

bool isText(std::string_view line) {
    for (char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
            return false;
    }
    return true;
}

void checkSpot(const Spot& s) {
    FUZZ_CHECK(!s.dx.empty() && s.dx.size() <= 20);
    FUZZ_CHECK(s.kilohertz >= 100 && s.kilohertz <= 300'000'000);
    FUZZ_CHECK(s.time.empty() || s.time.size() == 4);
    FUZZ_CHECK(s.comment.size() <= kMaxLineBytes);
    const ClassifiedSpot c = classifySpot(s, prefixes(), EveryOther());
    FUZZ_CHECK(c.dxccPrefix.empty() == !c.entityNeed.has_value());
    const std::string line = spotReportLine(c);
    FUZZ_CHECK(line.find('\n') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    NullLink link;
    ClusterConversation conversation(link, "F6XYZ",
                                     {[](const Spot& s) { checkSpot(s); },
                                      [](std::string_view line) {
                                          FUZZ_CHECK(line.size() <= kMaxLineBytes);
                                          FUZZ_CHECK(isText(line));
                                      }});
    conversation.connected();
    // In two pieces, split where the first byte says: state carries across reads.
    const size_t cut = size ? data[0] % (size + 1) : 0;
    conversation.received(input.substr(0, cut));
    conversation.received(input.substr(cut));
    FUZZ_CHECK(link.sent == 0 || conversation.loggedIn());

    // Whatever came before, a spot line after a line end comes through: no
    // stray negotiation or overlong line silences the rest of the connection.
    bool spotSeen = false;
    ClusterConversation after(link, "F6XYZ",
                              {[&spotSeen](const Spot& s) { spotSeen = s.dx == "JA1ABC"; }, {}});
    after.connected();
    after.received(input);
    after.received("\r\nDX de W3LPL: 14025.0 JA1ABC CW 599 0312Z\r\n");
    FUZZ_CHECK(spotSeen);

    // The reader alone, on the raw input as one line.
    if (auto spot = parseSpotLine(input)) checkSpot(*spot);
    return 0;
}
