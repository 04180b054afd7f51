#include "measure/MeasureGeometry.h"

#include <QPolygon>
#include <QRegion>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr double kBarHalfLength = 10.0;
constexpr double kDegreesPerRadian = 57.295780490442965;
constexpr double kArcDegreesPerRadian = 57.29577791868204;
constexpr double kArcFullTurn = 6.2831854820251465;
// Slope standing in for "vertical" in the arc tool's bisector test.
constexpr double kVerticalSlope = 1000000.0;

bool Finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The one of two line ends that lies farther from `from`; the second end wins ties.
QPointF FartherEnd(QPointF from, QPointF first, QPointF second)
{
    return Distance(second, from) < Distance(first, from) ? first : second;
}

} // namespace

int TruncateToInt(double value)
{
    if (!(value == value)) {
        return 0;
    }
    return int(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

QPoint WindowToImage(QPoint window, double zoom, QPoint scroll)
{
    return QPoint(TruncateToInt(window.x() / zoom + scroll.x()),
                  TruncateToInt(window.y() / zoom + scroll.y()));
}

double Distance(QPointF a, QPointF b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    return std::sqrt(dx * dx + dy * dy);
}

EndBar EndBarAt(QPoint start, QPoint end)
{
    const int a = start.x(), b = start.y(), c = end.x(), d = end.y();
    if (a == c) {
        return {QPoint(c + 10, d), QPoint(c - 10, d)};
    }
    if (b == d) {
        return {QPoint(c, d - 10), QPoint(c, d + 10)};
    }
    const double e = double(b - d) / double(a - c);
    const double f = kBarHalfLength * std::sqrt(e * e / (e * e + 1));
    return {QPoint(TruncateToInt(c + f), TruncateToInt(d - f / e)),
            QPoint(TruncateToInt(c - f), TruncateToInt(d + f / e))};
}

std::optional<QPointF> ThreePointCentre(QPoint p1, QPoint p2, QPoint p3)
{
    const double x1 = p1.x(), y1 = p1.y(), x2 = p2.x(), y2 = p2.y(), x3 = p3.x(), y3 = p3.y();
    // Two of the chords on one vertical line, or all three points on one line: no circle.
    const double cross = (x2 - x1) * (y3 - y1) - (x3 - x1) * (y2 - y1);
    if (cross == 0) {
        return std::nullopt;
    }
    double cx = 0, cy = 0;
    if (x1 == x2) {
        cy = (y1 + y2) / 2;
        const double m = (y3 - y2) / (x3 - x2);
        cx = (x3 + x2) / 2 + m * (y3 + y2) / 2 - m * cy;
    } else if (x3 == x2) {
        cy = (y3 + y2) / 2;
        const double m = (y1 - y2) / (x1 - x2);
        cx = (x1 + x2) / 2 + m * (y2 + y1) / 2 - m * cy;
    } else {
        const double ma = (y1 - y2) / (x1 - x2);
        const double mb = (y3 - y2) / (x3 - x2);
        cx = (ma * mb * (y1 - y3) + mb * (x2 + x1) - ma * (x2 + x3)) / (2 * (mb - ma));
        // A horizontal second chord has a vertical bisector; take y from the first one.
        cy = mb != 0 ? (y3 + y2) / 2 - (cx - (x3 + x2) / 2) / mb : (y1 + y2) / 2 - (cx - (x1 + x2) / 2) / ma;
    }
    const QPointF centre(cx, cy);
    return Finite(centre) ? std::optional<QPointF>(centre) : std::nullopt;
}

std::optional<double> TwoLineAngle(QPoint a1, QPoint a2, QPoint b1, QPoint b2)
{
    if (a1 == a2 || b1 == b2) {
        return std::nullopt;
    }
    const double a = a1.x(), b = a1.y(), c = a2.x(), d = a2.y();
    const double e = b1.x(), f = b1.y(), g = b2.x(), h = b2.y();
    const double dx1 = c - a, dy1 = d - b, dx2 = g - e, dy2 = h - f;
    QPointF cross;
    if (dx1 == 0 && dx2 == 0) {
        return (d < b && b < h) ? 180.0 : 0.0;
    }
    if (dx1 == 0) {
        cross = QPointF(a, h + (a - g) * dy2 / dx2);
    } else if (dx2 == 0) {
        cross = QPointF(e, d + (e - c) * dy1 / dx1);
    } else {
        const double m1 = dy1 / dx1, m2 = dy2 / dx2;
        if (m1 == m2) {
            return (dy1 == 0 && dy2 == 0 && c < a && a < g) ? 180.0 : 0.0;
        }
        const double x = (m2 * g - h - m1 * c + d) / (m2 - m1);
        cross = QPointF(x, d + (x - c) * m1);
    }
    const QPointF end1 = FartherEnd(cross, QPointF(a, b), QPointF(c, d));
    const QPointF end2 = FartherEnd(cross, QPointF(e, f), QPointF(g, h));
    const QPointF u = end1 - cross, v = end2 - cross;
    const double lengths = std::hypot(u.x(), u.y()) * std::hypot(v.x(), v.y());
    if (!(lengths > 0) || !std::isfinite(lengths)) {
        return std::nullopt;
    }
    // Rounding can push the cosine a hair past +-1, where acos has no value.
    const double cosine = std::clamp(QPointF::dotProduct(u, v) / lengths, -1.0, 1.0);
    return std::acos(cosine) * kDegreesPerRadian;
}

std::optional<ArcCircle> ArcCircleThrough(QPoint p1, QPoint p2, QPoint p3)
{
    const double a = p1.x(), b = p1.y(), c = p2.x(), d = p2.y(), e = p3.x(), f = p3.y();
    const double g = b == d ? kVerticalSlope : -(a - c) / (b - d);
    const double h = f == d ? kVerticalSlope : -(e - c) / (f - d);
    const QPointF m1((a + c) * 0.5, (b + d) * 0.5);
    const QPointF m2((c + e) * 0.5, (d + f) * 0.5);
    if (g == h) {
        return std::nullopt;
    }
    double cx = 0, cy = 0;
    if (g == kVerticalSlope) {
        cx = m1.x();
        cy = (cx - m2.x()) * h + m2.y();
    } else if (h == kVerticalSlope) {
        cx = m2.x();
        cy = (cx - m1.x()) * g + m1.y();
    } else {
        cx = (m2.x() * h - m1.x() * g - (m2.y() - m1.y())) / (h - g);
        cy = (cx - m2.x()) * h + m2.y();
    }
    const double radius = std::trunc(std::sqrt((cx - a) * (cx - a) + (cy - b) * (cy - b)));
    // Centres beyond the int range come from nearly collinear points: no usable arc.
    if (!std::isfinite(radius) || std::fabs(cx) > INT_MAX || std::fabs(cy) > INT_MAX) {
        return std::nullopt;
    }
    ArcCircle circle;
    circle.centre = QPoint(int(cx), int(cy));
    circle.radius = radius;
    circle.orientation = (c - a) * (f - b) - (e - a) * (d - b) < 0 ? 1 : 0;
    return circle;
}

double ArcAngle(QPoint first, QPoint vertex, QPoint second)
{
    const double a = first.x(), b = first.y(), c = vertex.x(), d = vertex.y(), e = second.x(), f = second.y();
    double angle = std::atan2(d - f, e - c) - std::atan2(d - b, a - c);
    if (angle <= 0) {
        angle += kArcFullTurn;
    }
    return angle * kArcDegreesPerRadian;
}

int PolygonPixelArea(std::span<const QPoint> points)
{
    if (points.size() < 3) {
        return 0;
    }
    const QRegion region(QPolygon(QList<QPoint>(points.begin(), points.end())), Qt::OddEvenFill);
    // The region's rectangles do not overlap, so their areas add up to the count of
    // pixels inside the region.
    qint64 count = 0;
    for (const QRect& rect : region) {
        count += qint64(rect.width()) * rect.height();
    }
    return count > INT_MAX ? INT_MAX : int(count);
}

std::optional<QPoint> PerpendicularFoot(QPoint a, QPoint b, QPoint point)
{
    if (a == b) {
        return std::nullopt;
    }
    if (a.x() == b.x()) {
        return QPoint(a.x(), point.y());
    }
    if (a.y() == b.y()) {
        return QPoint(point.x(), a.y());
    }
    const double k = double(b.y() - a.y()) / double(b.x() - a.x());
    const double e = point.x(), f = point.y();
    const double x = (e + k * (f + a.x() * k) - a.y() * k) / (k * k + 1);
    const double y = f + (e - x) / k;
    return QPoint(TruncateToInt(x), TruncateToInt(y));
}
