#include "logbook/logbook.h"

#include "logbook/dates.h"
#include "logbook/qso_record.h"
#include "logbook/text_file.h"

namespace dxcc {

Logbook::Logbook(std::filesystem::path dataDir) : dataDir_(std::move(dataDir)) {}

std::filesystem::path Logbook::logPath() const { return logFilePath(dataDir_, station_); }

void Logbook::load() {
    clear();
    adopt(readFileBytes(logPath()));
}

void Logbook::clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    lines_.clear();
    lines_.shrink_to_fit();
}

void Logbook::adopt(std::string bytes) {
    bytes_ = std::move(bytes);
    std::vector<LineSpan> lines;
    lines.reserve(bytes_.size() / (kRecordLength + 2) + 1);
    for (std::string_view l : splitLines(bytes_))
        lines.push_back({static_cast<uint64_t>(l.data() - bytes_.data()),
                         static_cast<uint32_t>(l.size())});
    lines_ = std::move(lines);
}

std::string_view Logbook::record(size_t index) const {
    const LineSpan& s = lines_.at(index);
    return std::string_view(bytes_).substr(s.offset, s.length);
}

std::string Logbook::displayLine(size_t index) const {
    return buildDisplayLine(record(index), index + 1);
}

void Logbook::appendRecord(std::string_view recordArg) {
    const std::string record(recordArg);
    appendLine(logPath(), record);
    // Mirror the file: the same line end is added before it when the last line lacked one.
    std::string bytes = std::move(bytes_);
    if (!bytes.empty() && bytes.back() != '\n') bytes += kLineEnd;
    bytes += record;
    bytes += kLineEnd;
    adopt(std::move(bytes));
}

void Logbook::appendQso(std::string_view record) {
    appendRecord(record);  // copies its argument before touching memory
    load();
}

size_t Logbook::insertionIndex(const std::vector<std::string_view>& lines,
                               std::string_view record) {
    auto newKey = recordDateTimeKey(record);
    if (!newKey) return lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        auto key = recordDateTimeKey(lines[i]);
        if (key && *key >= *newKey) return i;
    }
    return lines.size();
}

namespace {

void appendWithEnd(std::string& out, std::string_view line) {
    out += line;
    out += kLineEnd;
}

}  // namespace

// Record arguments are copied first: they may point into the memory copy that
// the operation replaces.
void Logbook::insertInDateOrder(std::string_view recordArg) {
    const std::string record(recordArg);
    rewriteWith(kInsertScratch, [&](std::string_view old) {
        auto lines = splitLines(old);
        size_t at = insertionIndex(lines, record);
        std::string out;
        out.reserve(old.size() + lines.size() + record.size() + 4);
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i == at) appendWithEnd(out, record);
            appendWithEnd(out, lines[i]);
        }
        if (at == lines.size()) appendWithEnd(out, record);
        return out;
    });
}

void Logbook::modify(std::string_view newArg, std::string_view oldArg) {
    const std::string newRecord(newArg), oldRecord(oldArg);
    rewriteWith(kRewriteScratch, [&](std::string_view old) {
        std::string out;
        out.reserve(old.size() + newRecord.size() + 4);
        bool replaced = false;
        for (std::string_view line : splitLines(old)) {
            replaced |= line == oldRecord;
            appendWithEnd(out, line == oldRecord ? newRecord : line);
        }
        if (!replaced) appendWithEnd(out, newRecord);
        return out;
    });
}

void Logbook::remove(std::string_view recordArg) {
    const std::string record(recordArg);
    rewriteWith(kRewriteScratch, [&](std::string_view old) {
        std::string out;
        out.reserve(old.size() + 2);
        for (std::string_view line : splitLines(old))
            if (line != record) appendWithEnd(out, line);
        return out;
    });
}

void Logbook::rewriteWith(const char* scratchName,
                          const std::function<std::string(std::string_view)>& build) {
    clear();
    try {
        std::string content;
        {
            std::string old = readFileBytes(logPath());
            content = build(old);
        }
        rewriteFile(logPath(), dataDir_ / scratchName, content);
        // The file now holds exactly `content`: keep it as the loaded copy.
        adopt(std::move(content));
    } catch (...) {
        try {
            load();  // the file is whole (old or new): mirror it again
        } catch (...) {
        }
        throw;
    }
}

void Logbook::reset() {
    createEmptyLog(station_);
    load();
}

void Logbook::createEmptyLog(std::string_view stationCallsign) const {
    createEmptyFile(logFilePath(dataDir_, stationCallsign));
}

}  // namespace dxcc
