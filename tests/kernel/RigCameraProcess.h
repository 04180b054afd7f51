#pragma once
// The rig's camera program as the test inside the VM drives it: started = plugged in,
// SIGTERM = unplugged, SIGUSR1 = a press of its button.
#include <QString>
#include <sys/types.h>

namespace rig {

class RigCameraProcess {
public:
    // `program` is the camera; `dataDir` holds its MJPG frames and the brightness it was given.
    RigCameraProcess(QString program, QString dataDir);
    ~RigCameraProcess();
    RigCameraProcess(const RigCameraProcess&) = delete;
    RigCameraProcess& operator=(const RigCameraProcess&) = delete;

    // Starts the camera and waits (bounded) until uvcvideo made its capture node and its
    // button's input node; false when either did not come.
    bool Plug();
    // Takes the camera off the bus and waits until the program has ended.
    void Unplug();
    // Kills the camera program outright: the kernel closes its files, the device leaves
    // the bus as if its cable were pulled.
    void Kill();
    void PressButton();
    // The value the device last took for a control (a file RigPattern.h names), or -1
    // when it was never set.
    int DeviceValue(const char* control) const;
    QString DataDir() const { return m_dataDir; }

private:
    void EndWith(int how);

    QString m_program, m_dataDir;
    pid_t m_pid = -1;
};

// The camera main() plugged in for the tests.
RigCameraProcess& PluggedCamera();

} // namespace rig
