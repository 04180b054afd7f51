#pragma once
// A camera backend in front of another whose cameras refuse to start with a
// chosen status (another program holding the microscope, no permission, ...)
// until the test lets them.
#include "platform/camera/CameraBackend.h"

#include <atomic>
#include <memory>
#include <utility>

class RefusingBackend : public CameraBackend {
public:
    explicit RefusingBackend(std::shared_ptr<CameraBackend> inner) : m_inner(std::move(inner)) {}

    // Ok lets the cameras start again.
    void RefuseStartWith(CameraStatus status) { m_refusal->store(status); }

    std::vector<CameraDeviceInfo> EnumerateDevices() override { return m_inner->EnumerateDevices(); }
    std::unique_ptr<CameraDevice> Open(const CameraDeviceInfo& device, CameraStatus* status) override
    {
        std::unique_ptr<CameraDevice> camera = m_inner->Open(device, status);
        if (!camera) {
            return nullptr;
        }
        return std::make_unique<Camera>(std::move(camera), m_refusal);
    }
    bool IsUsbHardwareIdPresent(const QString& id) override { return m_inner->IsUsbHardwareIdPresent(id); }
    void WatchDevices(DeviceChangeHandler handler) override { m_inner->WatchDevices(std::move(handler)); }

private:
    using Refusal = std::shared_ptr<std::atomic<CameraStatus>>;

    class Camera : public CameraDevice {
    public:
        Camera(std::unique_ptr<CameraDevice> inner, Refusal refusal)
            : m_inner(std::move(inner)), m_refusal(std::move(refusal))
        {
        }
        std::vector<CameraCapability> Capabilities() const override { return m_inner->Capabilities(); }
        bool HasStillButton() const override { return m_inner->HasStillButton(); }
        CameraFormat CurrentFormat() const override { return m_inner->CurrentFormat(); }
        CameraStatus SetFormat(const CameraFormat& format) override { return m_inner->SetFormat(format); }
        CameraStatus Start(CameraStreamSinks sinks) override
        {
            const CameraStatus refusal = m_refusal->load();
            return refusal != CameraStatus::Ok ? refusal : m_inner->Start(std::move(sinks));
        }
        void Stop() override { m_inner->Stop(); }
        bool IsStreaming() const override { return m_inner->IsStreaming(); }
        VideoProcAmp* ProcAmp() override { return m_inner->ProcAmp(); }

    private:
        std::unique_ptr<CameraDevice> m_inner;
        Refusal m_refusal;
    };

    std::shared_ptr<CameraBackend> m_inner;
    Refusal m_refusal = std::make_shared<std::atomic<CameraStatus>>(CameraStatus::Ok);
};
