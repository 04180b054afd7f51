#include "platform/camera/DeviceMonitor.h"

DeviceMonitor::DeviceMonitor(std::shared_ptr<CameraBackend> backend, QObject* parent)
    : QObject(parent), m_backend(std::move(backend))
{
    if (!m_backend) {
        return;
    }
    // Reports may come from any thread; the signal is always emitted on ours. The
    // backend calls the handler under its lock, so once the destructor has removed
    // it no report can reach a dying monitor, and Qt drops events still queued.
    m_backend->WatchDevices([this](int event, int deviceType) {
        QMetaObject::invokeMethod(
            this, [this, event, deviceType] { emit deviceChange(event, deviceType); }, Qt::QueuedConnection);
    });
}

DeviceMonitor::~DeviceMonitor()
{
    if (m_backend) {
        m_backend->WatchDevices(nullptr);
    }
}
