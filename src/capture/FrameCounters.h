#pragma once
// What the running preview did with the camera's frames, for the diagnostics: the
// streaming thread counts, the window thread reads.
#include <atomic>
#include <chrono>
#include <cstdint>

class FrameCounters {
public:
    void Restart()
    {
        received = 0, shown = 0, damaged = 0;
        m_started = std::chrono::steady_clock::now();
    }
    // Frames shown per second since the stream started.
    double ShownPerSecond() const
    {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count();
        return seconds > 0 ? double(shown.load()) / seconds : 0.0;
    }

    std::atomic<std::int64_t> received{0};
    std::atomic<std::int64_t> shown{0};
    std::atomic<std::int64_t> damaged{0}; // flagged by the driver or not convertible (corrupt JPEG)
    // The last frame's picture as converted for the preview (the frame's own size
    // when it was converted whole).
    std::atomic<int> previewWidth{0};
    std::atomic<int> previewHeight{0};

private:
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
};
