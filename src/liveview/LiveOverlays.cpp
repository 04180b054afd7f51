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
    const double scaleAtTen = unitsPerPixel(scale.unit, scale.cameraClass, scale.frame);
    {
        const std::lock_guard lock(m_spacingLock);
        m_pixelsPerUnit = scale.magnification / (scaleAtTen * kScaleMagnification);
        m_magnification = scale.magnification;
        m_labelStep = LabelStepOfUnit(scale.unit);
    }
    guide = true;
}

OverlayParams LiveOverlays::Snapshot() const
{
    OverlayParams params;
    params.crosshairOn = m_crosshairOn.load();
    params.scaleLineOn = m_scaleLineOn.load();
    params.circleGridOn = m_circleGridOn.load();
    const std::lock_guard lock(m_spacingLock);
    params.pixelsPerUnit = m_pixelsPerUnit;
    params.overlayMagnification = m_magnification;
    params.labelStep = m_labelStep;
    return params;
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
