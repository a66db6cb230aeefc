#pragma once

#include <memory>

#include "core/session/session_settings.h"
#include "platform/app_context.h"
#include "platform/text.h"

namespace ui {

// The session's settings kept in the platform's store: the core speaks the
// log's character set, the store Unicode.
class SessionSettingsStore : public dxcc::SessionSettings {
public:
    explicit SessionSettingsStore(std::shared_ptr<SettingsStore> store)
        : store_(std::move(store)) {}
    std::string get(std::string_view section, std::string_view key,
                    std::string_view defaultValue) const override {
        return toCp1252(
            store_->get(fromCp1252(section), fromCp1252(key), fromCp1252(defaultValue)));
    }
    void set(std::string_view section, std::string_view key, std::string_view value) override {
        store_->set(fromCp1252(section), fromCp1252(key), fromCp1252(value));
    }

private:
    std::shared_ptr<SettingsStore> store_;
};

}  // namespace ui
