#include "core/digital/decode_rows.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/digital/digital_window_text.h"

namespace dxcc::digital {
namespace {

// A decode of `message` by `decoder` at `seconds` past midnight.
DecodeRow row(const char* message, double seconds, const char* decoder = "WSJT-X",
              const char* mode = "FT8") {
    DecodeRow r;
    r.decoderId = decoder;
    r.decode.decode.time = std::uint32_t(seconds * 1000);
    r.decode.decode.message = message;
    r.decode.reading = readMessage(message);
    r.decode.mode = mode;
    return r;
}

std::vector<std::string> messages(const DecodeRows& rows) {
    std::vector<std::string> out;
    for (size_t i = 0; i < rows.size(); ++i) out.push_back(rows.at(i).decode.decode.message);
    return out;
}

TEST(DecodeRows, OneRowPerDecoderCallsignAndPeriodNewestOnTop) {
    DecodeRows rows;
    std::vector<DecodeRow> first{row("CQ K1ABC FN42", 0), row("CQ DL1XX JO62", 1),
                                 row("TNX 73 GL", 2), row("TNX 73 GL", 2)};
    EXPECT_EQ(rows.newRowsOf(first), 4u);  // free text is never merged
    EXPECT_TRUE(rows.add(first).empty());
    EXPECT_EQ(messages(rows), (std::vector<std::string>{"TNX 73 GL", "TNX 73 GL", "CQ DL1XX JO62",
                                                        "CQ K1ABC FN42"}));
    // The same period: K1ABC's row takes its latest message, in its place;
    // the next period, another decoder, or FT4's shorter period make new rows.
    std::vector<DecodeRow> second{
        row("W9XYZ K1ABC -05", 14.9), row("CQ K1ABC FN42", 15), row("CQ K1ABC FN42", 5, "JTDX"),
        row("CQ DL1XX JO62", 8, "WSJT-X", "FT4"), row("CQ K1ABC FN42", 16)};
    EXPECT_EQ(rows.newRowsOf(second), 3u);
    const std::vector<size_t> updated = rows.add(second);
    EXPECT_EQ(messages(rows), (std::vector<std::string>{"CQ DL1XX JO62", "CQ K1ABC FN42",
                                                        "CQ K1ABC FN42", "TNX 73 GL", "TNX 73 GL",
                                                        "CQ DL1XX JO62", "W9XYZ K1ABC -05"}));
    // Only rows that were there before the batch are told as updated, by
    // their place after it.
    EXPECT_EQ(updated, (std::vector<size_t>{6}));
    EXPECT_EQ(rows.at(2).decode.decode.time, 16'000u);
}

TEST(DecodeRows, TheOldestRowsGoPastTheLimitAndTheirCallsignsMakeNewRows) {
    DecodeRows rows;
    std::vector<DecodeRow> batch;
    for (size_t i = 0; i < DecodeRows::kMaxRows + 10; ++i)
        batch.push_back(row(("CQ K" + std::to_string(i) + "AB").c_str(), 0));
    EXPECT_EQ(rows.newRowsOf(batch), DecodeRows::kMaxRows + 10);
    rows.add(batch);
    EXPECT_EQ(rows.excess(), 10u);
    rows.trim();
    EXPECT_EQ(rows.size(), DecodeRows::kMaxRows);
    EXPECT_EQ(rows.excess(), 0u);
    // K0AB went with the oldest: heard again in its period, it is a new row;
    // K5009AB stayed, and its row is updated.
    std::vector<DecodeRow> again{row("CQ K0AB", 1), row("CQ K5009AB", 1)};
    EXPECT_EQ(rows.newRowsOf(again), 1u);
    EXPECT_EQ(rows.add(again), (std::vector<size_t>{1}));
    EXPECT_EQ(rows.at(0).decode.callsign(), "K0AB");
}

TEST(DecodeFilter, EachFilterLeavesOutWhatItSays) {
    DecodeRow cqNeeded = row("CQ VP8LP GD18", 0);
    cqNeeded.decode.band = "14 Mhz ";
    cqNeeded.decode.continent = "SA";
    cqNeeded.decode.entityNeed = Need::Never;
    DecodeRow answer = row("F5ABC DL1XX JO62", 0);
    answer.decode.band = "7.0 Mhz";
    answer.decode.continent = "EU";
    answer.decode.entityNeed = Need::Worked;
    answer.decode.bandNeed = Need::Never;
    DecodeRow confirmed = row("CQ DL2YY JO50", 0);
    confirmed.decode.band = "14 Mhz ";
    confirmed.decode.continent = "EU";
    confirmed.decode.entityNeed = Need::Confirmed;
    const auto filter = [](bool cq, bool needed, const char* band, const char* hidden) {
        return DecodeFilter{cq, needed, band, hidden};
    };
    struct Case {
        DecodeFilter filter;
        std::vector<bool> shown;  // cqNeeded, answer, confirmed
    };
    const Case cases[] = {
        {filter(false, false, "", ""), {true, true, true}},
        {filter(true, false, "", ""), {true, false, true}},
        {filter(false, true, "", ""), {true, true, false}},
        {filter(false, false, "14 Mhz", ""), {true, false, true}},
        {filter(false, false, "", "EU"), {true, false, false}},
        {filter(true, true, "", "SA"), {false, false, false}},
    };
    for (const Case& c : cases) {
        std::vector<bool> shown;
        for (const DecodeRow* r : {&cqNeeded, &answer, &confirmed})
            shown.push_back(c.filter.accepts(*r));
        EXPECT_EQ(shown, c.shown);
    }
}

TEST(DigitalWindowText, DecodesAndDecodersAsTheWindowShowsThem) {
    EXPECT_EQ(clockText(3'723'500), "01:02:03");
    EXPECT_EQ(clockText(86'400'000), "");
    EXPECT_EQ(snrText(-7), "-07");
    EXPECT_EQ(snrText(12), "+12");
    EXPECT_EQ(snrText(0), "+00");
    EXPECT_EQ(deltaTimeText(0.24), "0.2");
    EXPECT_EQ(deltaTimeText(-0.04), "0.0");
    EXPECT_EQ(deltaTimeText(-1.26), "-1.3");
    EXPECT_EQ(deltaTimeText(1e300), "999.0");
    EXPECT_EQ(deltaTimeText(std::nan("")), "");

    DecoderState d;
    d.id = "JTDX";
    EXPECT_EQ(decoderText(d, false), "JTDX : en attente de son état");
    d.status = Status{};
    d.tuning = {"14 Mhz ", "FT8"};
    EXPECT_EQ(decoderText(d, false), "JTDX : 14 Mhz FT8");
    d.tuning = {"", "FT4"};
    EXPECT_EQ(decoderText(d, true), "JTDX : hors bande FT4 (muet)");
    EXPECT_EQ(newEntityText("3B8ABC", "Ile Maurice \xE9"),
              "Nouvelle contrée entendue : 3B8ABC (Ile Maurice é)");
    EXPECT_EQ(newEntityText("3B8ABC", ""), "Nouvelle contrée entendue : 3B8ABC");
}

TEST(PeriodOf, EachModeItsTransmissionPeriod) {
    EXPECT_EQ(periodOf("FT8"), 15'000u);
    EXPECT_EQ(periodOf("FT4"), 7'500u);
    EXPECT_EQ(periodOf("JT65"), 60'000u);
    EXPECT_EQ(periodOf(""), 15'000u);
}

}  // namespace
}  // namespace dxcc::digital
