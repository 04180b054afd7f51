#include "platform/camera/V4l2Backend.h"

#include <linux/videodev2.h>

struct V4l2Backend::OpenCameras {
    std::mutex lock;
    std::vector<std::pair<QString, V4l2Camera*>> cameras; // USB device path, camera
};

namespace {
// For udev without the V4L2 properties: ask the node itself.
bool QueryCaptureNode(V4l2Io& io, const QString& devNode)
{
    UniqueFd fd = OpenNode(io, devNode.toLocal8Bit().constData(), false, nullptr);
    v4l2_capability caps{};
    if (!fd.valid() || io.Ioctl(fd.get(), VIDIOC_QUERYCAP, &caps) != 0) {
        return false;
    }
    const unsigned deviceCaps =
        (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    return (deviceCaps & V4L2_CAP_VIDEO_CAPTURE) != 0;
}

// A camera is known by vendor:product and serial number, wherever it is plugged in and
// whatever node number it got; one without a serial number by the USB port it is in.
// The node's place on its device (interface, index) tells its nodes apart.
QString KeyOf(const UdevRecord& node)
{
    if (node.serial.isEmpty()) {
        return node.hardwareId + "#" + node.interfaceKey;
    }
    return node.hardwareId + "#" + node.serial + "#" + node.interfaceKey.section(':', -1);
}

int EventOf(const UdevNotice& notice)
{
    const bool video = notice.device.subsystem == kSubsystemVideo;
    if (video && notice.action == "add") {
        return DBT_DEVICEARRIVAL;
    }
    if (video && notice.action == "remove") {
        return DBT_DEVICEREMOVECOMPLETE;
    }
    return DBT_DEVNODES_CHANGED;
}
} // namespace

V4l2Backend::V4l2Backend() : V4l2Backend(SystemV4l2Io(), SystemUdev()) {}

V4l2Backend::V4l2Backend(std::shared_ptr<V4l2Io> io, std::shared_ptr<UdevSource> udev,
                         V4l2StreamTiming timing)
    : m_io(std::move(io)), m_udev(std::move(udev)), m_timing(timing), m_open(std::make_shared<OpenCameras>())
{
}

V4l2Backend::~V4l2Backend()
{
    WatchDevices(nullptr);
}

bool V4l2Backend::IsCapture(const UdevRecord& record)
{
    if (record.hardwareId.isEmpty() || record.devNode.isEmpty()) {
        return false;
    }
    return record.v4lCapabilities.isEmpty() ? QueryCaptureNode(*m_io, record.devNode) : IsCaptureNode(record);
}

std::vector<UdevRecord> V4l2Backend::CaptureNodes()
{
    std::vector<UdevRecord> nodes;
    for (UdevRecord& record : m_udev->Devices(kSubsystemVideo)) {
        if (IsCapture(record)) {
            nodes.push_back(std::move(record));
        }
    }
    return nodes;
}

std::vector<CameraDeviceInfo> V4l2Backend::EnumerateDevices()
{
    std::vector<CameraDeviceInfo> devices;
    for (const UdevRecord& node : CaptureNodes()) {
        CameraDeviceInfo info;
        info.displayName = "usb#" + node.hardwareId + "#" + node.busPath + " " + node.devNode;
        info.friendlyName = node.product.isEmpty() ? node.devNode : node.product;
        info.key = KeyOf(node);
        devices.push_back(info);
    }
    return devices;
}

void V4l2Backend::OfferButtons(V4l2Camera& camera, const QString& usbSysPath)
{
    for (const UdevRecord& input : m_udev->Devices(kSubsystemInput)) {
        if (IsInputEventNode(input) && input.usbSysPath == usbSysPath && !camera.HasStillButton()) {
            camera.OfferButton(input.devNode);
        }
    }
}

std::unique_ptr<CameraDevice> V4l2Backend::Open(const CameraDeviceInfo& device, CameraStatus* status)
{
    // The node may have moved since enumeration (replug): find it again by key.
    for (const UdevRecord& node : CaptureNodes()) {
        if (KeyOf(node) != device.key) {
            continue;
        }
        std::unique_ptr<V4l2Camera> camera = V4l2Camera::Open(m_io, node.devNode, m_timing, status);
        if (!camera) {
            return nullptr;
        }
        OfferButtons(*camera, node.usbSysPath);
        std::lock_guard guard(m_open->lock);
        m_open->cameras.emplace_back(node.usbSysPath, camera.get());
        camera->SetOnClose([open = m_open, raw = camera.get()] {
            std::lock_guard inner(open->lock);
            std::erase_if(open->cameras, [raw](const auto& entry) { return entry.second == raw; });
        });
        return camera;
    }
    if (status) {
        *status = CameraStatus::Gone;
    }
    return nullptr;
}

bool V4l2Backend::IsUsbHardwareIdPresent(const QString& usbHardwareId)
{
    for (const UdevRecord& node : CaptureNodes()) {
        if (("USB\\" + node.hardwareId).compare(usbHardwareId, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

void V4l2Backend::OnNotice(const UdevNotice& notice)
{
    if (notice.device.subsystem == kSubsystemInput) {
        // The driver registers the button's input device after the video nodes.
        if (notice.action == "add" && IsInputEventNode(notice.device)) {
            std::lock_guard guard(m_open->lock);
            for (const auto& [usbSysPath, camera] : m_open->cameras) {
                if (usbSysPath == notice.device.usbSysPath && !camera->HasStillButton()) {
                    camera->OfferButton(notice.device.devNode);
                }
            }
        }
        return;
    }
    std::lock_guard guard(m_lock);
    if (m_handler) {
        m_handler(EventOf(notice), DBT_DEVTYP_DEVICEINTERFACE);
    }
}

void V4l2Backend::WatchDevices(DeviceChangeHandler handler)
{
    std::unique_ptr<UdevWatch> old;
    {
        std::lock_guard guard(m_lock);
        old = std::move(m_watch);
        m_handler = std::move(handler);
    }
    old.reset(); // outside the lock: a notice being delivered may need it
    std::lock_guard guard(m_lock);
    if (m_handler) {
        m_watch = m_udev->Watch([this](const UdevNotice& notice) { OnNotice(notice); });
    }
}
