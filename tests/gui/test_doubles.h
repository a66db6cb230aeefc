#pragma once

#include <QApplication>
#include <QDateTime>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

#include "logbook/log_session.h"
#include "ui/app_context.h"
#include "ui/text.h"

namespace testing_support {

// Settings held in memory; every write is recorded.
class FakeSettings : public ui::SettingsStore {
public:
    QString get(const QString& section, const QString& key,
                const QString& defaultValue) const override {
        return values.value(section + "/" + key, defaultValue);
    }
    void set(const QString& section, const QString& key, const QString& value) override {
        values[section + "/" + key] = value;
    }
    bool has(const QString& section, const QString& key) const {
        return values.contains(section + "/" + key);
    }
    QMap<QString, QString> values;
};

// A clock that stands still until a test moves it.
class FakeClock : public ui::Clock {
public:
    QDateTime utcNow() const override { return utc; }
    QDateTime localNow() const override { return local; }
    QDateTime utc{QDate(2009, 1, 1), QTime(0, 5, 0), Qt::UTC};
    QDateTime local{QDate(2009, 1, 1), QTime(1, 5, 0), Qt::LocalTime};
};

// Records every message and answers questions from a prepared queue (Yes/OK
// when the queue is empty). `onMessage` runs when a message is shown, so a test
// can act on a window opened right after it.
class FakeDialogs : public ui::Dialogs {
public:
    void inform(const QString& text, const QString& = QString()) override {
        messages << text;
        if (onMessage) onMessage(text);
    }
    bool askYesNo(const QString& text) override { return answer(text); }
    bool askOkCancelCritical(const QString& text) override { return answer(text); }
    QString openFile(const QString&, const QString&) override {
        return files.empty() ? QString() : takeFront(files);
    }

    QStringList messages;  // every text shown, questions included, in order
    std::deque<bool> answers;
    std::deque<QString> files;
    std::function<void(const QString&)> onMessage;

private:
    bool answer(const QString& text) {
        messages << text;
        if (answers.empty()) return true;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    static QString takeFront(std::deque<QString>& d) {
        QString s = d.front();
        d.pop_front();
        return s;
    }
};

// A complete test context over a fresh temporary data directory.
struct TestContext {
    TestContext() : session(ui::toPath(dir.path())) {
        settings = std::make_shared<FakeSettings>();
        clock = std::make_shared<FakeClock>();
        dialogs = std::make_shared<FakeDialogs>();
        ctx.dataDir = dir.path();
        ctx.settings = settings;
        ctx.clock = clock;
        ctx.dialogs = dialogs;
        ctx.quit = [this](int code) { quitCodes << code; };
        ctx.openExternalUrl = [this](const QString& url) {
            openedUrls << url;
            return true;
        };
    }
    QString path(const QString& name) const { return dir.path() + "/" + name; }

    QTemporaryDir dir;
    dxcc::LogSession session;
    std::shared_ptr<FakeSettings> settings;
    std::shared_ptr<FakeClock> clock;
    std::shared_ptr<FakeDialogs> dialogs;
    QList<int> quitCodes;
    QStringList openedUrls;
    ui::AppContext ctx;
};

}  // namespace testing_support
