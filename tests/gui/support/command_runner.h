#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <sstream>

#include "app/command_line.h"
#include "memory_settings.h"

namespace testing_support {

// Runs commands as the program does, in a data folder of their own, with
// settings the test fills; what they write is kept in `out` and `err`.
class CommandRunner : public ::testing::Test {
protected:
    int run(const QStringList& args) {
        out.str({});
        err.str({});
        return ui::runCommand(args, defaults, out, err);
    }

    QTemporaryDir dir;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    ui::CommandDefaults defaults{settings, [this] { return dir.path(); }};
    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace testing_support
