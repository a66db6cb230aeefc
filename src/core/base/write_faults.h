#pragma once

#include <filesystem>
#include <functional>

namespace dxcc {

// The system calls through which every data file is written (text_file.cpp).
// A test makes any of them fail as a full disk, a refused permission or a
// read-only disk would, without such a disk at hand (and as root, whom file
// permissions do not stop).
enum class WriteStep {
    Open,      // opening a file for writing (scratch, append, create)
    Write,     // writing bytes: half of them reach the file, then the call fails
    Sync,      // fsync of the written file
    Close,     // closing it (a delayed write error)
    Rename,    // the scratch file renamed over its target
    Truncate,  // a half-written appended line taken back
    Remove,    // a file no longer needed removed (the journal of a finished group)
};

// Answers the errno with which `step` on `file` fails, or 0 to let it run.
using WriteFault = std::function<int(WriteStep step, const std::filesystem::path& file)>;

// Installs `fault` until the object goes; the one before comes back then. The
// program never installs one.
class ScopedWriteFault {
public:
    explicit ScopedWriteFault(WriteFault fault);
    ~ScopedWriteFault();
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;

private:
    WriteFault previous_;
};

// What the installed fault answers; 0 when none is installed.
int injectedWriteFault(WriteStep step, const std::filesystem::path& file);

}  // namespace dxcc
