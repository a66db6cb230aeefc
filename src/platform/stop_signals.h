#pragma once

#include <QEventLoop>
#include <QSocketNotifier>
#include <csignal>
#include <optional>

namespace ui {

// SIGINT and SIGTERM end the command between two datagrams: the handler only
// writes a byte that the event loop reads.
class SignalsEndLoop {
public:
    explicit SignalsEndLoop(QEventLoop& loop);
    ~SignalsEndLoop();
    SignalsEndLoop(const SignalsEndLoop&) = delete;
    SignalsEndLoop& operator=(const SignalsEndLoop&) = delete;

private:
    std::optional<QSocketNotifier> notifier_;
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

}  // namespace ui
