#pragma once
// A microscope that exists only in software: it enumerates like a USB camera with
// the first supported hardware id, offers YUY2 and MJPG at its sensor class's sizes,
// streams a moving stage-micrometer slide, has a camera button and picture
// properties, and can be unplugged and plugged again. Tests drive it in-process;
// a running program can drive it through signals (VirtualMicroscopeSignals.h).
#include "platform/camera/CameraBackend.h"
#include "platform/camera/VirtualSlide.h"

#include <memory>

struct VirtualMicroscopeState;

class VirtualMicroscope : public CameraBackend {
public:
    // deviceClass 0, 1 or 2 (others are taken as 2); frameIntervalMs 0 picks a
    // rate that suits the frame size; the slide is seen at `magnification` (the
    // nominal one; the optics are 3 % stronger).
    explicit VirtualMicroscope(int deviceClass = 2, int frameIntervalMs = 0,
                               double magnification = kSlideNominalMagnification);
    ~VirtualMicroscope() override;

    std::vector<CameraDeviceInfo> EnumerateDevices() override;
    std::unique_ptr<CameraDevice> Open(const CameraDeviceInfo& device, CameraStatus* status) override;
    bool IsUsbHardwareIdPresent(const QString& usbHardwareId) override;
    void WatchDevices(DeviceChangeHandler handler) override;

    int deviceClass() const;
    double magnification() const;
    // Sizes the camera offers (each as YUY2 and MJPG).
    static std::vector<CameraCapability> CapabilitiesOfClass(int deviceClass);

    // Test and control hooks (any thread).
    void PressButton();
    void Unplug();
    void Plug();
    void TogglePlugged();
    bool IsPlugged() const;
    // Whether the camera has a snapshot button (default yes).
    void SetHasButton(bool hasButton);
    // Sizes larger than this are refused by SetFormat (0: no limit).
    void SetMaxAcceptedWidth(int width);
    // The slide under the lens (default the ruler); set before opening the camera.
    void SetSlide(VirtualSlideKind slide);
    // Frames delivered since construction.
    long framesDelivered() const;

private:
    std::shared_ptr<VirtualMicroscopeState> m_state;
};
