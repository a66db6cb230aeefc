#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "core/session/log_session.h"
#include "memory_settings.h"
#include "platform/app_context.h"
#include "platform/text.h"

// Readable failures: gtest finds these next to QString, in the global namespace.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    for (const QString& s : l) *os << "\n    \"" << s.toStdString() << '"';
}

namespace testing_support {

// A clock that stands still until a test moves it.
class FakeClock : public ui::Clock {
public:
    QDateTime utcNow() const override { return utc; }
    QDateTime localNow() const override { return local; }
    QDateTime utc{QDate(2009, 1, 1), QTime(0, 5, 0), Qt::UTC};
    QDateTime local{QDate(2009, 1, 1), QTime(1, 5, 0), Qt::LocalTime};
};

// Records every message and answers questions from a prepared queue. A
// question the test did not prepare an answer for fails the test (and is
// answered No). `onMessage` runs when a message is shown, so a test can act on
// a window opened right after it.
class FakeDialogs : public ui::Dialogs {
public:
    void inform(const QString& text, const QString& = QString()) override {
        messages << text;
        if (onMessage) onMessage(text);
    }
    bool askYesNo(const QString& text) override { return answer(text); }
    bool askYesNoDestructive(const QString& text) override {
        safeDefaultQuestions << text;
        return answer(text);
    }
    bool askOkCancelCritical(const QString& text) override {
        safeDefaultQuestions << text;
        return answer(text);
    }
    QString openFile(const QString&, const QString&) override {
        return files.empty() ? QString() : takeFront(files);
    }
    QString saveFile(const QString&, const QString&) override {
        return saveFiles.empty() ? QString() : takeFront(saveFiles);
    }

    QStringList messages;              // every text shown, questions included, in order
    QStringList safeDefaultQuestions;  // questions whose default answer is the safe one
    std::deque<bool> answers;
    std::deque<QString> files;      // answers of the open-file dialog
    std::deque<QString> saveFiles;  // answers of the save-file dialog
    std::function<void(const QString&)> onMessage;

private:
    bool answer(const QString& text) {
        messages << text;
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
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

// Runs an action on the next modal window as soon as it shows. The expectation
// fails the test when it ends without the window having shown, so an action
// never runs in a later test.
class ModalExpectation {
public:
    ModalExpectation() = default;
    explicit ModalExpectation(std::function<void(QWidget*)> action)
        : state_(std::make_shared<State>()) {
        state_->timer = new QTimer;
        auto state = state_;
        QObject::connect(state->timer, &QTimer::timeout, [state, action] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || state->fired) return;
            state->fired = true;
            state->timer->stop();
            action(modal);
        });
        state_->timer->start(5);
    }
    ModalExpectation(ModalExpectation&&) = default;
    ModalExpectation& operator=(ModalExpectation&& other) {
        finish();
        state_ = std::move(other.state_);
        return *this;
    }
    ~ModalExpectation() { finish(); }

private:
    struct State {
        QTimer* timer = nullptr;
        bool fired = false;
    };
    void finish() {
        if (!state_) return;
        if (!state_->fired) ADD_FAILURE() << "the expected modal window never showed";
        state_->timer->stop();
        state_->timer->deleteLater();
        state_.reset();
    }
    std::shared_ptr<State> state_;
};

[[nodiscard]] inline ModalExpectation whenModalShown(std::function<void(QWidget*)> action) {
    return ModalExpectation(std::move(action));
}

// A complete test context over a fresh temporary data directory, its settings
// in memory (or in `store` when given).
struct TestContext {
    explicit TestContext(std::shared_ptr<dxcc::SessionSettings> store = {})
        : settings(std::make_shared<MemorySettings>()),
          session(ui::toPath(dir.path()), store ? store : settings) {
        clock = std::make_shared<FakeClock>();
        dialogs = std::make_shared<FakeDialogs>();
        ctx.dataDir = dir.path();
        ctx.clock = clock;
        ctx.dialogs = dialogs;
        // As the program does at start-up: the data folder is this copy's.
        session.claimDataFolder();
        ctx.quit = [this](int code) { quitCodes << code; };
        ctx.openExternalUrl = [this](const QString& url) {
            openedUrls << url;
            return true;
        };
    }
    QString path(const QString& name) const { return dir.path() + "/" + name; }

    QTemporaryDir dir;
    std::shared_ptr<MemorySettings> settings;
    dxcc::LogSession session;
    std::shared_ptr<FakeClock> clock;
    std::shared_ptr<FakeDialogs> dialogs;
    QList<int> quitCodes;
    QStringList openedUrls;
    ui::AppContext ctx;
};

}  // namespace testing_support
