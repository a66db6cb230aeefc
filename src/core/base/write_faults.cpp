#include "core/base/write_faults.h"

#include <utility>

namespace dxcc {

namespace {

WriteFault& installedFault() {
    static WriteFault fault;
    return fault;
}

}  // namespace

ScopedWriteFault::ScopedWriteFault(WriteFault fault)
    : previous_(std::exchange(installedFault(), std::move(fault))) {}

ScopedWriteFault::~ScopedWriteFault() {
    installedFault() = std::move(previous_);
}

int injectedWriteFault(WriteStep step, const std::filesystem::path& file) {
    const WriteFault& fault = installedFault();
    return fault ? fault(step, file) : 0;
}

}  // namespace dxcc
