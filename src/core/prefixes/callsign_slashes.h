#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace dxcc {

// What the slashes of a callsign say about the place it was used from, read
// before any table is asked:
// - "MM" or "AM" after the first part: maritime or aeronautical mobile, which
//   counts for no entity;
// - "P", "M", "QRP", "QRPP", "LH" and "B" after the first part say nothing of
//   the place and are dropped;
// - of the parts left, the first two decide (a third, such as "/LGT", names no
//   place): a single digit after the callsign takes the place of its own area
//   digit (UA9ABC/3 is UA3ABC); otherwise the shorter part names the place
//   (EA8/F5ABC and F5ABC/EA8 are EA8), the first one on equal lengths.
// Empty parts ("F5ABC//P") are skipped. Letter case matters, as everywhere in
// the lookup. Allocates nothing: texts made up go into the caller's buffers.
struct SlashReading {
    enum class Kind {
        Plain,           // no '/': `place` is the callsign
        MaritimeMobile,  // nothing else is set
        Slashed,
    };
    Kind kind = Kind::Plain;
    // The callsign without the parts dropped, when some were and it is no
    // longer than an exact call: the exact calls are asked for it too.
    std::string_view withoutSuffixes;
    // The text whose longest prefix names the entity.
    std::string_view place;
    // The other part, asked when `place` names nothing (a suffix that names no
    // place, "/A"); empty when there is none.
    std::string_view other;
};

// Room for the texts a reading makes up; it must outlive the reading.
struct SlashBuffers {
    static constexpr size_t kSize = 16;
    std::array<char, kSize> withoutSuffixes{};
    std::array<char, kSize> areaChanged{};
};

SlashReading readSlashes(std::string_view callsign, SlashBuffers& buffers);

}  // namespace dxcc
