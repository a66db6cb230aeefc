#include "core/base/rewrite_together.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "core/base/text_file.h"

namespace dxcc {

namespace {

// The journal's first and last lines: a journal without both is not one of ours
// (it is written aside and renamed whole, so it is never found cut).
constexpr std::string_view kJournalHead = "VEL_DXCC journal 1\n";
constexpr std::string_view kJournalEnd = "end\n";
// Far more than any journal of a few files.
constexpr size_t kJournalMaxBytes = size_t{1} << 20;

// FNV-1a: tells a whole scratch file from one the disk lost part of.
uint64_t checksum(std::string_view bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// One file of the journal.
struct JournalEntry {
    std::filesystem::path target;
    std::filesystem::path scratch;
    uint64_t size = 0;
    uint64_t sum = 0;
};

// A path as the journal holds it: a bare name for a file beside the journal,
// so a data folder on a stick mounted elsewhere next time is still found;
// otherwise the whole path.
std::string journalPath(const std::filesystem::path& file, const std::filesystem::path& journal) {
    if (file.parent_path() == journal.parent_path()) return file.filename().string();
    return std::filesystem::absolute(file).string();
}

std::filesystem::path pathOfJournal(const std::string& stored,
                                    const std::filesystem::path& journal) {
    const std::filesystem::path p(stored);
    return p.is_absolute() ? p : journal.parent_path() / p;
}

// Per file: "file SIZE SUM TARGET-LENGTH SCRATCH-LENGTH\n", the target, the
// scratch file, "\n". Lengths rather than separators: a path may hold any byte.
std::string journalText(const std::vector<JournalEntry>& entries,
                        const std::filesystem::path& journal) {
    std::string text(kJournalHead);
    for (const JournalEntry& e : entries) {
        const std::string target = journalPath(e.target, journal);
        const std::string scratch = journalPath(e.scratch, journal);
        text += "file " + std::to_string(e.size) + ' ' + std::to_string(e.sum) + ' ' +
                std::to_string(target.size()) + ' ' + std::to_string(scratch.size()) + '\n';
        text += target + scratch + '\n';
    }
    text += kJournalEnd;
    return text;
}

// Reads the journal's text back; nothing when it is not a journal of ours.
class JournalReader {
public:
    explicit JournalReader(std::string_view text) : text_(text) {}

    std::optional<std::vector<JournalEntry>> entries(const std::filesystem::path& journal) {
        if (!take(kJournalHead)) return std::nullopt;
        std::vector<JournalEntry> entries;
        while (!take(kJournalEnd)) {
            JournalEntry e;
            uint64_t targetLength = 0, scratchLength = 0;
            if (!take("file ") || !number(e.size, ' ') || !number(e.sum, ' ') ||
                !number(targetLength, ' ') || !number(scratchLength, '\n'))
                return std::nullopt;
            std::string target, scratch;
            if (!bytes(targetLength, target) || !bytes(scratchLength, scratch) || !take("\n") ||
                target.empty() || scratch.empty())
                return std::nullopt;
            e.target = pathOfJournal(target, journal);
            e.scratch = pathOfJournal(scratch, journal);
            entries.push_back(std::move(e));
        }
        if (!text_.empty()) return std::nullopt;
        return entries;
    }

private:
    bool take(std::string_view expected) {
        if (!text_.starts_with(expected)) return false;
        text_.remove_prefix(expected.size());
        return true;
    }
    bool number(uint64_t& value, char after) {
        const auto [end, error] = std::from_chars(text_.data(), text_.data() + text_.size(), value);
        if (error != std::errc{} || end == text_.data()) return false;
        text_.remove_prefix(static_cast<size_t>(end - text_.data()));
        return take(std::string_view(&after, 1));
    }
    bool bytes(uint64_t length, std::string& into) {
        if (length > text_.size()) return false;
        into = std::string(text_.substr(0, length));
        text_.remove_prefix(length);
        return true;
    }

    std::string_view text_;
};

void removeQuietly(const std::filesystem::path& file) {
    ::unlink(file.c_str());
}

// Writes each new content to its scratch file, synced; answers what the
// journal names. On a failure the scratch files written are removed.
std::vector<JournalEntry> writeScratchFiles(const std::vector<FileReplacement>& files) {
    std::vector<JournalEntry> entries;
    try {
        for (const FileReplacement& f : files) {
            SafeRewrite scratch(f.target, f.scratch);
            // Named before anything is written, so a failure removes it too.
            entries.push_back(
                {scratch.target(), scratch.scratch(), f.content.size(), checksum(f.content)});
            scratch.write(f.content);
            scratch.seal();
        }
    } catch (const FileError&) {
        for (const JournalEntry& e : entries) removeQuietly(e.scratch);
        throw;
    }
    return entries;
}

// Whether the scratch file of `e` is a plain file holding what the journal says.
bool holdsWhole(const JournalEntry& e) {
    try {
        const std::string bytes = readFileBytes(e.scratch);
        return bytes.size() == e.size && checksum(bytes) == e.sum;
    } catch (const FileError&) {
        return false;
    }
}

// Whether the name stands in its folder, whatever it is (a link is not followed).
bool namePresent(const std::filesystem::path& file) {
    struct stat st {};
    return ::lstat(file.c_str(), &st) == 0;
}

}  // namespace

void rewriteTogether(const std::vector<FileReplacement>& files,
                     const std::filesystem::path& journal,
                     const std::filesystem::path& journalScratch) {
    const std::vector<JournalEntry> entries = writeScratchFiles(files);
    try {
        rewriteFile(journal, journalScratch, journalText(entries, journal));
    } catch (const FileError&) {
        for (const JournalEntry& e : entries) removeQuietly(e.scratch);
        throw;
    }
    // Decided: from here on, a stop leaves the renames to the next start.
    std::vector<std::filesystem::path> replaced;
    for (size_t i = 0; i < entries.size(); ++i) {
        try {
            renameOver(entries[i].scratch, entries[i].target);
        } catch (const FileError& e) {
            std::vector<std::filesystem::path> pending;
            for (size_t j = i; j < entries.size(); ++j) pending.push_back(entries[j].target);
            throw UnfinishedRewrite(e, std::move(replaced), std::move(pending));
        }
        replaced.push_back(entries[i].target);
    }
    try {
        removeFile(journal);
    } catch (const FileError& e) {
        // Every file holds its new content; the next start only removes the journal.
        throw UnfinishedRewrite(e, std::move(replaced), {});
    }
}

RewriteRecovery finishRewriteTogether(const std::filesystem::path& journal) {
    RewriteRecovery recovery;
    if (!namePresent(journal)) return recovery;
    std::optional<std::vector<JournalEntry>> entries;
    try {
        const std::string text = readFileBytes(journal, FileLimits{kJournalMaxBytes, SIZE_MAX});
        entries = JournalReader(text).entries(journal);
    } catch (const FileError& e) {
        // A journal that cannot be read now may be read later (a disk error).
        if (e.code() != kPathFileAccessError && e.code() != kOutOfMemory) throw;
    }
    if (!entries) {
        // Not ours, or the disk lost it: which files it named is unknown.
        recovery.kind = RewriteRecovery::Kind::Damaged;
        removeFile(journal);
        return recovery;
    }
    // A scratch file that is gone was renamed over its file: nothing else
    // removes one before its journal is done with.
    enum class State { Renamed, Whole, Broken };
    std::vector<State> states;
    for (const JournalEntry& e : *entries)
        states.push_back(!namePresent(e.scratch) ? State::Renamed
                         : holdsWhole(e)         ? State::Whole
                                                 : State::Broken);
    auto any = [&](State wanted) {
        return std::find(states.begin(), states.end(), wanted) != states.end();
    };
    if (any(State::Broken) && !any(State::Renamed)) {
        for (const JournalEntry& e : *entries) removeQuietly(e.scratch);
        removeFile(journal);
        recovery.kind = RewriteRecovery::Kind::Abandoned;
        return recovery;
    }
    recovery.kind =
        any(State::Broken) ? RewriteRecovery::Kind::Damaged : RewriteRecovery::Kind::Finished;
    for (size_t i = 0; i < entries->size(); ++i) {
        const JournalEntry& e = (*entries)[i];
        if (states[i] == State::Whole) {
            renameOver(e.scratch, e.target);
            recovery.finished.push_back(e.target);
        }
        if (states[i] != State::Broken) continue;
        removeQuietly(e.scratch);
        recovery.notUpdated.push_back(e.target);
    }
    removeFile(journal);
    return recovery;
}

}  // namespace dxcc
