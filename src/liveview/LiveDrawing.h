#pragma once
// The current snapshot of the live measurements and the painters that draw it. The
// window thread publishes; the streaming thread and the still saver paint. The
// snapshot pointer is swapped under a lock held only for the pointer copy, so the
// window thread never waits for a frame being painted.
#include "liveview/LiveMeasurePainter.h"
#include "liveview/LiveSnapshot.h"

#include <memory>
#include <mutex>

class QPainter;

class LiveDrawing {
public:
    LiveDrawing() : m_current(std::make_shared<const LiveSnapshot>()) {}

    void Publish(std::shared_ptr<const LiveSnapshot> snapshot)
    {
        std::lock_guard guard(m_lock);
        m_current.swap(snapshot);
    }
    std::shared_ptr<const LiveSnapshot> Current() const
    {
        std::lock_guard guard(m_lock);
        return m_current;
    }

    // Streaming thread.
    void PaintPreview(QPainter& painter, double fx, double fy)
    {
        m_preview.Paint(painter, *Current(), fx, fy);
    }
    // Window thread. The still is larger than the preview by fx: labels and lines grow with it.
    void PaintStill(QPainter& painter, double fx, double fy)
    {
        m_still.Paint(painter, *Current(), fx, fy, fx);
    }

private:
    mutable std::mutex m_lock;
    std::shared_ptr<const LiveSnapshot> m_current;
    LiveMeasurePainter m_preview;
    LiveMeasurePainter m_still;
};
