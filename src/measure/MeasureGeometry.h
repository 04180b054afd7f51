#pragma once
// Geometry of measurement objects: pure functions of integer positions. Input that
// has no answer (three points on one line, a line of zero length) gives no result
// rather than an infinite or undefined number.
#include <QPoint>
#include <QPointF>
#include <optional>
#include <span>

// Truncation towards zero into the int range (out-of-range and undefined inputs are pinned).
int TruncateToInt(double value);

// Window position to image coordinates of the canvas surface.
QPoint WindowToImage(QPoint window, double zoom, QPoint scroll);

double Distance(QPointF a, QPointF b);

// The two ends of the bar drawn across `end`, 10 pixels to either side on the
// perpendicular to the line from `start`.
struct EndBar {
    QPoint p;
    QPoint q;
};
EndBar EndBarAt(QPoint start, QPoint end);

// Centre of the circle through three points.
std::optional<QPointF> ThreePointCentre(QPoint p1, QPoint p2, QPoint p3);

// Angle in degrees (0 to 180) between the line through a1, a2 and the line through
// b1, b2; nothing when either line has zero length.
std::optional<double> TwoLineAngle(QPoint a1, QPoint a2, QPoint b1, QPoint b2);

// Circle through three points as the live host's arc tool uses it: truncated centre,
// truncated radius, and orientation 1 when the points turn clockwise on screen.
struct ArcCircle {
    QPoint centre;
    double radius = 0.0;
    int orientation = 0;
};
std::optional<ArcCircle> ArcCircleThrough(QPoint p1, QPoint p2, QPoint p3);

// Counter-clockwise sweep on screen from the ray vertex->first to the ray
// vertex->second, in degrees, in (0, 360]; coinciding rays give 360.
double ArcAngle(QPoint first, QPoint vertex, QPoint second);

// Whole pixels inside the polygon through all the points (even-odd rule).
int PolygonPixelArea(std::span<const QPoint> points);

// Foot of the perpendicular from `point` to the line through `a` and `b`, each
// coordinate truncated towards zero; nothing when the line has zero length.
std::optional<QPoint> PerpendicularFoot(QPoint a, QPoint b, QPoint point);
