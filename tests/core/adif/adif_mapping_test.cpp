#include "core/adif/adif_mapping.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/record/band_table.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc::adif {
namespace {

struct BandCase {
    std::string band;
    std::string frequency;
    std::string expected;
};

TEST(AdifBand, BandValuesByTheTableAndFrequenciesByRange) {
    const std::vector<BandCase> cases{
        // BAND values: the table's rows, exactly.
        {"20M", "", "14 Mhz"},
        {" 20m\r\n", "", "14 Mhz"},
        {"160M", "", "1.8 Mhz"},
        {"1.8", "", "1.8 Mhz"},
        {"3.6", "", "3.5 Mhz"},
        {"145", "", "144 Mhz"},
        {"23CM", "", "1.3Ghz"},
        {"1.25CM", "", "24 Ghz"},
        {"5660", "", "5.7 Ghz"},
        // ADIF bands the table lacks keep their name, never 160 m.
        {"60M", "", "60M"},
        {"4M", "", "4M"},
        {"2190M", "", "2190M"},
        {"33CM", "", "33CM"},
        {"SUBMM", "", "SUBMM"},
        {"1.25M", "", "1.25M"},
        {"10", "", "10 Mhz"},
        {"10M", "", "28 Mhz"},
        {"3CM", "", "10 Ghz"},
        {"70CM", "", "432 Mhz"},
        {"2M", "", "144 Mhz"},
        {"6MM", "", "6MM"},
        // FREQ by the ADIF ranges, edges included.
        {"", "14.074", "14 Mhz"},
        {"", "1.840", "1.8 Mhz"},
        {"", "29.600", "28 Mhz"},
        {"", "14", "14 Mhz"},
        {"", "14.35", "14 Mhz"},
        {"", "18.068", "18 Mhz"},
        {"", "144.300", "144 Mhz"},
        {"", "1296.2", "1.3Ghz"},
        {"", "10368.1", "10 Ghz"},
        {"", "5.357", "60M"},
        {"", "0.475", "630M"},
        // A comma as the only separator is a decimal point.
        {"", "14,074", "14 Mhz"},
        {"", "7,0745", "7.0 Mhz"},
        {"", "14,074.5", ""},
        {"", "1,4,074", ""},
        // BAND wins over FREQ; a BAND that is no band leaves it to FREQ.
        {"20M", "7.074", "14 Mhz"},
        {"80", "7.074", "7.0 Mhz"},
        // No band at all.
        {"", "14.3501", ""},
        {"", "1.5", ""},
        {"", "abc", ""},
        {"", "14.074 MHz", ""},
        {"20 M", "", ""},
        {"1.25CMX", "", ""},
        {"10000000", "", ""},
        {"1.25CM1.25CM", "", ""},
        {"", "", ""},
    };
    for (const BandCase& c : cases)
        EXPECT_EQ(logBand(c.band, c.frequency), c.expected) << c.band << " / " << c.frequency;
}

TEST(AdifDateTime, ConvertedOnlyWhenTheyAreADateAndATime) {
    EXPECT_EQ(logDate("20080617"), "17/06/08");
    EXPECT_EQ(logDate("19991231"), "31/12/99");
    EXPECT_EQ(logDate(" 20080617\r\n"), "17/06/08");
    for (const char* bad : {"", "2008061", "200806170", "2008-6-17", "20081317", "20080632"})
        EXPECT_EQ(logDate(bad), "") << bad;
    EXPECT_EQ(logTime("1234"), "12:34");
    EXPECT_EQ(logTime("123456"), "12:34");
    EXPECT_EQ(logTime(" 0905 "), "09:05");
    for (const char* bad : {"", "123", "12345", "12:34", "2400", "1260"})
        EXPECT_EQ(logTime(bad), "") << bad;
}

const PrefixTable& prefixes() {
    static const PrefixTable table = PrefixTable::parse(joinLines({
        buildPrefixEntry("F", "France", "F"),
        buildPrefixEntry("FR", "Reunion Island", "FR"),
        buildPrefixEntry("K", "United States", "K"),
    }));
    return table;
}

MappedQso mapText(const std::string& adifRecord) {
    const auto records = readAll(adifRecord);
    EXPECT_EQ(records.size(), 1u) << adifRecord;
    return mapRecord(records.empty() ? std::vector<Field>{} : records[0], prefixes());
}

// The same record written straight into a line, as the import writes it.
std::string recordText(const std::string& adifRecord, Notices* notices) {
    const auto records = readAll(adifRecord);
    std::string record(kRecordLength, '?');
    *notices = mapQsoRecord(importedValues(records.empty() ? std::vector<Field>{} : records[0]),
                            prefixes(), record.data());
    return record;
}

const std::string kComplete =
    "<CALL:5>f5abc<NAME:4>jean<QSO_DATE:8>20080617<TIME_ON:4>1235<MODE:3>SSB<BAND:3>20m"
    "<RST_RCVD:2>57<RST_SENT:2>59<QSL_RCVD:1>Y";

TEST(AdifMapping, CompleteRecordGivesTheLogLine) {
    const MappedQso q = mapText(kComplete + "<EOR>");
    EXPECT_EQ(buildRecord(q.fields),
              "F5ABC        JEAN            17/06/08 12:35 SSB 14 Mhz  57  59  F      France"
              "                             *");
    EXPECT_EQ(q.notices, (std::array<bool, kNoticeCount>{}));
}

struct MappingCase {
    const char* what;
    std::string record;                      // ADIF fields, without <EOR>
    std::function<void(QsoFields&)> change;  // from the complete record's fields
    std::vector<Notice> notices = {};
};

// The Part's cases and the decided changes, each against the complete record.
TEST(AdifMapping, SubstitutesCutsAndNotices) {
    const QsoFields base = mapText(kComplete + "<EOR>").fields;
    // The complete record without the fields that start with these tags.
    auto without = [](std::initializer_list<const char*> tags) {
        std::string s = kComplete;
        for (const char* tag : tags) {
            const size_t at = s.find(tag);
            const size_t end = s.find('<', at + 1);
            s.erase(at, end == std::string::npos ? std::string::npos : end - at);
        }
        return s;
    };
    const std::string france = padRight("France", kPrefixEntityNameWidth);
    const std::vector<MappingCase> cases{
        {"QSL_RCVD y", without({"<QSL_RCVD"}) + "<qsl_rcvd:1>y", [](QsoFields&) {}},
        {"QSL_RCVD R", without({"<QSL_RCVD"}) + "<QSL_RCVD:1>R",
         [](QsoFields& f) { f.qslMark = ' '; }},
        {"LOTW_QSL_RCVD Y", without({"<QSL_RCVD"}) + "<QSL_RCVD:1>N<LOTW_QSL_RCVD:1>y",
         [](QsoFields&) {}},
        {"QSL_RCVD_VIA is not QSL_RCVD", without({"<QSL_RCVD"}) + "<QSL_RCVD_VIA:1>Y",
         [](QsoFields& f) { f.qslMark = ' '; }},
        {"PSK31 gives PSK", without({"<MODE"}) + "<MODE:5>PSK31",
         [](QsoFields& f) { f.mode = "PSK"; }},
        {"a two-letter mode", without({"<MODE"}) + "<MODE:2>CW",
         [](QsoFields& f) { f.mode = "CW"; }},
        {"missing mode", without({"<MODE"}), [](QsoFields& f) { f.mode = "XXX"; }},
        {"FT4 is a submode of MFSK", without({"<MODE"}) + "<mode:4>mfsk<submode:3>ft4",
         [](QsoFields& f) { f.mode = "FT4"; }},
        {"other submodes leave the mode", without({"<MODE"}) + "<MODE:3>SSB<SUBMODE:3>USB",
         [](QsoFields& f) { f.mode = "SSB"; }},
        {"a satellite without mode", without({"<MODE"}) + "<PROP_MODE:3>sat",
         [](QsoFields& f) { f.mode = "SAT"; }},
        {"a satellite is logged SAT whatever its mode",
         without({"<MODE"}) + "<MODE:2>FM<PROP_MODE:3>SAT<SAT_NAME:5>AO-91",
         [](QsoFields& f) { f.mode = "SAT"; }},
        {"missing and empty reports", without({"<RST_RCVD", "<RST_SENT"}) + "<RST_SENT:0>",
         [](QsoFields& f) { f.rstReceived = f.rstSent = "XX"; }},
        {"long reports are cut", without({"<RST_SENT"}) + "<RST_SENT:4>599A",
         [](QsoFields& f) { f.rstSent = "599"; }},
        {"missing name", without({"<NAME"}), [](QsoFields& f) { f.firstName = ""; }},
        {"long name cut to 15, accents upper-cased",
         without({"<NAME"}) + "<NAME:20>h\xC3\xA9lio de oliveira",
         [](QsoFields& f) { f.firstName = "H\xC9LIO DE OLIVEI"; }},
        {"TIME_ON with seconds", without({"<TIME_ON"}) + "<TIME_ON:6>123559", [](QsoFields&) {}},
        {"QSO_DATE_OFF before QSO_DATE", "<QSO_DATE_OFF:8>20080618" + kComplete, [](QsoFields&) {}},
        {"thirteen-character callsign cut to twelve before the lookup",
         without({"<CALL"}) + "<CALL:13>FR5ABCDEFGHIJ",
         [](QsoFields& f) {
             f.callsign = "FR5ABCDEFGHI";
             f.dxccPrefix = "FR";
             f.entityName = padRight("Reunion Island", kPrefixEntityNameWidth);
         }},
        {"callsign without an entry", without({"<CALL"}) + "<CALL:5>ZZ1ZZ",
         [](QsoFields& f) {
             f.callsign = "ZZ1ZZ";
             f.dxccPrefix = "";
             f.entityName = "";
         }},
        {"missing CALL",
         without({"<CALL"}),
         [](QsoFields& f) { f.callsign = "FXXXX"; },
         {Notice::CallsignMissing}},
        {"empty CALL counts as missing",
         without({"<CALL"}) + "<CALL:2>  ",
         [](QsoFields& f) { f.callsign = "FXXXX"; },
         {Notice::CallsignMissing}},
        {"missing date",
         without({"<QSO_DATE"}),
         [](QsoFields& f) { f.date = "01/01/00"; },
         {Notice::DateMissing}},
        {"a date that is no date",
         without({"<QSO_DATE"}) + "<QSO_DATE:10>2008-06-17",
         [](QsoFields& f) { f.date = "01/01/00"; },
         {Notice::DateMissing}},
        {"missing time",
         without({"<TIME_ON"}),
         [](QsoFields& f) { f.time = "00:00"; },
         {Notice::TimeMissing}},
        {"60 m is not 160 m", without({"<BAND"}) + "<BAND:3>60m",
         [](QsoFields& f) { f.band = "60M"; }},
        {"FREQ without BAND", without({"<BAND"}) + "<FREQ:6>14.074", [](QsoFields&) {}},
        {"BAND_RX is not BAND", without({"<BAND"}) + "<BAND_RX:3>40m<FREQ:5>7.074",
         [](QsoFields& f) { f.band = "7.0 Mhz"; }},
        {"no band at all",
         without({"<BAND"}),
         [](QsoFields& f) { f.band = "1.8 Mhz"; },
         {Notice::BandMissing}},
        {"nothing at all",
         "<COMMENT:3>abc",
         [&](QsoFields& f) {
             f = QsoFields{"FXXXX",   "",   "01/01/00", "00:00", "XXX",
                           "1.8 Mhz", "XX", "XX",       "F",     france};
         },
         {Notice::DateMissing, Notice::TimeMissing, Notice::CallsignMissing, Notice::BandMissing}},
    };
    for (const MappingCase& c : cases) {
        QsoFields expected = base;
        c.change(expected);
        const MappedQso q = mapText(c.record + "<EOR>");
        EXPECT_EQ(q.fields, expected) << c.what;
        std::array<bool, kNoticeCount> notices{};
        for (Notice n : c.notices) notices[static_cast<size_t>(n)] = true;
        EXPECT_EQ(q.notices, notices) << c.what;
        EXPECT_EQ(buildRecord(q.fields).size(), kRecordLength) << c.what;
        Notices written{};
        EXPECT_EQ(recordText(c.record + "<EOR>", &written), buildRecord(q.fields)) << c.what;
        EXPECT_EQ(written, notices) << c.what;
    }
}

}  // namespace
}  // namespace dxcc::adif
