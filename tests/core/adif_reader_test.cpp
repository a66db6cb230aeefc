#include "adif/adif_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dxcc::adif {
namespace {

std::vector<std::string> callsOf(const std::string& file, ReaderWarnings* warnings = nullptr) {
    std::vector<std::string> calls;
    for (const auto& record : readAll(file, warnings)) {
        const Field* call = findField(record, "CALL");
        calls.emplace_back(call ? call->value : "-");
    }
    return calls;
}

struct FramingCase {
    const char* what;
    std::string file;
    std::vector<std::string> calls;
    ReaderWarnings warnings{};
};

// How records are found in the ways real programs write them.
TEST(AdifReader, FindsEveryRecordWhateverTheLayout) {
    const std::vector<FramingCase> cases{
        {"one record per line, lower-case eoh on the first line",
         "WSJT-X ADIF Export<eoh>\n<call:5>F5ABC <band:3>20m <eor>\n<call:4>K1AB <eor>\n",
         {"F5ABC", "K1AB"}},
        {"one field per line, lower-case tags, end-of-file field",
         "Log export\n<adif_ver:5>3.1.0\n<eoh>\n\n<call:5>F5ABC\n<band:3>20m\n<eor>\n\n"
         "<call:4>K1AB\n<eor>\n<APP_LoTW_EOF>\n<call:4>W1AW\n<eor>\n",
         {"F5ABC", "K1AB"}},
        {"type indicators", "<EOH><CALL:5:S>F5ABC<BAND:3:E>20m<EOR>", {"F5ABC"}},
        {"two records on one line",
         "<EOH>\n<CALL:5>F5ABC<EOR><CALL:4>K1AB<EOR>\n",
         {"F5ABC", "K1AB"}},
        {"a record on the EOH line", "Header text <EOH><CALL:5>F5ABC<EOR>\n", {"F5ABC"}},
        {"no header at all", "<CALL:5>F5ABC<EOR>\n<CALL:4>K1AB<EOR>\n", {"F5ABC", "K1AB"}},
        {"a header opened by a field", "<ADIF_VER:5>3.1.0<EOH>\n<CALL:5>F5ABC<EOR>", {"F5ABC"}},
        {"byte-order mark then records", "\xEF\xBB\xBF<CALL:5>F5ABC<EOR>", {"F5ABC"}},
        {"names and markers in any case", "<eOh><CaLl:5>F5ABC<eOr>", {"F5ABC"}},
        {"CR LF line ends",
         "x\r\n<EOH>\r\n<CALL:5>F5ABC\r\n<EOR>\r\n<CALL:4>K1AB<EOR>\r\n",
         {"F5ABC", "K1AB"}},
        {"CR line ends", "x\r<EOH>\r<CALL:5>F5ABC\r<EOR>\r<CALL:4>K1AB<EOR>\r", {"F5ABC", "K1AB"}},
        {"records without fields are none", "<EOR><CALL:5>F5ABC<EOR><EOR>\n", {"F5ABC"}},
        {"a record without CALL is still a record", "<EOH><BAND:3>20m<EOR>", {"-"}},
        {"last record without EOR is kept",
         "<CALL:5>F5ABC<EOR><CALL:4>K1AB",
         {"F5ABC", "K1AB"},
         {.unterminatedRecordKept = true}},
        {"a length past the end takes the rest",
         "<CALL:5>F5ABC<EOR><CALL:9>K1AB",
         {"F5ABC", "K1AB"},
         {.valuesCutAtEnd = 1, .unterminatedRecordKept = true}},
        {"malformed tags are skipped and counted",
         "<EOH><CALL:5>F5ABC< bad><FOO><NAME:x>JO<BAND:3 20m<EOR>",
         {"F5ABC"},
         {.malformedTags = 4}},
        {"the header's free text is no warning",
         "Made by <My Logger>\n<EOH>\n<CALL:5>F5ABC<EOR>",
         {"F5ABC"}},
        {"an EOH after records is ignored",
         "<CALL:5>F5ABC<EOR><EOH><CALL:4>K1AB<EOR>",
         {"F5ABC", "K1AB"},
         {.headersAfterRecords = 1}},
        {"text after the last record makes no record",
         "<EOH><CALL:5>F5ABC<EOR>\nTotal: 1 QSO\n",
         {"F5ABC"}},
        {"an empty file", "", {}},
    };
    for (const FramingCase& c : cases) {
        ReaderWarnings warnings;
        EXPECT_EQ(callsOf(c.file, &warnings), c.calls) << c.what;
        EXPECT_EQ(warnings, c.warnings) << c.what;
    }
}

struct ValueCase {
    const char* what;
    std::string file;
    const char* name;
    std::string value;
    size_t remeasured = 0;
};

// Values are exactly their length in bytes, whatever they hold, with the two
// repairs for lengths that writers got wrong.
TEST(AdifReader, TakesValuesByTheirLength) {
    const std::vector<ValueCase> cases{
        {"a value holding < and >", "<NOTES:9>a<b>c<EOR<CALL:5>F5ABC<EOR>", "NOTES", "a<b>c<EOR"},
        {"QSO_DATE_OFF before QSO_DATE", "<QSO_DATE_OFF:8>20080618<QSO_DATE:8>20080617<EOR>",
         "QSO_DATE", "20080617"},
        {"BAND_RX before BAND", "<BAND_RX:3>40m<BAND:3>20m<EOR>", "BAND", "20m"},
        {"a repeated field counts once, the first time", "<CALL:5>F5ABC<CALL:4>K1AB<EOR>", "CALL",
         "F5ABC"},
        {"an empty value", "<CALL:0><NAME:4>JEAN<EOR>", "CALL", ""},
        {"UTF-8 counted in bytes", "<NAME:6>C\xC3\xB4t\xC3\xA9\n<EOR>", "NAME",
         "C\xC3\xB4t\xC3\xA9"},
        {"UTF-8 counted in characters", "<NAME:4>C\xC3\xB4t\xC3\xA9<CALL:5>F5ABC<EOR>", "NAME",
         "C\xC3\xB4t\xC3\xA9", 1},
        {"CR LF made LF after writing", "<NOTES:10>ab\ncd\nef<QSO_DATE:8>20080617<EOR>", "QSO_DATE",
         "20080617", 1},
        {"a value followed by a comment keeps its length", "<STATE:2>OK // Oklahoma\n<EOR>",
         "STATE", "OK"},
    };
    for (const ValueCase& c : cases) {
        ReaderWarnings warnings;
        const auto records = readAll(c.file, &warnings);
        ASSERT_EQ(records.size(), 1u) << c.what;
        const Field* f = findField(records[0], c.name);
        ASSERT_NE(f, nullptr) << c.what;
        EXPECT_EQ(f->value, c.value) << c.what;
        EXPECT_EQ(warnings.lengthsRemeasured, c.remeasured) << c.what;
    }
}

TEST(AdifReader, KeepsTheHeaderApartAndReportsProgress) {
    const std::string file =
        "\xEF\xBB\xBFLog\n<ADIF_VER:5>3.1.0<PROGRAMID:3>ABC\n<EOH>\n<CALL:5>F5ABC<EOR>";
    Reader reader(file);
    std::vector<Field> fields;
    ASSERT_TRUE(reader.next(fields));
    EXPECT_TRUE(reader.hasByteOrderMark());
    ASSERT_EQ(reader.header().size(), 2u);
    EXPECT_EQ(reader.header()[1].name, "PROGRAMID");
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(reader.offset(), file.size());
    EXPECT_FALSE(reader.next(fields));
    EXPECT_TRUE(fields.empty());
    EXPECT_FALSE(reader.next(fields));
}

}  // namespace
}  // namespace dxcc::adif
