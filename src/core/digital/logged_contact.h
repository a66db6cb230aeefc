#pragma once

#include <optional>
#include <string>

#include "core/base/dates.h"
#include "core/digital/wsjtx_codec.h"

namespace dxcc::digital {

struct DecoderState;

// A date and time of a decoder's message as UTC, to the second.
struct UtcTime {
    CivilDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const UtcTime&) const = default;
};

// The UTC time a decoder meant. WSJT-X marks its times UTC; JTDX marks them
// local time but sends the UTC clock values, so a local time is read as UTC
// too; an offset from UTC is taken away. None for a null or invalid time.
std::optional<UtcTime> utcOf(const DateTime& time);

// The contact of a QSO Logged as one ADIF record (ending in <EOR>), the fields
// the import reads: callsign, name, date and time on (else off), mode (FT4 as
// ADIF writes it, MFSK with its submode), frequency, reports, grid, comment.
// None without a callsign or a time.
std::optional<std::string> adifOfQsoLogged(const QsoLogged& logged);

// The ADIF of the contact a datagram brings to be logged: a Logged ADIF's
// text; a QSO Logged's record when its decoder sends no Logged ADIF (one that
// does sends the same contact again as ADIF). None for anything else.
std::optional<std::string> contactToLog(const Datagram& datagram, const DecoderState& decoder);

}  // namespace dxcc::digital
