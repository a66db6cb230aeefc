#include "core/digital/highlight_schedule.h"

#include <gtest/gtest.h>

#include <map>

namespace dxcc::digital {
namespace {

const HighlightColours kColours{Colour::rgb(255, 0, 0), Colour::rgb(255, 153, 0),
                                Colour::rgb(0, 0, 255), Colour::rgb(0, 0, 0)};

ClassifiedDecode heard(const char* call, DecodeColour colour) {
    ClassifiedDecode d;
    d.reading.transmitter = call;
    d.colour = colour;
    return d;
}

// The background sent, by name: "" for nothing sent, "clear" for the invalid colours.
std::string sent(const std::optional<HighlightToSend>& h) {
    if (!h) return "";
    const Colour& b = h->highlight.background;
    if (!b.valid) return h->highlight.foreground.valid ? "bad" : "clear";
    return b == kColours.newEntity ? "entity" : b == kColours.newSlot ? "slot" : "confirm";
}

TEST(HighlightSchedule, EachCallsignOncePerStatusAndDecoder) {
    HighlightSchedule schedule(kColours);
    struct Step {
        const char* decoder;
        const char* call;
        DecodeColour colour;
        const char* expected;
    };
    const Step steps[] = {
        {"WSJT-X", "VP8LP", DecodeColour::NewEntity, "entity"},
        {"WSJT-X", "VP8LP", DecodeColour::NewEntity, ""},      // already shown
        {"JTDX", "VP8LP", DecodeColour::NewEntity, "entity"},  // another decoder's window
        {"WSJT-X", "K1ABC", DecodeColour::Confirmed, ""},      // nothing to bring
        {"WSJT-X", "3Y0J", DecodeColour::Unknown, ""},         // no entity
        {"WSJT-X", "G4XYZ", DecodeColour::ToConfirm, "confirm"},
        {"WSJT-X", "F5ABC", DecodeColour::NewSlot, "slot"},
        {"WSJT-X", "F5ABC", DecodeColour::ToConfirm, "confirm"},  // its status changed
        {"WSJT-X", "F5ABC", DecodeColour::Confirmed, "clear"},
        {"WSJT-X", "F5ABC", DecodeColour::Confirmed, ""},
        {"WSJT-X", "", DecodeColour::NewEntity, ""},  // free text
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.decoder) + " " + s.call);
        const auto h = schedule.forDecode(s.decoder, heard(s.call, s.colour));
        EXPECT_EQ(sent(h), s.expected);
        if (h) {
            EXPECT_EQ(h->decoderId, s.decoder);
            EXPECT_EQ(h->highlight.callsign, s.call);
        }
    }
    EXPECT_EQ(schedule.shown(), 3u);
}

TEST(HighlightSchedule, ALoggedContactRecoloursOrClearsAndQuitClearsAll) {
    HighlightSchedule schedule(kColours);
    schedule.forDecode("WSJT-X", heard("VP8LP", DecodeColour::NewEntity));
    schedule.forDecode("WSJT-X", heard("VP8XX", DecodeColour::NewEntity));
    schedule.forDecode("WSJT-X", heard("G4XYZ", DecodeColour::ToConfirm));
    // VP8LP was logged: its entity is worked; it and VP8XX now bring nothing
    // new but a confirmation; G4XYZ got its card.
    const auto changed = schedule.afterLogChange([](std::string_view call, std::string_view) {
        return call == "G4XYZ" ? DecodeColour::Confirmed : DecodeColour::ToConfirm;
    });
    std::map<std::string, std::string> byCall;
    for (const HighlightToSend& h : changed) byCall[h.highlight.callsign] = sent(h);
    EXPECT_EQ(byCall, (std::map<std::string, std::string>{
                          {"VP8LP", "confirm"}, {"VP8XX", "confirm"}, {"G4XYZ", "clear"}}));
    EXPECT_TRUE(
        schedule.afterLogChange([](auto, auto) { return DecodeColour::ToConfirm; }).empty());

    const auto cleared = schedule.clearAll();
    ASSERT_EQ(cleared.size(), 2u);
    for (const HighlightToSend& h : cleared) EXPECT_EQ(sent(h), "clear");
    EXPECT_EQ(schedule.shown(), 0u);
    EXPECT_TRUE(schedule.clearAll().empty());
}

TEST(HighlightSchedule, AFloodOfCallsignsIsBounded) {
    HighlightSchedule schedule(kColours);
    for (size_t i = 0; i < HighlightSchedule::kMaxCallsigns + 10; ++i)
        schedule.forDecode("WSJT-X",
                           heard(("K" + std::to_string(i) + "AB").c_str(), DecodeColour::NewSlot));
    EXPECT_EQ(schedule.shown(), HighlightSchedule::kMaxCallsigns);
    schedule.forgetDecoder("WSJT-X");
    EXPECT_EQ(schedule.shown(), 0u);
}

}  // namespace
}  // namespace dxcc::digital
