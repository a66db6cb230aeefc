#include "core/logbook/need.h"

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

}  // namespace dxcc
