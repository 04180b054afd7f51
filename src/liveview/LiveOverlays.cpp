#include "liveview/LiveOverlays.h"

#include "measure/MeasureUnits.h"

namespace {
// The scale is given at magnification 10.
constexpr double kScaleMagnification = 10.0;
} // namespace

void LiveOverlays::ToggleCrosshair()
{
    m_crosshairOn = !m_crosshairOn.load();
}

void LiveOverlays::ToggleScaleLine(const GuideScaleReader& read)
{
    ToggleSpaced(m_scaleLineOn, read);
}

void LiveOverlays::ToggleCircleGrid(const GuideScaleReader& read)
{
    ToggleSpaced(m_circleGridOn, read);
}

void LiveOverlays::ToggleSpaced(std::atomic<bool>& guide, const GuideScaleReader& read)
{
    if (guide.load()) {
        guide = false;
        return;
    }
    const GuideScale scale = read ? read() : GuideScale();
    if (scale.magnification == 0.0) {
        return;
    }
    const unsigned sequence = m_sequence.load(std::memory_order_relaxed);
    m_sequence.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    const double scaleAtTen = unitsPerPixel(scale.unit, scale.cameraClass, scale.frame);
    m_pixelsPerUnit.store(scale.magnification / (scaleAtTen * kScaleMagnification),
                          std::memory_order_relaxed);
    m_magnification.store(scale.magnification, std::memory_order_relaxed);
    m_labelStep.store(LabelStepOfUnit(scale.unit), std::memory_order_relaxed);
    m_sequence.store(sequence + 2, std::memory_order_release);
    guide = true;
}

OverlayParams LiveOverlays::Snapshot() const
{
    OverlayParams params;
    params.crosshairOn = m_crosshairOn.load();
    params.scaleLineOn = m_scaleLineOn.load();
    params.circleGridOn = m_circleGridOn.load();
    for (;;) {
        const unsigned before = m_sequence.load(std::memory_order_acquire);
        params.pixelsPerUnit = m_pixelsPerUnit.load(std::memory_order_relaxed);
        params.overlayMagnification = m_magnification.load(std::memory_order_relaxed);
        params.labelStep = m_labelStep.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (before % 2 == 0 && m_sequence.load(std::memory_order_relaxed) == before) {
            return params;
        }
    }
}

void LiveOverlays::PaintPreview(QPainter& painter, QSize size) const
{
    // The preview is painted with every frame on the streaming thread and again by
    // the window's paint handler: each thread keeps the labels it laid out.
    thread_local OverlayLabelCache labels;
    DrawPreviewOverlays(painter, size, Snapshot(), &labels);
}

void LiveOverlays::PaintStill(QPainter& painter, QSize capture) const
{
    DrawStillOverlays(painter, capture, Snapshot());
}
