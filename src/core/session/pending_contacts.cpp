#include "core/session/pending_contacts.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "core/base/file_error.h"
#include "core/base/program_constants.h"
#include "core/base/text_file.h"
#include "core/base/text_utils.h"
#include "core/session/data_folder_lock.h"

namespace dxcc {

namespace {

// Where `tag` (in capitals) stands in `text` from `from` on, in any letter case.
size_t findTag(std::string_view text, std::string_view tag, size_t from) {
    for (size_t at = text.find('<', from); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        if (text.size() - at < tag.size()) return std::string_view::npos;
        bool same = true;
        for (size_t i = 0; i < tag.size() && same; ++i)
            same = upperCaseCp1252(text[at + i]) == tag[i];
        if (same) return at;
    }
    return std::string_view::npos;
}

constexpr int kAttempts = 5;

// Takes `lock`, waiting as `wait` says while another writer has it.
void holdLock(DataFolderLock& lock, const PendingContacts::LockWait& wait) {
    for (int refusals = 1;; ++refusals) {
        switch (lock.tryLock()) {
            case DataFolderLock::Outcome::Held:
                return;
            case DataFolderLock::Outcome::Unavailable:
                throw FileError(kPermissionDenied, lock.file().string());
            case DataFolderLock::Outcome::InUse:
                if (!wait || !wait(refusals))
                    throw FileError(kPermissionDenied, lock.file().string(), EWOULDBLOCK);
                break;
        }
    }
}

}  // namespace

std::vector<std::string> adifRecords(std::string_view text) {
    std::vector<std::string> records;
    size_t start = 0;
    if (const size_t header = findTag(text, "<EOH>", 0); header != std::string_view::npos)
        start = header + 5;
    for (size_t end = findTag(text, "<EOR>", start); end != std::string_view::npos;
         end = findTag(text, "<EOR>", start)) {
        const std::string_view record = trimBlanks(text.substr(start, end + 5 - start));
        // Line ends between records are no part of them.
        const size_t first = record.find('<');
        if (first != std::string_view::npos && first + 5 < record.size())
            records.emplace_back(record.substr(first));
        start = end + 5;
    }
    return records;
}

bool PendingContacts::waitBriefly(int refusals) {
    constexpr int kMaxRefusals = 10;
    if (refusals > kMaxRefusals) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return true;
}

PendingContacts::PendingContacts(std::filesystem::path dataDir, LockWait wait)
    : dir_(std::move(dataDir)),
      path_(dir_ / std::string(kPendingContactsFileName)),
      wait_(std::move(wait)) {}

std::vector<std::string> PendingContacts::read() const {
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path_, ec))) return {};
    return adifRecords(readFileBytes(path_, FileLimits{kMaxBytes, kMaxBytes}));
}

template <typename Change>
void PendingContacts::update(Change&& change) {
    DataFolderLock lock(dir_, kPendingLockFileName);
    holdLock(lock, wait_);
    for (int attempt = 1;; ++attempt) {
        const FileIdentity before = fileIdentity(path_);
        std::vector<std::string> records = read();
        change(records);
        std::string content;
        for (const std::string& r : records) content.append(r).append("\r\n");
        if (content.size() > kMaxBytes) throw FileError(kOutOfMemory, path_.string());
        try {
            rewriteFile(path_, dir_ / kPendingScratchName, content, before);
            return;
        } catch (const FileError& e) {
            if (e.problem() != FileProblem::ChangedWhileWriting || attempt == kAttempts) throw;
        }
    }
}

void PendingContacts::add(std::string_view record) {
    update([&](std::vector<std::string>& records) { records.emplace_back(trimBlanks(record)); });
}

void PendingContacts::remove(const std::vector<std::string>& done) {
    update([&](std::vector<std::string>& records) {
        for (const std::string& d : done) {
            const auto it = std::find(records.begin(), records.end(), d);
            if (it != records.end()) records.erase(it);
        }
    });
}

}  // namespace dxcc
