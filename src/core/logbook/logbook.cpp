#include "core/logbook/logbook.h"

#include <algorithm>
#include <cstring>

#include "core/base/file_error.h"
#include "core/base/text_file.h"
#include "core/base/two_processors.h"
#include "core/record/qso_record.h"
#include "core/record/record_dates.h"

namespace dxcc {

Logbook::Logbook(std::filesystem::path dataDir, FileLimits limits)
    : dataDir_(std::move(dataDir)), limits_(limits) {
    // The line index holds 32-bit offsets.
    limits_.maxBytes = std::min<size_t>(limits_.maxBytes, UINT32_MAX - 1);
}

static_assert(kLogFileLimits.maxBytes < UINT32_MAX, "the line index holds 32-bit offsets");

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

FileIdentity Logbook::currentStamp() const {
    return fileIdentity(logPath());
}

void Logbook::checkRoom(size_t bytes, size_t lines) const {
    if (bytes > limits_.maxBytes || lines > limits_.maxLines)
        throw FileError(kOutOfMemory, logPath().string(), 0, FileProblem::LogLimitReached);
}

void Logbook::clear() {
    bytes_.release();
    std::vector<uint32_t>().swap(starts_);
    uniform_ = true;
    stride_ = 0;
    uniformCount_ = 0;
    normalized_ = true;
    stamp_ = {};
}

void Logbook::readAndIndex() {
    InputFile file(logPath(), limits_.maxBytes);
    try {
        // Lines are indexed as each piece arrives, while it is in the cache.
        startIndex(file.identity().size);
        file.readInto(bytes_, kSpareBytes, [this](size_t from, size_t to) { indexFrom(from, to); });
        finishIndex();
    } catch (...) {
        clear();
        throw;
    }
    // As opened: a change made while it was read shows at the next look.
    stamp_ = file.identity();
}

void Logbook::mirrorFileOrClear() {
    try {
        readAndIndex();
    } catch (...) {
        clear();
    }
}

void Logbook::index() {
    startIndex(bytes_.size());
    indexFrom(0, bytes_.size());
    finishIndex();
}

void Logbook::startIndex(size_t bytes) {
    expectedBytes_ = bytes;
    std::vector<uint32_t>().swap(starts_);
    uniform_ = true;
    stride_ = 0;
    uniformCount_ = 0;
    normalized_ = true;
}

void Logbook::listStarts() {
    if (!uniform_) return;
    // Room for a few more lines than the file holds, so that the next insert or
    // append reuses this memory.
    const size_t expected =
        std::max(expectedBytes_, bytes_.size()) / (kRecordLength + kLineEnd.size()) + 2;
    starts_.reserve(std::max(expected + expected / 64, uniformCount_ + 1));
    for (size_t i = 0; i <= uniformCount_; ++i)
        starts_.push_back(static_cast<uint32_t>(i * stride_));
    uniform_ = false;
}

bool Logbook::indexUniformLines(size_t from, size_t to) {
    if (!uniform_ || stride_ == 0) return false;
    const char* data = bytes_.data();
    // The line ends that lines of this length put in the range, and no other.
    const size_t firstNewline = uniformCount_ * stride_ + stride_ - 1;
    const size_t expected = firstNewline < to ? (to - 1 - firstNewline) / stride_ + 1 : 0;
    if (countByte({data + from, to - from}, '\n') != expected) return false;
    for (size_t i = 0, at = firstNewline; i < expected; ++i, at += stride_)
        if (data[at] != '\n' || data[at - 1] != '\r') return false;
    if (uniformCount_ + expected > limits_.maxLines)
        throw FileError(kOutOfMemory, logPath().string());
    uniformCount_ += expected;
    return true;
}

void Logbook::indexFrom(size_t from, size_t to) {
    // Most logs: a count and a look at each line's end, instead of a search
    // for each line's end.
    if (indexUniformLines(from, to)) return;
    const char* data = bytes_.data();
    const char* end = data + to;
    bool crlf = true;
    for (const char* at = data + from; at < end;) {
        const char* nl =
            static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
        if (nl == nullptr) break;
        at = nl + 1;
        const size_t newline = static_cast<size_t>(nl - data);
        if (size() >= limits_.maxLines) throw FileError(kOutOfMemory, logPath().string());
        if (uniform_) {
            const size_t lineStart = uniformCount_ * stride_;
            const bool endsInCrLf = newline > lineStart && data[newline - 1] == '\r';
            if (uniformCount_ == 0 && endsInCrLf) stride_ = newline + 1;
            if (endsInCrLf && newline + 1 == lineStart + stride_) {
                ++uniformCount_;
                continue;
            }
            listStarts();
        }
        // The byte before the line end, if it belongs to this line.
        crlf = crlf && newline > starts_.back() && data[newline - 1] == '\r';
        starts_.push_back(static_cast<uint32_t>(newline + 1));
    }
    normalized_ = normalized_ && crlf;
}

void Logbook::finishIndex() {
    if (uniform_ && uniformCount_ * stride_ == bytes_.size()) return;
    listStarts();
    if (starts_.back() == bytes_.size()) return;
    // The last line has no line end: it ends where the bytes do.
    if (size() >= limits_.maxLines) throw FileError(kOutOfMemory, logPath().string());
    normalized_ = false;
    starts_.push_back(static_cast<uint32_t>(bytes_.size() + 1));
}

size_t Logbook::lineLength(size_t row) const {
    if (uniform_) return stride_ - kLineEnd.size();
    const size_t start = starts_[row];
    const size_t newline = starts_[row + 1] - 1;  // bytes_.size() when there is none
    const bool crlf = newline > start && newline < bytes_.size() && bytes_[newline - 1] == '\r';
    return newline - start - (crlf ? 1 : 0);
}

std::string_view Logbook::record(size_t index) const {
    if (index >= size()) throw std::out_of_range("Logbook::record");
    return std::string_view(bytes_).substr(lineStart(index), lineLength(index));
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
    // The same line end is added before it when the last line lacked one.
    const bool lineEndFirst = !bytes_.empty() && bytes_.back() != '\n';
    checkRoom(
        bytes_.size() + (lineEndFirst ? kLineEnd.size() : 0) + record.size() + kLineEnd.size(),
        size() + 1);
    try {
        stamp_ = appendLine(logPath(), record, false, stamp_);
    } catch (const FileError& e) {
        if (e.problem() == FileProblem::ChangedWhileWriting) mirrorFileOrClear();
        throw;
    }
    // Mirror the file.
    if (lineEndFirst) {
        bytes_ += kLineEnd;
        starts_.back() = static_cast<uint32_t>(bytes_.size());  // never uniform: it had no line end
    }
    bytes_ += record;
    bytes_ += kLineEnd;
    if (uniform_ && uniformCount_ == 0) stride_ = record.size() + kLineEnd.size();
    if (uniform_ && record.size() + kLineEnd.size() == stride_) {
        ++uniformCount_;
    } else {
        listStarts();
        starts_.push_back(static_cast<uint32_t>(bytes_.size()));
    }
    if (changedElsewhere) return {.reloaded = true};
    return {LogChange::Kind::Inserted, size() - 1, 1};
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
            checkRoom(bytes_.size() + line.size(), size() + 1);
            const size_t at =
                insertionIndexOf(size(), record, [&](size_t i) { return this->record(i); });
            const size_t offset = lineOffset(at);
            applySplices({{offset, 0, line}});
            change.row = at;
        },
        change);
}

LogChange Logbook::insertBlock(size_t index, const std::vector<std::string>& records) {
    return insertBlockLines(index, {ByteBuffer(joinLines(records)), 0});
}

LogChange Logbook::insertBlockLines(size_t index, BlockBytes&& lines) {
    BlockBytes block = std::move(lines);
    if (block.bytes.size() <= block.front)
        return {LogChange::Kind::Inserted, std::min(index, size()), 0};
    const std::string_view blockLines = block.bytes.view().substr(block.front);
    LogChange change{LogChange::Kind::Inserted, 0, 0};
    return rewriteWith(
        kInsertScratch,
        [&] {
            // Refused before the block is merged: nothing to undo.
            checkRoom(bytes_.size() + blockLines.size(), size() + countLines(blockLines));
            const size_t at = std::min(index, size());
            const size_t offset = lineOffset(at);
            const size_t before = size();
            if (block.bytes.capacity() >= bytes_.size() + blockLines.size()) {
                mergeAround(block, offset);
                block.bytes.release();  // the old copy's memory, given back now
            } else {
                applySplices({{offset, 0, blockLines}});
            }
            change.row = at;
            change.count = size() - before;
        },
        change);
}

void Logbook::mergeAround(BlockBytes& block, size_t offset) {
    ByteBuffer& merged = block.bytes;
    const size_t blockSize = merged.size() - block.front;
    const size_t total = bytes_.size() + blockSize;
    // The block where it goes, unless it was written there.
    if (block.front != offset) {
        merged.resize(std::max(merged.size(), offset + blockSize));
        std::memmove(merged.data() + offset, merged.data() + block.front, blockSize);
    }
    merged.resize(total);
    char* data = merged.data();
    // The log's lines before and after it, each copy (and the first touch of
    // its fresh memory) on its own processor when they are large.
    auto head = [&] { std::memcpy(data, bytes_.data(), offset); };
    auto tail = [&] {
        std::memcpy(data + offset + blockSize, bytes_.data() + offset, bytes_.size() - offset);
    };
    constexpr size_t kWorthAThread = 16 * kMebibyte;
    if (bytes_.size() >= kWorthAThread && twoProcessors()) {
        onTwoProcessors(head, tail);
    } else {
        head();
        tail();
    }
    bytes_.swap(merged);
    index();
}

void Logbook::checkLine(size_t row, std::string_view expected) const {
    if (row >= size() || record(row) != expected)
        throw LogLineChanged("line " + std::to_string(row + 1) + " of " + logPath().string());
}

LogChange Logbook::modifyAt(size_t row, std::string_view expectedArg, std::string_view newArg) {
    const std::string expected(expectedArg), line(newArg);
    return rewriteWith(kRewriteScratch,
                       [&] {
                           checkLine(row, expected);
                           applySplices({{lineStart(row), lineLength(row), line}});
                       },
                       {LogChange::Kind::Changed, row, 1});
}

LogChange Logbook::removeAt(size_t row, std::string_view expectedArg) {
    const std::string expected(expectedArg);
    return rewriteWith(kRewriteScratch,
                       [&] {
                           checkLine(row, expected);
                           applySplices({{lineStart(row), lineLength(row) + kLineEnd.size(), {}}});
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
    if (rows.back() >= size()) throw LogLineChanged("line " + std::to_string(rows.back() + 1));
    return rewriteWith(kRewriteScratch,
                       [&] {
                           // Full lines take the mark in place; short ones grow up to it.
                           constexpr size_t markAt = kRecordLength - 1;
                           std::vector<std::string> tails;
                           tails.reserve(rows.size());  // the splices point into these texts
                           std::vector<Splice> growths;
                           for (size_t row : rows) {
                               const size_t offset = lineStart(row), length = lineLength(row);
                               if (length > markAt) {
                                   bytes_[offset + markAt] = '*';
                                   continue;
                               }
                               tails.push_back(std::string(markAt - length, ' ') + '*');
                               growths.push_back({offset + length, 0, tails.back()});
                           }
                           applySplices(growths);
                       },
                       {LogChange::Kind::Changed, rows.front(), rows.back() - rows.front() + 1});
}

namespace {

// Writes `text` into the field of the record at `line`, padded with blanks.
void putField(char* line, Field field, std::string_view text) {
    const size_t width = kRecordFieldWidths[static_cast<size_t>(field)];
    char* at = line + kRecordFieldOffsets[static_cast<size_t>(field)];
    const size_t kept = std::min(width, text.size());
    std::memcpy(at, text.data(), kept);
    std::memset(at + kept, ' ', width - kept);
}

}  // namespace

LogChange Logbook::setEntities(const std::vector<EntityEdit>& edits) {
    if (edits.empty()) return {LogChange::Kind::Changed, 0, 0};
    if (currentStamp() != stamp_) {
        load();
        throw LogLineChanged(logPath().string() + " changed since it was read");
    }
    const size_t first = edits.front().row, last = edits.back().row;
    if (last >= size()) throw LogLineChanged("line " + std::to_string(last + 1));
    constexpr size_t entityEnd = kRecordQslOffset;
    return rewriteWith(kRewriteScratch,
                       [&] {
                           std::vector<std::string> tails;
                           tails.reserve(edits.size());  // the splices point into these texts
                           std::vector<Splice> growths;
                           for (const EntityEdit& e : edits) {
                               const size_t length = lineLength(e.row);
                               if (length >= entityEnd) continue;
                               tails.push_back(std::string(entityEnd - length, ' '));
                               growths.push_back({lineStart(e.row) + length, 0, tails.back()});
                           }
                           applySplices(growths);
                           for (const EntityEdit& e : edits) {
                               char* line = bytes_.data() + lineStart(e.row);
                               putField(line, Field::DxccPrefix, e.dxccPrefix);
                               putField(line, Field::EntityName, e.entityName);
                           }
                       },
                       {LogChange::Kind::Changed, first, last - first + 1});
}

void Logbook::normalizeLineEnds() {
    ByteBuffer out;
    out.reserve(bytes_.size() + size() + kSpareBytes);
    for (size_t i = 0; i < size(); ++i) {
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
        // Longer lines (a QSL mark, line ends made CR LF) grow it too.
        checkRoom(bytes_.size(), size());
        // The rewrite is abandoned if the file changes after this read.
        stamp_ = rewriteFile(logPath(), dataDir_ / scratchName, bytes_, stamp_);
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
