#include "platform/desktop/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_pending = 0;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kExitOnSecondSignal = 128;

void OnSignal(int signal)
{
    if (g_pending) {
        // The first request is still being handled: do not wait for it again.
        ::_exit(kExitOnSecondSignal + signal);
    }
    g_pending = 1;
    const int saved = errno;
    const char code = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &code, 1);
    errno = saved;
}

} // namespace

bool InstallTerminationSignals(std::function<void()> onTerminate)
{
    if (!QCoreApplication::instance() || g_pipe[0] >= 0) {
        return false;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        return false;
    }
    auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, onTerminate] {
        char codes[16];
        while (::read(g_pipe[1], codes, sizeof codes) > 0) {
        }
        notifier->setEnabled(false);
        if (onTerminate) {
            onTerminate();
        }
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool installed = true;
    for (const int signal : kSignals) {
        installed = ::sigaction(signal, &action, nullptr) == 0 && installed;
    }
    return installed;
}
