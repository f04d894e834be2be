#include "app/termination_signals.h"

#include <QSocketNotifier>
#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

namespace vz {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int wake_fds[2] = {-1, -1};  // [0] read by the notifier, [1] written by the handler

void on_signal(int signal_number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal_number);
    [[maybe_unused]] const ssize_t written = ::write(wake_fds[1], &byte, 1);  // full: one is pending anyway
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, wake_fds) != 0) {
        qWarning("termination signals: socketpair failed: %s", strerror(errno));
        wake_fds[0] = wake_fds[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(wake_fds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::read_pending);

    struct sigaction action = {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) {
        struct sigaction current = {};
        sigaction(kSignals[i], nullptr, &current);
        installed_[i] = current.sa_handler != SIG_IGN && sigaction(kSignals[i], &action, &previous_[i]) == 0;
    }
}

TerminationSignals::~TerminationSignals() {
    if (wake_fds[0] < 0) return;
    for (int i = 0; i < 3; ++i)
        if (installed_[i]) sigaction(kSignals[i], &previous_[i], nullptr);
    delete notifier_;
    ::close(wake_fds[0]);
    ::close(wake_fds[1]);
    wake_fds[0] = wake_fds[1] = -1;
}

void TerminationSignals::read_pending() {
    unsigned char bytes[16];
    ssize_t count;
    while ((count = ::read(wake_fds[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < count; ++i) emit received(bytes[i]);
}

}  // namespace vz
