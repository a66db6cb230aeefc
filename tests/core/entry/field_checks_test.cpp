#include "core/entry/field_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "core/base/text_utils.h"
#include "core/entry/entry_messages.h"

namespace dxcc {
namespace {

namespace msg = entry_messages;

std::optional<std::string_view> refusal(EntryField f, std::string_view text) {
    return checkEntryField(f, text);
}

TEST(EntryFieldChecks, BandAndModeLengths) {
    EXPECT_EQ(refusal(EntryField::Band, ""), msg::kBandEmpty);
    EXPECT_EQ(refusal(EntryField::Band, "1.8 Mhz"), std::nullopt);
    EXPECT_EQ(refusal(EntryField::Band, "1.8 Mhz "), msg::kBandTooLong);
    EXPECT_EQ(refusal(EntryField::Mode, ""), msg::kModeEmpty);
    EXPECT_EQ(refusal(EntryField::Mode, "CW"), std::nullopt);
    EXPECT_EQ(refusal(EntryField::Mode, "OLIVIA"), std::nullopt);
    EXPECT_EQ(refusal(EntryField::Mode, "OLIVIA8"), msg::kModeTooLong);
}

TEST(EntryFieldChecks, CallsignAndFirstNameLengths) {
    EXPECT_EQ(refusal(EntryField::Callsign, ""), msg::kCallsignEmpty);
    EXPECT_EQ(refusal(EntryField::Callsign, "VP2E/F5ABC/P"), std::nullopt);
    EXPECT_EQ(refusal(EntryField::Callsign, "VP2E/F5ABC/QR"), msg::kCallsignTooLong);
    // A callsign is one word: blanks around it only.
    EXPECT_EQ(refusal(EntryField::Callsign, "F5 ABC"), msg::kCallsignBlank);
    EXPECT_EQ(refusal(EntryField::Callsign, " F5ABC "), std::nullopt);
    EXPECT_EQ(refusal(EntryField::FirstName, ""), std::nullopt);
    EXPECT_EQ(refusal(EntryField::FirstName, std::string(15, 'A')), std::nullopt);
    EXPECT_EQ(refusal(EntryField::FirstName, std::string(16, 'A')), msg::kFirstNameTooLong);
}

TEST(EntryFieldChecks, DateAndTimeTellEmptyFromMalformed) {
    EXPECT_EQ(refusal(EntryField::Date, ""), msg::kDateEmpty);
    EXPECT_EQ(refusal(EntryField::Date, "32/01/08"), msg::kDateFormat);
    EXPECT_EQ(refusal(EntryField::Date, "01/01/2008"), msg::kDateFormat);
    EXPECT_EQ(refusal(EntryField::Date, "31/12/99"), std::nullopt);
    EXPECT_EQ(refusal(EntryField::Time, ""), msg::kTimeEmpty);
    EXPECT_EQ(refusal(EntryField::Time, "24:00"), msg::kTimeFormat);
    EXPECT_EQ(refusal(EntryField::Time, "9:30"), msg::kTimeFormat);
    EXPECT_EQ(refusal(EntryField::Time, "23:59"), std::nullopt);
}

TEST(EntryFieldChecks, ReportsCheckLengthThenTheFirstDigitOrTheDecibelSign) {
    for (EntryField f : {EntryField::RstReceived, EntryField::RstSent}) {
        for (const char* ok : {"599", "5", "0NN", "1", "-12", "+05", "-3"})
            EXPECT_EQ(refusal(f, ok), std::nullopt) << ok;
        for (const char* bad : {"699", "A59", " 59", "6", "-", "+", "-A", "+1A", "- 5"})
            EXPECT_EQ(refusal(f, bad), msg::kReportFirstDigit) << bad;
        EXPECT_EQ(refusal(f, ""), msg::kReportEmpty);
        EXPECT_EQ(refusal(f, "5999"), msg::kReportTooLong);
        EXPECT_EQ(refusal(f, "9999"), msg::kReportTooLong);
    }
}

TEST(EntryFieldChecks, PrefixAndEntityCountWithoutTheirPadding) {
    EXPECT_EQ(refusal(EntryField::DxccPrefix, ""), std::nullopt);
    EXPECT_EQ(refusal(EntryField::DxccPrefix, "VP2E  "), std::nullopt);
    EXPECT_EQ(refusal(EntryField::DxccPrefix, "ABCDEF"), std::nullopt);
    EXPECT_EQ(refusal(EntryField::DxccPrefix, "ABCDEFG"), msg::kDxccPrefixTooLong);
    // As the prefix file gives it: 33 columns, trailing blanks.
    EXPECT_EQ(refusal(EntryField::EntityName, "France" + std::string(27, ' ')), std::nullopt);
    EXPECT_EQ(refusal(EntryField::EntityName, std::string(35, 'X') + "   "), std::nullopt);
    EXPECT_EQ(refusal(EntryField::EntityName, std::string(36, 'X')), msg::kEntityNameTooLong);
    EXPECT_EQ(refusal(EntryField::EntityName, ""), std::nullopt);
}

EntryTexts frenchContact() {
    EntryTexts t;
    t.callsign = "F5ABC";
    t.firstName = "JEAN";
    t.date = "01/02/08";
    t.time = "12:35";
    t.mode = "SSB";
    t.band = "14 Mhz";  // a list click gives the band trimmed
    t.rstReceived = "59";
    t.rstSent = "59";
    t.dxccPrefix = "F";
    t.entityName = "France" + std::string(27, ' ');
    t.qsl = true;
    return t;
}

TEST(EntryFieldChecks, CommitReportsTheFirstRefusedFieldInEntryOrder) {
    EntryTexts t = frenchContact();
    EXPECT_FALSE(checkEntryTexts(t).has_value());

    t.rstSent = "9";
    t.dxccPrefix = "TOOLONG";
    auto r = checkEntryTexts(t);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->field, EntryField::RstSent);
    EXPECT_EQ(r->message, msg::kReportFirstDigit);

    t.date = "1/2/08";
    r = checkEntryTexts(t);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->field, EntryField::Date);

    t = frenchContact();
    t.entityName = std::string(36, 'E');
    r = checkEntryTexts(t);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->field, EntryField::EntityName);
    EXPECT_EQ(r->message, msg::kEntityNameTooLong);
}

TEST(EntryRecord, PutsEveryFieldInItsColumns) {
    const std::string r = buildEntryRecord(frenchContact());
    ASSERT_EQ(r.size(), 107u);
    EXPECT_EQ(r,
              "F5ABC        JEAN            01/02/08 12:35 SSB 14 Mhz  59  59  F      "
              "France                             *");
    EXPECT_EQ(r[106], '*');
}

TEST(EntryRecord, LongModeIsCutAndUnconfirmedEndsInABlank) {
    EntryTexts t = frenchContact();
    t.mode = "RTTY";
    t.qsl = false;
    t.firstName.clear();
    const std::string r = buildEntryRecord(t);
    ASSERT_EQ(r.size(), 107u);
    EXPECT_EQ(r.substr(44, 4), "RTT ");
    EXPECT_EQ(r.substr(13, 15), std::string(15, ' '));
    EXPECT_EQ(r[106], ' ');
}

TEST(EntryRecord, EveryAcceptedCombinationIsExactly107Characters) {
    std::mt19937 rng(7);
    auto text = [&](size_t maxLen, bool allowEmpty) {
        std::uniform_int_distribution<size_t> len(allowEmpty ? 0 : 1, maxLen);
        std::string s(len(rng), 'A');
        for (char& c : s) c = static_cast<char>('A' + rng() % 26);
        return s;
    };
    for (int i = 0; i < 500; ++i) {
        EntryTexts t;
        t.band = text(7, false);
        t.mode = text(6, false);
        t.callsign = text(12, false);
        t.firstName = text(15, true);
        t.date = "31/12/49";
        t.time = "00:00";
        t.rstReceived = "5" + text(2, true);
        t.rstSent = "0" + text(2, true);
        t.dxccPrefix = text(6, true) + std::string(rng() % 4, ' ');
        t.entityName = text(35, true) + std::string(rng() % 4, ' ');
        t.qsl = rng() % 2;
        ASSERT_FALSE(checkEntryTexts(t).has_value());
        const std::string r = buildEntryRecord(t);
        ASSERT_EQ(r.size(), 107u) << r;
        EXPECT_EQ(r[106], t.qsl ? '*' : ' ');
        EXPECT_EQ(r.substr(44, 3), (t.mode + "  ").substr(0, 3));
    }
}

TEST(NewPrefix, ComparesTheLoggedCallsignsOverTheMatchedPrefix) {
    const std::string f5 = "F5ABC" + std::string(102, ' ');
    const std::string tm = "TM1Q" + std::string(103, ' ');
    EXPECT_TRUE(recordHasPrefix(f5, "F"));
    EXPECT_TRUE(recordHasPrefix(tm, "TM"));
    EXPECT_FALSE(recordHasPrefix(f5, "TM"));
    EXPECT_FALSE(recordHasPrefix(f5, "FR"));
    EXPECT_FALSE(recordHasPrefix("F", "FR"));
    EXPECT_FALSE(recordHasPrefix("", "F"));
    // Only the callsign column counts, not the first name after it.
    EXPECT_FALSE(recordHasPrefix("K1" + std::string(10, ' ') + " K1ABC", "K1A"));
}

class NewPrefixInLog : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vel_newprefix_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    Logbook logWith(const std::vector<std::string>& callsigns) {
        std::ofstream out(dir_ / "F6XYZ_DXCC.log", std::ios::binary);
        for (const std::string& c : callsigns) {
            EntryTexts t = frenchContact();
            t.callsign = c;
            out << buildEntryRecord(t) << "\r\n";
        }
        out.close();
        Logbook log(dir_);
        log.setStationCallsign("F6XYZ");
        log.load();
        return log;
    }

    std::filesystem::path dir_;
};

TEST_F(NewPrefixInLog, EmptyLogAnnouncesEveryResolvedPrefixButNoUnresolvedOne) {
    Logbook log = logWith({});
    EXPECT_TRUE(isNewPrefix(log, "F"));
    EXPECT_FALSE(isNewPrefix(log, ""));
}

TEST_F(NewPrefixInLog, TmIsNewOnlyUntilATmCallsignIsLogged) {
    Logbook log = logWith({"F5ABC", "G4XYZ"});
    EXPECT_TRUE(isNewPrefix(log, "TM"));
    EXPECT_FALSE(isNewPrefix(log, "F"));
    EXPECT_FALSE(isNewPrefix(log, "G"));
    EXPECT_TRUE(isNewPrefix(log, "FR"));

    log = logWith({"F5ABC", "TM1Q"});
    EXPECT_FALSE(isNewPrefix(log, "TM"));
}

}  // namespace
}  // namespace dxcc

namespace dxcc {
namespace {

// A line break in a field would split the contact's line in two.
TEST(EntryRecord, ControlCharactersNeverReachTheLog) {
    for (const char* bad : {"JEAN\r\n", "JE\tAN", "\nJEAN"}) {
        SCOPED_TRACE(bad);
        EntryTexts t = frenchContact();
        t.firstName = bad;
        const auto r = checkEntryTexts(t);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->field, EntryField::FirstName);
        EXPECT_EQ(r->message, msg::kControlCharacter);
        EXPECT_THROW(buildEntryRecord(t), std::invalid_argument);
    }
}

// The boxes store their list items exactly, whatever case the operator typed.
TEST(EntryRecord, BandAndModeTextsBecomeTheirListItems) {
    EXPECT_EQ(asListItem("18 MHZ", kBands), "18 Mhz ");
    EXPECT_EQ(asListItem(" 1.8 mhz", kBands), "1.8 Mhz");
    EXPECT_EQ(asListItem("cw", kModes), "CW");
    EXPECT_EQ(asListItem("RTTY", kModes), "RTTY");  // not an item: kept
    EXPECT_EQ(listItemIndex("14 mhz", kBands), 4);
    EXPECT_EQ(listItemIndex("", kBands), -1);
    EXPECT_EQ(listItemIndex("2 m", kBands), -1);
}

}  // namespace
}  // namespace dxcc
