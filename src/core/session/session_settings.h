#pragma once

#include <string>
#include <string_view>

namespace dxcc {

// The program's settings as the session reads and writes them: sections and
// keys of program_constants.h, values in the log's own character set. The
// platform's settings store stands behind it; tests hold them in memory.
class SessionSettings {
public:
    virtual ~SessionSettings() = default;
    virtual std::string get(std::string_view section, std::string_view key,
                            std::string_view defaultValue) const = 0;
    virtual void set(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace dxcc
