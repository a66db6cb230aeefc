#pragma once

#include <stdexcept>
#include <string>

namespace dxcc {

// The classic numeric file-error codes; the windows decide what the operator sees.
enum FileErrorCode : int {
    // Refused before reading: the file is larger than the program will hold in
    // memory.
    kOutOfMemory = 7,
    kFileNotFound = 53,
    kDeviceIoError = 57,
    kDiskFull = 61,
    kInputPastEnd = 62,
    kPermissionDenied = 70,
    // The name is a folder or a device, not a plain file.
    kPathFileAccessError = 75,
    kPathNotFound = 76,
};

// What the program itself found wrong, where no system error tells it.
enum class FileProblem {
    None,
    // The file was changed on disk by someone else while it was being
    // rewritten: the rewrite was abandoned, the other change kept.
    ChangedWhileWriting,
    // The log would grow beyond what the program can read again.
    LogLimitReached,
};

// What every report of a file error starts with, before the code.
inline constexpr const char* kFileErrorLead = "Erreur N° ";

class FileError : public std::runtime_error {
public:
    // `what` names the file; `systemError` is the errno behind the code, when
    // one is known (it tells a read-only disk from a refused permission).
    FileError(int code, const std::string& what, int systemError = 0,
              FileProblem problem = FileProblem::None)
        : std::runtime_error(what), code_(code), systemError_(systemError), problem_(problem) {}
    int code() const { return code_; }
    int systemError() const { return systemError_; }
    FileProblem problem() const { return problem_; }

private:
    int code_;
    int systemError_;
    FileProblem problem_;
};

// Maps an errno value to the file-error code above.
int fileErrorCodeFromErrno(int err);

// Throws FileError for errno `err`, naming the file in the message.
[[noreturn]] void throwFileError(int err, const std::string& path);

}  // namespace dxcc
