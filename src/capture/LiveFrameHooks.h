#pragma once
// What the live callback calls into besides capture itself. The main window fills
// these at start-up (before the preview starts); capture never includes the live
// view or application headers. Empty hooks are skipped. All but the window-side
// overlay call run on the camera's streaming thread and must not block on the
// window thread.
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <functional>

class QPainter;

struct LiveFrameHooks {
    // Image effects, in place on the BGR bottom-up frame (mirror, rotate, threshold,
    // negative, channel).
    std::function<void(std::uint8_t* pixels, int width, int height)> applyEffects;
    // Hands the frame to an open recording (the recorder takes its own lock and
    // does nothing when no recording is open).
    std::function<void(const std::uint8_t* pixels, std::size_t length, int width, int height)> recordFrame;
    // True while a recording is open: it takes every frame whole, so the preview's
    // smaller pictures are not used meanwhile.
    std::function<bool()> recording;
    // Live measurements onto the preview picture, with the measure scale.
    std::function<void(QPainter& painter, double scaleX, double scaleY)> paintMeasurements;
    // Overlays (crosshair, scale line, circle grid) onto a preview of `size`; called
    // by PaintFrame on the off-screen picture (streaming thread) and by the paint
    // handler on the window (window thread), possibly at the same time.
    std::function<void(QPainter& painter, const QSize& size)> paintOverlays;
};
