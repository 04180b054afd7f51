#include "platform/camera/VirtualMicroscopeSignals.h"

#include "platform/camera/VirtualMicroscope.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};

void OnSignal(int signal)
{
    const int saved = errno;
    const char code = signal == SIGUSR1 ? 'b' : 'p';
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &code, 1);
    errno = saved;
}

void Dispatch(VirtualMicroscope& microscope)
{
    char codes[16];
    const ssize_t n = ::read(g_pipe[1], codes, sizeof codes);
    for (ssize_t i = 0; i < n; ++i) {
        if (codes[i] == 'b') {
            microscope.PressButton();
        } else {
            microscope.TogglePlugged();
        }
    }
}
} // namespace

bool InstallVirtualMicroscopeSignals(std::shared_ptr<VirtualMicroscope> microscope)
{
    if (!microscope || !QCoreApplication::instance() || g_pipe[0] >= 0) {
        return false;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        return false;
    }
    auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [microscope] { Dispatch(*microscope); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGUSR1, &action, nullptr) == 0 && ::sigaction(SIGUSR2, &action, nullptr) == 0;
}
