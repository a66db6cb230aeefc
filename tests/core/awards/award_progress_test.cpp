#include "core/awards/award_progress.h"

#include <gtest/gtest.h>

#include <functional>

#include "award_test_log.h"
#include "core/awards/award_evaluation.h"
#include "core/logbook/logbook.h"

namespace dxcc {
namespace {

using testing_support::AwardLog;
using testing_support::AwardQso;

TEST(AwardProgressTest, CurvesCountEachEntityFromItsEarliestQsoOfTheKind) {
    AwardLog station;
    // Out of date order on purpose; confirmation of G only later.
    station.set({
        {"F5AA", "F", "SSB", "14 Mhz ", ' ', "10/03/05"},
        {"G3AA", "G", "CW", "7.0 Mhz", ' ', "01/01/05"},
        {"F6BB", "F", "CW", "14 Mhz ", '*', "05/01/05"},
        {"G4BB", "G", "SSB", "14 Mhz ", '*', "20/06/07"},
        {"DL1A", "DL", "SSB", "14 Mhz ", ' ', "05/01/05"},
        {"EA1A", "", "SSB", "14 Mhz ", '*', "01/01/01"},   // no entity
        {"K1AA", "K", "SSB", "14 Mhz ", '*', "32/01/05"},  // unreadable date
    });
    const AwardProgress mixed = awardProgress(station.log, *findAward("Mixed"));
    const int64_t d1 = dayNumber(2005, 1, 1), d5 = dayNumber(2005, 1, 5);
    EXPECT_EQ(mixed.worked, (std::vector<ProgressStep>{{d1, 1}, {d5, 3}}));
    EXPECT_EQ(mixed.confirmed, (std::vector<ProgressStep>{{d5, 1}, {dayNumber(2007, 6, 20), 2}}));
    EXPECT_EQ(mixed.undated, 1u);

    const AwardProgress cw = awardProgress(station.log, *findAward("CW"));
    EXPECT_EQ(cw.worked, (std::vector<ProgressStep>{{d1, 1}, {d5, 2}}));
    EXPECT_EQ(cw.confirmed, (std::vector<ProgressStep>{{d5, 1}}));

    const AwardProgress band = awardProgress(station.log, *findAward("14 Mhz"));
    EXPECT_EQ(band.worked, (std::vector<ProgressStep>{{d5, 2}, {dayNumber(2007, 6, 20), 3}}));
    EXPECT_EQ(band.confirmed, (std::vector<ProgressStep>{{d5, 1}, {dayNumber(2007, 6, 20), 2}}));
    EXPECT_EQ(dayReached(mixed.worked, 2), d5);
    EXPECT_EQ(dayReached(mixed.worked, 4), std::nullopt);
}

// Each kind of change, followed by the tracker, gives what a new pass gives.
TEST(AwardProgressTest, TrackerFollowsEveryKindOfChangeLikeARecount) {
    AwardLog station;
    const auto record = [](const char* call, const char* prefix, const char* mode, char qsl,
                           const char* date) {
        AwardQso q{call, prefix, mode, "14 Mhz ", qsl, date};
        return testing_support::awardRecord(q);
    };
    Logbook& log = station.log;
    const std::vector<std::function<LogChange()>> changes = {
        [&] { return log.appendRecord(record("DL1A", "DL", "CW", ' ', "05/01/04")); },
        [&] { return log.insertInDateOrder(record("G4BB", "G", "CW", '*', "20/06/03")); },
        [&] {
            return log.insertBlock(1, {record("JA1A", "JA", "SSB", '*', "01/01/99"),
                                       record("VK2A", "VK", "CW", ' ', "xx/01/99")});
        },
        [&] {
            return log.confirmRows({0, 4});
        },
        [&] {
            return log.modifyAt(0, std::string(log.record(0)),
                                record("F5AA", "F", "CW", ' ', "10/03/05"));
        },
        [&] { return log.removeAt(2, std::string(log.record(2))); },
        [&] { return log.appendRecord(record("EA1A", "", "CW", '*', "01/01/01")); },
    };
    for (const AwardDefinition* award :
         {findAward("Mixed"), findAward("CW"), findAward("14 Mhz")}) {
        station.set({{"F5AA", "F", "SSB", "14 Mhz ", ' ', "10/03/05"}});
        ProgressTracker tracker(*award);
        tracker.rebuild(log);
        for (size_t i = 0; i < changes.size(); ++i) {
            tracker.apply(log, changes[i]());
            const AwardProgress recount = awardProgress(log, *award);
            const AwardProgress followed = tracker.progress();
            EXPECT_EQ(followed.worked, recount.worked) << award->name << " change " << i;
            EXPECT_EQ(followed.confirmed, recount.confirmed) << award->name << " change " << i;
            EXPECT_EQ(followed.undated, recount.undated) << award->name << " change " << i;
        }
    }
}

TEST(AwardProgressTest, YearTicksThinOutOverLongSpans) {
    struct Case {
        int64_t first, last;
        std::vector<int> years;
    };
    const Case cases[] = {
        {dayNumber(2005, 1, 1), dayNumber(2007, 6, 1), {2005, 2006, 2007}},
        {dayNumber(2005, 1, 2), dayNumber(2007, 6, 1), {2006, 2007}},
        {dayNumber(2005, 3, 1), dayNumber(2005, 9, 1), {}},
        {dayNumber(1990, 6, 1),
         dayNumber(2013, 1, 1),
         {1992, 1994, 1996, 1998, 2000, 2002, 2004, 2006, 2008, 2010, 2012}},
        {dayNumber(1950, 6, 1),
         dayNumber(2049, 1, 1),
         {1960, 1970, 1980, 1990, 2000, 2010, 2020, 2030, 2040}},
        {dayNumber(2010, 1, 1), dayNumber(2005, 1, 1), {}},
    };
    for (const Case& c : cases) {
        std::vector<int64_t> expected;
        for (int y : c.years) expected.push_back(dayNumber(y, 1, 1));
        EXPECT_EQ(yearTicks(c.first, c.last), expected) << yearOfDay(c.first);
    }
}

}  // namespace
}  // namespace dxcc
