#include "core/digital/highlight_schedule.h"

#include <gtest/gtest.h>

#include <map>

namespace dxcc::digital {
namespace {

const HighlightColours kColours{Colour::rgb(255, 0, 0), Colour::rgb(255, 153, 0),
                                Colour::rgb(0, 0, 255), Colour::rgb(0, 0, 0)};

ClassifiedDecode heard(const char* call, NeedColour colour) {
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
        NeedColour colour;
        const char* expected;
    };
    const Step steps[] = {
        {"WSJT-X", "VP8LP", NeedColour::NewEntity, "entity"},
        {"WSJT-X", "VP8LP", NeedColour::NewEntity, ""},      // already shown
        {"JTDX", "VP8LP", NeedColour::NewEntity, "entity"},  // another decoder's window
        {"WSJT-X", "K1ABC", NeedColour::Confirmed, ""},      // nothing to bring
        {"WSJT-X", "3Y0J", NeedColour::Unknown, ""},         // no entity
        {"WSJT-X", "G4XYZ", NeedColour::ToConfirm, "confirm"},
        {"WSJT-X", "F5ABC", NeedColour::NewSlot, "slot"},
        {"WSJT-X", "F5ABC", NeedColour::ToConfirm, "confirm"},  // its status changed
        {"WSJT-X", "F5ABC", NeedColour::Confirmed, "clear"},
        {"WSJT-X", "F5ABC", NeedColour::Confirmed, ""},
        {"WSJT-X", "", NeedColour::NewEntity, ""},  // free text
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
    schedule.forDecode("WSJT-X", heard("VP8LP", NeedColour::NewEntity));
    schedule.forDecode("WSJT-X", heard("VP8XX", NeedColour::NewEntity));
    schedule.forDecode("WSJT-X", heard("G4XYZ", NeedColour::ToConfirm));
    // VP8LP was logged: its entity is worked; it and VP8XX now bring nothing
    // new but a confirmation; G4XYZ got its card.
    const auto changed = schedule.afterLogChange([](std::string_view call, std::string_view) {
        return call == "G4XYZ" ? NeedColour::Confirmed : NeedColour::ToConfirm;
    });
    std::map<std::string, std::string> byCall;
    for (const HighlightToSend& h : changed) byCall[h.highlight.callsign] = sent(h);
    EXPECT_EQ(byCall, (std::map<std::string, std::string>{
                          {"VP8LP", "confirm"}, {"VP8XX", "confirm"}, {"G4XYZ", "clear"}}));
    EXPECT_TRUE(schedule.afterLogChange([](auto, auto) { return NeedColour::ToConfirm; }).empty());

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
                           heard(("K" + std::to_string(i) + "AB").c_str(), NeedColour::NewSlot));
    EXPECT_EQ(schedule.shown(), HighlightSchedule::kMaxCallsigns);
    schedule.forgetDecoder("WSJT-X");
    EXPECT_EQ(schedule.shown(), 0u);
}

}  // namespace
}  // namespace dxcc::digital
