#include "platform/camera/CameraReport.h"

#include "platform/camera/CameraBackendFactory.h"

namespace {
// "YUY2 640x480 320x240; MJPG 640x480", in the camera's order.
QString FormatsText(const std::vector<CameraCapability>& caps)
{
    QString text;
    for (std::size_t i = 0; i < caps.size(); ++i) {
        if (i == 0 || caps[i].subtype != caps[i - 1].subtype) {
            text += QString(i == 0 ? "" : "; ") + CameraSubtypeName(caps[i].subtype);
        }
        text += QString(" %1x%2").arg(caps[i].width).arg(caps[i].height);
    }
    return text;
}
} // namespace

int WriteCameraReport(CameraBackend& backend, QTextStream& out)
{
    const std::vector<CameraDeviceInfo> devices = backend.EnumerateDevices();
    out << "cameras: " << devices.size() << '\n';
    int number = 0;
    for (const CameraDeviceInfo& device : devices) {
        out << "camera " << ++number << ": " << device.friendlyName << '\n';
        out << "  identity: " << device.key << '\n';
        out << "  device: " << device.displayName << '\n';
        CameraStatus status = CameraStatus::Failed;
        const std::unique_ptr<CameraDevice> camera = backend.Open(device, &status);
        if (!camera) {
            out << "  not opened: " << CameraStatusName(status) << '\n';
            continue;
        }
        out << "  formats: " << FormatsText(camera->Capabilities()) << '\n';
        out << "  button: "
            << (camera->HasStillButton()      ? "yes"
                : camera->StillButtonDenied() ? "denied"
                                              : "no")
            << '\n';
    }
    return number;
}

int PrintCameraReport(const QStringList& arguments)
{
    QTextStream out(stdout);
    return WriteCameraReport(*CreateCameraBackendFromArguments(arguments), out) > 0 ? 0 : 1;
}
