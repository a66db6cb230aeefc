#include "platform/stop_signals.h"

#include <sys/socket.h>
#include <unistd.h>

namespace ui {

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

StopSignals::StopSignals(std::function<void()> stop) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
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
