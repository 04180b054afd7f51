#include "platform/camera/V4l2Backend.h"

#include "platform/camera/UdevDevices.h"
#include "platform/camera/V4l2Camera.h"

#include <cstring>
#include <linux/videodev2.h>

namespace {
// Capture-capable nodes only (UVC also creates metadata nodes); the card name.
bool QueryCaptureNode(const QString& devNode, QString& card)
{
    UniqueFd fd = OpenDeviceNode(devNode.toLocal8Bit().constData());
    v4l2_capability caps{};
    if (!fd.valid() || V4l2Ioctl(fd.get(), VIDIOC_QUERYCAP, &caps) != 0) {
        return false;
    }
    const unsigned deviceCaps =
        (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    card = QString::fromUtf8(
        reinterpret_cast<const char*>(caps.card),
        static_cast<int>(strnlen(reinterpret_cast<const char*>(caps.card), sizeof caps.card)));
    return (deviceCaps & V4L2_CAP_VIDEO_CAPTURE) != 0;
}

} // namespace

V4l2Backend::V4l2Backend() = default;

V4l2Backend::~V4l2Backend() = default;

std::vector<CameraDeviceInfo> V4l2Backend::EnumerateDevices()
{
    std::vector<CameraDeviceInfo> devices;
    for (const UdevVideoNode& node : ListUsbVideoNodes()) {
        QString card;
        if (!QueryCaptureNode(node.devNode, card)) {
            continue;
        }
        CameraDeviceInfo info;
        info.displayName = "usb#" + node.hardwareId + "#" + node.busPath + " " + node.devNode;
        info.friendlyName = card.isEmpty() ? node.product : card;
        info.key = node.hardwareId + "#" + node.interfaceKey;
        devices.push_back(info);
    }
    return devices;
}

std::unique_ptr<CameraDevice> V4l2Backend::Open(const CameraDeviceInfo& device, CameraStatus* status)
{
    // The node may have moved since enumeration (replug): find it again by key.
    for (const UdevVideoNode& node : ListUsbVideoNodes()) {
        if (node.hardwareId + "#" + node.interfaceKey != device.key) {
            continue;
        }
        return V4l2Camera::Open(node.devNode, CameraButtonNode(node.usbSysPath), status);
    }
    if (status) {
        *status = CameraStatus::Gone;
    }
    return nullptr;
}

bool V4l2Backend::IsUsbHardwareIdPresent(const QString& usbHardwareId)
{
    for (const QString& id : PresentUsbHardwareIds()) {
        if (id.compare(usbHardwareId, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

void V4l2Backend::WatchDevices(DeviceChangeHandler handler)
{
    std::lock_guard guard(m_lock);
    m_watcher.reset();
    m_handler = std::move(handler);
    if (!m_handler) {
        return;
    }
    m_watcher = std::make_unique<UdevWatcher>([this](int event, int deviceType) {
        std::lock_guard inner(m_lock);
        if (m_handler) {
            m_handler(event, deviceType);
        }
    });
}
