#pragma once
// What udev knows about cameras: capture nodes with their USB parent, the present
// USB devices' hardware ids, the camera button's input node, and change events.
#include "platform/camera/CameraBackend.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

struct UdevVideoNode {
    QString devNode;      // /dev/videoN
    QString usbSysPath;   // sysfs path of the USB device the node belongs to
    QString busPath;      // udev ID_PATH (or the USB device path)
    QString hardwareId;   // "vid_xxxx&pid_xxxx", lower-case
    QString product;      // udev's product name, when known
    QString interfaceKey; // the node's place on its USB device, stable across replugs
};

// Video4linux nodes whose parent is a USB device.
std::vector<UdevVideoNode> ListUsbVideoNodes();
// "USB\VID_xxxx&PID_xxxx" for every present USB device.
QStringList PresentUsbHardwareIds();
// The /dev/input/event* node below `usbSysPath` that reports KEY_CAMERA; empty if none.
QString CameraButtonNode(const QString& usbSysPath);
// "vid_xxxx&pid_xxxx" from sysfs idVendor/idProduct texts; empty when either is not 4 hex digits.
QString FormatHardwareId(const QString& idVendor, const QString& idProduct);

// Watches udev for video4linux and USB device changes and reports them on the
// thread that created it (it needs that thread's event loop).
class UdevWatcher {
public:
    explicit UdevWatcher(DeviceChangeHandler handler);
    ~UdevWatcher();
    bool active() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
