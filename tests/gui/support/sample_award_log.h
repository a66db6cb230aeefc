#pragma once

#include <QByteArray>
#include <QString>

#include "core/record/qso_record.h"
#include "platform/text.h"

namespace testing_support {

// Six QSOs: SSB and CW on 14 MHz for one entity, FT8 on 7 MHz (a name with an
// accent), satellite in lower case on 144 MHz, an unconfirmed one on 21 MHz
// and one without prefix.
inline const dxcc::QsoFields kSsbConfirmed{"F5BBB", "JEAN", "02/01/08", "10:00",  "SSB", "14 Mhz ",
                                           "59",    "59",   "F",        "France", '*'};
inline const dxcc::QsoFields kCwWorked{"F5AAA", "PAUL", "03/01/08", "10:00",  "CW", "14 Mhz ",
                                       "599",   "599",  "F",        "France", ' '};
inline const dxcc::QsoFields kFt8Confirmed{
    "G3AAA", "JOS\xC9", "04/01/08", "10:00", "FT8", "7.0 Mhz", "-10", "-12", "G", "England", '*'};
inline const dxcc::QsoFields kSatelliteConfirmed{
    "DL1AA", "HANS", "05/01/08", "10:00", "sat", "144 Mhz", "59", "59", "DL", "Germany", '*'};
inline const dxcc::QsoFields kSsbWorked{"JA1AA", "",   "06/01/08", "10:00", "SSB", "21 Mhz ",
                                        "59",    "59", "JA",       "Japan", ' '};
inline const dxcc::QsoFields kNoPrefix{"XX1XX", "",   "07/01/08", "10:00", "SSB", "14 Mhz ",
                                       "59",    "59", "",         "",      '*'};

// The log of the six, as the program stores it.
inline QByteArray sampleAwardLog() {
    QByteArray log;
    for (const dxcc::QsoFields& q :
         {kSsbConfirmed, kCwWorked, kFt8Confirmed, kSatelliteConfirmed, kSsbWorked, kNoPrefix})
        log += QByteArray::fromStdString(dxcc::buildRecord(q)) + "\r\n";
    return log;
}

// The entity line of `ordinal` in an award's list, for the QSO that
// represents the entity.
inline QString listedEntity(int ordinal, const dxcc::QsoFields& q) {
    return ui::fromCp1252(dxcc::lineNumberText(static_cast<size_t>(ordinal)) + " " +
                          dxcc::buildDisplayLine(dxcc::buildRecord(q), 1).substr(8));
}

}  // namespace testing_support
