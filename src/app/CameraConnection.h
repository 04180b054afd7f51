#pragma once
// The microscope's connection as the main window shows it: starting the camera,
// noticing that it went or would not start, and finding it again on the device
// notices and the window's re-detection timer (1001). The capture session runs
// the camera; this object decides when to start it and tells the window what to
// show through its Host.
#include "capture/StartFailureNotice.h"

#include <QObject>
#include <QString>
#include <functional>
#include <mutex>

class CaptureSession;
class DeviceMonitor;

class CameraConnection : public QObject {
    Q_OBJECT
public:
    // What the window does for the connection.
    struct Host {
        std::function<void(bool connected)> showConnected; // tool buttons, preview look, size text
        std::function<void(int id, int ms)> setTimer;      // the window's timers
        std::function<void()> rebuildMenus;                // the size items follow the class
        std::function<void(const QString& text)> warn;     // a warning box
    };
    CameraConnection(CaptureSession& session, QObject* parent, Host host);
    ~CameraConnection() override;

    // Starts the device watch and the camera (once, at start-up).
    void Start();
    // Re-detects the microscope under the connection's lock; 1 when it runs afterwards.
    int Redetect();
    // Device-change notices (arrival, removal, nodes changed).
    void OnDeviceChange(int event, int deviceType);
    // A graph event of the session (EC_START_FAILED, EC_ERRORABORT, EC_DEVICE_LOST).
    void OnGraphEvent(int code);
    // Ends the device watch and the camera (closing).
    void Stop();

    bool IsConnected() const { return m_connected; }

private:
    bool TryStart();
    void ShowConnected();
    void ShowDisconnected();
    // After a failed start: the connect message, or why the camera did not start.
    void ShowNotRunning();

    CaptureSession& m_session;
    Host m_host;
    DeviceMonitor* m_monitor = nullptr;
    StartFailureNotice m_startFailureNotice;
    std::recursive_mutex m_lock; // held for a whole re-detection
    bool m_connected = false;
    bool m_redetecting = false;
};
