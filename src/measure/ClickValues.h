#pragma once
// Values of a measurement from the window positions the user clicked. Each kind
// takes its own inputs: a line its unrounded positions over the zoom, circles and the
// three-point angle whole image pixels, the three-point circle and the four-point
// angle the window positions themselves. The photo canvas converts with its zoom and
// scroll; the live preview is zoom 1 without scroll.
#include "measure/MeasureValues.h"

#include <QPoint>
#include <QPointF>
#include <span>

class ClickValues {
public:
    explicit ClickValues(const ValueContext& context, double zoom = 1.0, QPoint scroll = QPoint());

    QPoint ToImage(QPoint window) const;

    // Distance between the two positions each divided by the zoom, unrounded.
    bool Line(QPoint from, QPoint to, MeasureTexts& texts) const;
    // Centre and rim point in whole image pixels.
    bool RadiusCircle(QPoint centre, QPoint rim, MeasureTexts& texts) const;
    // The centre in image pixels: the window midpoint of the two ends, truncated.
    QPoint DiameterCentre(QPoint end1, QPoint end2) const;
    // Distance between the ends in whole image pixels.
    bool DiameterCircle(QPoint end1, QPoint end2, MeasureTexts& texts) const;
    // Centre from the three window positions, radius from it to the second one over
    // the zoom. `centre` (window position, unrounded) is set on success.
    bool ThreePointCircle(QPoint p1, QPoint p2, QPoint p3, QPointF& centre, MeasureTexts& texts) const;
    // Arms in whole image pixels.
    bool ThreePointAngle(QPoint arm1, QPoint vertex, QPoint arm2, MeasureTexts& texts) const;
    // The two lines in window positions.
    bool FourPointAngle(QPoint a1, QPoint a2, QPoint b1, QPoint b2, MeasureTexts& texts) const;
    // Area of the polygon through points already in image pixels.
    bool Polygon(std::span<const QPoint> imagePoints, MeasureTexts& texts) const;

private:
    ValueContext m_context;
    double m_zoom;
    QPoint m_scroll;
};
