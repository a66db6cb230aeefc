#include "core/record/mode_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/adif/adif_mapping.h"

namespace {

using dxcc::ModeClass;
using dxcc::modeClassOf;
using dxcc::adif::adifModeOf;
using dxcc::adif::logMode;

// One row per ADIF pair the import meets: the code it is logged under, that
// code's class, and how the export writes the code again. Writing the code and
// reading it back must give the code itself.
TEST(ModeTable, EachAdifModeHasOneCodeOneClassAndOneWayBack) {
    struct Row {
        const char* mode;
        const char* submode;
        const char* code;
        ModeClass modeClass;
        const char* exportedMode;
        const char* exportedSubmode;
        const char* ownMode;  // the application field written
    };
    const Row rows[] = {
        {"SSB", "", "SSB", ModeClass::Phone, "SSB", "", ""},
        {"SSB", "USB", "SSB", ModeClass::Phone, "SSB", "", ""},
        {"USB", "", "USB", ModeClass::Phone, "SSB", "USB", "USB"},
        {"LSB", "", "LSB", ModeClass::Phone, "SSB", "LSB", "LSB"},
        {"DIGITALVOICE", "DSTAR", "DST", ModeClass::Phone, "DIGITALVOICE", "DSTAR", ""},
        {"digitalvoice", "c4fm", "C4F", ModeClass::Phone, "DIGITALVOICE", "C4FM", ""},
        {"DIGITALVOICE", "DMR", "DMR", ModeClass::Phone, "DIGITALVOICE", "DMR", ""},
        {"DIGITALVOICE", "FREEDV", "FRE", ModeClass::Phone, "DIGITALVOICE", "FREEDV", ""},
        {"DIGITALVOICE", "M17", "M17", ModeClass::Phone, "DIGITALVOICE", "M17", ""},
        {"DIGITALVOICE", "", "DV", ModeClass::Phone, "DIGITALVOICE", "", ""},
        {"DSTAR", "", "DST", ModeClass::Phone, "DIGITALVOICE", "DSTAR", ""},
        {"C4FM", "", "C4F", ModeClass::Phone, "DIGITALVOICE", "C4FM", ""},
        {"SSTV", "", "SST", ModeClass::Phone, "SSTV", "", ""},
        {"CW", "PCW", "CW", ModeClass::Cw, "CW", "", ""},
        {"PCW", "", "CW", ModeClass::Cw, "CW", "", ""},
        {"RTTY", "", "RTT", ModeClass::Digital, "RTTY", "", ""},
        {"ASCI", "", "RTT", ModeClass::Digital, "RTTY", "", ""},
        {"RTTYM", "", "RTM", ModeClass::Digital, "RTTYM", "", ""},
        {"FMHELL", "", "HEL", ModeClass::Digital, "HELL", "", ""},
        {"HFSK", "", "HEL", ModeClass::Digital, "HELL", "", ""},
        {"PSK31", "", "PSK", ModeClass::Digital, "PSK", "", ""},
        {"QPSK31", "", "QPS", ModeClass::Digital, "PSK", "", "QPS"},
        {"MFSK", "FT4", "FT4", ModeClass::Digital, "MFSK", "FT4", ""},
        {"MFSK", "JS8", "JS8", ModeClass::Digital, "MFSK", "JS8", ""},
        {"MFSK", "MFSK16", "MFS", ModeClass::Digital, "MFSK", "", ""},
        {"JT65", "JT65B", "JT6", ModeClass::Digital, "JT65", "", ""},
        {"JT6M", "", "J6M", ModeClass::Digital, "JT6M", "", ""},
        {"FSK441", "", "FS4", ModeClass::Digital, "FSK441", "", ""},
        {"FSK", "", "FSK", ModeClass::Digital, "FSK", "", ""},
        {"DYNAMIC", "", "DYN", ModeClass::Digital, "DYNAMIC", "", ""},
        {"DYNAMIC", "VARA HF", "VAR", ModeClass::Digital, "DYNAMIC", "", "VAR"},
        {"AMTORFEC", "", "AMT", ModeClass::Digital, "TOR", "AMTORFEC", ""},
        {"THRBX", "", "THR", ModeClass::Digital, "THRB", "", ""},
        {"FT8", "", "FT8", ModeClass::Digital, "FT8", "", ""},
    };
    for (const Row& r : rows) {
        const std::string code = logMode(r.mode, r.submode, {});
        EXPECT_EQ(code, r.code) << r.mode << "/" << r.submode;
        EXPECT_EQ(modeClassOf(code), r.modeClass) << code;
        const dxcc::adif::AdifMode back = adifModeOf(code);
        EXPECT_EQ(back.mode, r.exportedMode) << code;
        EXPECT_EQ(back.submode, r.exportedSubmode) << code;
        EXPECT_EQ(back.ownMode, r.ownMode) << code;
        EXPECT_EQ(logMode(back.mode, back.submode, {}, back.ownMode), code) << code;
    }
}

TEST(ModeTable, CodesOutsideAdifTravelInTheApplicationFieldAndSatelliteIsItsOwnClass) {
    struct Row {
        const char* logged;
        const char* ownMode;
        bool satellite;
        ModeClass modeClass;
    };
    const Row rows[] = {
        {"DIG", "DIG", false, ModeClass::Digital}, {"ABC", "ABC", false, ModeClass::None},
        {"SAT", "", true, ModeClass::Satellite},   {"XXX", "", false, ModeClass::None},
        {"", "", false, ModeClass::None},
    };
    for (const Row& r : rows) {
        const dxcc::adif::AdifMode m = adifModeOf(r.logged);
        EXPECT_TRUE(m.mode.empty()) << r.logged;
        EXPECT_EQ(m.ownMode, r.ownMode) << r.logged;
        EXPECT_EQ(m.satellite, r.satellite) << r.logged;
        EXPECT_EQ(modeClassOf(r.logged), r.modeClass) << r.logged;
    }
    // Modes longer than any of the table's are cut to three letters.
    EXPECT_EQ(logMode("ABCDEFGHIJKLMNO", "", ""), "ABC");
    EXPECT_EQ(logMode("DIGITALVOICEXYZW", "DSTAR", ""), "DIG");
    EXPECT_EQ(logMode("MFSK", "FT4FT4FT4FT4FT4FT4", ""), "MFS");
    // PROP_MODE SAT wins over MODE; the application field over MODE.
    EXPECT_EQ(logMode("FM", "", "SAT"), "SAT");
    EXPECT_EQ(logMode("", "", "", "DIG"), "DIG");
    EXPECT_EQ(logMode("PSK", "", "", "QPS"), "QPS");
    EXPECT_TRUE(dxcc::isSatelliteMode("sat "));
    EXPECT_EQ(dxcc::modeClassText(ModeClass::Satellite), "SAT");
}

// The needed status takes "SAT" in any letter case, as the satellite award
// does; the table's own class is exact.
TEST(ModeTable, TheNeededClassOfALoggedMode) {
    struct Row {
        const char* mode;
        ModeClass needed;
        ModeClass exact;
    };
    const Row rows[] = {
        {"SSB", ModeClass::Phone, ModeClass::Phone},
        {"FM ", ModeClass::Phone, ModeClass::Phone},
        {"CW", ModeClass::Cw, ModeClass::Cw},
        {"DIG", ModeClass::Digital, ModeClass::Digital},
        {"RTT", ModeClass::Digital, ModeClass::Digital},
        {"FT8", ModeClass::Digital, ModeClass::Digital},
        {"SAT", ModeClass::Satellite, ModeClass::Satellite},
        {"sat", ModeClass::Satellite, ModeClass::None},
        {" Sat", ModeClass::Satellite, ModeClass::None},
        {"ssb", ModeClass::None, ModeClass::None},
        {"", ModeClass::None, ModeClass::None},
        {"XYZ", ModeClass::None, ModeClass::None},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(dxcc::neededClassOf(r.mode), r.needed) << '"' << r.mode << '"';
        EXPECT_EQ(modeClassOf(r.mode), r.exact) << '"' << r.mode << '"';
    }
}

TEST(ModeTable, TheClassesAndTheirNames) {
    struct Row {
        ModeClass modeClass;
        const char* text;
        const char* heading;
    };
    const Row rows[] = {
        {ModeClass::Phone, "SSB", "SSB"},
        {ModeClass::Cw, "CW", "CW"},
        {ModeClass::Digital, "RTTY", "RTTY"},
        {ModeClass::Satellite, "SAT", "Satellite"},
        {ModeClass::None, "", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(dxcc::modeClassText(r.modeClass), r.text);
        EXPECT_EQ(dxcc::modeClassHeading(r.modeClass), r.heading);
    }
    for (size_t i = 0; i < dxcc::kModeClasses.size(); ++i)
        EXPECT_EQ(dxcc::modeClassIndex(dxcc::kModeClasses[i]), i);
}

// The words that name a mode outside the log take their class from the code
// they stand for.
TEST(ModeTable, WordsOfSpotsRadiosAndConfirmations) {
    struct Word {
        const char* word;
        const char* named;  // empty: names no mode
        ModeClass modeClass;
    };
    const Word comment[] = {
        {"CW", "CW", ModeClass::Cw},          {"usb", "USB", ModeClass::Phone},
        {"Phone", "PHONE", ModeClass::Phone}, {"SSTV", "SSTV", ModeClass::Phone},
        {"ft8", "FT8", ModeClass::Digital},   {"BPSK31", "BPSK31", ModeClass::Digital},
        {"DIGI", "DIGI", ModeClass::Digital}, {"contestia", "CONTESTIA", ModeClass::Digital},
        {"VARA", "VARA", ModeClass::Digital}, {"TOR", "", ModeClass::None},
        {"CWOP", "", ModeClass::None},        {"", "", ModeClass::None},
    };
    for (const Word& w : comment) {
        const dxcc::CommentMode m = dxcc::modeOfCommentWord(w.word);
        EXPECT_EQ(m.word, w.named) << w.word;
        EXPECT_EQ(m.modeClass, w.modeClass) << w.word;
    }
    EXPECT_EQ(dxcc::adif::modeClassOfGroup("PHONE"), ModeClass::Phone);
    EXPECT_EQ(dxcc::adif::modeClassOfGroup("CW"), ModeClass::Cw);
    EXPECT_EQ(dxcc::adif::modeClassOfGroup("DATA"), ModeClass::Digital);
    EXPECT_EQ(dxcc::adif::modeClassOfGroup("IMAGE"), ModeClass::None);

    using Modes = std::vector<std::string_view>;
    EXPECT_EQ(dxcc::entryModesOfRadio("LSB"), (Modes{"SSB"}));
    EXPECT_EQ(dxcc::entryModesOfRadio("RTTYR"), (Modes{"RTTY", "DIG"}));
    EXPECT_EQ(dxcc::entryModesOfRadio("PKTUSB"), (Modes{"DIG"}));
    EXPECT_EQ(dxcc::entryModesOfRadio("usb"), Modes{});  // as the rig library names it
    EXPECT_EQ(dxcc::radioModeOfClass(ModeClass::Phone, false, true), "LSB");
    EXPECT_EQ(dxcc::radioModeOfClass(ModeClass::Digital, false, false), "USB");
    EXPECT_EQ(dxcc::radioModeOfClass(ModeClass::Digital, true, true), "PKTUSB");
    EXPECT_EQ(dxcc::radioModeOfClass(ModeClass::Satellite, true, true), "");
}

}  // namespace
