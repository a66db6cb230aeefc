#pragma once

#include <string>

#include "core/record/qso_record.h"

namespace testing_support {

// A contact as a test varies it: F5ABC JEAN 01/02/08 12:35 SSB "14 Mhz " 59
// 59 F France, confirmed, unless a field says otherwise
// ({.callsign = "G4ABC", .dxccPrefix = "G"}).
struct Contact {
    std::string callsign = "F5ABC";
    std::string firstName = "JEAN";
    std::string date = "01/02/08";
    std::string time = "12:35";
    std::string mode = "SSB";
    std::string band = "14 Mhz ";
    std::string rstReceived = "59";
    std::string rstSent = "59";
    std::string dxccPrefix = "F";
    std::string entityName = "France";
    char qslMark = '*';
};

inline dxcc::QsoFields fieldsOf(const Contact& c) {
    return {c.callsign,    c.firstName, c.date,       c.time,       c.mode,   c.band,
            c.rstReceived, c.rstSent,   c.dxccPrefix, c.entityName, c.qslMark};
}

// The contact as the log stores it: every log line of the tests is built here.
inline std::string logLine(const Contact& c) {
    return dxcc::buildRecord(fieldsOf(c));
}

// The sample contact's fields.
inline dxcc::QsoFields sampleFields() {
    return fieldsOf({});
}

// A complete 107-character record; only what a log operation looks at varies.
inline std::string qso(const std::string& call, const std::string& date, const std::string& time,
                       char qslMark = ' ') {
    return logLine(
        {.callsign = call, .firstName = "", .date = date, .time = time, .qslMark = qslMark});
}

}  // namespace testing_support
