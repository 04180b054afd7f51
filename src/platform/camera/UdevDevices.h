#pragma once
// What udev knows about cameras, behind one interface so the V4L2 layer can run
// against an emulated driver: devices of a subsystem with their USB parent, and
// add / remove notices. The program uses SystemUdev().
#include <QString>
#include <functional>
#include <memory>
#include <vector>

inline const QString kSubsystemVideo = "video4linux";
inline const QString kSubsystemInput = "input";
inline const QString kSubsystemUsb = "usb";

struct UdevRecord {
    QString subsystem;       // kSubsystemVideo, kSubsystemInput or kSubsystemUsb
    QString devNode;         // /dev/videoN, /dev/input/eventN; empty for nodeless devices
    QString usbSysPath;      // sysfs path of the USB device it belongs to (itself for a USB device)
    QString hardwareId;      // "vid_xxxx&pid_xxxx", lower-case; empty when unknown
    QString serial;          // the USB device's serial number; empty when it has none
    QString busPath;         // udev ID_PATH (or the USB device path)
    QString product;         // ID_V4L_PRODUCT (the V4L2 card name), when known
    QString interfaceKey;    // a video node's place on its USB device, stable across replugs
    QString v4lCapabilities; // ID_V4L_CAPABILITIES, e.g. ":capture:"
};

struct UdevNotice {
    QString action; // "add", "remove", "change", ...
    UdevRecord device;
};

// A running watch; notices stop when it is destroyed.
class UdevWatch {
public:
    virtual ~UdevWatch() = default;
};

class UdevSource {
public:
    virtual ~UdevSource() = default;
    // Present devices of a subsystem that hang below a USB device.
    virtual std::vector<UdevRecord> Devices(const QString& subsystem) = 0;
    // Reports video4linux, input and USB device changes; null when udev cannot be watched.
    // The system source reports on the creating thread's event loop.
    virtual std::unique_ptr<UdevWatch> Watch(std::function<void(const UdevNotice&)> handler) = 0;
};

std::shared_ptr<UdevSource> SystemUdev();

// "vid_xxxx&pid_xxxx" from sysfs idVendor/idProduct texts; empty when either is not 4 hex digits.
QString FormatHardwareId(const QString& idVendor, const QString& idProduct);
// True for a node udev describes as a video capture node (metadata nodes are not).
bool IsCaptureNode(const UdevRecord& record);
// True for an input event node (the one a button is read from).
bool IsInputEventNode(const UdevRecord& record);
