#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The vocabulary of need: what the log holds for an entity, and what a
// contact would bring. The entry panel, the DXCC table, the map, the cluster
// and the command line all speak it.
namespace dxcc {

// What the log holds for an entity (alone, on a band, or in a class of modes):
// never worked, worked but never confirmed, confirmed (QSL mark '*'). The
// letter is how the command line and the tables write it.
enum class Need : char { Never = 'N', Worked = 'W', Confirmed = 'C' };

// The status letter: "N", "W", "C".
std::string_view needLetter(Need need);

// What a contact with an entity on a band in a class of modes would bring,
// the first that holds in this order.
enum class NeededVerdict { NewEntity, NewBand, NewMode, ToConfirm, AlreadyConfirmed };

// The verdict for the entity's status and, when the contact has a band or a
// class of modes, its status there (a contact without one leaves it out):
// never worked the entity, then never on the band, then never in the class;
// then anything only worked; else all is confirmed.
NeededVerdict neededVerdict(Need entity, std::optional<Need> band, std::optional<Need> mode);

// One of the statuses known is "never worked": what the lists' "needed only"
// filters keep.
bool anyNeverWorked(std::optional<Need> entity, std::optional<Need> band, std::optional<Need> mode);

// How the lists of what the band brings (spots, decodes) paint a row, most
// wanted first: the verdict, a new band and a new class of modes alike.
enum class NeedColour : uint8_t {
    NewEntity,  // the entity was never worked
    NewSlot,    // worked, but never on this band or in this class of modes
    ToConfirm,  // worked there, not yet confirmed
    Confirmed,  // confirmed on the band and in the class
    Unknown,    // no entity found for the callsign
};
NeedColour needColourOf(NeededVerdict verdict);

}  // namespace dxcc
