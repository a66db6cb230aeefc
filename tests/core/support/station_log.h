#pragma once

#include <string>

#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/prefixes/prefix_table.h"
#include "core/record/qso_record.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace testing_support {

// The prefix entries the ADIF tests look callsigns up in.
inline const dxcc::PrefixTable& adifTestPrefixes() {
    static const dxcc::PrefixTable table = dxcc::PrefixTable::parse(dxcc::joinLines({
        dxcc::buildPrefixEntry("EA8", "Canary Islands", "EA8"),
        dxcc::buildPrefixEntry("FO", "French Polynesia", "FO"),
        dxcc::buildPrefixEntry("F", "France", "F"),
        dxcc::buildPrefixEntry("G", "England", "G"),
        dxcc::buildPrefixEntry("K", "United States", "K"),
        dxcc::buildPrefixEntry("VP8", "Falkland Is. \xC9tat", "VP8"),
    }));
    return table;
}

// A record as the entry form or the import writes it, its entity by the lookup.
inline std::string loggedLine(const std::string& call, const std::string& name,
                              const std::string& date, const std::string& time,
                              const std::string& mode, const std::string& band,
                              const std::string& rstReceived, const std::string& rstSent,
                              char qsl) {
    const dxcc::LookupResult where = adifTestPrefixes().lookup(call);
    return logLine({call, name, date, time, mode, band, rstReceived, rstSent, where.dxccPrefix,
                    where.entityName, qsl});
}

// The log of station F6XYZ in a fresh directory (nothing written yet).
struct StationLog {
    StationLog() : log(dir.path()) { log.setStationCallsign("F6XYZ"); }

    TempDir dir;
    dxcc::Logbook log;
};

}  // namespace testing_support
