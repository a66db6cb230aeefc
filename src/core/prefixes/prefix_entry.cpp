#include "core/prefixes/prefix_entry.h"

#include "core/base/text_utils.h"

namespace dxcc {

namespace {

std::string fixedField(std::string_view text, size_t width) {
    return padRight(text.substr(0, width), width);
}

}  // namespace

PrefixEntry parseEntityLine(std::string_view line, size_t callsignWidth) {
    const size_t nameColumn = callsignWidth + 2;
    const size_t dxccColumn = nameColumn + kPrefixEntityNameWidth + 1;
    return PrefixEntry{
        std::string(trimBlanks(columnsOf(line, 1, callsignWidth))),
        std::string(columnsOf(line, nameColumn, kPrefixEntityNameWidth)),
        std::string(trimBlanks(columnsOf(line, dxccColumn, kPrefixDxccWidth))),
    };
}

std::string buildEntityLine(std::string_view callsign, std::string_view entityName,
                            std::string_view dxccPrefix, size_t callsignWidth) {
    std::string line;
    line.reserve(callsignWidth + kPrefixEntryLength - kCallsignPrefixWidth);
    line += fixedField(callsign, callsignWidth);
    line += ' ';
    line += fixedField(entityName, kPrefixEntityNameWidth);
    line += ' ';
    line += fixedField(dxccPrefix, kPrefixDxccWidth);
    line += " /";
    return line;
}

PrefixEntry parsePrefixEntry(std::string_view line) {
    return parseEntityLine(line, kCallsignPrefixWidth);
}

std::string buildPrefixEntry(std::string_view callsignPrefix, std::string_view entityName,
                             std::string_view dxccPrefix) {
    return buildEntityLine(callsignPrefix, entityName, dxccPrefix, kCallsignPrefixWidth);
}

}  // namespace dxcc
