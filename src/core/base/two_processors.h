#pragma once

#include <exception>
#include <system_error>
#include <thread>

namespace dxcc {

// Runs `second` on another thread while `first` runs on this one, and returns
// once both are done; the first exception of either is then thrown. Where no
// thread can be had, `second` runs here after `first`.
template <typename First, typename Second>
void onTwoProcessors(const First& first, const Second& second) {
    std::exception_ptr secondError;
    auto runSecond = [&] {
        try {
            second();
        } catch (...) {
            secondError = std::current_exception();
        }
    };
    std::thread other;
    try {
        other = std::thread(runSecond);
    } catch (const std::system_error&) {
        first();
        second();
        return;
    }
    try {
        first();
    } catch (...) {
        other.join();
        throw;
    }
    other.join();
    if (secondError) std::rethrow_exception(secondError);
}

// Whether a second processor is there to share the work.
inline bool twoProcessors() {
    return std::thread::hardware_concurrency() >= 2;
}

}  // namespace dxcc
