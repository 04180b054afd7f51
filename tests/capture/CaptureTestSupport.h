#pragma once
// Shared pieces of the capture graph tests: a notify window that records the
// private messages and frame builders.
#include "capture/CaptureEvents.h"
#include "capture/CaptureState.h"
#include "platform/camera/CameraBackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <functional>
#include <vector>

class NotifySink : public QObject {
public:
    std::vector<int> stills; // origins of WM_STILL_CAPTURED
    int graphNotices = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == WM_STILL_CAPTURED) {
            stills.push_back(static_cast<StillCapturedEvent*>(e)->wParam());
            return true;
        }
        if (e->type() == WM_GRAPH_NOTIFY) {
            ++graphNotices;
            return true;
        }
        return QObject::event(e);
    }
};

// A uniform YUYV frame of luma `y` (16 black .. 235 white, no colour).
inline std::vector<std::uint8_t> GreyYuyv(int width, int height, std::uint8_t y)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        bytes[i] = y, bytes[i + 1] = 128;
    }
    return bytes;
}

inline CameraFrame FrameOf(const std::vector<std::uint8_t>& bytes, int width, int height,
                           CameraSubtype subtype = CameraSubtype::YUY2)
{
    return {subtype, width, height, bytes.data(), bytes.size(), 0.0};
}

// Runs the event loop until `done` holds or `ms` passed; returns `done()`.
inline bool WaitFor(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}
