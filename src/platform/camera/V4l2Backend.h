#pragma once
// Real UVC microscopes through V4L2, found and watched with udev.
#include "platform/camera/CameraBackend.h"
#include "platform/camera/UdevDevices.h"
#include "platform/camera/V4l2Camera.h"
#include "platform/camera/V4l2Io.h"

#include <memory>
#include <mutex>

class V4l2Backend : public CameraBackend {
public:
    V4l2Backend();
    // Tests run the backend against an emulated driver.
    V4l2Backend(std::shared_ptr<V4l2Io> io, std::shared_ptr<UdevSource> udev, V4l2StreamTiming timing = {});
    ~V4l2Backend() override;

    // Capture nodes as udev describes them; a node the user may not open is listed too.
    std::vector<CameraDeviceInfo> EnumerateDevices() override;
    std::unique_ptr<CameraDevice> Open(const CameraDeviceInfo& device, CameraStatus* status) override;
    bool IsUsbHardwareIdPresent(const QString& usbHardwareId) override;
    // Also attaches a camera button that appears after its camera was opened.
    void WatchDevices(DeviceChangeHandler handler) override;

private:
    struct OpenCameras;
    std::vector<UdevRecord> CaptureNodes();
    bool IsCapture(const UdevRecord& record);
    void OfferButtons(V4l2Camera& camera, const QString& usbSysPath);
    void OnNotice(const UdevNotice& notice);

    std::shared_ptr<V4l2Io> m_io;
    std::shared_ptr<UdevSource> m_udev;
    V4l2StreamTiming m_timing;
    std::shared_ptr<OpenCameras> m_open;
    std::mutex m_lock;
    DeviceChangeHandler m_handler;
    std::unique_ptr<UdevWatch> m_watch;
};
