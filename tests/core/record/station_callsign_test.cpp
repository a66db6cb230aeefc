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

}  // namespace
}  // namespace dxcc
