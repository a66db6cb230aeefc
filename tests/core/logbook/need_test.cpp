#include "core/logbook/need.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace dxcc {
namespace {

constexpr Need N = Need::Never, W = Need::Worked, C = Need::Confirmed;

// The one verdict the entry panel and the cluster both give. A contact of no
// band or no class leaves that status out.
TEST(NeededVerdict, TheFirstThingAContactWouldBring) {
    struct Case {
        Need entity;
        std::optional<Need> band, mode;
        NeededVerdict verdict;
    };
    const Case cases[] = {
        {N, N, N, NeededVerdict::NewEntity},
        {N, std::nullopt, std::nullopt, NeededVerdict::NewEntity},
        {W, N, N, NeededVerdict::NewBand},
        {C, N, C, NeededVerdict::NewBand},
        {C, C, N, NeededVerdict::NewMode},
        {W, W, N, NeededVerdict::NewMode},
        {C, W, C, NeededVerdict::ToConfirm},
        {C, C, W, NeededVerdict::ToConfirm},
        {W, W, W, NeededVerdict::ToConfirm},
        {C, C, C, NeededVerdict::AlreadyConfirmed},
        // Without a band or a class, only what is known counts.
        {W, std::nullopt, std::nullopt, NeededVerdict::ToConfirm},
        {C, std::nullopt, std::nullopt, NeededVerdict::AlreadyConfirmed},
        {C, C, std::nullopt, NeededVerdict::AlreadyConfirmed},
        {C, std::nullopt, N, NeededVerdict::NewMode},
    };
    const auto letter = [](std::optional<Need> n) {
        return n ? std::string(needLetter(*n)) : std::string("-");
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(letter(c.entity) + letter(c.band) + letter(c.mode));
        EXPECT_EQ(neededVerdict(c.entity, c.band, c.mode), c.verdict);
    }
    EXPECT_EQ(needLetter(N), "N");
    EXPECT_EQ(needLetter(W), "W");
    EXPECT_EQ(needLetter(C), "C");
}

// The lists paint a new band and a new class of modes alike.
TEST(NeedColour, TheColourOfEachVerdict) {
    EXPECT_EQ(needColourOf(NeededVerdict::NewEntity), NeedColour::NewEntity);
    EXPECT_EQ(needColourOf(NeededVerdict::NewBand), NeedColour::NewSlot);
    EXPECT_EQ(needColourOf(NeededVerdict::NewMode), NeedColour::NewSlot);
    EXPECT_EQ(needColourOf(NeededVerdict::ToConfirm), NeedColour::ToConfirm);
    EXPECT_EQ(needColourOf(NeededVerdict::AlreadyConfirmed), NeedColour::Confirmed);
}

// "Needed" is any status known to be never worked; an unknown one is not.
TEST(NeedColour, NeededIsAnyNeverWorked) {
    EXPECT_TRUE(anyNeverWorked(N, std::nullopt, std::nullopt));
    EXPECT_TRUE(anyNeverWorked(C, std::nullopt, N));
    EXPECT_TRUE(anyNeverWorked(W, N, C));
    EXPECT_FALSE(anyNeverWorked(W, W, std::nullopt));
    EXPECT_FALSE(anyNeverWorked(std::nullopt, std::nullopt, std::nullopt));
}

}  // namespace
}  // namespace dxcc
