#include "platform/camera/VirtualMicroscope.h"

#include "platform/camera/CameraHardwareIds.h"
#include "platform/camera/VirtualCamera.h"

#include <algorithm>
#include <cmath>

namespace {
const QString kDeviceKey = "virtual-microscope:usb-virtual-1";
const QString kBusPath = "usb-virtual-1/1-1:1.0";

// Called under the lock so that a watcher being removed never runs afterwards.
void Notify(VirtualMicroscopeState& state, int event)
{
    std::lock_guard guard(state.lock);
    if (state.watcher) {
        state.watcher(event, DBT_DEVTYP_DEVICEINTERFACE);
    }
}
} // namespace

VirtualMicroscope::VirtualMicroscope(int deviceClass, int frameIntervalMs, double magnification)
    : m_state(std::make_shared<VirtualMicroscopeState>())
{
    m_state->deviceClass = (deviceClass >= 0 && deviceClass <= 2) ? deviceClass : 2;
    m_state->frameIntervalMs = frameIntervalMs;
    // Beyond these the slide is a grey blur or a few ticks.
    constexpr double kLowest = 10.0, kHighest = 2000.0;
    m_state->magnification = std::isfinite(magnification) ? std::clamp(magnification, kLowest, kHighest)
                                                          : kSlideNominalMagnification;
}

VirtualMicroscope::~VirtualMicroscope()
{
    WatchDevices(nullptr);
}

std::vector<CameraCapability> VirtualMicroscope::CapabilitiesOfClass(int deviceClass)
{
    static const std::vector<std::pair<int, int>> sizes[3] = {
        {{1280, 1024}, {640, 480}, {320, 240}},
        {{1600, 1200}, {1280, 960}, {640, 480}},
        {{2592, 1944}, {2048, 1536}, {1600, 1200}, {1280, 1024}, {640, 480}},
    };
    std::vector<CameraCapability> caps;
    for (const auto& [w, h] : sizes[(deviceClass >= 0 && deviceClass <= 2) ? deviceClass : 2]) {
        caps.push_back({CameraSubtype::YUY2, w, h});
        caps.push_back({CameraSubtype::MJPG, w, h});
    }
    return caps;
}

int VirtualMicroscope::deviceClass() const
{
    return m_state->deviceClass;
}

double VirtualMicroscope::magnification() const
{
    return m_state->magnification;
}

std::vector<CameraDeviceInfo> VirtualMicroscope::EnumerateDevices()
{
    if (!m_state->plugged.load()) {
        return {};
    }
    const QString id = SupportedHardwareIds()[0].toLower();
    return {{id + " " + kBusPath, "Virtual Microscope", kDeviceKey}};
}

std::unique_ptr<CameraDevice> VirtualMicroscope::Open(const CameraDeviceInfo& device, CameraStatus* status)
{
    const bool present = m_state->plugged.load() && device.key == kDeviceKey;
    if (status) {
        *status = present ? CameraStatus::Ok : CameraStatus::Gone;
    }
    if (!present) {
        return nullptr;
    }
    return std::make_unique<VirtualCamera>(m_state, CapabilitiesOfClass(m_state->deviceClass));
}

bool VirtualMicroscope::IsUsbHardwareIdPresent(const QString& usbHardwareId)
{
    return m_state->plugged.load() &&
           usbHardwareId.compare("USB\\" + SupportedHardwareIds()[0], Qt::CaseInsensitive) == 0;
}

void VirtualMicroscope::WatchDevices(DeviceChangeHandler handler)
{
    std::lock_guard guard(m_state->lock);
    m_state->watcher = std::move(handler);
}

void VirtualMicroscope::PressButton()
{
    ++m_state->buttonPresses;
}

void VirtualMicroscope::Unplug()
{
    {
        std::lock_guard guard(m_state->lock);
        if (!m_state->plugged.exchange(false)) {
            return;
        }
        ++m_state->generation;
    }
    m_state->wake.notify_all();
    Notify(*m_state, DBT_DEVICEREMOVECOMPLETE);
}

void VirtualMicroscope::Plug()
{
    if (m_state->plugged.exchange(true)) {
        return;
    }
    Notify(*m_state, DBT_DEVICEARRIVAL);
}

void VirtualMicroscope::TogglePlugged()
{
    if (IsPlugged()) {
        Unplug();
    } else {
        Plug();
    }
}

bool VirtualMicroscope::IsPlugged() const
{
    return m_state->plugged.load();
}

void VirtualMicroscope::SetHasButton(bool hasButton)
{
    m_state->hasButton = hasButton;
}

void VirtualMicroscope::SetMaxAcceptedWidth(int width)
{
    m_state->maxWidth = width;
}

void VirtualMicroscope::SetSlide(VirtualSlideKind slide)
{
    m_state->slide = slide;
    std::lock_guard guard(m_state->lock);
    ++m_state->lookVersion;
}

long VirtualMicroscope::framesDelivered() const
{
    return m_state->frames.load();
}
