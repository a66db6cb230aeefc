#include "core/logbook/logbook.h"

#include <algorithm>
#include <cstring>

#include "core/base/dates.h"
#include "core/base/file_error.h"
#include "core/record/qso_record.h"
#include "core/base/text_file.h"

namespace dxcc {

Logbook::Logbook(std::filesystem::path dataDir) : dataDir_(std::move(dataDir)) {}

std::filesystem::path Logbook::logPath() const {
    return logFilePath(dataDir_, station_);
}

namespace {

template <typename LineAt>
size_t insertionIndexOf(size_t count, std::string_view record, LineAt lineAt) {
    auto newKey = recordDateTimeKey(record);
    if (!newKey) return count;
    for (size_t i = 0; i < count; ++i) {
        auto key = recordDateTimeKey(lineAt(i));
        if (key && *key >= *newKey) return i;
    }
    return count;
}

}  // namespace

void Logbook::load() {
    try {
        readAndIndex();
    } catch (...) {
        clear();
        throw;
    }
}

Logbook::FileStamp Logbook::currentStamp() const {
    std::error_code ec;
    const auto size = std::filesystem::file_size(logPath(), ec);
    if (ec) return {};
    const auto modified = std::filesystem::last_write_time(logPath(), ec);
    if (ec) return {};
    return {static_cast<int64_t>(size), static_cast<int64_t>(modified.time_since_epoch().count())};
}

void Logbook::clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    lines_.clear();
    lines_.shrink_to_fit();
    normalized_ = true;
    stamp_ = {};
}

void Logbook::readAndIndex() {
    const FileStamp stamp = currentStamp();
    InputFile file(logPath(), kLogFileLimits.maxBytes);
    try {
        file.readInto(bytes_, kSpareBytes);
        index();
    } catch (...) {
        clear();
        throw;
    }
    stamp_ = stamp;
}

void Logbook::mirrorFileOrClear() {
    try {
        readAndIndex();
    } catch (...) {
        clear();
    }
}

void Logbook::index() {
    // Room for a few more lines than the file holds, so that the next insert or
    // append reuses this memory; far too much room is given back.
    const size_t expected = bytes_.size() / (kRecordLength + kLineEnd.size()) + 1;
    if (lines_.capacity() < expected || lines_.capacity() / 2 > expected + 4096) {
        std::vector<LineSpan>().swap(lines_);
        lines_.reserve(expected + expected / 64);
    }
    lines_.clear();
    normalized_ = true;
    const char* data = bytes_.data();
    const size_t size = bytes_.size();
    size_t start = 0;
    while (start < size) {
        const void* found = std::memchr(data + start, '\n', size - start);
        const size_t end =
            found ? static_cast<size_t>(static_cast<const char*>(found) - data) : size;
        size_t length = end - start;
        const bool crlf = found && length > 0 && data[end - 1] == '\r';
        if (crlf) --length;
        normalized_ = normalized_ && crlf;
        if (lines_.size() == kLogFileLimits.maxLines)
            throw FileError(kOutOfMemory, logPath().string());
        lines_.push_back({start, static_cast<uint32_t>(length)});
        if (!found) break;
        start = end + 1;
    }
}

std::string_view Logbook::record(size_t index) const {
    const LineSpan& s = lines_.at(index);
    return std::string_view(bytes_).substr(s.offset, s.length);
}

std::string Logbook::displayLine(size_t index) const {
    return buildDisplayLine(record(index), index + 1);
}

LogChange Logbook::appendRecord(std::string_view recordArg) {
    const std::string record(recordArg);
    // Changed elsewhere: read first, so the append goes after what the file now
    // holds and nothing is added to a file that cannot be loaded.
    const bool changedElsewhere = currentStamp() != stamp_;
    if (changedElsewhere) {
        try {
            readAndIndex();
        } catch (...) {
            stamp_ = {};
            throw;
        }
    }
    appendLine(logPath(), record, false);
    // Mirror the file: the same line end is added before it when the last line lacked one.
    if (!bytes_.empty() && bytes_.back() != '\n') bytes_ += kLineEnd;
    lines_.push_back({bytes_.size(), static_cast<uint32_t>(record.size())});
    bytes_ += record;
    bytes_ += kLineEnd;
    stamp_ = currentStamp();
    if (changedElsewhere) return {.reloaded = true};
    return {LogChange::Kind::Inserted, lines_.size() - 1, 1};
}

size_t Logbook::insertionIndex(const std::vector<std::string_view>& lines,
                               std::string_view record) {
    return insertionIndexOf(lines.size(), record, [&](size_t i) { return lines[i]; });
}

// Record arguments are copied first: they may point into the memory copy that
// the operation edits.
LogChange Logbook::insertInDateOrder(std::string_view recordArg) {
    const std::string line = std::string(recordArg) + std::string(kLineEnd);
    const std::string_view record(line.data(), recordArg.size());
    LogChange change{LogChange::Kind::Inserted, 0, 1};
    return rewriteWith(
        kInsertScratch,
        [&] {
            const size_t at =
                insertionIndexOf(lines_.size(), record, [&](size_t i) { return this->record(i); });
            const size_t offset = at < lines_.size() ? lines_[at].offset : bytes_.size();
            applySplices({{offset, 0, line}});
            change.row = at;
        },
        change);
}

LogChange Logbook::insertBlock(size_t index, const std::vector<std::string>& records) {
    return insertBlockLines(index, joinLines(records));
}

LogChange Logbook::insertBlockLines(size_t index, std::string&& lines) {
    if (lines.empty()) return {LogChange::Kind::Inserted, std::min(index, size()), 0};
    std::string block = std::move(lines);
    LogChange change{LogChange::Kind::Inserted, 0, 0};
    return rewriteWith(
        kInsertScratch,
        [&] {
            const size_t at = std::min(index, lines_.size());
            const size_t offset = at < lines_.size() ? lines_[at].offset : bytes_.size();
            const size_t before = lines_.size();
            if (block.capacity() >= bytes_.size() + block.size()) {
                mergeAround(block, offset);
                std::string().swap(block);  // the old copy's memory, given back now
            } else {
                applySplices({{offset, 0, block}});
            }
            change.row = at;
            change.count = lines_.size() - before;
        },
        change);
}

void Logbook::mergeAround(std::string& block, size_t offset) {
    const size_t blockSize = block.size();
    block.resize(bytes_.size() + blockSize);
    char* data = block.data();
    std::memmove(data + offset, data, blockSize);
    std::memcpy(data, bytes_.data(), offset);
    std::memcpy(data + offset + blockSize, bytes_.data() + offset, bytes_.size() - offset);
    bytes_.swap(block);
    index();
}

void Logbook::checkLine(size_t row, std::string_view expected) const {
    if (row >= lines_.size() || record(row) != expected)
        throw LogLineChanged("line " + std::to_string(row + 1) + " of " + logPath().string());
}

LogChange Logbook::modifyAt(size_t row, std::string_view expectedArg, std::string_view newArg) {
    const std::string expected(expectedArg), line(newArg);
    return rewriteWith(kRewriteScratch,
                       [&] {
                           checkLine(row, expected);
                           applySplices({{lines_[row].offset, lines_[row].length, line}});
                       },
                       {LogChange::Kind::Changed, row, 1});
}

LogChange Logbook::removeAt(size_t row, std::string_view expectedArg) {
    const std::string expected(expectedArg);
    return rewriteWith(
        kRewriteScratch,
        [&] {
            checkLine(row, expected);
            applySplices({{lines_[row].offset, lines_[row].length + kLineEnd.size(), {}}});
        },
        {LogChange::Kind::Removed, row, 1});
}

LogChange Logbook::confirmRows(const std::vector<size_t>& rowsArg) {
    std::vector<size_t> rows(rowsArg);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return {LogChange::Kind::Changed, 0, 0};
    if (currentStamp() != stamp_) {
        load();
        throw LogLineChanged(logPath().string() + " changed since it was read");
    }
    if (rows.back() >= lines_.size())
        throw LogLineChanged("line " + std::to_string(rows.back() + 1));
    return rewriteWith(kRewriteScratch,
                       [&] {
                           // Full lines take the mark in place; short ones grow up to it.
                           constexpr size_t markAt = kRecordLength - 1;
                           std::vector<std::string> tails;
                           tails.reserve(rows.size());  // the splices point into these texts
                           std::vector<Splice> growths;
                           for (size_t row : rows) {
                               const LineSpan& line = lines_[row];
                               if (line.length > markAt) {
                                   bytes_[line.offset + markAt] = '*';
                                   continue;
                               }
                               tails.push_back(std::string(markAt - line.length, ' ') + '*');
                               growths.push_back({line.offset + line.length, 0, tails.back()});
                           }
                           applySplices(growths);
                       },
                       {LogChange::Kind::Changed, rows.front(), rows.back() - rows.front() + 1});
}

void Logbook::normalizeLineEnds() {
    std::string out;
    out.reserve(bytes_.size() + lines_.size() + kSpareBytes);
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += record(i);
        out += kLineEnd;
    }
    bytes_ = std::move(out);
    index();
}

void Logbook::applySplices(const std::vector<Splice>& splices) {
    if (splices.empty()) return;
    ptrdiff_t growth = 0;
    for (const Splice& s : splices)
        growth += static_cast<ptrdiff_t>(s.inserted.size()) - static_cast<ptrdiff_t>(s.removed);
    const size_t oldSize = bytes_.size();
    if (growth >= 0) {
        // Growing: move the tails from the last splice back to the first, so no
        // byte is overwritten before it has moved.
        bytes_.resize(oldSize + static_cast<size_t>(growth));
        char* data = bytes_.data();
        size_t from = oldSize, to = bytes_.size();
        for (auto s = splices.rbegin(); s != splices.rend(); ++s) {
            const size_t tail = s->offset + s->removed;
            to -= from - tail;
            std::memmove(data + to, data + tail, from - tail);
            to -= s->inserted.size();
            std::copy(s->inserted.begin(), s->inserted.end(), data + to);
            from = s->offset;
        }
    } else {
        // Shrinking: move the pieces between splices forward, first to last.
        char* data = bytes_.data();
        size_t to = splices.front().offset, from = to;
        for (const Splice& s : splices) {
            std::memmove(data + to, data + from, s.offset - from);
            to += s.offset - from;
            std::copy(s.inserted.begin(), s.inserted.end(), data + to);
            to += s.inserted.size();
            from = s.offset + s.removed;
        }
        std::memmove(data + to, data + from, oldSize - from);
        bytes_.resize(to + oldSize - from);
    }
    index();
}

LogChange Logbook::rewriteWith(const char* scratchName, const std::function<void()>& edit,
                               const LogChange& change) {
    // The file is read again, so what is written is what the file held.
    const bool changedElsewhere = currentStamp() != stamp_;
    try {
        readAndIndex();
    } catch (...) {
        // Not even opened: the copy still holds what the file last held.
        stamp_ = {};
        throw;
    }
    try {
        if (!normalized_) normalizeLineEnds();
        edit();
        rewriteFile(logPath(), dataDir_ / scratchName, bytes_);
        stamp_ = currentStamp();
    } catch (...) {
        mirrorFileOrClear();  // the file is whole (old or new)
        throw;
    }
    if (changedElsewhere) return {.reloaded = true};
    return change;
}

void Logbook::createEmptyLog(std::string_view stationCallsign) const {
    createEmptyFile(logFilePath(dataDir_, stationCallsign));
}

}  // namespace dxcc
