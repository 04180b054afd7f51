#pragma once
// The guides laid over the live picture (crosshair, scale line, circle grid): their
// switches, the spacing computed when one is switched on, and painting them on the
// preview and into stills.
//
// Threads: the toggles run on the window thread. Painting runs on the streaming
// thread (preview composition) and on the window thread (paint handler) at the same
// time; it takes a consistent snapshot of the spacing under a short lock.
#include "liveview/OverlayDrawing.h"

#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

// What switching a spaced guide on reads: the magnification M (0 when none could be
// read; the reader has then told the user), the display unit, and the camera class
// and capture size the scale depends on.
struct GuideScale {
    double magnification = 0.0;
    QString unit;
    int cameraClass = 0;
    QSize frame;
};
using GuideScaleReader = std::function<GuideScale()>;

class LiveOverlays {
public:
    void ToggleCrosshair();
    // Off when on; otherwise reads the scale and, with a usable magnification,
    // recomputes the spacing both spaced guides share and switches on.
    void ToggleScaleLine(const GuideScaleReader& read);
    void ToggleCircleGrid(const GuideScaleReader& read);

    // Any thread.
    OverlayParams Snapshot() const;
    void PaintPreview(QPainter& painter, QSize size) const;
    void PaintStill(QPainter& painter, QSize capture) const;

private:
    void ToggleSpaced(std::atomic<bool>& guide, const GuideScaleReader& read);

    std::atomic<bool> m_crosshairOn{false};
    std::atomic<bool> m_scaleLineOn{false};
    std::atomic<bool> m_circleGridOn{false};
    // The spacing triple, written together so a reader never mixes two settings.
    mutable std::mutex m_spacingLock;
    double m_pixelsPerUnit = OverlayParams().pixelsPerUnit;
    double m_magnification = OverlayParams().overlayMagnification;
    double m_labelStep = OverlayParams().labelStep;
};
