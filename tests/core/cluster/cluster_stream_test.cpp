#include "core/cluster/cluster_stream.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/cluster/spot_classifier.h"

namespace dxcc::cluster {
namespace {

struct RecordingLink : ClusterLink {
    std::vector<std::string> sent;
    void send(std::string_view bytes) override { sent.emplace_back(bytes); }
};

std::vector<std::string> linesOf(std::string_view bytes, size_t pieceSize = 0) {
    LineAssembler assembler;
    std::vector<std::string> lines;
    const auto keep = [&lines](std::string_view l) { lines.emplace_back(l); };
    if (pieceSize == 0) {
        assembler.feed(bytes, keep);
    } else {
        for (size_t i = 0; i < bytes.size(); i += pieceSize)
            assembler.feed(bytes.substr(i, pieceSize), keep);
    }
    return lines;
}

TEST(LineAssembler, KeepsOnlyTextWhateverTheServerSends) {
    using namespace std::string_literals;
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR LF and bare LF", "one\r\ntwo\nthree", {"one", "two"}},
        {"telnet negotiation around a line",
         "\xff\xfb\x01\xff\xfd\x03login\xff\xfe\x22 ok\r\n"s,
         {"login ok"}},
        {"subnegotiation dropped whole",
         "a\xff\xfa\x18\x01xterm\xff\xf0"
         "b\n"s,
         {"ab"}},
        {"escaped 255 and a lone command", "x\xff\xffy\xff\xf1z\n"s, {"xyz"}},
        {"control bytes, bell, escape, NUL", "\x1b[1mDX\x07\x00 de\x7f\n"s, {"[1mDX de"}},
        {"tab is a blank", "a\tb\n", {"a b"}},
        {"undefined code-page bytes dropped, accents kept", "caf\xe9\x81\x90\n"s, {"caf\xe9"}},
        {"empty lines kept", "\n\r\n", {"", ""}},
        {"a subnegotiation never ended stops at the line end",
         "a\xff\xfa\x18junk\r\nDX de\n"s,
         {"a", "DX de"}},
        {"the same after an IAC inside it", "\xff\xfa\x18\xff\nDX de\n"s, {"", "DX de"}},
        {"a subnegotiation longer than any option ends",
         "\xff\xfa" + std::string(300, 'x') + "\n",
         {std::string(300 - 256, 'x')}},
        {"a line end after a lone IAC still ends the line", "a\xff\nb\n"s, {"a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(linesOf(c.bytes), c.lines);
        // The same bytes one at a time: negotiation split across reads.
        EXPECT_EQ(linesOf(c.bytes, 1), c.lines);
    }
}

// A spot line from a numbered station, for the floods below.
std::string spotLine(int n) {
    return "DX de W3LPL: 14025.0 K" + std::to_string(n) + "A CW 0312Z\r\n";
}

TEST(ClusterConversation, SpotsComeThroughAfterAStraySubnegotiation) {
    RecordingLink link;
    std::vector<std::string> spots;
    ClusterConversation conversation(link, "F6ABC",
                                     {[&spots](const Spot& s) { spots.push_back(s.dx); }, {}});
    conversation.connected();
    // IAC SB and nothing to end it, then spots: the first line is lost, no more.
    conversation.received(std::string_view("\xff\xfa", 2));
    conversation.received(spotLine(1) + spotLine(2));
    conversation.received(std::string("\xff\xfa\x18", 3) + spotLine(3) + spotLine(4));
    EXPECT_EQ(spots, (std::vector<std::string>{"K2A", "K4A"}));
}

TEST(ClusterConversation, SpotsComeThroughAfterRandomBinaryData) {
    RecordingLink link;
    size_t spots = 0;
    ClusterConversation conversation(link, "F6ABC", {[&spots](const Spot&) { ++spots; }, {}});
    conversation.connected();
    uint32_t seed = 12345;
    const auto random = [&seed] {
        seed = seed * 1664525u + 1013904223u;  // the same data on every run
        return seed >> 24;
    };
    for (int round = 0; round < 500; ++round) {
        std::string noise(1 + random() * 8, '\0');
        for (char& c : noise) c = char(random());
        // Telnet's own bytes, often: the stray commands are what is at stake.
        for (size_t i = 0; i + 1 < noise.size(); i += 7) noise[i] = '\xff';
        const size_t before = spots;
        conversation.received(noise + "\r\n" + spotLine(round) + spotLine(round + 1));
        ASSERT_EQ(spots, before + 2) << "round " << round;
    }
}

TEST(LineAssembler, CutsOverlongLinesAndStaysBounded) {
    LineAssembler assembler;
    std::vector<size_t> sizes;
    const std::string chunk(100'000, 'x');
    for (int i = 0; i < 10; ++i) {
        assembler.feed(chunk, [&sizes](std::string_view l) { sizes.push_back(l.size()); });
        EXPECT_LE(assembler.pending().size(), kMaxLineBytes);
    }
    assembler.feed("\nshort\n", [&sizes](std::string_view l) { sizes.push_back(l.size()); });
    EXPECT_EQ(sizes, (std::vector<size_t>{kMaxLineBytes, 5}));
}

TEST(LoginPrompt, RecognisesTheServersQuestions) {
    for (std::string_view prompt :
         {"login: ", "login:", "Please enter your call: ", "Please enter your callsign:",
          "Enter your call:", "CALL:", "W3LPL login:", "Your call :"})
        EXPECT_TRUE(isLoginPrompt(prompt)) << prompt;
    for (std::string_view other :
         {"", "Hello", "logged in as F6ABC", "DX de W3LPL: 14025.0 JA1ABC login 0312Z",
          "call me later", "WWV de W0MU <18Z> : SFI=152"})
        EXPECT_FALSE(isLoginPrompt(other)) << other;
}

TEST(ClusterConversation, LogsInOnceAndSortsSpotsFromTheOtherLines) {
    RecordingLink link;
    std::vector<std::string> spots, console;
    ClusterConversation conversation(link, "F6ABC",
                                     {[&spots](const Spot& s) { spots.push_back(s.dx); },
                                      [&console](std::string_view l) { console.emplace_back(l); }});
    conversation.connected();
    conversation.received("Welcome to the cluster\r\nPlease enter your ");
    EXPECT_TRUE(link.sent.empty());
    conversation.received("call: ");
    EXPECT_EQ(link.sent, (std::vector<std::string>{"F6ABC\r\n"}));
    // The server goes on at once after the prompt, on the same line.
    conversation.received("DX de W3LPL: 14025.0 JA1ABC CW 0312Z\r\nlogin: \r\n");
    EXPECT_EQ(link.sent.size(), 1u);  // a second prompt is not answered again
    conversation.received("  7013.5 OH2BH 8-Dec-2026 1845Z <F5XYZ>\r\n");
    EXPECT_EQ(spots, (std::vector<std::string>{"JA1ABC", "OH2BH"}));
    EXPECT_EQ(console, (std::vector<std::string>{"Welcome to the cluster",
                                                 "Please enter your call: ", "login: "}));

    conversation.command("SH/DX 30\r\nBYE");
    EXPECT_EQ(link.sent.back(), "SH/DX 30BYE\r\n");

    // A new connection logs in again, and a prompt sent as a whole line counts.
    conversation.connected();
    EXPECT_FALSE(conversation.loggedIn());
    conversation.received("login:\n");
    EXPECT_EQ(link.sent.back(), "F6ABC\r\n");
    EXPECT_TRUE(conversation.loggedIn());
}

// What a server sends just before it closes counts, even without a line end;
// a close after a complete line adds nothing.
TEST(ClusterConversation, ALastLineCutByTheCloseIsReadWhole) {
    RecordingLink link;
    std::vector<std::string> spots, console;
    ClusterConversation conversation(link, "F6ABC",
                                     {[&spots](const Spot& s) { spots.push_back(s.dx); },
                                      [&console](std::string_view l) { console.emplace_back(l); }});
    conversation.received("bye\r\n");
    conversation.closed();
    EXPECT_EQ(console, std::vector<std::string>{"bye"});
    conversation.received("DX de W3LPL: 14025.0 JA1ABC CW 0312Z");
    EXPECT_TRUE(spots.empty());
    conversation.closed();
    EXPECT_EQ(spots, std::vector<std::string>{"JA1ABC"});
    conversation.closed();
    EXPECT_EQ(spots.size() + console.size(), 2u);
}

TEST(ReconnectSchedule, GrowsToItsLongestWaitAndStartsAgainAfterASuccess) {
    using D = ReconnectSchedule::Delay;
    ReconnectSchedule schedule;
    std::vector<long> waits;
    for (int i = 0; i < 8; ++i) waits.push_back(static_cast<long>(schedule.next().count()));
    EXPECT_EQ(waits, (std::vector<long>{2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000}));
    schedule.connected();
    EXPECT_EQ(schedule.next(), D(2000));

    ReconnectSchedule quick(D(10), D(25));
    EXPECT_EQ(quick.next(), D(10));
    EXPECT_EQ(quick.next(), D(20));
    EXPECT_EQ(quick.next(), D(25));
}

}  // namespace
}  // namespace dxcc::cluster

// Live heap bytes (the sanitizer's count under AddressSanitizer, which keeps
// freed memory aside for a while).
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VEL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VEL_ASAN 1
#endif
#ifdef VEL_ASAN
extern "C" size_t __sanitizer_get_current_allocated_bytes();
size_t liveHeapBytes() {
    return __sanitizer_get_current_allocated_bytes();
}
#else
#include <malloc.h>
size_t liveHeapBytes() {
    return mallinfo2().uordblks;
}
#endif

namespace dxcc::cluster {
namespace {

TEST(ClusterFlood, AMillionLinesLeaveTheMemoryFlat) {
    RecordingLink link;
    SpotList list;
    size_t spots = 0, others = 0;
    ClusterConversation conversation(link, "F6XYZ",
                                     {[&](const Spot& s) {
                                          ClassifiedSpot c;
                                          c.spot = s;
                                          c.band = "14 Mhz";
                                          // A minute apart: the ten-minute search stays short.
                                          list.add(std::move(c), int64_t(spots++) * 60);
                                      },
                                      [&](std::string_view) { ++others; }});
    conversation.connected();
    std::string chunk;
    size_t heapAfterWarmUp = 0;
    for (int round = 0; round < 100; ++round) {
        chunk.clear();
        for (int i = 0; i < 10'000; ++i) {
            const int n = round * 10'000 + i;
            chunk += i % 10 == 9 ? "talk line with no spot in it\r\n"
                                 : "DX de W3LPL: 14025.0 K" + std::to_string(n) + "A CW 0312Z\r\n";
        }
        conversation.received(chunk);
        if (round == 9) heapAfterWarmUp = liveHeapBytes();
    }
    EXPECT_EQ(spots, 900'000u);
    EXPECT_EQ(others, 100'000u);
    EXPECT_EQ(list.size(), SpotList::kDefaultCapacity);
    // From 100,000 lines to 1,000,000, the live heap grows by less than 1 MB.
    const size_t heapAtEnd = liveHeapBytes();
    EXPECT_LT(heapAtEnd, heapAfterWarmUp + (1u << 20)) << heapAfterWarmUp << " -> " << heapAtEnd;
}

}  // namespace
}  // namespace dxcc::cluster
