#pragma once

#include <map>
#include <string>
#include <string_view>

#include "core/session/session_settings.h"

namespace testing_support {

// The settings store held in memory, as "section/key" -> value; every test,
// core or windows, reads and writes its settings here.
class MemorySettings : public dxcc::SessionSettings {
public:
    std::string get(std::string_view section, std::string_view key,
                    std::string_view defaultValue) const override {
        const auto found = values.find(name(section, key));
        return found == values.end() ? std::string(defaultValue) : found->second;
    }
    void set(std::string_view section, std::string_view key, std::string_view value) override {
        values[name(section, key)] = std::string(value);
    }
    bool has(std::string_view section, std::string_view key) const {
        return values.contains(name(section, key));
    }

    std::map<std::string, std::string> values;

private:
    static std::string name(std::string_view section, std::string_view key) {
        return std::string(section) + "/" + std::string(key);
    }
};

}  // namespace testing_support
