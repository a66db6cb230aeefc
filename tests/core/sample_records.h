#pragma once

#include <string>

#include "logbook/qso_record.h"

namespace testing_support {

// A complete 107-character record; only what a log operation looks at varies.
inline std::string sampleQso(const std::string& call, const std::string& date,
                             const std::string& time, char qslMark = ' ') {
    dxcc::QsoFields f;
    f.callsign = call;
    f.date = date;
    f.time = time;
    f.mode = "SSB";
    f.band = "14 Mhz ";
    f.rstReceived = "59";
    f.rstSent = "59";
    f.dxccPrefix = "F";
    f.entityName = "France";
    f.qslMark = qslMark;
    return dxcc::buildRecord(f);
}

}  // namespace testing_support
