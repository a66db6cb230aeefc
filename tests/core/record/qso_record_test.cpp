#include "core/record/qso_record.h"

#include <gtest/gtest.h>

#include "sample_records.h"

namespace dxcc {
namespace {

using testing_support::sampleFields;

TEST(QsoRecord, FieldsStandAtTheirColumns) {
    const std::string r = buildRecord(sampleFields());
    ASSERT_EQ(r.size(), kRecordLength);
    EXPECT_EQ(r.substr(0, 13), "F5ABC        ");
    EXPECT_EQ(r.substr(13, 15), "JEAN           ");
    EXPECT_EQ(r.substr(29, 8), "01/02/08");
    EXPECT_EQ(r.substr(38, 5), "12:35");
    EXPECT_EQ(r.substr(44, 3), "SSB");
    EXPECT_EQ(r.substr(48, 7), "14 Mhz ");
    EXPECT_EQ(r.substr(56, 3), "59 ");
    EXPECT_EQ(r.substr(60, 3), "59 ");
    EXPECT_EQ(r.substr(64, 6), "F     ");
    EXPECT_EQ(r.substr(71, 35), padRight("France", 35));
    EXPECT_EQ(r[106], '*');
}

TEST(QsoRecord, EmptyNameTwoLetterModeAndUnconfirmedKeepTheWidth) {
    QsoFields f = sampleFields();
    f.firstName = "";
    f.mode = "CW";
    f.band = "10 Mhz ";
    f.qslMark = ' ';
    const std::string r = buildRecord(f);
    ASSERT_EQ(r.size(), kRecordLength);
    EXPECT_EQ(r.substr(13, 15), std::string(15, ' '));
    EXPECT_EQ(r.substr(44, 3), "CW ");
    EXPECT_EQ(r.substr(48, 7), "10 Mhz ");
    EXPECT_EQ(r.substr(104), "   ");  // trailing blanks are never trimmed
}

TEST(QsoRecord, ParseIsTheInverseOfBuildAndToleratesShortLines) {
    const QsoFields f = sampleFields();
    QsoFields parsed = parseRecord(buildRecord(f));
    EXPECT_EQ(trimBlanks(parsed.callsign), "F5ABC");
    EXPECT_EQ(trimBlanks(parsed.entityName), "France");
    EXPECT_TRUE(parsed.confirmed());

    QsoFields shortOne = parseRecord("F5ABC        JEAN");
    EXPECT_EQ(shortOne.firstName, "JEAN");
    EXPECT_EQ(shortOne.date, "");
    EXPECT_EQ(shortOne.entityName, "");
    EXPECT_EQ(shortOne.qslMark, ' ');

    // The allocation-free accessors see the same columns.
    const std::string r = buildRecord(f);
    EXPECT_EQ(trimBlanks(recordField(r, Field::Band)), trimBlanks(f.band));
    EXPECT_EQ(trimBlanks(recordField(r, Field::DxccPrefix)), trimBlanks(f.dxccPrefix));
    EXPECT_TRUE(recordConfirmed(r));
    EXPECT_EQ(recordField("F5ABC        JEAN", Field::FirstName), "JEAN");
    EXPECT_EQ(recordField("F5ABC", Field::EntityName), "");
    EXPECT_FALSE(recordConfirmed("F5ABC"));
}

TEST(DisplayLine, ColumnsAndLineNumbers) {
    const std::string r = buildRecord(sampleFields());
    const std::string first = buildDisplayLine(r, 1);
    ASSERT_EQ(first.size(), kDisplayLineLength);
    EXPECT_EQ(first.substr(0, 8), "     1  ");
    EXPECT_EQ(first.substr(8, 5), "F5ABC");
    EXPECT_EQ(first.substr(22, 4), "JEAN");
    EXPECT_EQ(first.substr(39, 8), "01/02/08");
    EXPECT_EQ(first.substr(49, 5), "12:35");
    EXPECT_EQ(first.substr(56, 3), "SSB");
    EXPECT_EQ(first.substr(61, 7), "14 Mhz ");
    EXPECT_EQ(first.substr(70, 2), "59");
    EXPECT_EQ(first.substr(75, 2), "59");
    EXPECT_EQ(first.substr(79, 1), "F");
    EXPECT_EQ(first.substr(87, 6), "France");
    EXPECT_EQ(first[123], '*');

    EXPECT_EQ(buildDisplayLine(r, 10000).substr(0, 8), " 10000  ");
    EXPECT_EQ(buildDisplayLine(r, 999999).substr(0, 8), "999999  ");
    // Past six digits the number takes the first blank; the callsign never moves.
    EXPECT_EQ(buildDisplayLine(r, 1000000).substr(0, 13), "1000000 F5ABC");
}

TEST(DisplayLine, RebuildsTheExactRecord) {
    QsoFields f = sampleFields();
    for (char mark : {'*', ' '}) {
        f.qslMark = mark;
        const std::string r = buildRecord(f);
        for (size_t n : {1u, 99999u, 1000000u})
            EXPECT_EQ(recordFromDisplayLine(buildDisplayLine(r, n)), r);
    }
    // Even a short stored line comes back at full width, so equal records compare equal.
    EXPECT_EQ(recordFromDisplayLine(buildDisplayLine("F5ABC", 3)).size(), kRecordLength);
}

TEST(DisplayLine, HeadingWordsStandOverTheirColumns) {
    const std::string h = displayHeading();
    auto columnOf = [&](const std::string& word) {
        size_t byte = h.find(word);
        size_t chars = 0;
        for (size_t i = 0; i < byte; ++i)
            if ((static_cast<unsigned char>(h[i]) & 0xC0) != 0x80) ++chars;
        return chars + 1;
    };
    EXPECT_EQ(columnOf("Indicatif"), 9u);
    EXPECT_EQ(columnOf("Date"), 40u);
    EXPECT_EQ(columnOf("QTR"), 50u);
    EXPECT_EQ(columnOf("Mode"), 57u);
    EXPECT_EQ(columnOf("QRG"), 62u);
    EXPECT_EQ(columnOf("Contrée DXCC"), 88u);
}

TEST(NumberText, LeadingBlankOrSign) {
    EXPECT_EQ(numberText(62), " 62");
    EXPECT_EQ(numberText(0), " 0");
    EXPECT_EQ(numberText(-1), "-1");
}

}  // namespace
}  // namespace dxcc
