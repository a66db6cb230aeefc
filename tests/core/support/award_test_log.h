#pragma once

#include <string>
#include <vector>

#include "core/base/text_file.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace testing_support {

// One QSO as the award tests vary it.
struct AwardQso {
    std::string callsign;
    std::string dxccPrefix;
    std::string mode = "SSB";
    std::string band = "14 Mhz ";
    char qslMark = '*';
    std::string date = "01/02/08";
};

inline std::string awardRecord(const AwardQso& q) {
    return logLine({.callsign = q.callsign,
                    .date = q.date,
                    .mode = q.mode,
                    .band = q.band,
                    .dxccPrefix = q.dxccPrefix,
                    .qslMark = q.qslMark});
}

// A station log in a temporary data directory, loaded into memory.
class AwardLog {
public:
    AwardLog() : log(dir.path()) { log.setStationCallsign("F6XYZ"); }

    void set(const std::vector<AwardQso>& qsos) {
        std::vector<std::string> records;
        for (const AwardQso& q : qsos) records.push_back(awardRecord(q));
        setRecords(records);
    }
    void setRecords(const std::vector<std::string>& records) {
        dir.write("F6XYZ_DXCC.log", dxcc::joinLines(records));
        log.load();
    }

    TempDir dir;
    dxcc::Logbook log;
};

}  // namespace testing_support
