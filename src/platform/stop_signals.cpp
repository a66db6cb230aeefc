#include "platform/stop_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace ui {

namespace {

int signalPipe[2] = {-1, -1};

// Async-signal-safe: one write that never blocks (a full socket already
// holds a byte for the loop), and the interrupted code's errno left as it was.
void onSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

StopSignals::StopSignals(std::function<void()> stop) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    notifier_.emplace(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&*notifier_, &QSocketNotifier::activated, [stop = std::move(stop)] {
        char byte;
        while (::recv(signalPipe[0], &byte, 1, MSG_DONTWAIT) == 1) {
        }
        stop();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

StopSignals::~StopSignals() {
    if (!notifier_) return;
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    notifier_.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
}

}  // namespace ui
