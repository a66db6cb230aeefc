#include "core/digital/decoder_states.h"

#include <gtest/gtest.h>

namespace dxcc::digital {
namespace {

Datagram from(const std::string& id, Message message) {
    return {kLowestSchema, id, std::move(message)};
}

Status tunedTo(uint64_t dial, const char* mode) {
    Status s;
    s.dialFrequencyHz = dial;
    s.mode = mode;
    return s;
}

TEST(DecoderStates, EachInstanceKeepsItsOwnStatusSchemaAndSilence) {
    DecoderStates states;
    states.note(from("WSJT-X", Heartbeat{3, "2.6.1", "x"}), 0);
    states.note(from("JTDX", Heartbeat{3, "2.2.159", ""}), 1'000);
    states.note(from("WSJT-X", tunedTo(14'074'000, "FT8")), 2'000);
    states.note(from("JTDX", tunedTo(7'047'500, "FT4")), 2'000);
    states.note(from("JTDX", LoggedAdif{"<CALL:5>K1ABC<EOR>"}), 3'000);

    const DecoderState* wsjtx = states.find("WSJT-X");
    const DecoderState* jtdx = states.find("JTDX");
    ASSERT_TRUE(wsjtx && jtdx);
    EXPECT_EQ(wsjtx->tuning.band, "14 Mhz");
    EXPECT_EQ(jtdx->tuning.band, "7.0 Mhz");
    EXPECT_EQ(jtdx->tuning.mode, "FT4");
    EXPECT_EQ(wsjtx->schema, 3u);
    EXPECT_FALSE(wsjtx->sendsLoggedAdif);
    EXPECT_TRUE(jtdx->sendsLoggedAdif);

    // Silent 30 s after the last Heartbeat, whatever else it sent since.
    EXPECT_FALSE(states.silent("WSJT-X", 30'000));
    EXPECT_TRUE(states.silent("WSJT-X", 30'001));
    EXPECT_FALSE(states.silent("JTDX", 30'001));
    states.note(from("WSJT-X", Heartbeat{3, "2.6.1", "x"}), 40'000);
    EXPECT_FALSE(states.silent("WSJT-X", 40'000));
    states.note(from("WSJT-X", Close{}), 41'000);
    EXPECT_TRUE(states.silent("WSJT-X", 41'000));
    EXPECT_TRUE(states.silent("never heard", 0));
}

TEST(DecoderStates, AFloodOfIdsKeepsTheMostRecentlyHeard) {
    DecoderStates states;
    states.note(from("WSJT-X", Heartbeat{}), 1'000'000);
    for (int i = 0; i < 1000; ++i) states.note(from("fake" + std::to_string(i), Heartbeat{}), i);
    EXPECT_EQ(states.all().size(), DecoderStates::kMaxDecoders);
    EXPECT_NE(states.find("WSJT-X"), nullptr);
    EXPECT_NE(states.find("fake999"), nullptr);
    EXPECT_EQ(states.find("fake0"), nullptr);
}

}  // namespace
}  // namespace dxcc::digital
