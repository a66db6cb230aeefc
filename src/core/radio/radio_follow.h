#pragma once

#include <chrono>
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
    // Goes to `hertz`, and to `mode` (a rig library mode name) unless empty.
    virtual bool tune(int64_t hertz, std::string_view mode) = 0;
};

// The highest frequency a radio may report: 300 GHz, the top of the radio
// spectrum. A radio library reports a floating-point frequency: a broken
// radio or a hostile network radio server can send anything.
inline constexpr double kHighestRadioHertz = 300e9;

// A frequency reported by a radio, whole hertz; nothing for a value that no
// radio can be on (not a number, infinite, negative, above 300 GHz), which
// counts as no answer.
std::optional<int64_t> radioHertz(double hertz);

// The radio mode to set for a spot of a class of modes on a frequency (see
// radioModeOfClass): phone on the upper sideband from 10 MHz up and on the
// lower one below.
std::string_view radioModeForSpot(ModeClass modeClass, int64_t hertz, bool radioHasDataMode);

// What the entry form selects when the radio changes: the band, as an item of
// its band box or as the log's label of a band that the box lacks ("60M",
// "1.3Ghz"), and the position in its mode box; empty or nothing where the
// radio says nothing the form can take.
struct FormSelection {
    std::string band;
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

// What the entry form takes from the radio's readings, in plain entry.
//
// The form's band follows the radio's frequency; its mode follows the radio's
// mode when the radio changes mode, so a frequency change alone leaves a mode
// chosen in the form alone.
//
// A spot chosen in the cluster sets the form's band and mode and asks the
// radio for them. A reading that was taken before the radio got there still
// shows the radio as it was: readings whose band or mode differ from what was
// asked are ignored until one agrees or kHold has passed (a radio that cannot
// take the mode asked for is then followed as it is). Once the radio agrees,
// the mode asked for counts as the radio's, so a data spot taken in the
// digital entry stays there while a radio without data mode sits in USB.
class RadioFollow {
public:
    using Time = std::chrono::milliseconds;  // any steady count, injected
    static constexpr Time kHold{3000};

    RadioFollow(std::span<const std::string_view> bandItems,
                std::span<const std::string_view> modeItems);

    // The radio was asked to go to `hertz` in `radioMode` (empty: the mode
    // left as it is).
    void requested(int64_t hertz, std::string_view radioMode, Time now);
    // What the form selects for a reading; empty while it is ignored.
    FormSelection reading(const RadioReading& reading, Time now);

private:
    struct Request {
        std::string band;
        std::string mode;
        Time until;
    };
    bool agrees(const Request& request, const RadioReading& reading) const;

    std::span<const std::string_view> bandItems_;
    std::span<const std::string_view> modeItems_;
    std::optional<Request> pending_;
    std::string lastMode_;
};

// The radio's frequency for the status field: "14 074,000 kHz".
std::string frequencyText(int64_t hertz);

// A spot's frequency (kHz, as the cluster wrote it) as the radio takes it.
int64_t hertzOfKilohertz(double kilohertz);

}  // namespace dxcc::radio
