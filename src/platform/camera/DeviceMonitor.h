#pragma once
// Turns a camera backend's device-change reports (udev for V4L2, plug/unplug of the
// virtual microscope) into a signal on the thread that owns the monitor.
#include "platform/camera/CameraBackend.h"

#include <QObject>
#include <memory>

class DeviceMonitor : public QObject {
    Q_OBJECT
public:
    explicit DeviceMonitor(std::shared_ptr<CameraBackend> backend, QObject* parent = nullptr);
    ~DeviceMonitor() override;

signals:
    // event: DBT_DEVNODES_CHANGED, DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE;
    // deviceType: DBT_DEVTYP_DEVICEINTERFACE for capture devices.
    void deviceChange(int event, int deviceType);

private:
    std::shared_ptr<CameraBackend> m_backend;
};
