#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/base/file_error.h"
#include "core/logbook/logbook.h"

namespace dxcc {

// What one of the operator's commands did: what changed in the log, what to
// tell, what failed. The windows show it, the command line prints it.
struct SessionOutcome {
    enum class Failure {
        None,
        FolderInUse,       // another copy of the program holds the data folder
        FolderUnlockable,  // the data folder cannot be locked (read-only, ...)
        File,              // a file could not be read or written: `fileError`
        LineChanged,       // the contact is no longer what the file holds
        Refused            // a check said no: `messages` say why
    };
    Failure failure = Failure::None;
    // Set when the log changed: what the list over it must follow.
    std::optional<LogChange> change;
    std::optional<FileError> fileError;
    // What the operator is told (UTF-8), in order, besides a file error (whose
    // wording belongs to the front end).
    std::vector<std::string> messages;

    bool ok() const { return failure == Failure::None; }
    // Whether the log was written (and so may hold more than before).
    bool logChanged() const { return change.has_value(); }
    // Records a file error as the failure.
    void failedOn(const FileError& error) {
        failure = Failure::File;
        fileError = error;
    }
    // Records a check's refusal, with the reason to tell.
    void refused(std::string reason) {
        failure = Failure::Refused;
        messages.push_back(std::move(reason));
    }
};

}  // namespace dxcc
