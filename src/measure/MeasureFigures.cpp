#include "measure/MeasureFigures.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kMaxRadius = 1 << 24;
constexpr double kAngleMarkFactor = 0.3;
constexpr int kQtAngleUnits = 16; // QPainter arcs count sixteenths of a degree
constexpr double kRadiansToDegrees = 180.0 / std::numbers::pi;

// The square around a circle; in doubles, so far-off centres cannot overflow.
QRectF BoxAround(QPoint centre, int radius)
{
    return QRectF(double(centre.x()) - radius, double(centre.y()) - radius, 2.0 * radius, 2.0 * radius);
}

// Sweep in degrees from angle `start` to angle `end` going the given way round; a
// full turn when they coincide.
double Sweep(double start, double end)
{
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0) {
        sweep += 360.0;
    }
    return sweep;
}

void DrawArcDegrees(QPainter& painter, QPoint centre, int radius, double start, double sweep)
{
    painter.drawArc(BoxAround(centre, radius), int(std::lround(start * kQtAngleUnits)),
                    int(std::lround(sweep * kQtAngleUnits)));
}

} // namespace

int TruncatedDistance(QPoint centre, QPoint rim)
{
    // Exact for any picture's coordinates; far-off points are pinned so an int holds it.
    const double dx = double(rim.x()) - centre.x();
    const double dy = double(rim.y()) - centre.y();
    return int(std::min(std::sqrt(dx * dx + dy * dy), double(kMaxRadius)));
}

void DrawCircle(QPainter& painter, QPoint centre, int radius)
{
    painter.drawEllipse(BoxAround(centre, radius));
}

void DrawCross(QPainter& painter, QPoint p, int arm)
{
    const QPointF c(p);
    painter.drawLine(c - QPointF(arm, 0), c + QPointF(arm, 0));
    painter.drawLine(c + QPointF(0, arm), c - QPointF(0, arm));
}

double RayAngle(QPoint centre, QPoint p)
{
    return std::atan2(double(centre.y() - p.y()), double(p.x() - centre.x())) * kRadiansToDegrees;
}

void DrawAngleMark(QPainter& painter, QPoint vertex, QPoint from, QPoint to)
{
    const int radius = int(kAngleMarkFactor * TruncatedDistance(vertex, from));
    if (radius <= 0) {
        return;
    }
    const double start = RayAngle(vertex, from);
    DrawArcDegrees(painter, vertex, radius, start, -Sweep(RayAngle(vertex, to), start));
}

void DrawCounterClockwiseArc(QPainter& painter, QPoint centre, int radius, QPoint from, QPoint to)
{
    if (radius <= 0) {
        return;
    }
    const double start = RayAngle(centre, from);
    DrawArcDegrees(painter, centre, radius, start, Sweep(start, RayAngle(centre, to)));
}
