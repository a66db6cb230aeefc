#pragma once

#include <string>
#include <string_view>

namespace dxcc {

// Where the program's settings are kept: a value (UTF-8 text) per section and
// key. Only StationSettings names sections and keys; the platform's settings
// store stands behind it, tests hold the values in memory.
class SessionSettings {
public:
    virtual ~SessionSettings() = default;
    virtual std::string get(std::string_view section, std::string_view key,
                            std::string_view defaultValue) const = 0;
    virtual void set(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace dxcc
