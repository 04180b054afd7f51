#pragma once
// The opened virtual microscope: format, streaming thread and picture properties.
#include "platform/camera/CameraBackend.h"
#include "platform/camera/VirtualSlide.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// State shared by the backend, its opened devices and their streaming threads.
struct VirtualMicroscopeState {
    int deviceClass = 2;
    int frameIntervalMs = 0;
    double magnification = kSlideNominalMagnification;
    std::atomic<bool> plugged{true};
    std::atomic<int> generation{0}; // bumped by each unplug: streams of older generations end
    std::atomic<bool> hasButton{true};
    std::atomic<int> maxWidth{0};
    std::atomic<int> buttonPresses{0};
    std::atomic<long> frames{0};

    std::mutex lock; // guards the members below
    std::condition_variable wake;
    DeviceChangeHandler watcher;
    std::atomic<VirtualSlideKind> slide{VirtualSlideKind::Ruler};
    SlideLook look;
    int lookVersion = 0;
};

class VirtualProcAmp : public VideoProcAmp {
public:
    explicit VirtualProcAmp(std::shared_ptr<VirtualMicroscopeState> state) : m_state(std::move(state)) {}
    int GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags) override;
    int Get(int property, int* value, int* flags) override;
    int Set(int property, int value, int flags) override;

private:
    std::shared_ptr<VirtualMicroscopeState> m_state;
};

class VirtualCamera : public CameraDevice {
public:
    VirtualCamera(std::shared_ptr<VirtualMicroscopeState> state, std::vector<CameraCapability> capabilities);
    ~VirtualCamera() override;

    std::vector<CameraCapability> Capabilities() const override { return m_capabilities; }
    bool HasStillButton() const override { return m_state->hasButton.load(); }
    CameraFormat CurrentFormat() const override { return m_format; }
    CameraStatus SetFormat(const CameraFormat& format) override;
    CameraStatus Start(CameraStreamSinks sinks) override;
    void Stop() override;
    bool IsStreaming() const override { return m_thread.joinable() && !m_finished.load(); }
    VideoProcAmp* ProcAmp() override { return &m_procAmp; }

private:
    void Run();
    bool WaitForNextFrame(std::chrono::steady_clock::time_point due);
    bool Present() const;
    void RefreshSlide(int& lookVersion);
    QImage RenderDepthSlide(const SlideLook& look);
    bool Produce(double seconds, CameraFrame& frame);

    std::shared_ptr<VirtualMicroscopeState> m_state;
    std::vector<CameraCapability> m_capabilities;
    CameraFormat m_format;
    VirtualProcAmp m_procAmp;
    int m_generation = 0;

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    CameraStreamSinks m_sinks;
    // Streaming-thread buffers, kept between frames.
    SlideFrames m_slide;
    std::unique_ptr<DepthSlide> m_depth;
    std::vector<std::uint8_t> m_out, m_y, m_u, m_v;
    void* m_encoder = nullptr;
};
