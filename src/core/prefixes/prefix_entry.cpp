#include "core/prefixes/prefix_entry.h"

#include "core/base/text_utils.h"

namespace dxcc {

namespace {

std::string fixedField(std::string_view text, size_t width) {
    return padRight(text.substr(0, width), width);
}

}  // namespace

PrefixEntry parsePrefixEntry(std::string_view line) {
    return PrefixEntry{
        std::string(trimBlanks(columnsOf(line, 1, kCallsignPrefixWidth))),
        std::string(columnsOf(line, kPrefixEntityNameColumn, kPrefixEntityNameWidth)),
        std::string(trimBlanks(columnsOf(line, kPrefixDxccColumn, kPrefixDxccWidth))),
    };
}

std::string buildPrefixEntry(std::string_view callsignPrefix, std::string_view entityName,
                             std::string_view dxccPrefix) {
    std::string line;
    line.reserve(kPrefixEntryLength);
    line += fixedField(callsignPrefix, kCallsignPrefixWidth);
    line += ' ';
    line += fixedField(entityName, kPrefixEntityNameWidth);
    line += ' ';
    line += fixedField(dxccPrefix, kPrefixDxccWidth);
    line += " /";
    return line;
}

}  // namespace dxcc
