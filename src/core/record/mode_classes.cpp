#include "core/record/mode_classes.h"

#include <array>
#include <cstdint>

#include "core/record/qso_record.h"

namespace dxcc {

namespace {

struct LoggedMode {
    std::string_view text;  // as the log stores it: at most three characters
    ModeClass modeClass;
};

// Logged modes are the entry list's names and the first three letters of the
// ADIF mode names (RTTY is logged RTT, OLIVIA OLI, THOR THO, THRB THR).
constexpr LoggedMode kLoggedModes[] = {
    // Phone, with the digital voice and image modes the phone award credits.
    {"SSB", ModeClass::Phone},
    {"USB", ModeClass::Phone},
    {"LSB", ModeClass::Phone},
    {"AM", ModeClass::Phone},
    {"FM", ModeClass::Phone},
    {"C4F", ModeClass::Phone},
    {"DST", ModeClass::Phone},
    {"DMR", ModeClass::Phone},
    {"FRE", ModeClass::Phone},
    {"M17", ModeClass::Phone},
    {"SST", ModeClass::Phone},
    {"FAX", ModeClass::Phone},
    {"ATV", ModeClass::Phone},
    {"CW", ModeClass::Cw},
    // Digital: the entry list's DIG and the ADIF data modes.
    {"DIG", ModeClass::Digital},
    {"RTT", ModeClass::Digital},
    {"PSK", ModeClass::Digital},
    {"QPS", ModeClass::Digital},
    {"HEL", ModeClass::Digital},
    {"MFS", ModeClass::Digital},
    {"FT8", ModeClass::Digital},
    {"FT4", ModeClass::Digital},
    {"FST", ModeClass::Digital},
    {"JS8", ModeClass::Digital},
    {"FSQ", ModeClass::Digital},
    {"JT6", ModeClass::Digital},
    {"JT9", ModeClass::Digital},
    {"JT4", ModeClass::Digital},
    {"Q65", ModeClass::Digital},
    {"Q15", ModeClass::Digital},
    {"QRA", ModeClass::Digital},
    {"MSK", ModeClass::Digital},
    {"FSK", ModeClass::Digital},
    {"ISC", ModeClass::Digital},
    {"OLI", ModeClass::Digital},
    {"CON", ModeClass::Digital},
    {"THR", ModeClass::Digital},
    {"THO", ModeClass::Digital},
    {"DOM", ModeClass::Digital},
    {"MT6", ModeClass::Digital},
    {"PAC", ModeClass::Digital},
    {"PKT", ModeClass::Digital},
    {"PAX", ModeClass::Digital},
    {"ROS", ModeClass::Digital},
    {"ARD", ModeClass::Digital},
    {"VAR", ModeClass::Digital},
    {"WIN", ModeClass::Digital},
    {"CHI", ModeClass::Digital},
    {"CLO", ModeClass::Digital},
    {"DYN", ModeClass::Digital},
    {"OPE", ModeClass::Digital},
    {"T10", ModeClass::Digital},
    {"TOR", ModeClass::Digital},
    {"AMT", ModeClass::Digital},
    {"GTO", ModeClass::Digital},
    {"V4", ModeClass::Digital},
    {"WSP", ModeClass::Digital},
};

// A mode of at most three bytes packed with its length; never zero.
constexpr uint32_t packMode(std::string_view mode) {
    uint32_t key = static_cast<uint32_t>(mode.size()) << 24;
    for (size_t i = 0; i < mode.size(); ++i)
        key |= uint32_t{static_cast<unsigned char>(mode[i])} << (8 * i);
    return key;
}

struct Slot {
    uint32_t key = 0;
    ModeClass modeClass = ModeClass::None;
};

constexpr size_t kSlotBits = 7;
constexpr size_t kSlotCount = size_t{1} << kSlotBits;
static_assert(std::size(kLoggedModes) * 2 <= kSlotCount);

constexpr size_t homeSlot(uint32_t key) {
    return (key * 2654435761u) >> (32 - kSlotBits);
}

// The scans of a million records look a mode up per record: an open-addressing
// table built at compile time.
constexpr std::array<Slot, kSlotCount> buildSlots() {
    std::array<Slot, kSlotCount> slots{};
    for (const LoggedMode& m : kLoggedModes) {
        const uint32_t key = packMode(m.text);
        size_t s = homeSlot(key);
        while (slots[s].key != 0) s = (s + 1) % kSlotCount;
        slots[s] = Slot{key, m.modeClass};
    }
    return slots;
}

constexpr std::array<Slot, kSlotCount> kSlots = buildSlots();

}  // namespace

ModeClass modeClassOf(std::string_view mode) {
    mode = trimBlanks(mode);
    if (mode.empty() || mode.size() > 3) return ModeClass::None;
    const uint32_t key = packMode(mode);
    for (size_t s = homeSlot(key);; s = (s + 1) % kSlotCount) {
        if (kSlots[s].key == key) return kSlots[s].modeClass;
        if (kSlots[s].key == 0) return ModeClass::None;
    }
}

std::string_view modeClassText(ModeClass modeClass) {
    switch (modeClass) {
        case ModeClass::Phone:
            return "SSB";
        case ModeClass::Cw:
            return "CW";
        case ModeClass::Digital:
            return "RTTY";
        case ModeClass::None:
            break;
    }
    return {};
}

}  // namespace dxcc
