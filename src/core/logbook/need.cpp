#include "core/logbook/need.h"

#include <cstddef>
#include <iterator>

namespace dxcc {

std::string_view needLetter(Need need) {
    switch (need) {
        case Need::Never:
            return "N";
        case Need::Worked:
            return "W";
        case Need::Confirmed:
            break;
    }
    return "C";
}

NeededVerdict neededVerdict(Need entity, std::optional<Need> band, std::optional<Need> mode) {
    if (entity == Need::Never) return NeededVerdict::NewEntity;
    if (band == Need::Never) return NeededVerdict::NewBand;
    if (mode == Need::Never) return NeededVerdict::NewMode;
    if (entity == Need::Worked || band == Need::Worked || mode == Need::Worked)
        return NeededVerdict::ToConfirm;
    return NeededVerdict::AlreadyConfirmed;
}

bool anyNeverWorked(std::optional<Need> entity, std::optional<Need> band,
                    std::optional<Need> mode) {
    return entity == Need::Never || band == Need::Never || mode == Need::Never;
}

NeedColour needColourOf(NeededVerdict verdict) {
    // In the order of the verdicts.
    static constexpr NeedColour kColours[] = {NeedColour::NewEntity, NeedColour::NewSlot,
                                              NeedColour::NewSlot, NeedColour::ToConfirm,
                                              NeedColour::Confirmed};
    static_assert(std::size(kColours) == static_cast<size_t>(NeededVerdict::AlreadyConfirmed) + 1);
    return kColours[static_cast<size_t>(verdict)];
}

}  // namespace dxcc
