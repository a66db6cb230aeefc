#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/mode_table.h"

namespace dxcc::radio {

// What a radio tells at one poll.
struct RadioReading {
    int64_t hertz = 0;
    std::string mode;  // the rig library's mode name: "USB", "CWR", "PKTUSB"...
    bool operator==(const RadioReading&) const = default;
};

// A radio as the program sees it: frequency and mode in, tune out.
class Radio {
public:
    virtual ~Radio() = default;
    // The current frequency and mode; nothing when the radio did not answer.
    virtual std::optional<RadioReading> read() = 0;
    virtual bool tune(int64_t hertz) = 0;
};

// The entry modes a radio mode stands for, best first: USB and LSB are SSB,
// CW and CWR are CW, RTTY and RTTYR are RTTY (else the digital entry), the
// data modes are the digital entry, FM and AM themselves. Empty for a mode
// the log has no entry for.
std::vector<std::string_view> entryModesOfRadio(std::string_view radioMode);

// What the entry form selects when the radio changes: the positions of its
// band and mode boxes, nothing where the radio says nothing the box offers.
struct FormSelection {
    std::optional<size_t> band;
    std::optional<size_t> mode;
    bool operator==(const FormSelection&) const = default;
};
FormSelection formSelectionFor(const RadioReading& reading,
                               std::span<const std::string_view> bandItems,
                               std::span<const std::string_view> modeItems);

// What the entry form selects for a spot chosen in the cluster: its band
// (a log band label) and the entry of its class of modes.
FormSelection formSelectionForSpot(std::string_view bandLabel, ModeClass modeClass,
                                   std::span<const std::string_view> bandItems,
                                   std::span<const std::string_view> modeItems);

// The radio's frequency for the status field: "14 074,000 kHz".
std::string frequencyText(int64_t hertz);

// A spot's frequency (kHz, as the cluster wrote it) as the radio takes it.
int64_t hertzOfKilohertz(double kilohertz);

}  // namespace dxcc::radio
