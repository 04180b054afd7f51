#pragma once
// Private messages of the capture graph, posted to its notify window as Qt events
// with the message values as event types.
#include <QEvent>

inline constexpr QEvent::Type WM_STILL_CAPTURED = static_cast<QEvent::Type>(0x8001);
inline constexpr QEvent::Type WM_GRAPH_NOTIFY = static_cast<QEvent::Type>(0x8003);

// WM_STILL_CAPTURED; wParam is the still request's origin (0 user/timer, 1 camera button).
class StillCapturedEvent : public QEvent {
public:
    explicit StillCapturedEvent(int origin) : QEvent(WM_STILL_CAPTURED), m_origin(origin) {}
    int wParam() const { return m_origin; }

private:
    int m_origin;
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
};
