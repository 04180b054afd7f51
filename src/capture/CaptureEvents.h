#pragma once
// Private messages of the capture graph, posted to its notify window as Qt events
// with the message values as event types.
#include <QEvent>
#include <atomic>
#include <memory>
#include <utility>

inline constexpr QEvent::Type WM_STILL_CAPTURED = static_cast<QEvent::Type>(0x8001);
inline constexpr QEvent::Type WM_GRAPH_NOTIFY = static_cast<QEvent::Type>(0x8003);

// WM_STILL_CAPTURED; wParam is the still request's origin (0 user/timer, 1 camera button).
// A notice that answers (or replaced) a camera-button request arms the button again
// once it has been handled, whatever became of the picture.
class StillCapturedEvent : public QEvent {
public:
    explicit StillCapturedEvent(int origin, std::shared_ptr<std::atomic<bool>> armOnDone = {})
        : QEvent(WM_STILL_CAPTURED), m_origin(origin), m_armOnDone(std::move(armOnDone))
    {
    }
    ~StillCapturedEvent() override
    {
        if (m_armOnDone) {
            m_armOnDone->store(true);
        }
    }
    StillCapturedEvent(const StillCapturedEvent&) = delete;
    StillCapturedEvent& operator=(const StillCapturedEvent&) = delete;
    int wParam() const { return m_origin; }

private:
    int m_origin;
    std::shared_ptr<std::atomic<bool>> m_armOnDone;
};

// WM_GRAPH_NOTIFY: the graph has an event waiting; the receiver calls DrainGraphEvent.
class GraphNotifyEvent : public QEvent {
public:
    GraphNotifyEvent() : QEvent(WM_GRAPH_NOTIFY) {}
};

// Graph event codes queued for DrainGraphEvent.
enum GraphEventCode : int {
    EC_COMPLETE = 0x01,
    EC_ERRORABORT = 0x03,
    EC_DEVICE_LOST = 0x1F,
    EC_START_FAILED = 0x8001, // ours: a start failed; CCaptureGraph::startFailure() says why
};
