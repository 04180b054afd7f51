#pragma once
// An opened UVC camera: formats, mmap streaming on its own thread (restarted when the
// driver goes quiet or the stream breaks while the device stays), the snapshot button
// and the picture properties as V4L2 controls.
#include "platform/camera/CameraBackend.h"
#include "platform/camera/EvdevButton.h"
#include "platform/camera/V4l2Buffers.h"
#include "platform/camera/V4l2Io.h"
#include "platform/camera/V4l2ProcAmp.h"
#include "platform/files/UniqueFd.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// V4L2 pixel formats we read, and their subtypes; false for others.
bool SubtypeOfPixelFormat(unsigned pixelFormat, CameraSubtype& subtype);
unsigned PixelFormatOf(CameraSubtype subtype);

// When a stream that delivers nothing is restarted: after this many frame intervals,
// but never before `minSilence`; `maxRestarts` attempts in a row without a frame end it.
struct V4l2StreamTiming {
    std::chrono::milliseconds minSilence{2000};
    int silentFrames = 5;
    int maxRestarts = 3;
};

class V4l2Camera : public CameraDevice {
public:
    // Opens the node; `status` tells why when the result is null.
    static std::unique_ptr<V4l2Camera> Open(std::shared_ptr<V4l2Io> io, const QString& devNode,
                                            const V4l2StreamTiming& timing, CameraStatus* status);
    ~V4l2Camera() override;

    std::vector<CameraCapability> Capabilities() const override;
    bool HasStillButton() const override { return m_hasButton.load(); }
    bool StillButtonDenied() const override { return m_buttonDenied.load() && !m_hasButton.load(); }
    CameraFormat CurrentFormat() const override;
    CameraStatus SetFormat(const CameraFormat& format) override;
    CameraStatus Start(CameraStreamSinks sinks) override;
    void Stop() override;
    bool IsStreaming() const override { return m_thread.joinable() && !m_finished.load(); }
    VideoProcAmp* ProcAmp() override { return m_procAmp.get(); }
    std::shared_ptr<VideoProcAmp> SharedProcAmp() override { return m_procAmp; }

    // An input node of this camera's USB device (the button may appear late); any thread
    // that is not the streaming thread.
    void OfferButton(const QString& devNode);
    // Called once when the camera goes (the backend's list of open cameras).
    void SetOnClose(std::function<void()> onClose) { m_onClose = std::move(onClose); }

private:
    V4l2Camera(std::shared_ptr<V4l2Io> io, IoFd fd, const QString& devNode, const V4l2StreamTiming& timing);
    int Fd() const { return m_fdNumber.load(); }
    void SetFd(IoFd fd);
    bool ReadFormat(CameraFormat& result, std::size_t* bytesPerLine) const;
    CameraStatus StreamOn();
    void Run();
    enum class Delivery { None, Frame, Broken, Gone };
    Delivery DeliverOne(double seconds);
    CameraStatus Restart();
    CameraStatus Reopen();
    void SetFrameInterval(std::int64_t averageTimePerFrame);
    std::chrono::milliseconds SilenceBound() const;
    bool TakeOfferedButton();
    void TellButtonDenied();
    void ReadButton(short revents);
    void Notify(CameraNotice notice);

    std::shared_ptr<V4l2Io> m_io;
    QString m_devNode;
    V4l2StreamTiming m_timing;
    std::shared_ptr<V4l2NodeLink> m_link;
    IoFd m_fd;
    std::atomic<int> m_fdNumber{-1};
    UniqueFd m_wake; // eventfd that ends the streaming thread's poll
    std::shared_ptr<V4l2ProcAmp> m_procAmp;
    V4l2Buffers m_buffers;
    CameraFormat m_format;
    std::size_t m_bytesPerLine = 0;
    std::thread m_thread;
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_stopping{false};
    CameraStreamSinks m_sinks;
    std::function<void()> m_onClose;

    std::mutex m_buttonLock; // guards the offered node and, while not streaming, the button
    EvdevButton m_button;    // used by the streaming thread once streaming
    QString m_offeredButton;
    std::atomic<bool> m_hasButton{false};
    std::atomic<bool> m_buttonDenied{false};
    bool m_deniedTold = false;
};
