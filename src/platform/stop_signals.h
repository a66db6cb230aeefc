#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <optional>

namespace ui {

// SIGINT and SIGTERM (Ctrl+C, a session's logout, `kill`) ask the program to
// end: the handler only writes a byte that the event loop reads, and `stop`
// runs there, between two events. Nothing is cut in the middle of a write,
// and what the program undoes as it ends (the colours it put in the
// decoders' windows) is undone. The former handlers come back when the
// object goes; one object at a time.
class StopSignals {
public:
    explicit StopSignals(std::function<void()> stop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    std::optional<QSocketNotifier> notifier_;
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

}  // namespace ui
