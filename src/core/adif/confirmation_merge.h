#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/adif/adif_reader.h"
#include "core/logbook/logbook.h"

namespace dxcc {
class PrefixTable;
}

// The confirmations that the awarding body's online service lets an operator
// download (an ADIF file, QSL_RCVD Y on each confirmed contact) carried into
// the log as QSL marks.
//
// A confirmation confirms every contact of the log with the same callsign, the
// same band, the same kind of mode (phone, CW, digital; a satellite contact
// logged as "SAT" with a confirmation through a satellite) and a time within
// kConfirmationMinutes. Callsigns that differ only by a portable prefix or
// suffix ("F5ABC/P", "EA8/F5ABC") are the same when the contact's DXCC prefix
// in the log is the confirmation's by the prefix file.
namespace dxcc::adif {

inline constexpr int kConfirmationMinutes = 30;

// A confirmation as the report names it: the file's values, the date as
// JJ/MM/AAAA and the time as HH:MM when they can be read.
struct ConfirmationRef {
    std::string callsign;  // upper case, Windows-1252
    std::string date;
    std::string time;
    std::string band;
    std::string mode;  // MODE, then "/" and SUBMODE when there is one
    bool operator==(const ConfirmationRef&) const = default;
};

struct ConfirmationReport {
    size_t read = 0;              // records confirmed by the file
    size_t notConfirmations = 0;  // records without QSL_RCVD Y: ignored
    size_t newlyConfirmed = 0;    // contacts that got their mark
    size_t alreadyConfirmed = 0;  // contacts matched that had it already
    std::vector<ConfirmationRef> unmatched;
    ReaderWarnings reader;
};

struct ConfirmationMatch {
    ConfirmationReport report;
    // 0-based rows of the contacts to mark, ascending, each once.
    std::vector<size_t> rows;
};

// Reads the confirmations of `fileBytes` and finds the contacts they confirm.
ConfirmationMatch matchConfirmations(const Logbook& log, std::string_view fileBytes,
                                     const PrefixTable& prefixes);
ConfirmationMatch matchConfirmations(const std::vector<std::string_view>& lines,
                                     std::string_view fileBytes, const PrefixTable& prefixes);

// The base of a callsign: of its parts between "/", the longest that holds
// both a letter and a digit (the last of equally long ones); the whole
// callsign when none does.
std::string_view baseCallsign(std::string_view callsign);

struct LogConfirmation {
    ConfirmationReport report;
    LogChange change;
};

// Reads `file`, matches its confirmations and marks the contacts with one safe
// rewrite of the log. Throws FileError with the log unchanged. The same
// routine serves the window and the command line.
LogConfirmation confirmIntoLog(Logbook& log, const std::filesystem::path& file,
                               const PrefixTable& prefixes);

// The report as lines of text (UTF-8): the counts, then each confirmation that
// matches no contact, then what the reader skipped or repaired.
std::vector<std::string> confirmationReportLines(const ConfirmationReport& report);

}  // namespace dxcc::adif
