#include "core/awards/needed_index.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "award_test_log.h"
#include "core/base/program_constants.h"
#include "core/base/text_utils.h"
#include "core/record/qso_record.h"

namespace dxcc {
namespace {

using testing_support::AwardLog;
using testing_support::AwardQso;
using testing_support::awardRecord;

// The plain recount the engine must always agree with: one scan of the log,
// every QSO marking its entity alone, on its band and in its class.
class Recount {
public:
    explicit Recount(const Logbook& log) {
        for (size_t i = 0; i < log.size(); ++i) {
            const std::string_view r = log.record(i);
            const std::string p(trimBlanks(recordField(r, Field::DxccPrefix)));
            if (p.empty()) continue;
            const bool confirmed = recordConfirmed(r);
            mark({p, ""}, confirmed);
            const std::string band(trimBlanks(recordField(r, Field::Band)));
            mark({p, "band " + band}, confirmed);
            if (const ModeClass c = neededClassOf(recordField(r, Field::Mode));
                c != ModeClass::None) {
                mark({p, "class " + std::to_string(int(c))}, confirmed);
                mark({p, "band " + band + " class " + std::to_string(int(c))}, confirmed);
            }
        }
    }
    Need entity(const std::string& p) const { return need({p, ""}); }
    Need band(const std::string& p, std::string_view band) const {
        return need({p, "band " + std::string(trimBlanks(band))});
    }
    Need mode(const std::string& p, ModeClass c) const {
        return need({p, "class " + std::to_string(int(c))});
    }
    Need bandAndMode(const std::string& p, std::string_view band, ModeClass c) const {
        return need(
            {p, "band " + std::string(trimBlanks(band)) + " class " + std::to_string(int(c))});
    }
    std::set<std::string> prefixes() const {
        std::set<std::string> all;
        for (const auto& [key, need] : cells_) all.insert(key.first);
        return all;
    }

private:
    using Key = std::pair<std::string, std::string>;
    void mark(const Key& key, bool confirmed) {
        Need& n = cells_[key];
        if (confirmed)
            n = Need::Confirmed;
        else if (n != Need::Confirmed)
            n = Need::Worked;
    }
    Need need(const Key& key) const {
        const auto it = cells_.find(key);
        return it == cells_.end() ? Need::Never : it->second;
    }
    std::map<Key, Need> cells_;
};

// Every answer of the engine against the recount, over the log's entities,
// some it never saw, every band of the entry list plus two others, every class.
void expectAgrees(const NeededIndex& index, const Logbook& log, const std::string& step) {
    SCOPED_TRACE(step);
    const Recount recount(log);
    std::set<std::string> prefixes = recount.prefixes();
    const std::set<std::string> present = prefixes;
    prefixes.insert({"ZZ9", "f", "G"});
    std::vector<std::string> bands(kBands.begin(), kBands.end());
    bands.push_back("60M");
    bands.push_back("1.3Ghz");
    NeedCounts mixed;
    for (const std::string& p : prefixes) {
        ASSERT_EQ(index.entity(p), recount.entity(p)) << p;
        for (const std::string& b : bands)
            ASSERT_EQ(index.band(p, b), recount.band(p, b)) << p << " " << b;
        // Class None included: no QSO is counted there.
        for (ModeClass c : {ModeClass::None, ModeClass::Phone, ModeClass::Cw, ModeClass::Digital,
                            ModeClass::Satellite}) {
            ASSERT_EQ(index.mode(p, c), recount.mode(p, c)) << p << " " << int(c);
            for (const std::string& b : bands)
                ASSERT_EQ(index.bandAndMode(p, b, c), recount.bandAndMode(p, b, c))
                    << p << " " << b << " " << int(c);
        }
        mixed.worked += recount.entity(p) != Need::Never;
        mixed.confirmed += recount.entity(p) == Need::Confirmed;
    }
    EXPECT_EQ(index.counts(), mixed);
    EXPECT_EQ(index.entities().size(), present.size());
    EXPECT_EQ(index.rowCount(), log.size());
}

class NeededIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        station.set({
            {"F5AAA", "F", "SSB", "14 Mhz ", '*'},
            {"F6BBB", "F", "CW", "7.0 Mhz", ' '},
            {"DL1CC", "DL", "RTT", "14 Mhz ", ' '},
            {"JA1DD", "JA", "SAT", "144 Mhz", '*'},
            {"W1EE", "K", "FT8", "60M", ' '},
            {"XX1XX", "", "SSB", "14 Mhz ", '*'},
            {"G3FF", "G", "ZZZ", "21 Mhz ", ' '},
        });
        index.rebuild(station.log);
    }

    std::string record(const AwardQso& q) { return awardRecord(q); }

    AwardLog station;
    NeededIndex index;
};

TEST_F(NeededIndexTest, AgreesWithARecountAfterEachKindOfChange) {
    Logbook& log = station.log;
    struct Step {
        const char* name;
        std::function<LogChange()> change;
    };
    const std::vector<Step> steps = {
        {"built",
         [&] {
             return LogChange{LogChange::Kind::Inserted, log.size(), 0};
         }},
        {"append new entity",
         [&] {
             return log.appendRecord(record({"VK2AA", "VK", "CW", "28 Mhz "}));
         }},
        {"append worked only",
         [&] {
             return log.appendRecord(record({"DL2ZZ", "DL", "SSB", "14 Mhz ", ' '}));
         }},
        {"insert in date order",
         [&] {
             return log.insertInDateOrder(
                 record({"ZL1AB", "ZL", "DIG", "10 Mhz ", ' ', "01/01/01"}));
         }},
        {"insert block in the middle",
         [&] {
             return log.insertBlock(2, {record({"EA1X", "EA", "USB", "18 Mhz "}),
                                        record({"EA2Y", "EA", "CW", "18 Mhz ", ' '}),
                                        record({"F1ZZ", "F", "SAT", "432 Mhz", ' '})});
         }},
        {"modify: confirm",
         [&] {
             const std::string old(log.record(1));
             QsoFields f = parseRecord(old);
             f.qslMark = '*';
             return log.modifyAt(1, old, buildRecord(f));
         }},
        {"modify: other entity, band and mode",
         [&] {
             const std::string old(log.record(0));
             QsoFields f = parseRecord(old);
             f.dxccPrefix = "ON";
             f.band = "50 Mhz ";
             f.mode = "CW";
             return log.modifyAt(0, old, buildRecord(f));
         }},
        {"modify: prefix blanked",
         [&] {
             const std::string old(log.record(3));
             QsoFields f = parseRecord(old);
             f.dxccPrefix = "";
             return log.modifyAt(3, old, buildRecord(f));
         }},
        {"remove first", [&] { return log.removeAt(0, std::string(log.record(0))); }},
        {"remove last of an entity",
         [&] {
             for (size_t i = 0; i < log.size(); ++i)
                 if (trimBlanks(recordField(log.record(i), Field::DxccPrefix)) == "ZL")
                     return log.removeAt(i, std::string(log.record(i)));
             return LogChange{};
         }},
        {"confirmations",
         [&] {
             return log.confirmRows({0, 2, 4, log.size() - 1});
         }},
        {"read again (reset)",
         [&] {
             log.clear();
             log.load();
             return LogChange{};
         }},
        {"import appends a block",
         [&] {
             return log.insertBlock(log.size(), {record({"PY1A", "PY", "FT8", "14 Mhz "}),
                                                 record({"PY2B", "PY", "FT8", "20M", ' '})});
         }},
        {"changed on disk, read again",
         [&] {
             station.dir.write("F6XYZ_DXCC.log",
                               joinLines({record({"K1A", "K", "CW", "7.0 Mhz"}),
                                          record({"K2B", "K", "SSB", "7.0 Mhz", ' '})}));
             return log.appendRecord(record({"K3C", "K", "SAT", "144 Mhz", ' '}));
         }},
        {"emptied (reset)",
         [&] {
             log.createEmptyLog(log.stationCallsign());
             log.clear();
             log.load();
             return LogChange{};
         }},
        {"append to the empty log",
         [&] {
             return log.appendRecord(record({"3D2AA", "3D2/c", "SSB", "14 Mhz "}));
         }},
    };
    for (const Step& step : steps) {
        index.apply(log, step.change());
        expectAgrees(index, log, step.name);
    }
}

TEST_F(NeededIndexTest, AnswersForOneEntityByBandAndClass) {
    struct Row {
        const char* prefix;
        const char* band;
        ModeClass cls;
        Need entity, onBand, inClass;
    };
    const Row rows[] = {
        {"F", "14 Mhz ", ModeClass::Phone, Need::Confirmed, Need::Confirmed, Need::Confirmed},
        {"F", "7.0 Mhz", ModeClass::Cw, Need::Confirmed, Need::Worked, Need::Worked},
        {"F", "21 Mhz", ModeClass::Digital, Need::Confirmed, Need::Never, Need::Never},
        {"DL", "14 Mhz", ModeClass::Digital, Need::Worked, Need::Worked, Need::Worked},
        {"JA", "144 Mhz", ModeClass::Satellite, Need::Confirmed, Need::Confirmed, Need::Confirmed},
        {"K", "60M", ModeClass::Digital, Need::Worked, Need::Worked, Need::Worked},
        // A mode of no class still counts for the entity and its band.
        {"G", "21 Mhz ", ModeClass::Phone, Need::Worked, Need::Worked, Need::Never},
        // Case counts in a prefix, as in the award windows.
        {"f", "14 Mhz ", ModeClass::Phone, Need::Never, Need::Never, Need::Never},
        {"", "14 Mhz ", ModeClass::Phone, Need::Never, Need::Never, Need::Never},
        {"ZZ", "nowhere", ModeClass::Cw, Need::Never, Need::Never, Need::Never},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.prefix) + " " + r.band);
        EXPECT_EQ(index.entity(r.prefix), r.entity);
        EXPECT_EQ(index.band(r.prefix, r.band), r.onBand);
        EXPECT_EQ(index.mode(r.prefix, r.cls), r.inClass);
    }
    EXPECT_EQ(index.counts(), (NeedCounts{5, 2}));
    EXPECT_EQ(index.bandCounts("14 Mhz"), (NeedCounts{2, 1}));
    EXPECT_EQ(index.classCounts(ModeClass::Digital), (NeedCounts{2, 0}));
    // A QSO of no class is counted in none: asked for class None, never worked.
    EXPECT_EQ(index.classCounts(ModeClass::None), (NeedCounts{0, 0}));
    EXPECT_EQ(index.mode("G", ModeClass::None), Need::Never);
    EXPECT_EQ(index.bandAndMode("G", "21 Mhz", ModeClass::None), Need::Never);
    EXPECT_EQ(index.qsoCount(), 6u);
}

TEST_F(NeededIndexTest, EntitiesInTheAwardListOrderWithTheirClasses) {
    const std::vector<NeededIndex::EntityView> all = index.entities();
    std::vector<std::string> order;
    for (const auto& e : all) order.emplace_back(e.dxccPrefix);
    EXPECT_EQ(order, (std::vector<std::string>{"DL", "F", "G", "JA", "K"}));
    const auto& f = all[1];
    EXPECT_EQ(f.entity, Need::Confirmed);
    EXPECT_EQ(f.classes[modeClassIndex(ModeClass::Phone)], Need::Confirmed);
    EXPECT_EQ(f.classes[modeClassIndex(ModeClass::Cw)], Need::Worked);
    EXPECT_EQ(f.classes[modeClassIndex(ModeClass::Satellite)], Need::Never);
    EXPECT_FALSE(f.entityName.empty());
}

// Large blocks inserted and removed in the middle of a long log: the per-row
// keys are kept in blocks, split and dropped as the log grows and shrinks.
TEST(NeededIndexLargeTest, LongLogFollowsBlockInsertionsAndRemovals) {
    AwardLog station;
    const char* prefixes[] = {"F", "DL", "G", "K", "JA", "VK", "ZL", "EA", "I", "ON"};
    const char* bands[] = {"14 Mhz ", "7.0 Mhz", "21 Mhz ", "28 Mhz "};
    const char* modes[] = {"SSB", "CW", "FT8", "SAT"};
    auto make = [&](size_t n, size_t salt) {
        std::vector<std::string> records;
        for (size_t i = 0; i < n; ++i) {
            const size_t k = i * 7 + salt;
            records.push_back(awardRecord({"F5AAA", prefixes[k % 10], modes[k / 10 % 4],
                                           bands[k / 40 % 4], k % 3 == 0 ? '*' : ' '}));
        }
        return records;
    };
    station.setRecords(make(9000, 0));
    NeededIndex index;
    index.rebuild(station.log);
    Logbook& log = station.log;
    const std::vector<std::pair<const char*, std::function<LogChange()>>> steps = {
        {"big block in the middle", [&] { return log.insertBlock(4100, make(10000, 3)); }},
        {"small block at a block edge", [&] { return log.insertBlock(4096, make(5, 11)); }},
        {"confirm a spread",
         [&] {
             return log.confirmRows({1, 4097, 8191, 15000, 18000});
         }},
        {"remove across blocks", [&] { return log.removeAt(8192, std::string(log.record(8192))); }},
        {"append",
         [&] {
             return log.appendRecord(awardRecord({"W1A", "K", "SAT", "144 Mhz"}));
         }},
    };
    for (const auto& [name, change] : steps) {
        index.apply(log, change());
        expectAgrees(index, log, name);
    }
    // Every row's key still sits at its row: removing rows around the block
    // edges subtracts exactly what each of them had added.
    for (size_t row : {0, 4095, 4095, 4096, 8190, 12000, 18990}) {
        index.apply(log, log.removeAt(row, std::string(log.record(row))));
        expectAgrees(index, log, "removal at " + std::to_string(row));
    }
}

}  // namespace
// A log with hundreds of entities grows the engine's field caches; building
// again (a reload, a station change) must start from empty caches, not read
// the old ones' slots.
TEST(NeededIndexLargeTest, BuildingAgainAfterManyEntitiesAgreesWithARecount) {
    AwardLog station;
    std::vector<std::string> records;
    for (size_t i = 0; i < 400; ++i) {
        const std::string prefix = "P" + std::to_string(i);
        records.push_back(awardRecord({"F5AAA", prefix.c_str(), i % 2 ? "CW" : "SSB",
                                       i % 3 ? "14 Mhz " : "7.0 Mhz", i % 5 ? ' ' : '*'}));
    }
    station.setRecords(records);
    NeededIndex index;
    for (int pass = 0; pass < 3; ++pass) {
        index.rebuild(station.log);
        expectAgrees(index, station.log, "build " + std::to_string(pass));
    }
}

}  // namespace dxcc
