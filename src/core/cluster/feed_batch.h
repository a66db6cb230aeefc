#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cluster/spot_classifier.h"

namespace dxcc::cluster {

// The server's other lines the cluster window keeps in its console.
inline constexpr size_t kConsoleLines = 500;

// Spots and other lines that came faster than a window can show them.
struct Unshown {
    uint64_t spots = 0;
    uint64_t lines = 0;
    Unshown& operator+=(const Unshown& more) {
        spots += more.spots;
        lines += more.lines;
        return *this;
    }
};

// What the reading side hands the window at once: the newest spots and other
// lines, oldest first, and how many went unshown since the last batch.
struct FeedBatch {
    std::vector<Spot> spots;
    std::vector<std::string> lines;
    Unshown dropped;
};

// What a count of unshown lines reads ("Arrivés trop vite, non affichés :
// 12 spots, 1 autre ligne."); empty when there were none. UTF-8.
std::string unshownText(const Unshown& unshown);

// Gathers what a server sends, away from the window, into batches that the
// window takes a few times a second at most. The window holds one batch at a
// time; meanwhile the next one gathers, keeping the newest spots and lines up
// to its limits and counting those it lets go, so a flood costs the window one
// bounded batch per interval whatever its size.
class FeedBatcher {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Delay = std::chrono::milliseconds;
    struct Limits {
        size_t spots = SpotList::kDefaultCapacity;  // no more than the window's list holds
        // The console keeps a line for the note of what was left out.
        size_t lines = kConsoleLines - 1;
        Delay interval = Delay(250);
    };
    FeedBatcher() : FeedBatcher(Limits{}) {}
    explicit FeedBatcher(Limits limits) : limits_(limits) {}

    void spot(Spot spot);
    void line(std::string_view text);
    // How long until the next batch may go: zero when it may go now; nothing
    // when there is nothing to hand over or the window still holds a batch.
    std::optional<Delay> wait(TimePoint now) const;
    // What has gathered, made into a batch that the window holds until `shown`.
    FeedBatch take(TimePoint now);
    void shown() { out_ = false; }
    // Nothing gathered and no batch held by the window: all was shown.
    bool idle() const { return !out_ && empty(); }

private:
    bool empty() const;

    Limits limits_;
    std::deque<Spot> spots_;
    std::deque<std::string> lines_;
    Unshown dropped_;
    std::optional<TimePoint> lastTaken_;
    bool out_ = false;
};

}  // namespace dxcc::cluster
