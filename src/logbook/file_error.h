#pragma once

#include <stdexcept>
#include <string>

namespace dxcc {

// The classic numeric file-error codes; the windows decide what the operator sees.
enum FileErrorCode : int {
    kFileNotFound = 53,
    kDeviceIoError = 57,
    kDiskFull = 61,
    kInputPastEnd = 62,
    kPermissionDenied = 70,
    kPathNotFound = 76,
};

class FileError : public std::runtime_error {
public:
    FileError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

// Maps an errno value to the file-error code above.
int fileErrorCodeFromErrno(int err);

// Throws FileError for errno `err`, naming the file in the message.
[[noreturn]] void throwFileError(int err, const std::string& path);

}  // namespace dxcc
