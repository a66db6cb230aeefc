#include "core/logbook/first_names.h"

#include <stdexcept>

#include "core/base/file_error.h"
#include "core/base/program_constants.h"
#include "core/record/qso_record.h"
#include "core/base/text_file.h"

namespace dxcc {

namespace {

constexpr size_t kFirstNameCallsignWidth = kFirstNameColumn - 1;

std::string_view nameOf(std::string_view line) {
    return line.size() < kFirstNameColumn ? std::string_view{} : line.substr(kFirstNameColumn - 1);
}

}  // namespace

FirstNameMemory::FirstNameMemory(std::filesystem::path dataDir)
    : file_(dataDir / kFirstNameFileName), scratch_(dataDir / kFirstNameScratchName) {}

std::string FirstNameMemory::makeLine(std::string_view callsign, std::string_view firstName) {
    return padRight(trimBlanks(callsign), kFirstNameCallsignWidth) +
           upperCaseCp1252(trimBlanks(firstName));
}

std::string FirstNameMemory::readOrCreate() const {
    try {
        return readFileBytes(file_, kFirstNameFileLimits);
    } catch (const FileError& e) {
        if (e.code() != kFileNotFound) throw;
    }
    createEmptyFile(file_);
    return {};
}

std::optional<std::string> FirstNameMemory::lookup(std::string_view callsign) const {
    const std::string bytes = readOrCreate();
    std::optional<std::string> name;
    forEachLine(bytes, [&](std::string_view line) {
        if (trimBlanks(line.substr(0, kFirstNameCallsignColumns)) == callsign) {
            name = upperCaseCp1252(nameOf(line));
        }
    });
    return name;
}

void FirstNameMemory::update(std::string_view callsign, std::string_view firstName) {
    // A line break would split the line in two.
    if (hasControlCharacter(callsign) || hasControlCharacter(firstName))
        throw std::invalid_argument("control character in a first-name line");
    const std::string newLine = makeLine(callsign, firstName);
    const std::string_view key = std::string_view(newLine).substr(0, kFirstNameCallsignColumns);
    const std::string bytes = readOrCreate();
    std::string content;
    content.reserve(bytes.size() + newLine.size() + 2 * kLineEnd.size());
    bool replaced = false;
    forEachLine(bytes, [&](std::string_view line) {
        const bool sameCallsign = line.substr(0, kFirstNameCallsignColumns) == key;
        content += sameCallsign ? std::string_view(newLine) : line;
        content += kLineEnd;
        replaced = replaced || sameCallsign;
    });
    if (!replaced) {
        content += newLine;
        content += kLineEnd;
    }
    rewriteFile(file_, scratch_, content);
}

}  // namespace dxcc
