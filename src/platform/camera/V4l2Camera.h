#pragma once
// An opened UVC camera: formats, mmap streaming on its own thread, the snapshot
// button and the picture properties as V4L2 controls.
#include "platform/camera/CameraBackend.h"
#include "platform/camera/EvdevButton.h"
#include "platform/camera/V4l2Buffers.h"
#include "platform/camera/V4l2Fd.h"

#include <atomic>
#include <thread>

// Picture properties mapped onto the camera's V4L2 controls.
class V4l2ProcAmp : public VideoProcAmp {
public:
    explicit V4l2ProcAmp(int fd) : m_fd(fd) {}
    int GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags) override;
    int Get(int property, int* value, int* flags) override;
    int Set(int property, int value, int flags) override;

private:
    int m_fd;
};

// V4L2 pixel formats we read, and their subtypes; false for others.
bool SubtypeOfPixelFormat(unsigned pixelFormat, CameraSubtype& subtype);
unsigned PixelFormatOf(CameraSubtype subtype);

class V4l2Camera : public CameraDevice {
public:
    // Opens the node; `status` tells why when the result is null.
    static std::unique_ptr<V4l2Camera> Open(const QString& devNode, const QString& buttonNode,
                                            CameraStatus* status);
    ~V4l2Camera() override;

    std::vector<CameraCapability> Capabilities() const override;
    bool HasStillButton() const override { return m_hasButton; }
    CameraFormat CurrentFormat() const override;
    CameraStatus SetFormat(const CameraFormat& format) override;
    CameraStatus Start(CameraStreamSinks sinks) override;
    void Stop() override;
    bool IsStreaming() const override { return m_thread.joinable() && !m_finished.load(); }
    VideoProcAmp* ProcAmp() override { return &m_procAmp; }

private:
    explicit V4l2Camera(UniqueFd fd);
    void Run();
    CameraStatus DeliverOne(double seconds);
    void SetFrameInterval(std::int64_t averageTimePerFrame);

    UniqueFd m_fd;
    UniqueFd m_wake;      // eventfd that ends the streaming thread's poll
    EvdevButton m_button; // used by the streaming thread once streaming
    bool m_hasButton = false;
    V4l2ProcAmp m_procAmp;
    V4l2Buffers m_buffers;
    CameraFormat m_format;
    std::thread m_thread;
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_stopping{false};
    CameraStreamSinks m_sinks;
};
