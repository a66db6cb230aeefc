#include "core/digital/logged_contact.h"

#include <gtest/gtest.h>

#include "core/digital/decoder_states.h"

namespace dxcc::digital {
namespace {

DateTime at(int y, int m, int d, int hh, int mm, int ss, TimeSpec spec, int offset = 0) {
    return {julianDayOf({y, m, d}), static_cast<uint32_t>(((hh * 60 + mm) * 60 + ss) * 1000), spec,
            offset, ""};
}

TEST(DecoderTimes, ReadAsUtcWhateverTheyAreMarked) {
    struct Case {
        DateTime time;
        std::optional<UtcTime> utc;
    };
    const Case cases[] = {
        {at(2024, 3, 1, 12, 34, 56, TimeSpec::Utc), UtcTime{{2024, 3, 1}, 12, 34, 56}},
        // JTDX: marked local, holds UTC.
        {at(2024, 3, 1, 12, 34, 56, TimeSpec::Local), UtcTime{{2024, 3, 1}, 12, 34, 56}},
        // An hour ahead of UTC, just after midnight: the day before in UTC.
        {at(2024, 3, 1, 0, 30, 0, TimeSpec::OffsetFromUtc, 3600),
         UtcTime{{2024, 2, 29}, 23, 30, 0}},
        {at(2024, 12, 31, 23, 30, 0, TimeSpec::OffsetFromUtc, -3600),
         UtcTime{{2025, 1, 1}, 0, 30, 0}},
        {DateTime{}, std::nullopt},
        {DateTime{julianDayOf({2024, 3, 1}), kInvalidTime, TimeSpec::Utc, 0, ""}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(utcOf(c.time), c.utc);
}

QsoLogged wsjtxContact() {
    QsoLogged q;
    q.timeOn = at(2024, 3, 1, 12, 30, 15, TimeSpec::Utc);
    q.timeOff = at(2024, 3, 1, 12, 31, 45, TimeSpec::Utc);
    q.dxCall = "K1ABC";
    q.dxGrid = "FN42";
    q.txFrequencyHz = 14'074'000;
    q.mode = "FT8";
    q.reportSent = "-08";
    q.reportReceived = "-12";
    q.name = "Bob";
    return q;
}

TEST(QsoLoggedAsAdif, CarriesWhatTheImportReads) {
    EXPECT_EQ(*adifOfQsoLogged(wsjtxContact()),
              "<CALL:5>K1ABC <NAME:3>Bob <QSO_DATE:8>20240301 <TIME_ON:6>123015 "
              "<QSO_DATE_OFF:8>20240301 <TIME_OFF:6>123145 <MODE:3>FT8 "
              "<FREQ:9>14.074000 <RST_SENT:3>-08 <RST_RCVD:3>-12 <GRIDSQUARE:4>FN42 <EOR>\n");
    QsoLogged ft4 = wsjtxContact();
    ft4.mode = "FT4";
    ft4.timeOn = {};  // only the end known: it stands for the start
    const std::string adif = *adifOfQsoLogged(ft4);
    EXPECT_NE(adif.find("<MODE:4>MFSK <SUBMODE:3>FT4 "), std::string::npos) << adif;
    EXPECT_NE(adif.find("<TIME_ON:6>123145"), std::string::npos) << adif;
    QsoLogged noCall = wsjtxContact();
    noCall.dxCall = " ";
    EXPECT_FALSE(adifOfQsoLogged(noCall));
}

TEST(ContactToLog, QsoLoggedOnlyFromADecoderThatSendsNoAdif) {
    DecoderState jtdx;
    const Datagram logged{2, "JTDX", wsjtxContact()};
    const Datagram adif{2, "JTDX", LoggedAdif{"<CALL:5>K1ABC<EOR>"}};
    EXPECT_TRUE(contactToLog(logged, jtdx));
    EXPECT_EQ(contactToLog(adif, jtdx), "<CALL:5>K1ABC<EOR>");
    jtdx.sendsLoggedAdif = true;
    EXPECT_FALSE(contactToLog(logged, jtdx));
    EXPECT_FALSE(contactToLog(Datagram{2, "JTDX", Status{}}, jtdx));
}

}  // namespace
}  // namespace dxcc::digital
