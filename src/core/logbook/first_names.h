#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/program_constants.h"
#include "core/base/text_utils.h"

namespace dxcc {

// A line of Liste_Prenom.txt: the callsign padded with blanks to 16 columns, then
// the first name in upper case, unpadded. The first 12 columns name the callsign.
inline constexpr size_t kFirstNameCallsignColumns = 12;
inline constexpr size_t kFirstNameColumn = 17;
inline constexpr std::string_view kFirstNameScratchName = kRewriteScratchName;

// The first name last committed for each callsign, shared by all stations.
// File errors other than a missing file reach the caller as FileError.
class FirstNameMemory {
public:
    explicit FirstNameMemory(std::filesystem::path dataDir);

    // The name of the last line whose callsign (first 12 columns, blanks trimmed)
    // equals `callsign` exactly, upper-cased; nullopt when no line does. A missing
    // file is created empty.
    std::optional<std::string> lookup(std::string_view callsign) const;

    // Every line for the callsign (first 12 columns compared as stored) becomes the
    // new line; without one, the new line is added at the end. The file is rewritten
    // safely, and created when missing. An empty name is remembered as empty.
    void update(std::string_view callsign, std::string_view firstName);

    // Blanks around the callsign and the name are dropped; the name is upper-cased.
    static std::string makeLine(std::string_view callsign, std::string_view firstName);

    const std::filesystem::path& path() const { return file_; }

private:
    std::string readOrCreate() const;

    std::filesystem::path file_;
    std::filesystem::path scratch_;
};

}  // namespace dxcc
