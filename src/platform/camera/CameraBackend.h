#pragma once
// The camera layer the capture graph works through: find devices, open one, choose
// a format, stream frames on the backend's own thread, report the camera button
// and reach the six picture properties. Two backends implement it: V4L2 for real
// UVC microscopes and the virtual microscope.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Frame layouts a camera may deliver.
enum class CameraSubtype { YUY2, UYVY, MJPG };

// Four-character codes of the subtypes, as stored in a bitmap header's compression field.
inline constexpr std::uint32_t kFourCcYuy2 = 0x32595559; // 'YUY2'
inline constexpr std::uint32_t kFourCcUyvy = 0x59565955; // 'UYVY'
inline constexpr std::uint32_t kFourCcMjpg = 0x47504A4D; // 'MJPG'
std::uint32_t FourCcOf(CameraSubtype subtype);
// "YUY2", "UYVY", "MJPG": the subtype as reports and notices name it.
const char* CameraSubtypeName(CameraSubtype subtype);

// One capability (format) the camera offers.
struct CameraCapability {
    CameraSubtype subtype = CameraSubtype::YUY2;
    int width = 0;
    int height = 0;
    friend bool operator==(const CameraCapability&, const CameraCapability&) = default;
};

// The negotiated format.
struct CameraFormat {
    CameraSubtype subtype = CameraSubtype::YUY2;
    int width = 0;
    int height = 0;
    std::int64_t averageTimePerFrame = 333333; // 100-ns units
};

// Identity of one video input device, as enumerated. `key` is what makes two
// enumerations of the same device equal (the moniker's role).
struct CameraDeviceInfo {
    QString displayName;  // holds the USB hardware id ("vid_xxxx&pid_xxxx") and the bus path
    QString friendlyName; // the name shown to the user
    QString key;
    bool IsEqual(const CameraDeviceInfo& other) const { return key == other.key; }
};

// Results of camera operations; errno values map to these.
enum class CameraStatus {
    Ok,
    Busy,      // the device is in use by another program (EBUSY)
    Gone,      // the device was unplugged (ENODEV, ENXIO, EIO while streaming)
    Refused,   // the camera does not accept the format or value (EINVAL)
    Denied,    // no permission (EACCES, EPERM)
    NoMemory,  // buffers could not be set up (ENOMEM)
    Bandwidth, // the USB bus cannot carry the stream at this size (ENOSPC on STREAMON)
    Failed,    // anything else
};
CameraStatus CameraStatusFromErrno(int err);
const char* CameraStatusName(CameraStatus status);

// One frame as the camera delivered it; valid only during the frame callback.
struct CameraFrame {
    CameraSubtype subtype = CameraSubtype::YUY2;
    int width = 0;
    int height = 0;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    double sampleTime = 0.0; // seconds since streaming started
    std::size_t stride = 0;  // bytes per row of packed frames (rows may be padded); 0: width * 2
};

// The six picture properties, with the platform's property codes.
enum VideoProcAmpProperty : int {
    VideoProcAmp_Brightness = 0,
    VideoProcAmp_Contrast = 1,
    VideoProcAmp_Hue = 2,
    VideoProcAmp_Saturation = 3,
    VideoProcAmp_Sharpness = 4,
    VideoProcAmp_Gamma = 5,
    // Beside the six: the exposure time in the camera's units (100 us for UVC cameras),
    // governed by the exposure mode.
    VideoProcAmp_Exposure = 6,
};
// The camera's focus (V4L2_CID_FOCUS_ABSOLUTE; larger is farther), reached through the
// same interface; cameras without one fail its calls.
enum CameraControlProperty : int { CameraControl_Focus = 7 };
enum VideoProcAmpFlags : int { VideoProcAmp_Flags_Auto = 0x1, VideoProcAmp_Flags_Manual = 0x2 };
// The result for a property or control the camera does not have.
inline constexpr int kProcAmpNotFound = static_cast<int>(0x80070490);

// Automatic-exposure modes, with the values of V4L2's exposure menu. Cameras offer
// any subset: many have no fully automatic mode.
enum ExposureMode : int {
    ExposureMode_Auto = 0,
    ExposureMode_Manual = 1,
    ExposureMode_ShutterPriority = 2,
    ExposureMode_AperturePriority = 3,
};

// What the user may do with a property at the moment.
enum class PropertyAccess {
    Writable,
    ReadOnly, // the camera never takes a value, or another program holds the control
    Inactive, // an automatic mode governs it for now (it may change with that mode)
};

// Picture properties of an opened camera. Results are 0 for success, else an error code.
class VideoProcAmp {
public:
    virtual ~VideoProcAmp() = default;
    virtual int GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags) = 0;
    virtual int Get(int property, int* value, int* flags) = 0;
    virtual int Set(int property, int value, int flags) = 0;
    // Asked again after every change: one control may switch another on or off.
    virtual PropertyAccess Access(int /*property*/) { return PropertyAccess::Writable; }
    // The exposure modes the camera lists, ascending; empty when it has no such control.
    virtual std::vector<int> ExposureModes() { return {}; }
    virtual int GetExposureMode(int* /*mode*/) { return kProcAmpNotFound; }
    virtual int SetExposureMode(int /*mode*/) { return kProcAmpNotFound; }
};

// What a running camera tells besides frames.
enum class CameraNotice {
    ButtonAttached, // the snapshot button's device appeared after the camera was opened
    ButtonDenied,   // the snapshot button exists but the user may not read it (told once)
};

// Callbacks of a running stream; all run on the backend's streaming thread.
struct CameraStreamSinks {
    std::function<void(const CameraFrame&)> frame;
    std::function<void()> button;                  // the camera's snapshot button was pressed
    std::function<void(CameraStatus)> streamEnded; // the stream stopped and could not be restarted
    std::function<void(CameraNotice)> notice;      // optional
    std::function<void()> damaged;                 // optional: the driver flagged a frame damaged; dropped
};

// An opened camera. Stop() and the destructor join the streaming thread.
class CameraDevice {
public:
    virtual ~CameraDevice() = default;
    virtual std::vector<CameraCapability> Capabilities() const = 0;
    // True when the camera has a snapshot button (the still pin's role).
    virtual bool HasStillButton() const = 0;
    // True when the camera has a snapshot button the user may not read (no permission).
    virtual bool StillButtonDenied() const { return false; }
    virtual CameraFormat CurrentFormat() const = 0;
    // Refused when the camera does not offer that subtype and size.
    virtual CameraStatus SetFormat(const CameraFormat& format) = 0;
    virtual CameraStatus Start(CameraStreamSinks sinks) = 0;
    virtual void Stop() = 0;
    virtual bool IsStreaming() const = 0;
    virtual VideoProcAmp* ProcAmp() = 0;
    // The picture properties as a handle that may outlive the camera: once the camera
    // is gone its calls fail instead of reaching a descriptor that is closed or reused.
    // Cameras whose properties need no device share the camera's object.
    virtual std::shared_ptr<VideoProcAmp> SharedProcAmp()
    {
        return std::shared_ptr<VideoProcAmp>(std::shared_ptr<void>(), ProcAmp());
    }
};

// Device-change notices, with the platform's event values.
enum DeviceChangeEvent : int {
    DBT_DEVNODES_CHANGED = 0x0007,
    DBT_DEVICEARRIVAL = 0x8000,
    DBT_DEVICEREMOVECOMPLETE = 0x8004,
};
inline constexpr int DBT_DEVTYP_DEVICEINTERFACE = 5;
using DeviceChangeHandler = std::function<void(int event, int deviceType)>;

class CameraBackend {
public:
    virtual ~CameraBackend() = default;
    // Present video input devices, in enumeration order.
    virtual std::vector<CameraDeviceInfo> EnumerateDevices() = 0;
    virtual std::unique_ptr<CameraDevice> Open(const CameraDeviceInfo& device, CameraStatus* status) = 0;
    // True when a present video capture device carries the hardware id
    // "USB\Vid_xxxx&Pid_xxxx" (compared without regard to case).
    virtual bool IsUsbHardwareIdPresent(const QString& usbHardwareId) = 0;
    // Reports device arrival, removal and node changes (any thread); empty stops it.
    virtual void WatchDevices(DeviceChangeHandler handler) = 0;
};
