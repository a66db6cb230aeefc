#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

// What every fuzz target shares: a scratch data folder and a check that stops
// the run with a message, so that a broken rule counts as a finding just as a
// crash does.
namespace fuzzing {

// A fresh folder for this process, on a RAM disk when there is one (a sync
// there costs nothing), removed when the process ends.
inline const std::filesystem::path& dataDir() {
    static const std::filesystem::path dir = [] {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::filesystem::path d = base / ("vel_dxcc_fuzz_" + std::to_string(::getpid()));
        std::filesystem::remove_all(d);
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(dataDir(), ec);
        });
        return d;
    }();
    return dir;
}

// Puts `bytes` in `file` as they are (no line-end rule: the input is hostile).
inline void writeRaw(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A field taken from the input: `width` bytes from `at`, control characters
// (which the entry form never lets through) turned into `fill`.
inline std::string fieldFrom(std::string_view input, size_t at, size_t width, char fill) {
    std::string out;
    for (size_t i = 0; i < width; ++i) {
        const unsigned char c = at + i < input.size() ? static_cast<unsigned char>(input[at + i])
                                                      : static_cast<unsigned char>(fill);
        out += c < 32 || c == 127 ? fill : static_cast<char>(c);
    }
    return out;
}

}  // namespace fuzzing

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)
