#include "core/record/qso_record.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/base/program_constants.h"

namespace dxcc {

namespace {

// 1-based start column of each field, in the record and in the display line.
struct Column {
    size_t recordStart;
    size_t displayStart;
    size_t width;
};

constexpr std::array<Column, 10> kColumns{{
    {1, 9, kCallsignWidth},
    {14, 23, kFirstNameWidth},
    {30, 40, kDateWidth},
    {39, 50, kTimeWidth},
    {45, 57, kModeWidth},
    {49, 62, kBandWidth},
    {57, 71, kRstWidth},
    {61, 76, kRstWidth},
    {65, 80, kDxccPrefixWidth},
    {72, 88, kEntityNameWidth},
}};
constexpr size_t kRecordQslColumn = 107;
constexpr size_t kDisplayQslColumn = 124;

constexpr bool sameRecordColumns() {
    for (size_t i = 0; i < kColumns.size(); ++i)
        if (kColumns[i].recordStart != kRecordFieldOffsets[i] + 1 ||
            kColumns[i].width != kRecordFieldWidths[i])
            return false;
    return kRecordQslColumn == kRecordQslOffset + 1;
}
static_assert(sameRecordColumns(), "the record's columns are described twice");

std::array<std::string*, 10> fieldRefs(QsoFields& f) {
    return {&f.callsign, &f.firstName,   &f.date,    &f.time,       &f.mode,
            &f.band,     &f.rstReceived, &f.rstSent, &f.dxccPrefix, &f.entityName};
}

char markAt(std::string_view line, size_t column1) {
    return column1 <= line.size() ? line[column1 - 1] : ' ';
}

}  // namespace

std::string_view recordField(std::string_view record, Field field) {
    const Column& c = kColumns[static_cast<size_t>(field)];
    return columnsOf(record, c.recordStart, c.width);
}

char recordQslMark(std::string_view record) {
    return markAt(record, kRecordQslColumn);
}

// One allocation and one fill: a record is built for every imported QSO.
std::string buildRecord(const QsoFields& f) {
    const std::array<std::pair<std::string_view, size_t>, 10> fields{{
        {f.callsign, kCallsignWidth},
        {f.firstName, kFirstNameWidth},
        {f.date, 0},  // taken as it is
        {f.time, 0},
        {f.mode, kModeWidth},
        {f.band, kBandWidth},
        {f.rstReceived, kRstWidth},
        {f.rstSent, kRstWidth},
        {f.dxccPrefix, kDxccPrefixWidth},
        {f.entityName, kEntityNameWidth},
    }};
    // Each field padded to its width and followed by a blank; the entity name
    // is followed by the QSL mark instead.
    size_t length = 0;
    for (const auto& [text, width] : fields) length += std::max(text.size(), width) + 1;
    std::string r(length, ' ');
    size_t at = 0;
    for (const auto& [text, width] : fields) {
        text.copy(r.data() + at, text.size());
        at += std::max(text.size(), width) + 1;
    }
    r.back() = f.qslMark;
    return r;
}

QsoFields parseRecord(std::string_view record) {
    QsoFields f;
    auto refs = fieldRefs(f);
    for (size_t i = 0; i < kColumns.size(); ++i)
        *refs[i] = std::string(columnsOf(record, kColumns[i].recordStart, kColumns[i].width));
    f.qslMark = markAt(record, kRecordQslColumn);
    return f;
}

std::string lineNumberText(size_t lineNumber) {
    std::string digits = std::to_string(lineNumber);
    return digits.size() >= 6 ? digits : std::string(6 - digits.size(), ' ') + digits;
}

std::string buildDisplayLine(std::string_view record, size_t lineNumber) {
    std::string line(kDisplayLineLength, ' ');
    std::string number = lineNumberText(lineNumber);
    line.replace(0, number.size(), number);
    for (const Column& c : kColumns) {
        std::string_view v = columnsOf(record, c.recordStart, c.width);
        line.replace(c.displayStart - 1, v.size(), v);
    }
    line[kDisplayQslColumn - 1] = markAt(record, kRecordQslColumn);
    return line;
}

QsoFields parseDisplayLine(std::string_view displayLine) {
    QsoFields f;
    auto refs = fieldRefs(f);
    for (size_t i = 0; i < kColumns.size(); ++i)
        *refs[i] = padRight(columnsOf(displayLine, kColumns[i].displayStart, kColumns[i].width),
                            kColumns[i].width);
    f.qslMark = markAt(displayLine, kDisplayQslColumn);
    return f;
}

std::string recordFromDisplayLine(std::string_view displayLine) {
    return buildRecord(parseDisplayLine(displayLine));
}

std::filesystem::path logFilePath(const std::filesystem::path& dataDir,
                                  std::string_view stationCallsign) {
    return dataDir / (std::string(stationCallsign) + std::string(kLogFileSuffix));
}

}  // namespace dxcc

namespace dxcc {

std::string headingLine(std::span<const ColumnHeading> headings) {
    std::string out;
    size_t width = 0;  // in characters, not bytes
    for (const ColumnHeading& h : headings) {
        if (width + 1 < h.column) {
            out.append(h.column - 1 - width, ' ');
            width = h.column - 1;
        }
        out += h.text;
        for (const char c : h.text)
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
    }
    return out;
}

std::string displayHeading() {
    constexpr const auto& at = kDisplayHeadingColumns;
    static constexpr ColumnHeading kHeadings[] = {
        {at[0], "N°"},   {at[1], "Indicatif"}, {at[2], "Prénom"},        {at[3], "Date"},
        {at[4], "QTR"},  {at[5], "Mode"},      {at[6], "QRG"},           {at[7], "RstR"},
        {at[8], "RstE"}, {at[9], "DXCC"},      {at[10], "Contrée DXCC"}, {at[11], "QSL"},
    };
    return headingLine(kHeadings);
}

}  // namespace dxcc
