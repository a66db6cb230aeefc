#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
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

    // Writes `bytes` to the file `name` of the data folder; returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(dir.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        file.write(bytes);
        return file.fileName();
    }
    // The bytes of the file `name` of the data folder, "<missing>" without one.
    QByteArray readFile(const QString& name) const {
        QFile file(dir.path() + "/" + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    std::shared_ptr<MemorySettings> settings = std::make_shared<MemorySettings>();
    ui::CommandDefaults defaults{settings, [this] { return dir.path(); }};
    std::ostringstream out;
    std::ostringstream err;
};

}  // namespace testing_support
