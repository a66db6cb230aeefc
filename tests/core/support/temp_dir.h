#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "core/base/text_file.h"

namespace testing_support {

// A fresh directory removed with everything in it when the test ends.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("vel_dxcc_test_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void write(const std::string& name, const std::string& bytes) const {
        dxcc::rewriteFile(path_ / name, path_ / (name + ".tmp"), bytes);
    }
    std::string read(const std::string& name) const { return dxcc::readFileBytes(path_ / name); }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support
