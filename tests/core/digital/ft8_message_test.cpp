// The message texts of FT8 and FT4, form by form, and what counts as a callsign.
#include "core/digital/ft8_message.h"

#include <gtest/gtest.h>

namespace dxcc::digital {
namespace {

struct MessageCase {
    std::string_view text;
    MessageKind kind;
    const char* transmitter;
    const char* called;
    const char* grid;
    const char* report;
    bool roger = false;
    bool signOff = false;
    const char* cqTarget = "";
};

constexpr auto Cq = MessageKind::Cq;
constexpr auto Directed = MessageKind::Directed;
constexpr auto Free = MessageKind::FreeText;

// Messages as WSJT-X and JTDX print them, of every form the modes carry.
const MessageCase kMessages[] = {
    // Calling CQ, plain or directed.
    {"CQ EA8ZZ IL18", Cq, "EA8ZZ", "", "IL18", ""},
    {"CQ VP8LP GD18", Cq, "VP8LP", "", "GD18", ""},
    {"CQ DX JA1XYZ PM95", Cq, "JA1XYZ", "", "PM95", "", false, false, "DX"},
    {"CQ NA K1ABC FN42", Cq, "K1ABC", "", "FN42", "", false, false, "NA"},
    {"CQ POTA N0ABC EM48", Cq, "N0ABC", "", "EM48", "", false, false, "POTA"},
    {"CQ TEST F5ABC", Cq, "F5ABC", "", "", "", false, false, "TEST"},
    {"CQ 290 K1ABC FN42", Cq, "K1ABC", "", "FN42", "", false, false, "290"},
    {"CQ F5ABC/P", Cq, "F5ABC/P", "", "", ""},
    {"CQ EA8/F5ABC", Cq, "EA8/F5ABC", "", "", ""},
    {"CQ K1ABC/R FN42", Cq, "K1ABC/R", "", "FN42", ""},
    {"CQ <PJ4/K1ABC>", Cq, "PJ4/K1ABC", "", "", ""},
    {"CQ 3DA0RS KG53", Cq, "3DA0RS", "", "KG53", ""},
    {"CQ 4U1UN FN30", Cq, "4U1UN", "", "FN30", ""},
    {"QRZ K1ABC FN42", Cq, "K1ABC", "", "FN42", ""},
    // JTDX's padding, any blanks, lower case, the decoder's marks after the message.
    {"  CQ   EA8ZZ  IL18          ", Cq, "EA8ZZ", "", "IL18", ""},
    {"cq ea8zz il18", Cq, "EA8ZZ", "", "IL18", ""},
    {"CQ EA8ZZ IL18 a1", Cq, "EA8ZZ", "", "IL18", ""},
    {"CQ EA8ZZ IL18 ?", Cq, "EA8ZZ", "", "IL18", ""},
    // The QSO: the second call transmits to the first.
    {"W1TST K9ZZ -07", Directed, "K9ZZ", "W1TST", "", "-07"},
    {"K1ABC W9XYZ EN37", Directed, "W9XYZ", "K1ABC", "EN37", ""},
    {"W9XYZ K1ABC +05", Directed, "K1ABC", "W9XYZ", "", "+05"},
    {"K1ABC W9XYZ R-09", Directed, "W9XYZ", "K1ABC", "", "-09", true},
    {"W9XYZ K1ABC R+12", Directed, "K1ABC", "W9XYZ", "", "+12", true},
    {"K1ABC W9XYZ RRR", Directed, "W9XYZ", "K1ABC", "", "", true},
    {"W9XYZ K1ABC RR73", Directed, "K1ABC", "W9XYZ", "", "", true, true},
    {"K1ABC W9XYZ 73", Directed, "W9XYZ", "K1ABC", "", "", false, true},
    {"K1ABC W9XYZ R EN37", Directed, "W9XYZ", "K1ABC", "EN37", "", true},
    {"F5ABC/P EA8ZZ IL18", Directed, "EA8ZZ", "F5ABC/P", "IL18", ""},
    {"G4ABC/P PA9XYZ JO22", Directed, "PA9XYZ", "G4ABC/P", "JO22", ""},
    // Hashed calls: known, or unknown ("<...>").
    {"<PJ4/K1ABC> W9XYZ -11", Directed, "W9XYZ", "PJ4/K1ABC", "", "-11"},
    {"W9XYZ <PJ4/K1ABC> RR73", Directed, "PJ4/K1ABC", "W9XYZ", "", "", true, true},
    {"<...> W9XYZ 73", Directed, "W9XYZ", "", "", "", false, true},
    {"W9XYZ <...> RRR", Directed, "", "W9XYZ", "", "", true},
    {"<WA9XYZ> PJ4/KA1ABC RR73", Directed, "PJ4/KA1ABC", "WA9XYZ", "", "", true, true},
    {"<KA1ABC> YW18FIFA RRR", Directed, "YW18FIFA", "KA1ABC", "", "", true},
    // Contest exchanges: the two stations, no grid.
    {"K1ABC W9XYZ 579 WI", Directed, "W9XYZ", "K1ABC", "", "579"},
    {"W9XYZ K1ABC R 589 MA", Directed, "K1ABC", "W9XYZ", "", "589", true},
    {"K1ABC KA0DEF 559 0013", Directed, "KA0DEF", "K1ABC", "", "559"},
    {"TU; KA0DEF K1ABC R 569 MA", Directed, "K1ABC", "KA0DEF", "", "569", true},
    {"K1ABC W9XYZ 6A WI", Directed, "W9XYZ", "K1ABC", "", ""},
    {"W9XYZ K1ABC R 17B EMA", Directed, "K1ABC", "W9XYZ", "", "", true},
    {"<PA3XYZ> <G4ABC/P> R 590003 IO91NP", Directed, "G4ABC/P", "PA3XYZ", "IO91NP", "59", true},
    {"<PA3XYZ> G4ABC 570123 IO91", Directed, "G4ABC", "PA3XYZ", "", ""},
    // A DXpedition's fox: done with the first station, a report for the second.
    {"K1ABC RR73; W9XYZ <KH1/KH7Z> -08", Directed, "KH1/KH7Z", "W9XYZ", "", "-08"},
    // RR73 looks like a grid (in the Pacific) but is roger and 73; 73 is not a call.
    {"CQ K1ABC RR73", Free, "", "", "", ""},
    {"W9XYZ RR73", Free, "", "", "", ""},
    // Free text.
    {"TNX BOB 73 GL", Free, "", "", "", ""},
    {"TNX BOB 73 GL          ", Free, "", "", "", ""},
    {"", Free, "", "", "", ""},
    {"   ", Free, "", "", "", ""},
    {"CQ", Free, "", "", "", ""},
    {"CQ DX", Free, "", "", "", ""},
    {"CQ FN42", Free, "", "", "", ""},
    {"CQ K1ABC FN42 EXTRA", Free, "", "", "", ""},
    {"CQ DXPED K1ABC", Free, "", "", "", ""},
    {"K1ABC FN42", Free, "", "", "", ""},
    {"K1ABC W9XYZ ONE TWO THREE FOUR", Free, "", "", "", ""},
    {"K1ABC; W9XYZ -08", Free, "", "", "", ""},
    {"<K1ABC W9XYZ -08", Free, "", "", "", ""},
    {"0123456789ABC", Free, "", "", "", ""},
    {"A B C D E F G H I J", Free, "", "", "", ""},
};

TEST(Ft8Message, ReadsEveryForm) {
    for (const MessageCase& c : kMessages) {
        SCOPED_TRACE(std::string(c.text));
        const MessageReading r = readMessage(c.text);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.isCq(), c.kind == Cq);
        EXPECT_EQ(r.transmitter, c.transmitter);
        EXPECT_EQ(r.called, c.called);
        EXPECT_EQ(r.grid, c.grid);
        EXPECT_EQ(r.report, c.report);
        EXPECT_EQ(r.roger, c.roger);
        EXPECT_EQ(r.signOff, c.signOff);
        EXPECT_EQ(r.cqTarget, c.cqTarget);
    }
}

TEST(Ft8Message, TellsCallsignsFromOtherWords) {
    for (std::string_view call :
         {"F5ABC", "EA8/F5ABC", "F5ABC/P", "K1ABC/R", "4U1UN", "3DA0RS", "9A1A", "VP8LP",
          "KH1/KH7Z", "YW18FIFA", "PJ4/KA1ABC", "k1abc", "EA8/F5ABC/P", "VP2E/K1ABC"}) {
        EXPECT_TRUE(isCallsign(call)) << call;
    }
    for (std::string_view word :
         {"",        "K1",      "CQ",      "DX",     "POTA",          "73",       "RR73",
          "RRR",     "FN42",    "-09",     "R-09",   "579",           "/F5ABC",   "F5ABC/",
          "F5//ABC", "F5ABC-1", "<K1ABC>", "K1ABC;", "ABCDEFGHIJ1KL", "EA8/FN42", "F5ÀBC"}) {
        EXPECT_FALSE(isCallsign(word)) << word;
    }
}

}  // namespace
}  // namespace dxcc::digital
