#include "kernel/RigCameraProcess.h"

#include "common/UvcRig.h"
#include "kernel/RigPattern.h"
#include "platform/camera/UdevDevices.h"

#include <QFile>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace rig {
namespace {
constexpr int kPlugSeconds = 20; // enumeration takes about a second on an idle machine
constexpr int kUnplugSeconds = 5;

bool HasNode(const QString& subsystem)
{
    for (const UdevRecord& record : SystemUdev()->Devices(subsystem)) {
        const bool wanted =
            subsystem == kSubsystemInput ? IsInputEventNode(record) : !record.devNode.isEmpty();
        if (record.hardwareId == kHardwareId && wanted) {
            return true;
        }
    }
    return false;
}
} // namespace

RigCameraProcess::RigCameraProcess(QString program, QString dataDir)
    : m_program(std::move(program)), m_dataDir(std::move(dataDir))
{
}

RigCameraProcess::~RigCameraProcess()
{
    Unplug();
}

bool RigCameraProcess::Plug()
{
    const QByteArray program = m_program.toLocal8Bit(), dir = m_dataDir.toLocal8Bit();
    m_pid = fork();
    if (m_pid == 0) {
        execl(program.constData(), program.constData(), "-v", "-d", dir.constData(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return m_pid > 0 &&
           emu::WaitFor([] { return HasNode(kSubsystemVideo) && HasNode(kSubsystemInput); }, kPlugSeconds);
}

void RigCameraProcess::Unplug()
{
    EndWith(SIGTERM);
}

void RigCameraProcess::Kill()
{
    EndWith(SIGKILL);
}

void RigCameraProcess::EndWith(int how)
{
    if (m_pid > 0) {
        kill(m_pid, how);
        const pid_t pid = m_pid;
        if (!emu::WaitFor([pid] { return waitpid(pid, nullptr, WNOHANG) == pid; }, kUnplugSeconds)) {
            kill(pid, SIGKILL); // a camera stuck in a write must not hold the test
            waitpid(pid, nullptr, 0);
        }
        m_pid = -1;
    }
}

void RigCameraProcess::PressButton()
{
    if (m_pid > 0) {
        kill(m_pid, SIGUSR1);
    }
}

int RigCameraProcess::DeviceValue(const char* control) const
{
    QFile file(m_dataDir + "/" + control);
    bool ok = false;
    const int value = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt(&ok) : -1;
    return ok ? value : -1;
}

} // namespace rig
