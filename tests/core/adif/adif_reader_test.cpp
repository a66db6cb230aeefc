#include "core/adif/adif_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/base/file_error.h"
#include "temp_dir.h"

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
        // A tag inside a value of the right length is the value's text.
        {"an <EOR> in a value, a tag after it",
         "<NOTES:16>see <EOR> below.<QSO_DATE:8>20240101<EOR>", "NOTES", "see <EOR> below."},
        {"a field in a value, a blank after it", "<COMMENT:29><CALL:5>K1ABC is not the call <EOR>",
         "COMMENT", "<CALL:5>K1ABC is not the call"},
        {"a field in a value, a line end after it", "<NOTES:14>x<CALL:5>F5ABC\r\n<EOR>", "NOTES",
         "x<CALL:5>F5ABC"},
        {"a field in a value at the file's end", "<NOTES:13>x <BAND:3>20m", "NOTES",
         "x <BAND:3>20m"},
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

struct DamageCase {
    const char* what;
    std::string file;
    std::vector<std::string> calls;
    const char* notes;  // the cut value
    ReaderWarnings warnings;
};

// A declared length that cannot be right (it ends inside a word or runs past
// the file's end) over a value holding the start of another field: the value
// ends there, that field is read, and the damage is reported once.
TEST(AdifReader, CutsADamagedLengthAtTheFieldItRanInto) {
    const std::vector<DamageCase> cases{
        {"a length running over the next fields",
         "<NOTES:20>Jean<CALL:5>F5ABC<EOR>\n<CALL:4>K1AB<EOR>\n",
         {"F5ABC", "K1AB"},
         "Jean",
         {.damagedLengths = 1}},
        {"a length running over the next record",
         "<NOTES:30>Jean<EOR>\n<CALL:4>K1AB<NOTES:2>ab<EOR>\n",
         {"-", "K1AB"},
         "Jean",
         {.damagedLengths = 1}},
        {"a length running past the file's end",
         "<NOTES:99>Jean<CALL:5>F5ABC<EOR>",
         {"F5ABC"},
         "Jean",
         {.damagedLengths = 1}},
        {"a wrong length without a field inside is kept",
         "<NOTES:3>Jean<CALL:5>F5ABC<EOR>",
         {"F5ABC"},
         "Jea",
         {}},
        {"a field inside a value of the right length is text",
         "<NOTES:13><CALL:5>K1ABC<CALL:5>F5ABC<EOR>",
         {"F5ABC"},
         "<CALL:5>K1ABC",
         {}},
    };
    for (const DamageCase& c : cases) {
        ReaderWarnings warnings;
        EXPECT_EQ(callsOf(c.file, &warnings), c.calls) << c.what;
        EXPECT_EQ(warnings, c.warnings) << c.what;
        const auto records = readAll(c.file);
        const Field* notes = findField(records[0], "NOTES");
        ASSERT_NE(notes, nullptr) << c.what;
        EXPECT_EQ(notes->value, c.notes) << c.what;
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

// Records as owned texts, to compare what two readers give.
using Texts = std::vector<std::vector<std::pair<std::string, std::string>>>;

void addRecord(Texts& texts, const std::vector<Field>& fields) {
    auto& record = texts.emplace_back();
    for (const Field& f : fields) record.emplace_back(f.name, f.value);
}

Texts wholeFileTexts(const std::string& bytes, ReaderWarnings* warnings) {
    Texts texts;
    for (const auto& record : readAll(bytes, warnings)) addRecord(texts, record);
    return texts;
}

Texts fileReaderTexts(const std::filesystem::path& file, size_t bufferBytes,
                      ReaderWarnings* warnings) {
    FileReader reader(file, bufferBytes);
    Texts texts;
    std::vector<Field> fields;
    while (reader.next(fields)) {
        addRecord(texts, fields);
        EXPECT_LE(reader.offset(), reader.size());
    }
    EXPECT_FALSE(reader.next(fields));
    *warnings = reader.warnings();
    return texts;
}

// A reader given the file one more byte at a time whenever it asks for more:
// every record is read again from pieces ending at each of its bytes.
Texts growingPieceTexts(const std::string& bytes, ReaderWarnings* warnings) {
    const std::string_view all(bytes);
    size_t pieceStart = 0, pieceEnd = 0;
    Reader reader(all.substr(0, 0), all.empty());
    Texts texts;
    std::vector<Field> fields;
    for (;;) {
        if (reader.next(fields)) {
            addRecord(texts, fields);
            continue;
        }
        if (!reader.needsMore()) break;
        pieceStart += reader.offset();
        pieceEnd = std::min(all.size(), pieceEnd + 1);
        reader.continueWith(all.substr(pieceStart, pieceEnd - pieceStart), pieceEnd == all.size());
    }
    *warnings = reader.warnings();
    return texts;
}

std::filesystem::path corpusDir() {
    if (const char* dir = std::getenv("VEL_CORPUS_DIR")) return dir;
    const std::filesystem::path source = VEL_SOURCE_DIR;
    for (const auto& shared : {source / ".." / "shared", source / ".." / ".." / "shared"})
        if (std::filesystem::is_directory(shared / "corpora" / "adif"))
            return shared / "corpora" / "adif";
    return {};
}

// Read piece by piece, a file gives the records and warnings of the whole file
// read at once, wherever the pieces end: inside a tag, a length, a value, the
// byte-order mark, a header, or a value whose length must be repaired.
TEST(AdifFileReader, GivesWhatTheWholeFileGivesWhereverThePiecesEnd) {
    const std::vector<std::string> files{
        "WSJT-X ADIF Export<eoh>\n<call:5>F5ABC <band:3>20m <eor>\n<call:4>K1AB <eor>\n",
        "\xEF\xBB\xBF<CALL:5>F5ABC<EOR><CALL:4>K1AB",
        "\xEF\xBB",
        "Made by <My Logger>\n<ADIF_VER:5>3.1.0<EOH>\n<CALL:5>F5ABC<EOR><EOH><CALL:4>K1AB<EOR>",
        "<EOH><CALL:5>F5ABC< bad><FOO><NAME:x>JO<BAND:3 20m<EOR><CALL:9>K1AB",
        "<NAME:4>C\xC3\xB4t\xC3\xA9<CALL:5>F5ABC<EOR><NAME:6>C\xC3\xB4t\xC3\xA9\n<EOR>",
        "<NOTES:10>ab\ncd\nef<QSO_DATE:8>20080617<EOR><NOTES:9>a<b>c<EOR<CALL:5>F5ABC<EOR>",
        "<CALL:4>K1AB<EOR>\n<APP_LoTW_EOF>\n<CALL:4>W1AW<EOR>\n",
        // Counted in characters, a value holding "<EOR>" after its length in bytes.
        "<NOTES:13>\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9<EOR>\xE2\x82\xAC"
        "<CALL:5>F5ABC<EOR>",
        "<CALL:5>F5ABC<EOR>\nTotal: 1 QSO\n<",
        // Tags in values of the right length, and a damaged length.
        "<NOTES:16>see <EOR> below.<CALL:5>F5ABC<EOR><COMMENT:13><CALL:5>K1ABC\n<EOR>"
        "<NOTES:20>Jean<CALL:5>F5DEF<EOR><NOTES:7>x <EOR>",
        "<CALL:99999999999999999999999>F5ABC",
        "",
    };
    testing_support::TempDir dir;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string name = "file" + std::to_string(i) + ".adi";
        dir.write(name, files[i]);
        ReaderWarnings whole;
        const Texts expected = wholeFileTexts(files[i], &whole);
        ReaderWarnings growing;
        EXPECT_EQ(growingPieceTexts(files[i], &growing), expected) << i << " byte by byte";
        EXPECT_EQ(growing, whole) << i << " byte by byte";
        for (size_t bufferBytes : {1, 2, 3, 4, 5, 7, 11, 16, 64, 4096}) {
            ReaderWarnings pieces;
            EXPECT_EQ(fileReaderTexts(dir / name, bufferBytes, &pieces), expected)
                << i << " in pieces of " << bufferBytes;
            EXPECT_EQ(pieces, whole) << i << " in pieces of " << bufferBytes;
        }
    }
}

TEST(AdifFileReader, RealExportsGiveWhatTheWholeFileGives) {
    const std::filesystem::path dir = corpusDir();
    if (dir.empty() || !std::filesystem::exists(dir / "README.md"))
        GTEST_SKIP() << "no ADIF corpus (set VEL_CORPUS_DIR)";
    for (const char* file : {"ADIF_317_test_QSOs_2026_03_22.adi",
                             "SydneyOwl_ADIF_317_test_QSOs_2026_03_22.lf-normalised.adi",
                             "EI3CTB_ADIF_wsjtx_log.adi", "farmergreg_lotwreport.adi",
                             "farmergreg_qrz.adi", "derived/jtdx_single_line_no_final_eor.adi"}) {
        ReaderWarnings whole;
        const Texts expected = wholeFileTexts(dxcc::readFileBytes(dir / file), &whole);
        for (size_t bufferBytes : {size_t{1}, size_t{509}, FileReader::kDefaultBufferBytes}) {
            ReaderWarnings pieces;
            EXPECT_EQ(fileReaderTexts(dir / file, bufferBytes, &pieces), expected)
                << file << " in pieces of " << bufferBytes;
            EXPECT_EQ(pieces, whole) << file << " in pieces of " << bufferBytes;
        }
    }
}

TEST(AdifFileReader, AFileThatCannotBeReadIsAFileError) {
    testing_support::TempDir dir;
    try {
        FileReader reader(dir / "missing.adi");
        ADD_FAILURE() << "a missing file was opened";
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), kFileNotFound);
    }
    EXPECT_THROW(FileReader reader(dir.path()), FileError);
}

}  // namespace
}  // namespace dxcc::adif
