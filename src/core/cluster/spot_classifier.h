#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/cluster/spot_line.h"
#include "core/logbook/need.h"
#include "core/record/mode_table.h"

namespace dxcc {
class PrefixTable;
}

namespace dxcc::cluster {

// The needed status the spots are classified against (the log's needed-status
// index in the program, a table in the tests).
class NeededLookup {
public:
    virtual ~NeededLookup() = default;
    virtual Need entity(std::string_view dxccPrefix) const = 0;
    virtual Need band(std::string_view dxccPrefix, std::string_view bandLabel) const = 0;
    // Asked only for a class (never None).
    virtual Need mode(std::string_view dxccPrefix, ModeClass modeClass) const = 0;
};

// The mode a spot's comment names ("CW", "FT8 -12dB", "USB up 5"): the first
// word of the comment that names a mode (see modeOfCommentWord); an empty
// word and None when no word does.
CommentMode modeOfComment(std::string_view comment);

// The class of the IARU Region 1 band plan segment holding the frequency;
// None outside the segments (beacons, satellites, out of the bands).
ModeClass modeClassOfFrequency(double kilohertz);

struct ClassifiedSpot {
    Spot spot;
    std::string dxccPrefix;  // trimmed; empty when the prefix lookup finds none
    std::string entityName;  // trimmed
    std::string band;        // the log's band label ("14 Mhz "), empty outside the bands
    ModeClass modeClass = ModeClass::None;
    std::string namedMode;           // the mode the comment names ("FT8"), empty when none
    std::optional<Need> entityNeed;  // none without an entity
    std::optional<Need> bandNeed;    // none without an entity or a band
    std::optional<Need> modeNeed;    // none without an entity or a class
    NeedColour colour = NeedColour::Unknown;
    // One of the three statuses is "never worked".
    bool needed() const;
};

// The entity, band, class of mode and needed statuses of a spot.
ClassifiedSpot classifySpot(Spot spot, const PrefixTable& prefixes, const NeededLookup& needed);

// What the cluster window calls a class of modes: "SSB", "CW", "Numérique"
// (every data mode, which the awards count as RTTY); empty for None. UTF-8.
std::string_view spotClassText(ModeClass modeClass);

// The window's mode cell: the class, and beside it the mode the comment
// names when that says more ("Numérique (FT8)", "CW"). UTF-8.
std::string spotModeText(const ClassifiedSpot& spot);

// The status letter ('N', 'W', 'C'), empty when there is none.
std::string_view needText(const std::optional<Need>& need);

// The command line's line for a spot: UTC time, frequency as given, DX
// callsign, band label (trimmed), class of mode (award name, or empty), DXCC
// prefix, entity name, the three statuses, tab-separated.
std::string spotReportLine(const ClassifiedSpot& spot);

// What the cluster window shows: only the needed spots, some bands, some
// classes of modes. Empty band and class choices let everything through.
struct SpotFilter {
    bool neededOnly = false;
    std::string bands;    // trimmed band labels, each between '|' ("|14 Mhz|7.0 Mhz|"); empty = all
    uint8_t classes = 0;  // bit (1 << ModeClass) per class shown, 0 = all classes
    bool accepts(const ClassifiedSpot& spot) const;
};

// The list of the newest spots, newest first. The same callsign spotted
// again on the same band within ten minutes updates its row rather than
// adding one, and the row comes back to the top; beyond the capacity the
// oldest spot goes.
class SpotList {
public:
    static constexpr size_t kDefaultCapacity = 2000;
    static constexpr int64_t kSameSpotSeconds = 600;
    explicit SpotList(size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

    struct Added {
        bool updated = false;  // an existing row took the spot and moved to row 0
        size_t row = 0;        // where that row was
        bool dropped = false;  // the oldest row went to make room
    };
    // `receivedAt`: seconds on any steady clock.
    Added add(ClassifiedSpot spot, int64_t receivedAt);
    // The row that a spot of `dx` on `band` at `at` would update.
    std::optional<size_t> sameSpotRow(std::string_view dx, std::string_view band, int64_t at) const;
    bool full() const { return rows_.size() >= capacity_; }
    void dropOldest();
    void clear() {
        rows_.clear();
        keys_.clear();
    }
    // A batch of spots received together (oldest first) is added in two
    // steps, so that a view can be told of the change as a few removals and
    // one insertion at the top: `planBatch` says which rows go (those a spot
    // of the batch updates, then the oldest beyond the capacity) and which
    // spots come to the top; `removeRows` and `addOnTop` carry it out. The
    // list ends as adding the spots one at a time would leave it.
    struct BatchPlan {
        std::vector<size_t> removed;  // rows of the list now, ascending
        std::vector<size_t> top;      // the batch's spots that come to the top, newest first
        std::vector<bool> newRow;     // per spot of the batch: took a row of its own
        // The removed rows as runs of neighbours (first row, count), the
        // lowest run first: removed in this order, the rows above a run keep
        // their numbers.
        std::vector<std::pair<size_t, size_t>> removedRuns() const;
    };
    BatchPlan planBatch(const std::vector<ClassifiedSpot>& spots, int64_t receivedAt) const;
    void removeRows(size_t first, size_t count);
    void addOnTop(std::vector<ClassifiedSpot> newestFirst, int64_t receivedAt);
    // Classifies every spot again (the log or the prefixes changed); the rows
    // keep their places.
    void reclassify(const PrefixTable& prefixes, const NeededLookup& needed);

    size_t size() const { return rows_.size(); }
    const ClassifiedSpot& at(size_t row) const { return rows_[row].spot; }

private:
    struct Row {
        ClassifiedSpot spot;
        int64_t lastSeen;
        uint64_t key;  // hash of the callsign and the band, to compare rows quickly
    };
    static uint64_t keyOf(std::string_view dx, std::string_view band);
    void forget(uint64_t key);

    size_t capacity_;
    std::deque<Row> rows_;
    // How many rows hold each key: a spot of a callsign and band that no row
    // holds (most of them in a busy hour) is known new without a search.
    std::unordered_map<uint64_t, uint32_t> keys_;
};

}  // namespace dxcc::cluster
