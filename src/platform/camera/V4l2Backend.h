#pragma once
// Real UVC microscopes through V4L2, found and watched with udev.
#include "platform/camera/CameraBackend.h"

#include <memory>
#include <mutex>

class UdevWatcher;

class V4l2Backend : public CameraBackend {
public:
    V4l2Backend();
    ~V4l2Backend() override;

    std::vector<CameraDeviceInfo> EnumerateDevices() override;
    std::unique_ptr<CameraDevice> Open(const CameraDeviceInfo& device, CameraStatus* status) override;
    bool IsUsbHardwareIdPresent(const QString& usbHardwareId) override;
    void WatchDevices(DeviceChangeHandler handler) override;

private:
    std::mutex m_lock;
    DeviceChangeHandler m_handler;
    std::unique_ptr<UdevWatcher> m_watcher;
};
