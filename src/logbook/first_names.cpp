#include "logbook/first_names.h"

#include "logbook/file_error.h"
#include "logbook/program_constants.h"
#include "logbook/qso_record.h"
#include "logbook/text_file.h"

namespace dxcc {

namespace {

constexpr size_t kFirstNameCallsignWidth = kFirstNameColumn - 1;

char upperCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
    // à..þ sit 0x20 above À..Þ; ÷ (0xF7) is no letter.
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
    switch (u) {
        case 0x9A:  // š
            return static_cast<char>(0x8A);
        case 0x9C:  // œ
            return static_cast<char>(0x8C);
        case 0x9E:  // ž
            return static_cast<char>(0x8E);
        case 0xFF:  // ÿ
            return static_cast<char>(0x9F);
        default:
            return c;
    }
}

std::string_view nameOf(std::string_view line) {
    return line.size() < kFirstNameColumn ? std::string_view{} : line.substr(kFirstNameColumn - 1);
}

}  // namespace

std::string upperCaseCp1252(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperCp1252(c);
    return out;
}

FirstNameMemory::FirstNameMemory(std::filesystem::path dataDir)
    : file_(dataDir / kFirstNameFileName), scratch_(dataDir / kFirstNameScratchName) {}

std::string FirstNameMemory::makeLine(std::string_view callsign, std::string_view firstName) {
    return padRight(trimBlanks(callsign), kFirstNameCallsignWidth) +
           upperCaseCp1252(trimBlanks(firstName));
}

std::string FirstNameMemory::readOrCreate() const {
    try {
        return readFileBytes(file_);
    } catch (const FileError& e) {
        if (e.code() != kFileNotFound) throw;
    }
    createEmptyFile(file_);
    return {};
}

std::optional<std::string> FirstNameMemory::lookup(std::string_view callsign) const {
    const std::string bytes = readOrCreate();
    std::optional<std::string> name;
    for (std::string_view line : splitLines(bytes)) {
        if (trimBlanks(line.substr(0, kFirstNameCallsignColumns)) == callsign) {
            name = upperCaseCp1252(nameOf(line));
        }
    }
    return name;
}

void FirstNameMemory::update(std::string_view callsign, std::string_view firstName) {
    const std::string newLine = makeLine(callsign, firstName);
    const std::string_view key = std::string_view(newLine).substr(0, kFirstNameCallsignColumns);
    const std::string bytes = readOrCreate();
    std::string content;
    content.reserve(bytes.size() + newLine.size() + 2 * kLineEnd.size());
    bool replaced = false;
    for (std::string_view line : splitLines(bytes)) {
        const bool sameCallsign = line.substr(0, kFirstNameCallsignColumns) == key;
        content += sameCallsign ? std::string_view(newLine) : line;
        content += kLineEnd;
        replaced = replaced || sameCallsign;
    }
    if (!replaced) {
        content += newLine;
        content += kLineEnd;
    }
    rewriteFile(file_, scratch_, content);
}

}  // namespace dxcc
