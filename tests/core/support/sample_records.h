#pragma once

#include <string>

#include "core/record/qso_record.h"

namespace testing_support {

// F5ABC JEAN 01/02/08 12:35 SSB "14 Mhz " 59 59 F France, confirmed.
inline dxcc::QsoFields sampleFields() {
    dxcc::QsoFields f;
    f.callsign = "F5ABC";
    f.firstName = "JEAN";
    f.date = "01/02/08";
    f.time = "12:35";
    f.mode = "SSB";
    f.band = "14 Mhz ";
    f.rstReceived = "59";
    f.rstSent = "59";
    f.dxccPrefix = "F";
    f.entityName = "France";
    f.qslMark = '*';
    return f;
}

// A complete 107-character record; only what a log operation looks at varies.
inline std::string qso(const std::string& call, const std::string& date, const std::string& time,
                       char qslMark = ' ') {
    dxcc::QsoFields f = sampleFields();
    f.callsign = call;
    f.firstName.clear();
    f.date = date;
    f.time = time;
    f.qslMark = qslMark;
    return dxcc::buildRecord(f);
}

}  // namespace testing_support
