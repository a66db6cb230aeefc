#include "core/cluster/feed_batch.h"

#include <gtest/gtest.h>

namespace dxcc::cluster {
namespace {

using Ms = std::chrono::milliseconds;
using Time = FeedBatcher::TimePoint;

Spot spotOf(const std::string& dx) {
    Spot s;
    s.dx = dx;
    return s;
}

std::vector<std::string> callsigns(const FeedBatch& batch) {
    std::vector<std::string> calls;
    for (const Spot& s : batch.spots) calls.push_back(s.dx);
    return calls;
}

TEST(FeedBatcher, HandsOverAtOnceThenNoMoreOftenThanItsInterval) {
    FeedBatcher batcher({10, 10, Ms(250)});
    const Time t0{};
    EXPECT_EQ(batcher.wait(t0), std::nullopt);  // nothing to hand over
    batcher.spot(spotOf("A1A"));
    EXPECT_EQ(batcher.wait(t0), Ms(0));  // the first spot after a quiet time goes at once
    FeedBatch first = batcher.take(t0);
    EXPECT_EQ(callsigns(first), std::vector<std::string>{"A1A"});

    batcher.line("talk");
    // The window still holds the first batch: nothing goes, however long.
    EXPECT_EQ(batcher.wait(t0 + Ms(1000)), std::nullopt);
    batcher.shown();
    EXPECT_EQ(batcher.wait(t0 + Ms(100)), Ms(150));
    EXPECT_EQ(batcher.wait(t0 + Ms(250)), Ms(0));
    const FeedBatch second = batcher.take(t0 + Ms(260));
    EXPECT_EQ(second.lines, std::vector<std::string>{"talk"});
    EXPECT_TRUE(second.spots.empty());
    EXPECT_FALSE(batcher.idle());  // the window holds the second batch
    batcher.shown();
    EXPECT_EQ(batcher.wait(t0 + Ms(2000)), std::nullopt);
    EXPECT_TRUE(batcher.idle());
    batcher.line("more");
    EXPECT_FALSE(batcher.idle());
}

TEST(FeedBatcher, AFloodKeepsTheNewestAndCountsWhatItLetGo) {
    FeedBatcher batcher({3, 2, Ms(250)});
    const Time t0{};
    for (int i = 0; i < 100'000; ++i) {
        if (i % 4 == 3)
            batcher.line("line " + std::to_string(i));
        else
            batcher.spot(spotOf("K" + std::to_string(i)));
    }
    FeedBatch batch = batcher.take(t0);
    EXPECT_EQ(callsigns(batch), (std::vector<std::string>{"K99996", "K99997", "K99998"}));
    EXPECT_EQ(batch.lines, (std::vector<std::string>{"line 99995", "line 99999"}));
    EXPECT_EQ(batch.dropped.spots, 75'000u - 3);
    EXPECT_EQ(batch.dropped.lines, 25'000u - 2);
    EXPECT_EQ(unshownText(batch.dropped),
              "Arrivés trop vite, non affichés : 74997 spots, 24998 autres lignes.");
    // The counts start again with the next batch.
    batcher.shown();
    batcher.spot(spotOf("A1A"));
    batch = batcher.take(t0 + Ms(300));
    EXPECT_EQ(batch.dropped.spots + batch.dropped.lines, 0u);
    EXPECT_EQ(unshownText(batch.dropped), "");
}

TEST(FeedBatcher, TheNoteNamesOnlyWhatWasLeftOut) {
    struct Case {
        uint64_t spots, lines;
        const char* text;
    };
    for (const Case& c :
         {Case{1, 0, "Arrivés trop vite, non affichés : 1 spot."},
          Case{0, 1, "Arrivés trop vite, non affichés : 1 autre ligne."},
          Case{2, 5, "Arrivés trop vite, non affichés : 2 spots, 5 autres lignes."}}) {
        EXPECT_EQ(unshownText({c.spots, c.lines}), c.text);
    }
}

}  // namespace
}  // namespace dxcc::cluster
