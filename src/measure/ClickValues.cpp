#include "measure/ClickValues.h"

#include "measure/MeasureGeometry.h"

ClickValues::ClickValues(const ValueContext& context, double zoom, QPoint scroll)
    : m_context(context), m_zoom(zoom), m_scroll(scroll)
{
}

QPoint ClickValues::ToImage(QPoint window) const
{
    return WindowToImage(window, m_zoom, m_scroll);
}

bool ClickValues::Line(QPoint from, QPoint to, MeasureTexts& texts) const
{
    const QPointF a(from.x() / m_zoom, from.y() / m_zoom);
    const QPointF b(to.x() / m_zoom, to.y() / m_zoom);
    return LineValues(Distance(a, b), m_context, texts);
}

bool ClickValues::RadiusCircle(QPoint centre, QPoint rim, MeasureTexts& texts) const
{
    return RadiusCircleValues(Distance(ToImage(centre), ToImage(rim)), m_context, texts);
}

QPoint ClickValues::DiameterCentre(QPoint end1, QPoint end2) const
{
    const QPoint mid(int((int64_t(end1.x()) + end2.x()) / 2), int((int64_t(end1.y()) + end2.y()) / 2));
    return ToImage(mid);
}

bool ClickValues::DiameterCircle(QPoint end1, QPoint end2, MeasureTexts& texts) const
{
    return DiameterCircleValues(Distance(ToImage(end1), ToImage(end2)), m_context, texts);
}

bool ClickValues::ThreePointCircle(QPoint p1, QPoint p2, QPoint p3, QPointF& centre,
                                   MeasureTexts& texts) const
{
    const std::optional<QPointF> found = ThreePointCentre(p1, p2, p3);
    if (!found || !RadiusCircleValues(Distance(*found, p2) / m_zoom, m_context, texts)) {
        return false;
    }
    centre = *found;
    return true;
}

bool ClickValues::ThreePointAngle(QPoint arm1, QPoint vertex, QPoint arm2, MeasureTexts& texts) const
{
    return ThreePointAngleValues(ToImage(arm1), ToImage(vertex), ToImage(arm2), texts);
}

bool ClickValues::FourPointAngle(QPoint a1, QPoint a2, QPoint b1, QPoint b2, MeasureTexts& texts) const
{
    return FourPointAngleValues(a1, a2, b1, b2, texts);
}

bool ClickValues::Polygon(std::span<const QPoint> imagePoints, MeasureTexts& texts) const
{
    return PolygonValues(imagePoints, m_context, texts);
}
