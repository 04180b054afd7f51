#pragma once
// The V4L2 backend wired to the emulated UVC driver, and a recorder for what a
// running stream reports.
#include "common/EmulatedUvc.h"
#include "platform/camera/FrameConverter.h"
#include "platform/camera/V4l2Backend.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace emu {

// Waits (bounded) until `done` holds; the result says whether it did.
inline bool WaitFor(const std::function<bool()>& done, int seconds = 10)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct Rig {
    explicit Rig(std::chrono::milliseconds minSilence = std::chrono::milliseconds(60))
        : uvc(std::make_shared<EmulatedUvc>()), backend(uvc, uvc, V4l2StreamTiming{minSilence, 5, 3})
    {
    }
    // Opens the capture node of `camera` the way the graph does: by its enumerated entry.
    std::unique_ptr<CameraDevice> Open(int camera, CameraStatus* status = nullptr)
    {
        CameraStatus ignored;
        for (const CameraDeviceInfo& info : backend.EnumerateDevices()) {
            if (info.displayName.endsWith(" " + uvc->CaptureNode(camera))) {
                return backend.Open(info, status ? status : &ignored);
            }
        }
        return nullptr;
    }

    // Opened and set to a format; null when either fails.
    std::unique_ptr<CameraDevice> OpenAt(int camera, CameraSubtype subtype = CameraSubtype::YUY2, int w = 320,
                                         int h = 240)
    {
        auto device = Open(camera);
        if (device && device->SetFormat({subtype, w, h}) != CameraStatus::Ok) {
            device.reset();
        }
        return device;
    }

    std::shared_ptr<EmulatedUvc> uvc;
    V4l2Backend backend;
};

// Everything a stream reports; frames are converted as the capture thread would.
class Recorder {
public:
    CameraStreamSinks Sinks()
    {
        CameraStreamSinks sinks;
        sinks.frame = [this](const CameraFrame& frame) {
            std::vector<std::uint8_t> out(FrameConverter::OutputSize(frame.width, frame.height));
            // One converter for every camera this recorder listens to: a stream that
            // is still ending may deliver while the next one starts.
            std::lock_guard guard(m_lock);
            const bool shown = m_converter.Convert(frame, out.data(), out.size());
            m_shown.push_back(shown);
            if (shown) {
                m_last = std::move(out);
            }
        };
        sinks.button = [this] {
            std::lock_guard guard(m_lock);
            ++m_presses;
        };
        sinks.streamEnded = [this](CameraStatus status) {
            std::lock_guard guard(m_lock);
            m_ended.push_back(status);
        };
        sinks.notice = [this](CameraNotice notice) {
            std::lock_guard guard(m_lock);
            m_notices.push_back(notice);
        };
        return sinks;
    }
    std::vector<bool> Shown()
    {
        std::lock_guard guard(m_lock);
        return m_shown;
    }
    std::size_t Frames()
    {
        std::lock_guard guard(m_lock);
        return m_shown.size();
    }
    std::vector<std::uint8_t> LastPicture()
    {
        std::lock_guard guard(m_lock);
        return m_last;
    }
    int Presses()
    {
        std::lock_guard guard(m_lock);
        return m_presses;
    }
    std::vector<CameraStatus> Ended()
    {
        std::lock_guard guard(m_lock);
        return m_ended;
    }
    std::vector<CameraNotice> Notices()
    {
        std::lock_guard guard(m_lock);
        return m_notices;
    }

private:
    std::mutex m_lock;
    FrameConverter m_converter;
    std::vector<bool> m_shown;
    std::vector<std::uint8_t> m_last;
    int m_presses = 0;
    std::vector<CameraStatus> m_ended;
    std::vector<CameraNotice> m_notices;
};

} // namespace emu
