#pragma once
// A scripted camera backend: the test decides which devices exist, what the camera
// offers and refuses, and delivers frames and button presses itself.
#include "platform/camera/CameraBackend.h"

#include <QStringList>
#include <algorithm>
#include <deque>
#include <set>
#include <utility>

struct FakeCameraSetup {
    std::vector<CameraCapability> capabilities;
    bool hasButton = true;
    bool buttonDenied = false; // the button is there but may not be read
    std::set<std::pair<int, int>> refusedSizes;
    CameraStatus formatStatus = CameraStatus::Ok; // anything else: every SetFormat gives it
    // Answers of the next Start calls (Ok once they are used up), shared by the
    // cameras the backend opens.
    std::shared_ptr<std::deque<CameraStatus>> startResults = std::make_shared<std::deque<CameraStatus>>();
    std::shared_ptr<int> starts = std::make_shared<int>(0); // streams started, by every camera
    std::shared_ptr<VideoProcAmp> procAmp;                  // none: the camera has no properties
};

class FakeCamera : public CameraDevice {
public:
    explicit FakeCamera(FakeCameraSetup setup) : m_setup(std::move(setup))
    {
        const CameraCapability& first = m_setup.capabilities.front();
        m_format = {first.subtype, first.width, first.height, 333333};
    }
    std::vector<CameraCapability> Capabilities() const override { return m_setup.capabilities; }
    bool HasStillButton() const override { return m_setup.hasButton; }
    bool StillButtonDenied() const override { return m_setup.buttonDenied && !m_setup.hasButton; }
    CameraFormat CurrentFormat() const override { return m_format; }
    CameraStatus SetFormat(const CameraFormat& format) override
    {
        if (m_setup.formatStatus != CameraStatus::Ok) {
            return m_setup.formatStatus;
        }
        const CameraCapability wanted{format.subtype, format.width, format.height};
        const auto& caps = m_setup.capabilities;
        if (std::find(caps.begin(), caps.end(), wanted) == caps.end() ||
            m_setup.refusedSizes.count({format.width, format.height})) {
            return CameraStatus::Refused;
        }
        m_format = format;
        return CameraStatus::Ok;
    }
    CameraStatus Start(CameraStreamSinks sinks) override
    {
        if (!m_setup.startResults->empty()) {
            const CameraStatus status = m_setup.startResults->front();
            m_setup.startResults->pop_front();
            if (status != CameraStatus::Ok) {
                return status;
            }
        }
        m_sinks = std::move(sinks);
        m_streaming = true;
        ++*m_setup.starts;
        return CameraStatus::Ok;
    }
    void Stop() override { m_streaming = false; }
    bool IsStreaming() const override { return m_streaming; }
    VideoProcAmp* ProcAmp() override { return m_setup.procAmp.get(); }
    std::shared_ptr<VideoProcAmp> SharedProcAmp() override { return m_setup.procAmp; }

    // Test side: what the camera's streaming thread would do.
    void Deliver(const CameraFrame& frame)
    {
        if (m_streaming && m_sinks.frame) {
            m_sinks.frame(frame);
        }
    }
    void Press()
    {
        if (m_streaming && m_sinks.button) {
            m_sinks.button();
        }
    }
    // The stream gave up (the camera's own restarts failed) or the camera tells something.
    void End(CameraStatus status)
    {
        if (m_streaming && m_sinks.streamEnded) {
            m_streaming = false;
            m_sinks.streamEnded(status);
        }
    }
    void Tell(CameraNotice notice)
    {
        if (notice == CameraNotice::ButtonAttached) {
            m_setup.hasButton = true;
        }
        if (m_streaming && m_sinks.notice) {
            m_sinks.notice(notice);
        }
    }

private:
    FakeCameraSetup m_setup;
    CameraFormat m_format;
    CameraStreamSinks m_sinks;
    bool m_streaming = false;
};

class FakeBackend : public CameraBackend {
public:
    std::vector<CameraDeviceInfo> devices;
    FakeCameraSetup setup;
    QStringList presentIds;
    FakeCamera* opened = nullptr;               // the camera the graph holds, if any
    CameraStatus openStatus = CameraStatus::Ok; // anything else: Open fails with it

    std::vector<CameraDeviceInfo> EnumerateDevices() override { return devices; }
    std::unique_ptr<CameraDevice> Open(const CameraDeviceInfo&, CameraStatus* status) override
    {
        if (status) {
            *status = openStatus;
        }
        if (openStatus != CameraStatus::Ok) {
            return nullptr;
        }
        auto camera = std::make_unique<FakeCamera>(setup);
        opened = camera.get();
        return camera;
    }
    bool IsUsbHardwareIdPresent(const QString& id) override
    {
        return presentIds.contains(id, Qt::CaseInsensitive);
    }
    void WatchDevices(DeviceChangeHandler) override {}
};

// A device whose display name carries `hardwareId`.
inline CameraDeviceInfo FakeDevice(const QString& hardwareId, const QString& key)
{
    return {"usb#" + hardwareId.toLower() + "#pci-0000:00:14.0-usb-0:" + key + " /dev/video" + key,
            "Cam " + key, key};
}
