#include "quitsignals.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

void closeOnQuitSignals(QWidget* window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, window);
    QPointer<QWidget> target(window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [target] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], &byte, 1);
        if (target)
            target->close();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
