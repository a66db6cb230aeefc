#include "core/record/station_callsign.h"

#include <gtest/gtest.h>

namespace dxcc {
namespace {

TEST(StationCallsign, StoredAndDisplayForms) {
    EXPECT_EQ(storedForm("fxxxx/p"), "FXXXX_P");
    EXPECT_EQ(displayForm("FXXXX_P"), "FXXXX/P");
    EXPECT_EQ(checkStationCallsign("FXXXX_P"), StationCheck::Ok);
    EXPECT_EQ(checkStationCallsign("ABCDEFGHIJKL"), StationCheck::Ok);
    EXPECT_EQ(checkStationCallsign("ABCDEFGHIJKLM"), StationCheck::TooLong);
    EXPECT_EQ(checkStationCallsign(""), StationCheck::Empty);
    for (const char* bad : {"F5 ABC", "F5-ABC", "f5abc", "F5ABÉ"})
        EXPECT_EQ(checkStationCallsign(bad), StationCheck::BadCharacter) << bad;
}

TEST(StationCallsign, StoredListPositions) {
    EXPECT_EQ(listIndexFromSetting("0", 12), 0);
    EXPECT_EQ(listIndexFromSetting("11", 12), 11);
    EXPECT_EQ(listIndexFromSetting("-1", 12), -1);
    // Outside the list or unreadable: the first entry.
    for (const char* odd : {"12", "-2", "", "abc", "3x", "99999999999"})
        EXPECT_EQ(listIndexFromSetting(odd, 12), 0) << odd;
}

}  // namespace
}  // namespace dxcc
