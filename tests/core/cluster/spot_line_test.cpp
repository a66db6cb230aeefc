#include "core/cluster/spot_line.h"

#include <gtest/gtest.h>

namespace dxcc::cluster {
namespace {

struct SpotCase {
    const char* name;
    std::string_view line;
    const char* spotter;
    const char* frequency;
    const char* dx;
    const char* comment;
    const char* time;
    const char* locator;
    const char* date;
};

// Lines as the common servers write them, with the spacing they use.
const SpotCase kSpots[] = {
    {"DXSpider", "DX de W3LPL:     14025.0  JA1ABC       CW 599                         0312Z FN20",
     "W3LPL", "14025.0", "JA1ABC", "CW 599", "0312", "FN20", ""},
    {"DXSpider without locator",
     "DX de F5XYZ:     7013.5  OH2BH        up 1 tnx qso                   1845Z", "F5XYZ",
     "7013.5", "OH2BH", "up 1 tnx qso", "1845", "", ""},
    {"AR-Cluster, SSID spotter and six-letter locator",
     "DX de K1TTT-#:   3503.10  VP8/G3XYZ    CW 18 dB 25 WPM CQ             2359Z JN18EU",
     "K1TTT-#", "3503.10", "VP8/G3XYZ", "CW 18 dB 25 WPM CQ", "2359", "JN18EU", ""},
    {"CC Cluster, integer frequency", "DX de EA5WU:  28495  ZS6ABC  USB  nice signal  0930Z",
     "EA5WU", "28495", "ZS6ABC", "USB  nice signal", "0930", "", ""},
    {"lower-case callsign and tabs", "DX de g4abc:\t50313.0\tea8xyz\tFT8 -12dB\t1200Z", "g4abc",
     "50313.0", "EA8XYZ", "FT8 -12dB", "1200", "", ""},
    {"missing time", "DX de DL1ABC:   10136.0  3B8CF        FT8", "DL1ABC", "10136.0", "3B8CF",
     "FT8", "", "", ""},
    {"no comment", "DX de DL1ABC:   10136.0  3B8CF                                      0815Z",
     "DL1ABC", "10136.0", "3B8CF", "", "0815", "", ""},
    {"no blank after the colon", "DX de N0XYZ:14074.0 K1ABC FT8 0101Z", "N0XYZ", "14074.0",
     "K1ABC", "FT8", "0101", "", ""},
    {"carriage return left", "DX de N0XYZ: 14074 K1ABC FT8 0101Z\r", "N0XYZ", "14074", "K1ABC",
     "FT8", "0101", "", ""},
    {"time-like word inside the comment", "DX de N0XYZ: 14074 K1ABC QRV 0101Z again", "N0XYZ",
     "14074", "K1ABC", "QRV 0101Z again", "", "", ""},
    {"SH/DX listing, DXSpider",
     "  14025.0  JA1ABC       8-Dec-2026 0312Z CW 599                        <W3LPL>", "W3LPL",
     "14025.0", "JA1ABC", "CW 599", "0312", "", "8-Dec-2026"},
    {"SH/DX listing, no comment", "7013.5 OH2BH 08-Dec-2026 1845Z <F5XYZ>", "F5XYZ", "7013.5",
     "OH2BH", "", "1845", "", "08-Dec-2026"},
    {"SH/DX listing, date without year", " 1830.0  TI5W  8-Dec 0415Z  CW  <K3LR>", "K3LR",
     "1830.0", "TI5W", "CW", "0415", "", "8-Dec"},
    {"SH/DX listing with SSID spotter", "21074.0 5R8AB 8-Dec-2026 1101Z FT8 -05 <EA8-2>", "EA8-2",
     "21074.0", "5R8AB", "FT8 -05", "1101", "", "8-Dec-2026"},
};

TEST(SpotLine, ReadsTheShapesServersWrite) {
    for (const SpotCase& c : kSpots) {
        SCOPED_TRACE(c.name);
        const auto spot = parseSpotLine(c.line);
        ASSERT_TRUE(spot.has_value());
        EXPECT_EQ(spot->spotter, c.spotter);
        EXPECT_EQ(spot->frequencyText, c.frequency);
        EXPECT_DOUBLE_EQ(spot->kilohertz, std::stod(c.frequency));
        EXPECT_EQ(spot->dx, c.dx);
        EXPECT_EQ(spot->comment, c.comment);
        EXPECT_EQ(spot->time, c.time);
        EXPECT_EQ(spot->locator, c.locator);
        EXPECT_EQ(spot->date, c.date);
    }
}

TEST(SpotLine, OtherLinesAreNoSpots) {
    const std::string_view lines[] = {
        "",
        "login: ",
        "Hello F6ABC, this is W3LPL in Glenwood, MD",
        "WWV de W0MU <18Z> : SFI=152 A=5 K=1 No Storms",
        "To ALL de DL1ABC: good morning",
        "DX de W3LPL:",
        "DX de W3LPL: 14025.0",
        "DX de W3LPL 14025.0 JA1ABC CW 0312Z",   // no colon
        "DX de W3LPL: 14.025.0 JA1ABC CW 0312Z", // two points
        "DX de W3LPL: 14025. JA1ABC CW 0312Z",
        "DX de W3LPL: 50 JA1ABC CW 0312Z",       // below any band
        "DX de W3LPL: 14025.0 ABC CW 0312Z",     // no digit in the call
        "DX de W3LPL: 14025.0 J%1ABC CW 0312Z",
        "DX de W3LPL: 14025.0 /JA1ABC CW 0312Z",
        "DX de W 3LPL: 14025.0 JA1ABC CW 0312Z",
        "14025.0 JA1ABC CW 599 <W3LPL>",         // a listing line without date or time
        "14025.0 JA1ABC 8-Dec-2026 0312Z CW",    // without the spotter
        "2026-12-08 0312Z <W3LPL>",
        "DX de W3LPL: 1e5 JA1ABC CW 0312Z",
        "DX de W3LPL: 14025.0 JA1ABC CW 2460Z",  // not a time: stays in the comment
    };
    for (size_t i = 0; i + 1 < std::size(lines); ++i) {
        SCOPED_TRACE(std::string(lines[i]));
        EXPECT_FALSE(parseSpotLine(lines[i]).has_value());
    }
    const auto last = parseSpotLine(lines[std::size(lines) - 1]);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->time, "");
    EXPECT_EQ(last->comment, "CW 2460Z");
}

TEST(SpotLine, AnOverlongLineIsReadOnlyToTheLimit) {
    std::string line = "DX de W3LPL: 14025.0 JA1ABC " + std::string(10000, 'x') + " 0312Z";
    const auto spot = parseSpotLine(line);
    ASSERT_TRUE(spot.has_value());
    EXPECT_LE(spot->comment.size(), kMaxLineBytes);
    EXPECT_EQ(spot->time, "");  // the time was past the cut
}

}  // namespace
}  // namespace dxcc::cluster
